#include "os/win32/Win32View.h"

#include "os/ErrorCodes.h"
#include "os/win32/Win32DialogViews.h"
#include "os/win32/Win32NewsletterPicture.h"

#include <algorithm>
#include <exception>
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

namespace os::win32 {

namespace {

HWND hwnd(void* window) {
    return static_cast<HWND>(window);
}

std::string windowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

std::string classOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

bool isList(HWND window) {
    return classOf(window) == WC_LISTVIEWA;
}

bool isCombo(HWND window) {
    return classOf(window) == "ComboBox";
}

}  // namespace

Win32View::Win32View(Win32DialogViews& owner, const DialogTemplate& dialogTemplate,
                     DialogEvents& events, Kind kind)
    : owner_(owner), template_(dialogTemplate), events_(events), kind_(kind) {}

Win32View::~Win32View() {
    if (window_ != nullptr && kind_ != Kind::Page && IsWindow(hwnd(window_))) {
        DestroyWindow(hwnd(window_));
    }
    // A window gone without its destruction message (its thread ended) still detaches.
    destroyed();
    for (auto& font : fonts_) {
        DeleteObject(static_cast<HFONT>(font.second));
    }
    for (void* picture : pictures_) {
        DeleteObject(static_cast<HBITMAP>(picture));
    }
}

void* Win32View::control(int id) const {
    if (window_ == nullptr) {
        SetLastError(static_cast<DWORD>(error::InvalidWindowHandle));
        return nullptr;
    }
    HWND item = GetDlgItem(hwnd(window_), id);
    if (item == nullptr) {
        SetLastError(static_cast<DWORD>(error::ControlIdNotFound));
    }
    return item;
}

const ControlTemplate* Win32View::templateOf(int id) const {
    return template_.control(id);
}

std::intptr_t Win32View::initialise(void* window) {
    window_ = window;
    // The sheet's own dialog data is the system's; the sheet finds its view another way.
    if (kind_ != Kind::Sheet) {
        SetWindowLongPtrA(hwnd(window), DWLP_USER, reinterpret_cast<LONG_PTR>(this));
        prepareControls();
    }
    owner_.opened(*this);
    events_.attachView(this);
    attached_ = true;
    DialogEvent init;
    init.notification = Notification::InitDialog;
    return deliver(init);
}

void Win32View::prepareControls() {
    for (const ControlTemplate& item : template_.controls) {
        if (item.id == NoControlId) {
            continue;
        }
        HWND window = GetDlgItem(hwnd(window_), item.id);
        if (window == nullptr) {
            continue;
        }
        if (item.kind == ControlKind::Edit) {
            // Key releases in edit boxes are events of their own (the key-capture box).
            Win32DialogViews::watchEdit(window, *this);
        } else if (item.kind == ControlKind::Picture) {
            HBITMAP picture = static_cast<HBITMAP>(Win32NewsletterPicture::draw(window));
            if (picture != nullptr) {
                pictures_.push_back(picture);
                SendMessageA(window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
            }
        } else if (item.kind == ControlKind::DropDownList) {
            // The template's height is the dropped-down list's.
            RECT rect;
            GetWindowRect(window, &rect);
            MapWindowPoints(nullptr, hwnd(window_), reinterpret_cast<POINT*>(&rect), 2);
            RECT units{0, 0, 0, item.height};
            MapDialogRect(hwnd(window_), &units);
            SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, units.bottom,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

void Win32View::destroyed() {
    if (!attached_) {
        return;
    }
    if (window_ != nullptr) {
        DialogEvent destroy;
        destroy.notification = Notification::Destroy;
        deliver(destroy);
    }
    attached_ = false;
    events_.attachView(nullptr);
    owner_.closed(*this);
    if (window_ != nullptr && kind_ != Kind::Sheet && IsWindow(hwnd(window_))) {
        SetWindowLongPtrA(hwnd(window_), DWLP_USER, 0);
    }
    if (toolTips_ != nullptr && IsWindow(hwnd(toolTips_))) {
        DestroyWindow(hwnd(toolTips_));
    }
    toolTips_ = nullptr;
}

std::intptr_t Win32View::deliver(const DialogEvent& event) {
    if (!attached_) {
        return 0;
    }
    try {
        return events_.handleEvent(event);
    } catch (...) {
        owner_.fail(std::current_exception());
        return 0;
    }
}

void Win32View::setCaption(const std::string& caption) {
    if (window_ != nullptr) {
        SetWindowTextA(hwnd(window_), caption.c_str());
    }
}

Rect Win32View::getClientRect() const {
    RECT rect{};
    if (window_ != nullptr) {
        GetClientRect(hwnd(window_), &rect);
    }
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

bool Win32View::setText(int id, const std::string& text) {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return false;
    }
    ++quiet_;
    const bool set = SetWindowTextA(item, text.c_str()) != FALSE;
    --quiet_;
    return set;
}

std::string Win32View::getText(int id) const {
    HWND item = hwnd(control(id));
    return item != nullptr ? windowText(item) : std::string();
}

bool Win32View::enableControl(int id, bool enable) {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return false;
    }
    EnableWindow(item, enable ? TRUE : FALSE);
    return true;
}

bool Win32View::showControl(int id, bool show) {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return false;
    }
    ShowWindow(item, show ? SW_SHOW : SW_HIDE);
    return true;
}

Rect Win32View::getControlRect(int id) const {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return {};
    }
    RECT rect;
    GetWindowRect(item, &rect);
    MapWindowPoints(nullptr, hwnd(window_), reinterpret_cast<POINT*>(&rect), 2);
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

bool Win32View::moveControl(int id, const Rect& rect) {
    HWND item = hwnd(control(id));
    return item != nullptr && MoveWindow(item, rect.left, rect.top, rect.right - rect.left,
                                         rect.bottom - rect.top, TRUE) != FALSE;
}

bool Win32View::setFocus(int id) {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return false;
    }
    // Through the dialog manager, so that the default button follows the focus.
    SendMessageA(hwnd(window_), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
    return true;
}

FontStyle Win32View::getFont(int id) const {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return {};
    }
    auto* font = reinterpret_cast<HFONT>(SendMessageA(item, WM_GETFONT, 0, 0));
    if (font == nullptr) {
        font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    }
    LOGFONTA description{};
    if (GetObjectA(font, sizeof(description), &description) == 0) {
        return {};
    }
    FontStyle style;
    style.face = description.lfFaceName;
    style.height = description.lfHeight;
    style.weight = description.lfWeight == 0 ? FW_NORMAL : description.lfWeight;
    style.underline = description.lfUnderline != 0;
    return style;
}

bool Win32View::setFont(int id, const FontStyle& font) {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return false;
    }
    LOGFONTA description{};
    description.lfHeight = font.height;
    description.lfWeight = font.weight;
    description.lfUnderline = font.underline ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(description.lfFaceName, font.face.c_str(), LF_FACESIZE);
    HFONT made = CreateFontIndirectA(&description);
    if (made == nullptr) {
        return false;
    }
    SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
    // The control keeps using the font: the old one of this control goes only now.
    auto old = fonts_.find(id);
    if (old != fonts_.end()) {
        DeleteObject(static_cast<HFONT>(old->second));
    }
    fonts_[id] = made;
    return true;
}

bool Win32View::setTextColour(int id, std::uint32_t colour) {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return false;
    }
    colours_[id] = colour;
    InvalidateRect(item, nullptr, TRUE);
    return true;
}

std::optional<std::uint32_t> Win32View::textColour(int id) const {
    auto found = colours_.find(id);
    if (found == colours_.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool Win32View::setCheck(int id, bool checked) {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return false;
    }
    SendMessageA(item, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    return true;
}

bool Win32View::isChecked(int id) const {
    HWND item = hwnd(control(id));
    return item != nullptr && SendMessageA(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Win32View::setListColumns(int id, const std::vector<ListColumn>& columns,
                               unsigned extendedStyle) {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return false;
    }
    ++quiet_;
    while (SendMessageA(item, LVM_DELETECOLUMN, 0, 0) != FALSE) {
    }
    bool inserted = true;
    for (std::size_t index = 0; index < columns.size(); ++index) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        std::string text = columns[index].text;
        column.pszText = text.data();
        column.cx = columns[index].width;
        column.iSubItem = static_cast<int>(index);
        inserted =
            SendMessageA(item, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)) >= 0 &&
            inserted;
    }
    // The system's extended list styles have the values of the program's.
    SendMessageA(item, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT,
                 extendedStyle);
    --quiet_;
    return inserted;
}

bool Win32View::insertListRow(int id, int index, const std::vector<std::string>& texts) {
    HWND item = hwnd(control(id));
    if (item == nullptr || !isList(item)) {
        return false;
    }
    ++quiet_;
    std::string first = texts.empty() ? std::string() : texts[0];
    LVITEMA row{};
    row.mask = LVIF_TEXT;
    row.iItem = index;
    row.pszText = first.data();
    const auto at =
        static_cast<int>(SendMessageA(item, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
    if (at >= 0) {
        for (std::size_t column = 1; column < texts.size(); ++column) {
            std::string text = texts[column];
            LVITEMA cell{};
            cell.iSubItem = static_cast<int>(column);
            cell.pszText = text.data();
            SendMessageA(item, LVM_SETITEMTEXTA, static_cast<WPARAM>(at),
                         reinterpret_cast<LPARAM>(&cell));
        }
    }
    --quiet_;
    return at >= 0;
}

bool Win32View::deleteListRow(int id, int index) {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return false;
    }
    ++quiet_;
    const bool deleted = SendMessageA(item, LVM_DELETEITEM, static_cast<WPARAM>(index), 0) != FALSE;
    --quiet_;
    reportedSelections_[id] = listSelection(id);
    return deleted;
}

bool Win32View::deleteAllListRows(int id) {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return false;
    }
    ++quiet_;
    const bool deleted = SendMessageA(item, LVM_DELETEALLITEMS, 0, 0) != FALSE;
    --quiet_;
    reportedSelections_[id].clear();
    return deleted;
}

bool Win32View::setListSelection(int id, const std::vector<int>& rows) {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return false;
    }
    ++quiet_;
    LVITEMA none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(item, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    bool selected = true;
    for (const int row : rows) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        selected = SendMessageA(item, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                                reinterpret_cast<LPARAM>(&state)) != FALSE &&
                   selected;
    }
    if (!rows.empty()) {
        SendMessageA(item, LVM_ENSUREVISIBLE, static_cast<WPARAM>(rows.front()), FALSE);
    }
    --quiet_;
    reportedSelections_[id] = listSelection(id);
    return selected;
}

std::vector<int> Win32View::listSelection(int id) const {
    std::vector<int> rows;
    HWND item = window_ != nullptr ? GetDlgItem(hwnd(window_), id) : nullptr;
    if (item == nullptr) {
        return rows;
    }
    int row = -1;
    while ((row = static_cast<int>(SendMessageA(item, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                LVNI_SELECTED))) >= 0) {
        rows.push_back(row);
    }
    return rows;
}

void Win32View::selectionMayHaveChanged(int id) {
    if (quiet_ > 0 || !pendingSelections_.insert(id).second) {
        return;
    }
    // One click deselects the old rows and selects the new one, each with its own
    // notification: the presenter hears of the outcome once.
    PostMessageA(hwnd(window_), Win32DialogViews::selectionMessage(), static_cast<WPARAM>(id), 0);
}

void Win32View::reportSelection(int id) {
    pendingSelections_.erase(id);
    std::vector<int> rows = listSelection(id);
    if (rows == reportedSelections_[id]) {
        return;
    }
    reportedSelections_[id] = rows;
    DialogEvent event;
    event.notification = Notification::SelectionChanged;
    event.controlId = id;
    event.items = std::move(rows);
    deliver(event);
}

bool Win32View::resetCombo(int id) {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return false;
    }
    SendMessageA(item, CB_RESETCONTENT, 0, 0);
    return true;
}

int Win32View::addComboItem(int id, const std::string& text) {
    HWND item = hwnd(control(id));
    if (item == nullptr || !isCombo(item)) {
        return -1;
    }
    const auto index = static_cast<int>(
        SendMessageA(item, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    return index < 0 ? -1 : index;
}

bool Win32View::setComboSelection(int id, int index) {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return false;
    }
    const LRESULT selected = SendMessageA(item, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // Selecting nothing answers CB_ERR too, and succeeds.
    return index < 0 || selected != CB_ERR;
}

int Win32View::getComboSelection(int id) const {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return -1;
    }
    const auto index = static_cast<int>(SendMessageA(item, CB_GETCURSEL, 0, 0));
    return index < 0 ? -1 : index;
}

std::string Win32View::getComboItemText(int id, int index) const {
    HWND item = hwnd(control(id));
    if (item == nullptr) {
        return {};
    }
    const LRESULT length = SendMessageA(item, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(item, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

void Win32View::enableToolTips(bool enable) {
    if (window_ == nullptr) {
        return;
    }
    if (toolTips_ == nullptr && enable) {
        HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(window_),
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
        if (tips == nullptr) {
            return;
        }
        toolTips_ = tips;
        // Long tips wrap instead of running off the screen.
        SendMessageA(tips, TTM_SETMAXTIPWIDTH, 0, 400);
        for (const ControlTemplate& item : template_.controls) {
            HWND window = item.id != NoControlId ? GetDlgItem(hwnd(window_), item.id) : nullptr;
            if (window == nullptr || item.tip.empty()) {
                continue;
            }
            std::string tip = item.tip;
            TTTOOLINFOA tool{};
            tool.cbSize = sizeof(tool);
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = hwnd(window_);
            tool.uId = reinterpret_cast<UINT_PTR>(window);
            tool.lpszText = tip.data();
            SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    if (toolTips_ != nullptr) {
        SendMessageA(hwnd(toolTips_), TTM_ACTIVATE, enable ? TRUE : FALSE, 0);
    }
}

void Win32View::endDialog(int result) {
    result_ = result;
    // The loop that runs the dialog sees it once the current message is handled.
    if (window_ != nullptr) {
        PostMessageA(hwnd(window_), WM_NULL, 0, 0);
    }
}

int Win32View::messageBox(const std::string& text, const std::string& caption, unsigned style) {
    return MessageBoxA(hwnd(window_), text.c_str(), caption.c_str(), style);
}

void Win32View::modifyStyle(unsigned remove, unsigned add) {
    if (window_ == nullptr) {
        return;
    }
    const auto style = static_cast<unsigned>(GetWindowLongA(hwnd(window_), GWL_STYLE));
    SetWindowLongA(hwnd(window_), GWL_STYLE, static_cast<LONG>((style & ~remove) | add));
    SetWindowPos(hwnd(window_), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Win32View::setIcon(IconHandle icon) {
    if (window_ == nullptr) {
        return;
    }
    SendMessageA(hwnd(window_), WM_SETICON, ICON_BIG, static_cast<LPARAM>(icon));
    SendMessageA(hwnd(window_), WM_SETICON, ICON_SMALL, static_cast<LPARAM>(icon));
}

bool Win32View::insertSystemMenuItem(int position, int command, const std::string& text) {
    HMENU menu = window_ != nullptr ? GetSystemMenu(hwnd(window_), FALSE) : nullptr;
    if (menu == nullptr) {
        SetLastError(static_cast<DWORD>(error::InvalidParameter));
        return false;
    }
    return InsertMenuA(menu, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING,
                       static_cast<UINT_PTR>(command), text.c_str()) != FALSE;
}

}  // namespace os::win32
