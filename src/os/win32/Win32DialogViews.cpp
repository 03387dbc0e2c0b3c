#include "os/win32/Win32DialogViews.h"

#include "os/common/ViewRoutes.h"
#include "os/win32/Win32DialogProcedures.h"
#include "os/win32/Win32DialogTemplate.h"
#include "os/win32/Win32View.h"

#include <algorithm>
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

namespace os::win32 {

namespace {

// The program's icon, which the sheet shows when asked for it by id.
constexpr int ProgramIconId = 100;

HWND hwnd(void* window) {
    return static_cast<HWND>(window);
}

HINSTANCE moduleOf(InstanceHandle instance) {
    return instance != 0 ? reinterpret_cast<HINSTANCE>(instance) : GetModuleHandleA(nullptr);
}

// Messages in the range the program posts to itself: hook events, requests, refreshes.
bool isProgramMessage(unsigned int message) {
    return message >= WM_APP && message < 0xC000;
}

std::string classOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

DialogEvent event(Notification notification, int controlId = 0, int value = 0) {
    DialogEvent made;
    made.notification = notification;
    made.controlId = controlId;
    made.value = value;
    return made;
}

void registerCommonControls() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof(controls);
        controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                         ICC_STANDARD_CLASSES | ICC_LINK_CLASS;
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)registered;
}

}  // namespace

Win32DialogViews::Win32DialogViews(InstanceHandle instance) : instance_(instance) {
    registerCommonControls();
}

Win32DialogViews::~Win32DialogViews() = default;

void Win32DialogViews::watchEdit(void* edit, Win32View& view) {
    SetWindowSubclass(hwnd(edit), &Procedures::edit, 1, reinterpret_cast<DWORD_PTR>(&view));
}

unsigned int Win32DialogViews::selectionMessage() {
    static const UINT message = RegisterWindowMessageA("Pastrix list selection");
    return message;
}

std::unique_ptr<DialogView> Win32DialogViews::createView(const DialogTemplate& dialogTemplate,
                                                         DialogEvents& events,
                                                         WindowHandle parent) {
    auto view =
        std::make_unique<Win32View>(*this, dialogTemplate, events, Win32View::Kind::Modeless);
    const Win32DialogTemplate data(dialogTemplate, false);
    HWND window =
        CreateDialogIndirectParamA(moduleOf(instance_), static_cast<LPCDLGTEMPLATEA>(data.data()),
                                   hwnd(reinterpret_cast<void*>(parent)), &Procedures::dialog,
                                   reinterpret_cast<LPARAM>(view.get()));
    if (window == nullptr) {
        return nullptr;
    }
    return view;
}

int Win32DialogViews::runModal(const DialogTemplate& dialogTemplate, DialogEvents& events,
                               WindowHandle parent) {
    auto view = std::make_unique<Win32View>(*this, dialogTemplate, events, Win32View::Kind::Modal);
    ModalFrame frame{view.get(), nullptr};
    frames_.push_back(&frame);
    HWND owner =
        parent != 0 ? GetAncestor(hwnd(reinterpret_cast<void*>(parent)), GA_ROOT) : nullptr;
    const Win32DialogTemplate data(dialogTemplate, false);
    HWND window = CreateDialogIndirectParamA(
        moduleOf(instance_), static_cast<LPCDLGTEMPLATEA>(data.data()), owner, &Procedures::dialog,
        reinterpret_cast<LPARAM>(view.get()));
    int result = -1;
    if (window != nullptr) {
        // The owner takes no input while the dialog runs, as with the system's own modal loop.
        const bool disabledOwner = owner != nullptr && IsWindowEnabled(owner) != FALSE;
        if (disabledOwner) {
            EnableWindow(owner, FALSE);
        }
        if (!view->hasEnded() && !frame.failure) {
            ShowWindow(window, SW_SHOW);
        }
        runLoop(*view, frame);
        // Before the dialog goes, so that the owner is activated again.
        if (disabledOwner) {
            EnableWindow(owner, TRUE);
        }
        result = view->result();
        view.reset();
    }
    frames_.erase(std::remove(frames_.begin(), frames_.end(), &frame), frames_.end());
    if (frame.failure) {
        std::rethrow_exception(frame.failure);
    }
    return result;
}

int Win32DialogViews::runSheet(const DialogTemplate& sheetTemplate, DialogEvents& events,
                               const std::vector<SheetPage>& pages, unsigned flags,
                               WindowHandle parent) {
    auto sheet = std::make_unique<Win32View>(*this, sheetTemplate, events, Win32View::Kind::Sheet);
    const bool help = sheetTemplate.control(IDHELP) != nullptr;
    std::vector<std::unique_ptr<Win32View>> pageViews;
    std::vector<std::unique_ptr<Win32DialogTemplate>> templates;
    std::vector<PROPSHEETPAGEA> sheetPages;
    for (const SheetPage& page : pages) {
        if (page.dialogTemplate == nullptr || page.events == nullptr) {
            continue;
        }
        pageViews.push_back(std::make_unique<Win32View>(*this, *page.dialogTemplate, *page.events,
                                                        Win32View::Kind::Page));
        templates.push_back(std::make_unique<Win32DialogTemplate>(*page.dialogTemplate, true));
        PROPSHEETPAGEA made{};
        made.dwSize = sizeof(made);
        // Every page exists from the start: their presenters work before the user looks.
        made.dwFlags = PSP_DLGINDIRECT | PSP_PREMATURE | (help ? PSP_HASHELP : 0U);
        made.hInstance = moduleOf(instance_);
        made.pResource = static_cast<LPCDLGTEMPLATEA>(templates.back()->data());
        made.pfnDlgProc = &Procedures::page;
        made.lParam = reinterpret_cast<LPARAM>(pageViews.back().get());
        sheetPages.push_back(made);
    }
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof(header);
    header.dwFlags = (flags & (PSH_NOAPPLYNOW | PSH_USEICONID)) | PSH_PROPSHEETPAGE | PSH_MODELESS |
                     PSH_USECALLBACK | (help ? PSH_HASHELP : 0U);
    header.hwndParent = hwnd(reinterpret_cast<void*>(parent));
    header.hInstance = moduleOf(instance_);
    if ((flags & PSH_USEICONID) != 0) {
        header.pszIcon = MAKEINTRESOURCEA(ProgramIconId);
    }
    header.pszCaption = sheetTemplate.caption.c_str();
    header.nPages = static_cast<UINT>(sheetPages.size());
    header.ppsp = sheetPages.data();
    header.pfnCallback = &Procedures::sheetCallback;

    ModalFrame frame{sheet.get(), nullptr};
    frames_.push_back(&frame);
    sheets_.push_back(sheet.get());
    const auto forget = [&] {
        frames_.erase(std::remove(frames_.begin(), frames_.end(), &frame), frames_.end());
        sheets_.erase(std::remove(sheets_.begin(), sheets_.end(), sheet.get()), sheets_.end());
    };
    Procedures::sheetBeingMade = sheet.get();
    const INT_PTR made = PropertySheetA(&header);
    Procedures::sheetBeingMade = nullptr;
    HWND window = reinterpret_cast<HWND>(made);
    if (made == 0 || made == -1 || sheet->window_ != window) {
        if (made != 0 && made != -1) {
            DestroyWindow(window);
        }
        forget();
        if (frame.failure) {
            std::rethrow_exception(frame.failure);
        }
        return -1;
    }
    // Pages the system left for later are made now, then the first one is current again.
    bool switched = false;
    for (std::size_t index = 0; index < sheetPages.size(); ++index) {
        if (PropSheet_IndexToHwnd(window, static_cast<int>(index)) == nullptr) {
            PropSheet_SetCurSel(window, nullptr, static_cast<int>(index));
            switched = true;
        }
    }
    if (switched) {
        PropSheet_SetCurSel(window, nullptr, 0);
    }
    sheet->initialise(window);
    if (!sheet->hasEnded() && !frame.failure) {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
    }
    runLoop(*sheet, frame);
    forget();
    const int result = sheet->result();
    if (IsWindow(window)) {
        DestroyWindow(window);
    }
    pageViews.clear();
    sheet.reset();
    if (frame.failure) {
        std::rethrow_exception(frame.failure);
    }
    return result;
}

void Win32DialogViews::runLoop(Win32View& view, ModalFrame& frame) {
    HWND dialog = hwnd(view.window_);
    while (!view.hasEnded() && !frame.failure && IsWindow(dialog) != FALSE) {
        MSG message;
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == -1) {
            break;
        }
        if (got == 0) {
            // The quit message belongs to the outermost loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        const PostedMessage posted{message.hwnd, message.message, message.wParam, message.lParam};
        if (preTranslate(posted)) {
            continue;
        }
        if (view.kind_ == Win32View::Kind::Sheet && message.message == WM_KEYDOWN &&
            message.wParam == VK_ESCAPE && GetAncestor(message.hwnd, GA_ROOT) == dialog) {
            HWND focus = GetFocus();
            const bool droppedDown = focus != nullptr && classOf(focus) == "ComboBox" &&
                                     SendMessageA(focus, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
            if (!droppedDown) {
                // Escape on the settings window hides it like its close box: only
                // "Shutdown" ends the program.
                SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                continue;
            }
        }
        const PostedMessage* outer = dispatching_;
        dispatching_ = &posted;
        const bool dialogKey = view.kind_ == Win32View::Kind::Sheet
                                   ? PropSheet_IsDialogMessage(dialog, &message) != FALSE
                                   : IsDialogMessageA(dialog, &message) != FALSE;
        if (!dialogKey) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        dispatching_ = outer;
    }
}

bool Win32DialogViews::preTranslate(const PostedMessage& message) {
    if (translating_) {
        // A loop inside a sheet's handling of a message: the program's own messages wait
        // until that handling is done, so that no handler runs inside itself.
        if (isProgramMessage(message.message)) {
            deferred_.push_back(message);
            return true;
        }
        return false;
    }
    if (sheets_.empty()) {
        return false;
    }
    translating_ = true;
    bool consumed = false;
    const DialogEvent seen = common::ViewRoutes::eventOf(
        message.message, message.wParam, message.lParam, Notification::PreTranslate);
    for (auto sheet = sheets_.rbegin(); sheet != sheets_.rend() && !consumed; ++sheet) {
        consumed = (*sheet)->deliver(seen) != 0;
    }
    translating_ = false;
    runDeferred();
    return consumed;
}

bool Win32DialogViews::preTranslateForeign(const PostedMessage& message) {
    if (dispatching_ != nullptr && dispatching_->window == message.window &&
        dispatching_->message == message.message && dispatching_->wParam == message.wParam &&
        dispatching_->lParam == message.lParam) {
        return false;
    }
    return preTranslate(message);
}

void Win32DialogViews::runDeferred() {
    while (!deferred_.empty() && !translating_) {
        const PostedMessage next = deferred_.front();
        deferred_.erase(deferred_.begin());
        if (preTranslate(next) || next.window == nullptr || IsWindow(hwnd(next.window)) == FALSE) {
            continue;
        }
        const PostedMessage* outer = dispatching_;
        dispatching_ = &next;
        SendMessageA(hwnd(next.window), next.message, next.wParam, next.lParam);
        dispatching_ = outer;
    }
}

void Win32DialogViews::fail(std::exception_ptr failure) {
    if (frames_.empty()) {
        if (!orphanFailure_) {
            orphanFailure_ = std::move(failure);
        }
        return;
    }
    ModalFrame& innermost = *frames_.back();
    if (!innermost.failure) {
        innermost.failure = std::move(failure);
    }
    // Wakes the loop, which then ends.
    PostMessageA(nullptr, WM_NULL, 0, 0);
}

std::exception_ptr Win32DialogViews::takeFailure() {
    std::exception_ptr failure = orphanFailure_;
    orphanFailure_ = nullptr;
    return failure;
}

void Win32DialogViews::opened(Win32View& view) {
    open_.push_back(&view);
}

void Win32DialogViews::closed(Win32View& view) {
    open_.erase(std::remove(open_.begin(), open_.end(), &view), open_.end());
}

Win32View* Win32DialogViews::find(int templateId) const {
    for (auto view = open_.rbegin(); view != open_.rend(); ++view) {
        if ((*view)->templateId() == templateId) {
            return *view;
        }
    }
    return nullptr;
}

Win32View* Win32DialogViews::viewOf(WindowHandle window) const {
    for (Win32View* view : open_) {
        if (view->getHandle() == window) {
            return view;
        }
    }
    return nullptr;
}

std::intptr_t Win32DialogViews::dialogMessage(Win32View& view, void* window, unsigned int message,
                                              std::uintptr_t wParam, std::intptr_t lParam) {
    HWND dialog = hwnd(window);
    const auto answer = [dialog](std::intptr_t result) -> INT_PTR {
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
        return TRUE;
    };
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            HWND control = reinterpret_cast<HWND>(lParam);
            const std::string kind = control != nullptr ? classOf(control) : std::string();
            if (kind == "Edit") {
                if (code == EN_CHANGE && view.quiet_ == 0) {
                    view.deliver(event(Notification::EditChanged, id));
                }
                return answer(0);
            }
            if (kind == "ComboBox") {
                if (code == CBN_SELCHANGE) {
                    view.deliver(
                        event(Notification::SelectionChanged, id,
                              static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0))));
                }
                return answer(0);
            }
            if (code == BN_CLICKED) {
                // Buttons, check boxes (after they toggled), notifying labels, and Enter and
                // Escape through the dialog manager.
                view.deliver(event(Notification::Clicked, id));
                return answer(0);
            }
            break;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            const int id = static_cast<int>(header->idFrom);
            switch (header->code) {
                case LVN_ITEMCHANGED: {
                    const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
                    if ((change->uChanged & LVIF_STATE) != 0 &&
                        ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) != 0) {
                        view.selectionMayHaveChanged(id);
                    }
                    return answer(0);
                }
                case NM_DBLCLK: {
                    const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
                    if (classOf(header->hwndFrom) == WC_LISTVIEWA) {
                        view.deliver(event(Notification::DoubleClicked, id, activate->iItem));
                        return answer(0);
                    }
                    break;
                }
                case LVN_KEYDOWN: {
                    const auto* key = reinterpret_cast<const NMLVKEYDOWN*>(lParam);
                    view.deliver(event(Notification::KeyDown, id, key->wVKey));
                    return answer(0);
                }
                case LVN_COLUMNCLICK: {
                    const auto* column = reinterpret_cast<const NMLISTVIEW*>(lParam);
                    view.deliver(event(Notification::ColumnClicked, id, column->iSubItem));
                    return answer(0);
                }
                case PSN_SETACTIVE:
                    // The page refuses to become current unless its presenter accepts.
                    return answer(view.deliver(event(Notification::Activate)) != 0 ? 0 : -1);
                default:
                    break;
            }
            break;
        }
        case WM_SYSCOMMAND: {
            if (view.deliver(event(Notification::SystemCommand, 0,
                                   static_cast<int>(wParam & 0xFFF0U))) != 0) {
                return answer(0);
            }
            return FALSE;
        }
        case WM_CLOSE:
            // The close box of a dialog is its Cancel.
            view.deliver(event(Notification::Clicked, IDCANCEL));
            return answer(0);
        case WM_SIZE: {
            DialogEvent size = event(Notification::Size, 0, LOWORD(lParam));
            size.value2 = HIWORD(lParam);
            view.deliver(size);
            if (wParam == SIZE_MINIMIZED) {
                view.deliver(event(Notification::Minimized));
            }
            return FALSE;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HWND control = reinterpret_cast<HWND>(lParam);
            const std::optional<std::uint32_t> colour = view.textColour(GetDlgCtrlID(control));
            if (!colour) {
                return FALSE;
            }
            HDC paint = reinterpret_cast<HDC>(wParam);
            SetTextColor(paint, *colour);
            SetBkMode(paint, TRANSPARENT);
            // Colour messages answer with the brush itself.
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_DESTROY:
            view.destroyed();
            return FALSE;
        default:
            break;
    }
    if (message == selectionMessage()) {
        view.reportSelection(static_cast<int>(wParam));
        return answer(0);
    }
    if (isProgramMessage(message) &&
        preTranslateForeign(PostedMessage{window, message, wParam, lParam})) {
        return answer(0);
    }
    const std::intptr_t result = view.deliver(common::ViewRoutes::eventOf(message, wParam, lParam));
    return result != 0 ? answer(result) : FALSE;
}

std::intptr_t Win32DialogViews::sheetMessage(Win32View& sheet, void* window, unsigned int message,
                                             std::uintptr_t wParam, std::intptr_t lParam,
                                             bool& handled) {
    HWND dialog = hwnd(window);
    handled = true;
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (HIWORD(wParam) == BN_CLICKED && (id == IDOK || id == IDCANCEL || id == IDHELP)) {
                // The sheet's own buttons are the presenter's: "Minimize", "Shutdown", "Help".
                sheet.deliver(event(Notification::Clicked, id));
                return 0;
            }
            break;
        }
        case WM_SYSCOMMAND: {
            const int command = static_cast<int>(wParam & 0xFFF0U);
            if (sheet.deliver(event(Notification::SystemCommand, 0, command)) != 0) {
                return 0;
            }
            if (command == SC_CLOSE) {
                sheet.deliver(event(Notification::Clicked, IDCANCEL));
                return 0;
            }
            break;
        }
        case WM_SIZE: {
            const LRESULT result = DefSubclassProc(dialog, message, wParam, lParam);
            DialogEvent size = event(Notification::Size, 0, LOWORD(lParam));
            size.value2 = HIWORD(lParam);
            sheet.deliver(size);
            if (wParam == SIZE_MINIMIZED) {
                sheet.deliver(event(Notification::Minimized));
            }
            return result;
        }
        case WM_DESTROY:
            sheet.destroyed();
            break;
        default:
            if (isProgramMessage(message) &&
                preTranslateForeign(PostedMessage{window, message, wParam, lParam})) {
                return 0;
            }
            if (message >= WM_USER || message == WM_TIMER) {
                const std::intptr_t result =
                    sheet.deliver(common::ViewRoutes::eventOf(message, wParam, lParam));
                if (result != 0) {
                    return result;
                }
            }
            break;
    }
    handled = false;
    return 0;
}

}  // namespace os::win32
