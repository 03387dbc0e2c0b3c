#include "os/sim/HeadlessViews.h"

#include "os/Dialogs.h"
#include "os/ErrorCodes.h"

#include <algorithm>
#include <cctype>

namespace os::sim {

namespace {

const char* const ViewClassName = "PastrixHeadlessDialog";

// The average character of the dialog font, in pixels: what dialog units are made of.
constexpr int BaseUnitX = 6;
constexpr int BaseUnitY = 13;

int mulDiv(int number, int numerator, int denominator) {
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

// The dialogs' windows, to find the view a message is for: window procedures have no
// context of their own.
common::ViewRoutes routes;

std::intptr_t viewProcedure(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
    return routes.route(window, message, wParam, lParam);
}

bool takesFocus(ControlKind kind) {
    return kind != ControlKind::Label && kind != ControlKind::GroupBox &&
           kind != ControlKind::Picture;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

Rect HeadlessViews::toPixels(int x, int y, int width, int height) {
    const int left = mulDiv(x, BaseUnitX, 4);
    const int top = mulDiv(y, BaseUnitY, 8);
    return Rect{left, top, left + mulDiv(width, BaseUnitX, 4), top + mulDiv(height, BaseUnitY, 8)};
}

HeadlessView::HeadlessView(HeadlessViews& owner, const DialogTemplate& dialogTemplate,
                           DialogEvents& events, WindowHandle window)
    : owner_(owner),
      template_(dialogTemplate),
      events_(events),
      window_(window),
      caption_(dialogTemplate.caption),
      client_(HeadlessViews::toPixels(0, 0, dialogTemplate.width, dialogTemplate.height)) {
    const FontStyle font{dialogTemplate.fontName, -mulDiv(dialogTemplate.fontPointSize, 96, 72),
                         400, false};
    for (const ControlTemplate& item : dialogTemplate.controls) {
        if (item.id == NoControlId) {
            continue;
        }
        Control control;
        control.kind = item.kind;
        control.style = item.style;
        control.text = item.text;
        control.tip = item.tip;
        control.rect = HeadlessViews::toPixels(item.x, item.y, item.width, item.height);
        control.enabled = (item.style & cs::Disabled) == 0;
        control.visible = (item.style & cs::Hidden) == 0;
        control.font = font;
        controls_[item.id] = control;
    }
    routes.add(window_, *this);
}

HeadlessView::~HeadlessView() {
    // A sheet's pages go with it.
    pages_.clear();
    DialogEvent destroy;
    destroy.notification = Notification::Destroy;
    events_.handleEvent(destroy);
    events_.attachView(nullptr);
    routes.remove(window_);
    owner_.forget(this, window_);
}

std::intptr_t HeadlessView::deliver(const DialogEvent& event) {
    return events_.handleEvent(event);
}

bool HeadlessView::fail() const {
    owner_.errors_.setLastError(error::ControlIdNotFound);
    return false;
}

HeadlessView::Control* HeadlessView::find(int id) {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : &found->second;
}

const HeadlessView::Control* HeadlessView::find(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : &found->second;
}

HeadlessView::Control* HeadlessView::usable(int id) {
    Control* control = find(id);
    if (control == nullptr || !control->visible || !control->enabled || hasEnded()) {
        return nullptr;
    }
    return control;
}

bool HeadlessView::setText(int id, const std::string& text) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    control->text = text;
    return true;
}

std::string HeadlessView::getText(int id) const {
    const Control* control = find(id);
    if (control == nullptr) {
        fail();
        return {};
    }
    if (control->kind == ControlKind::DropDownList) {
        return control->comboSelection < 0
                   ? std::string()
                   : control->items[static_cast<std::size_t>(control->comboSelection)];
    }
    return control->text;
}

bool HeadlessView::enableControl(int id, bool enable) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    control->enabled = enable;
    if (!enable && focus_ == id) {
        focus_ = 0;
    }
    return true;
}

bool HeadlessView::showControl(int id, bool show) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    control->visible = show;
    if (!show && focus_ == id) {
        focus_ = 0;
    }
    return true;
}

Rect HeadlessView::getControlRect(int id) const {
    const Control* control = find(id);
    if (control == nullptr) {
        fail();
        return {};
    }
    return control->rect;
}

bool HeadlessView::moveControl(int id, const Rect& rect) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    control->rect = rect;
    return true;
}

bool HeadlessView::setFocus(int id) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    if (!control->visible || !control->enabled || !takesFocus(control->kind)) {
        return false;
    }
    focus_ = id;
    return true;
}

FontStyle HeadlessView::getFont(int id) const {
    const Control* control = find(id);
    if (control == nullptr) {
        fail();
        return {};
    }
    return control->font;
}

bool HeadlessView::setFont(int id, const FontStyle& font) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    control->font = font;
    return true;
}

bool HeadlessView::setTextColour(int id, std::uint32_t colour) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    control->textColour = colour;
    return true;
}

bool HeadlessView::setCheck(int id, bool checked) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    control->checked = checked;
    return true;
}

bool HeadlessView::isChecked(int id) const {
    const Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    return control->checked;
}

bool HeadlessView::setListColumns(int id, const std::vector<ListColumn>& columns,
                                  unsigned extendedStyle) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::ListView) {
        return fail();
    }
    control->columns = columns;
    control->extendedStyle = extendedStyle;
    return true;
}

bool HeadlessView::insertListRow(int id, int index, const std::vector<std::string>& texts) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::ListView) {
        return fail();
    }
    const int count = static_cast<int>(control->rows.size());
    if (index < 0 || index > count) {
        index = count;
    }
    std::vector<std::string> row = texts;
    row.resize(std::max<std::size_t>(control->columns.size(), 1));
    control->rows.insert(control->rows.begin() + index, row);
    std::set<int> moved;
    for (const int selected : control->selection) {
        moved.insert(selected >= index ? selected + 1 : selected);
    }
    control->selection = moved;
    return true;
}

bool HeadlessView::deleteListRow(int id, int index) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::ListView) {
        return fail();
    }
    if (index < 0 || index >= static_cast<int>(control->rows.size())) {
        owner_.errors_.setLastError(error::InvalidParameter);
        return false;
    }
    control->rows.erase(control->rows.begin() + index);
    std::set<int> moved;
    for (const int selected : control->selection) {
        if (selected != index) {
            moved.insert(selected > index ? selected - 1 : selected);
        }
    }
    control->selection = moved;
    return true;
}

bool HeadlessView::deleteAllListRows(int id) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::ListView) {
        return fail();
    }
    control->rows.clear();
    control->selection.clear();
    return true;
}

bool HeadlessView::setListSelection(int id, const std::vector<int>& rows) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::ListView) {
        return fail();
    }
    control->selection.clear();
    for (const int row : rows) {
        if (row >= 0 && row < static_cast<int>(control->rows.size())) {
            control->selection.insert(row);
        }
    }
    return true;
}

bool HeadlessView::resetCombo(int id) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::DropDownList) {
        return fail();
    }
    control->items.clear();
    control->comboSelection = -1;
    return true;
}

int HeadlessView::addComboItem(int id, const std::string& text) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::DropDownList) {
        fail();
        return -1;
    }
    auto position = control->items.end();
    if ((control->style & cs::Sorted) != 0) {
        const std::string key = lower(text);
        position = std::find_if(control->items.begin(), control->items.end(),
                                [&](const std::string& item) { return lower(item) > key; });
    }
    const int index = static_cast<int>(position - control->items.begin());
    control->items.insert(position, text);
    if (control->comboSelection >= index) {
        ++control->comboSelection;
    }
    return index;
}

bool HeadlessView::setComboSelection(int id, int index) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::DropDownList) {
        return fail();
    }
    if (index < -1 || index >= static_cast<int>(control->items.size())) {
        // As the system does: an index out of range clears the selection and fails.
        control->comboSelection = -1;
        owner_.errors_.setLastError(error::InvalidParameter);
        return false;
    }
    control->comboSelection = index;
    return true;
}

int HeadlessView::getComboSelection(int id) const {
    const Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::DropDownList) {
        fail();
        return -1;
    }
    return control->comboSelection;
}

std::string HeadlessView::getComboItemText(int id, int index) const {
    const Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::DropDownList) {
        fail();
        return {};
    }
    if (index < 0 || index >= static_cast<int>(control->items.size())) {
        return {};
    }
    return control->items[static_cast<std::size_t>(index)];
}

void HeadlessView::endDialog(int result) {
    if (!result_) {
        result_ = result;
    }
}

int HeadlessView::messageBox(const std::string& text, const std::string& caption, unsigned style) {
    return owner_.dialogs_.messageBox(window_, text, caption, style);
}

void HeadlessView::modifyStyle(unsigned remove, unsigned add) {
    frame_.modifyStyle(remove, add);
}

bool HeadlessView::insertSystemMenuItem(int position, int command, const std::string& text) {
    return frame_.insertMenuItem(position, command, text, owner_.errors_);
}

bool HeadlessView::systemCommand(int command) {
    if (hasEnded()) {
        return false;
    }
    DialogEvent event;
    event.notification = Notification::SystemCommand;
    event.value = command;
    if (deliver(event) != 0) {
        return true;
    }
    if (command == sc::Minimize) {
        return minimize();
    }
    if (command == sc::Close) {
        return close();
    }
    return true;
}

bool HeadlessView::minimize() {
    if (hasEnded()) {
        return false;
    }
    minimized_ = true;
    DialogEvent event;
    event.notification = Notification::Minimized;
    deliver(event);
    return true;
}

int HeadlessView::pumpMessages() {
    return pumpMessages({});
}

int HeadlessView::pumpMessages(const std::function<void(const std::optional<Message>&)>& taking) {
    int count = 0;
    Message message;
    while (!hasEnded() && owner_.windows_.peekMessage(message, true)) {
        ++count;
        if (taking) {
            taking(message);
        }
        if (deliver(common::ViewRoutes::eventOf(message.message, message.wParam, message.lParam,
                                                Notification::PreTranslate)) != 0) {
            continue;
        }
        owner_.windows_.translateMessage(message);
        owner_.windows_.dispatchMessage(message);
    }
    if (taking) {
        taking(std::nullopt);
    }
    return count;
}

std::vector<std::string> HeadlessView::tabs() const {
    std::vector<std::string> captions;
    for (const auto& page : pages_) {
        captions.push_back(page->caption());
    }
    return captions;
}

bool HeadlessView::selectTab(int index) {
    if (hasEnded() || index < 0 || index >= static_cast<int>(pages_.size())) {
        return false;
    }
    if (!pages_[static_cast<std::size_t>(index)]->activate()) {
        return false;
    }
    currentTab_ = index;
    return true;
}

bool HeadlessView::isEnabled(int id) const {
    const Control* control = find(id);
    return control != nullptr && control->enabled;
}

bool HeadlessView::isVisible(int id) const {
    const Control* control = find(id);
    return control != nullptr && control->visible;
}

std::vector<ListColumn> HeadlessView::listColumns(int id) const {
    const Control* control = find(id);
    return control == nullptr ? std::vector<ListColumn>() : control->columns;
}

unsigned HeadlessView::listExtendedStyle(int id) const {
    const Control* control = find(id);
    return control == nullptr ? 0 : control->extendedStyle;
}

std::vector<std::vector<std::string>> HeadlessView::listRows(int id) const {
    const Control* control = find(id);
    return control == nullptr ? std::vector<std::vector<std::string>>() : control->rows;
}

std::vector<int> HeadlessView::listSelection(int id) const {
    const Control* control = find(id);
    return control == nullptr
               ? std::vector<int>()
               : std::vector<int>(control->selection.begin(), control->selection.end());
}

std::vector<std::string> HeadlessView::comboItems(int id) const {
    const Control* control = find(id);
    return control == nullptr ? std::vector<std::string>() : control->items;
}

std::uint32_t HeadlessView::textColour(int id) const {
    const Control* control = find(id);
    return control == nullptr ? 0 : control->textColour;
}

std::string HeadlessView::hover(int id) const {
    const Control* control = find(id);
    if (!toolTips_ || control == nullptr || !control->visible) {
        return {};
    }
    return control->tip;
}

bool HeadlessView::click(int id) {
    Control* control = usable(id);
    if (control == nullptr) {
        return false;
    }
    switch (control->kind) {
        case ControlKind::CheckBox:
            control->checked = !control->checked;
            break;
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
            break;
        case ControlKind::Label:
            if ((control->style & cs::Notify) == 0) {
                return false;
            }
            break;
        default:
            return false;
    }
    if (takesFocus(control->kind)) {
        focus_ = id;
    }
    DialogEvent event;
    event.notification = Notification::Clicked;
    event.controlId = id;
    deliver(event);
    return true;
}

bool HeadlessView::type(int id, const std::string& text) {
    Control* control = usable(id);
    if (control == nullptr || control->kind != ControlKind::Edit) {
        return false;
    }
    focus_ = id;
    control->text = text;
    DialogEvent event;
    event.notification = Notification::EditChanged;
    event.controlId = id;
    deliver(event);
    return true;
}

bool HeadlessView::pressKey(int id, int virtualKey) {
    Control* control = usable(id);
    if (control == nullptr || !takesFocus(control->kind)) {
        return false;
    }
    focus_ = id;
    DialogEvent event;
    event.controlId = id;
    event.value = virtualKey;
    if (control->kind == ControlKind::ListView) {
        event.notification = Notification::KeyDown;
        deliver(event);
    } else if (control->kind == ControlKind::Edit) {
        event.notification = Notification::KeyUp;
        deliver(event);
    }
    return true;
}

bool HeadlessView::selectRows(int id, const std::vector<int>& rows) {
    Control* control = usable(id);
    if (control == nullptr || control->kind != ControlKind::ListView) {
        return false;
    }
    for (const int row : rows) {
        if (row < 0 || row >= static_cast<int>(control->rows.size())) {
            return false;
        }
    }
    focus_ = id;
    control->selection = std::set<int>(rows.begin(), rows.end());
    DialogEvent event;
    event.notification = Notification::SelectionChanged;
    event.controlId = id;
    event.items.assign(control->selection.begin(), control->selection.end());
    deliver(event);
    return true;
}

bool HeadlessView::doubleClick(int id, int row) {
    Control* control = usable(id);
    if (control == nullptr || control->kind != ControlKind::ListView ||
        row >= static_cast<int>(control->rows.size()) || row < -1) {
        return false;
    }
    const std::vector<int> selection = row < 0 ? std::vector<int>() : std::vector<int>{row};
    if (listSelection(id) != selection) {
        if (!selectRows(id, selection)) {
            return false;
        }
    }
    focus_ = id;
    DialogEvent event;
    event.notification = Notification::DoubleClicked;
    event.controlId = id;
    event.value = row;
    deliver(event);
    return true;
}

bool HeadlessView::clickColumn(int id, int column) {
    Control* control = usable(id);
    if (control == nullptr || control->kind != ControlKind::ListView || column < 0 ||
        column >= static_cast<int>(control->columns.size())) {
        return false;
    }
    DialogEvent event;
    event.notification = Notification::ColumnClicked;
    event.controlId = id;
    event.value = column;
    deliver(event);
    return true;
}

bool HeadlessView::selectComboItem(int id, int index) {
    Control* control = usable(id);
    if (control == nullptr || control->kind != ControlKind::DropDownList || index < 0 ||
        index >= static_cast<int>(control->items.size())) {
        return false;
    }
    focus_ = id;
    control->comboSelection = index;
    DialogEvent event;
    event.notification = Notification::SelectionChanged;
    event.controlId = id;
    event.value = index;
    deliver(event);
    return true;
}

bool HeadlessView::activate() {
    if (hasEnded()) {
        return false;
    }
    DialogEvent event;
    event.notification = Notification::Activate;
    return deliver(event) != 0;
}

bool HeadlessView::resize(int width, int height) {
    if (hasEnded() || width < 0 || height < 0) {
        return false;
    }
    client_ = Rect{0, 0, width, height};
    DialogEvent event;
    event.notification = Notification::Size;
    event.value = width;
    event.value2 = height;
    deliver(event);
    return true;
}

bool HeadlessView::close() {
    if (hasEnded()) {
        return false;
    }
    DialogEvent event;
    event.notification = Notification::Clicked;
    event.controlId = id::Cancel;
    deliver(event);
    return true;
}

std::intptr_t HeadlessView::send(unsigned int message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    return deliver(common::ViewRoutes::eventOf(message, wParam, lParam));
}

HeadlessViews::HeadlessViews(SimWindows& windows, SimDialogs& dialogs, Errors& errors)
    : windows_(windows), dialogs_(dialogs), errors_(errors) {}

HeadlessViews::~HeadlessViews() = default;

std::unique_ptr<HeadlessView> HeadlessViews::make(const DialogTemplate& dialogTemplate,
                                                  DialogEvents& events, WindowHandle parent,
                                                  bool initialise) {
    if (!windows_.isClassRegistered(ViewClassName)) {
        WindowClass windowClass;
        windowClass.procedure = &viewProcedure;
        windowClass.className = ViewClassName;
        if (!windows_.registerClass(windowClass)) {
            return nullptr;
        }
    }
    const Rect size = toPixels(0, 0, dialogTemplate.width, dialogTemplate.height);
    WindowCreation creation;
    creation.className = ViewClassName;
    creation.title = dialogTemplate.caption;
    creation.style = (dialogTemplate.style & ds::Page) != 0 ? ws::Child : ws::Popup;
    creation.width = size.right;
    creation.height = size.bottom;
    creation.parent = parent;
    const WindowHandle window = windows_.createWindow(creation);
    if (window == 0) {
        return nullptr;
    }
    auto view = std::make_unique<HeadlessView>(*this, dialogTemplate, events, window);
    open_.push_back(view.get());
    if (initialise) {
        this->initialise(*view);
    }
    return view;
}

void HeadlessViews::initialise(HeadlessView& view) {
    view.events_.attachView(&view);
    DialogEvent init;
    init.notification = Notification::InitDialog;
    if (view.deliver(init) != 0 && view.focus() == 0) {
        for (const ControlTemplate& control : view.template_.controls) {
            if (control.id != NoControlId && view.setFocus(control.id)) {
                break;
            }
        }
    }
}

void HeadlessViews::forget(HeadlessView* view, WindowHandle window) {
    open_.erase(std::remove(open_.begin(), open_.end(), view), open_.end());
    windows_.destroyWindow(window);
}

std::unique_ptr<DialogView> HeadlessViews::createView(const DialogTemplate& dialogTemplate,
                                                      DialogEvents& events, WindowHandle parent) {
    return make(dialogTemplate, events, parent);
}

int HeadlessViews::runModal(const DialogTemplate& dialogTemplate, DialogEvents& events,
                            WindowHandle parent) {
    std::unique_ptr<HeadlessView> view = make(dialogTemplate, events, parent);
    if (!view) {
        return -1;
    }
    return finishModal(std::move(view));
}

int HeadlessViews::runSheet(const DialogTemplate& sheetTemplate, DialogEvents& events,
                            const std::vector<SheetPage>& pages, unsigned flags,
                            WindowHandle parent) {
    std::unique_ptr<HeadlessView> sheet = make(sheetTemplate, events, parent, false);
    if (!sheet) {
        return -1;
    }
    sheet->sheetFlags_ = flags;
    // The pages are children of the sheet; the first is made and selected before the sheet
    // itself is initialised, the others when the user first selects them, as with the
    // system's sheet. Here all are made at once: their presenters cannot tell the difference.
    for (const SheetPage& page : pages) {
        if (page.dialogTemplate == nullptr || page.events == nullptr) {
            continue;
        }
        std::unique_ptr<HeadlessView> made =
            make(*page.dialogTemplate, *page.events, sheet->getHandle());
        if (!made) {
            return -1;
        }
        sheet->pages_.push_back(std::move(made));
    }
    if (!sheet->pages_.empty()) {
        sheet->selectTab(0);
    }
    windows_.showWindow(sheet->getHandle(), sw::Show);
    initialise(*sheet);
    return finishModal(std::move(sheet));
}

int HeadlessViews::finishModal(std::unique_ptr<HeadlessView> view) {
    const int templateId = view->templateId();
    if (!scripts_.empty()) {
        const Script script = std::move(scripts_.front());
        scripts_.pop_front();
        script(*view);
    }
    if (!view->hasEnded()) {
        view->close();
    }
    // A dialog that refuses its close box still goes when the test is done with it.
    view->endDialog(id::Cancel);
    const int result = view->result();
    view.reset();
    runs_.push_back(ModalRun{templateId, result});
    return result;
}

void HeadlessViews::whenModal(Script script) {
    scripts_.push_back(std::move(script));
}

HeadlessView* HeadlessViews::find(int templateId) const {
    for (auto view = open_.rbegin(); view != open_.rend(); ++view) {
        if ((*view)->templateId() == templateId) {
            return *view;
        }
    }
    return nullptr;
}

}  // namespace os::sim
