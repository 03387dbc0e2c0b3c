#include "os/sim/HeadlessView.h"

#include "os/Dialogs.h"
#include "os/ErrorCodes.h"
#include "os/sim/HeadlessViews.h"

namespace os::sim {

HeadlessView::HeadlessView(HeadlessViews& owner, const DialogTemplate& dialogTemplate,
                           DialogEvents& events, WindowHandle window)
    : owner_(owner),
      template_(dialogTemplate),
      events_(events),
      window_(window),
      caption_(dialogTemplate.caption),
      client_(HeadlessViews::toPixels(0, 0, dialogTemplate.width, dialogTemplate.height)) {
    const FontStyle font = HeadlessViews::dialogFont(dialogTemplate);
    for (const ControlTemplate& item : dialogTemplate.controls) {
        if (item.id != NoControlId) {
            controls_.insert_or_assign(
                item.id,
                Control(item, HeadlessViews::toPixels(item.x, item.y, item.width, item.height),
                        font));
        }
    }
    HeadlessViews::Routes::table().add(window_, *this);
}

HeadlessView::~HeadlessView() {
    // A sheet's pages go with it.
    pages_.clear();
    DialogEvent destroy;
    destroy.notification = Notification::Destroy;
    events_.handleEvent(destroy);
    events_.attachView(nullptr);
    HeadlessViews::Routes::table().remove(window_);
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

HeadlessView::Control* HeadlessView::find(int id, ControlKind kind) {
    Control* control = find(id);
    if (control == nullptr || control->kind != kind) {
        fail();
        return nullptr;
    }
    return control;
}

const HeadlessView::Control* HeadlessView::find(int id, ControlKind kind) const {
    const Control* control = find(id);
    if (control == nullptr || control->kind != kind) {
        fail();
        return nullptr;
    }
    return control;
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
    return control->shownText();
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
    if (!control->visible || !control->enabled || !control->traits().takesFocus) {
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
    Control* control = find(id, ControlKind::ListView);
    if (control == nullptr) {
        return false;
    }
    control->columns = columns;
    control->extendedStyle = extendedStyle;
    return true;
}

bool HeadlessView::insertListRow(int id, int index, const std::vector<std::string>& texts) {
    Control* control = find(id, ControlKind::ListView);
    if (control == nullptr) {
        return false;
    }
    control->insertRow(index, texts);
    return true;
}

bool HeadlessView::deleteListRow(int id, int index) {
    Control* control = find(id, ControlKind::ListView);
    if (control == nullptr) {
        return false;
    }
    if (!control->deleteRow(index)) {
        owner_.errors_.setLastError(error::InvalidParameter);
        return false;
    }
    return true;
}

bool HeadlessView::deleteAllListRows(int id) {
    Control* control = find(id, ControlKind::ListView);
    if (control == nullptr) {
        return false;
    }
    control->clearRows();
    return true;
}

bool HeadlessView::setListSelection(int id, const std::vector<int>& rows) {
    Control* control = find(id, ControlKind::ListView);
    if (control == nullptr) {
        return false;
    }
    control->setSelection(rows);
    return true;
}

bool HeadlessView::resetCombo(int id) {
    Control* control = find(id, ControlKind::DropDownList);
    if (control == nullptr) {
        return false;
    }
    control->clearEntries();
    return true;
}

int HeadlessView::addComboItem(int id, const std::string& text) {
    Control* control = find(id, ControlKind::DropDownList);
    return control == nullptr ? -1 : control->addEntry(text);
}

bool HeadlessView::setComboSelection(int id, int index) {
    Control* control = find(id, ControlKind::DropDownList);
    if (control == nullptr) {
        return false;
    }
    if (!control->selectEntry(index)) {
        owner_.errors_.setLastError(error::InvalidParameter);
        return false;
    }
    return true;
}

int HeadlessView::getComboSelection(int id) const {
    const Control* control = find(id, ControlKind::DropDownList);
    return control == nullptr ? -1 : control->comboSelection;
}

std::string HeadlessView::getComboItemText(int id, int index) const {
    const Control* control = find(id, ControlKind::DropDownList);
    if (control == nullptr) {
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
    const common::ControlKindTraits& traits = control->traits();
    if (!traits.reportsClicks(control->style)) {
        return false;
    }
    if (traits.click == common::ControlKindTraits::Click::Toggles) {
        control->checked = !control->checked;
    }
    if (traits.takesFocus) {
        focus_ = id;
    }
    deliver(common::controlEvent(Notification::Clicked, id));
    return true;
}

bool HeadlessView::type(int id, const std::string& text) {
    Control* control = usable(id);
    if (control == nullptr || control->kind != ControlKind::Edit) {
        return false;
    }
    focus_ = id;
    control->text = text;
    deliver(common::controlEvent(Notification::EditChanged, id));
    return true;
}

bool HeadlessView::pressKey(int id, int virtualKey) {
    Control* control = usable(id);
    if (control == nullptr || !control->traits().takesFocus) {
        return false;
    }
    focus_ = id;
    if (const auto report = control->traits().keyReport) {
        deliver(common::controlEvent(*report, id, virtualKey));
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
    DialogEvent event = common::controlEvent(Notification::SelectionChanged, id);
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
    deliver(common::controlEvent(Notification::DoubleClicked, id, row));
    return true;
}

bool HeadlessView::clickColumn(int id, int column) {
    Control* control = usable(id);
    if (control == nullptr || control->kind != ControlKind::ListView || column < 0 ||
        column >= static_cast<int>(control->columns.size())) {
        return false;
    }
    deliver(common::controlEvent(Notification::ColumnClicked, id, column));
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
    deliver(common::controlEvent(Notification::SelectionChanged, id, index));
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
    deliver(common::controlEvent(Notification::Clicked, id::Cancel));
    return true;
}

std::intptr_t HeadlessView::send(unsigned int message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    return deliver(common::ViewRoutes::eventOf(message, wParam, lParam));
}

}  // namespace os::sim
