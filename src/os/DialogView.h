#pragma once

#include "os/DialogTemplate.h"
#include "os/StatusArea.h"
#include "os/Types.h"
#include "os/Windows.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace os {

// What happened in a dialog, as its view reports it to the presenter.
enum class Notification {
    // The controls exist and show the template. A nonzero result lets the view give the
    // focus to the first control that takes it.
    InitDialog,
    // A page became the current page of its sheet. A nonzero result accepts.
    Activate,
    // The window is about to go; the controls still exist.
    Destroy,
    // A push button, a check box (after it toggled) or a notifying label was clicked.
    Clicked,
    // A list's selection changed (`items`: the selected rows, ascending), or a drop-down
    // list's (`value`: the selected entry, -1 for none).
    SelectionChanged,
    // A double click in a list; `value` is the row under the pointer, -1 for none.
    DoubleClicked,
    // A key went down while a list had the focus; `value` is its virtual-key code.
    KeyDown,
    // A key went up while an edit box had the focus; `value` is its virtual-key code.
    KeyUp,
    // A list's column header was clicked; `value` is the column.
    ColumnClicked,
    // The user changed an edit box's text.
    EditChanged,
    // The client area got a new size: `value` the width, `value2` the height, in pixels.
    Size,
    // Any other window message sent or posted to the dialog's window.
    Message,
    // A message of the modal loop's thread, before it is dispatched (`message`, `wParam`,
    // `lParam`; the window may be 0 for a thread message). A nonzero result consumes it.
    PreTranslate,
    // A command of the window's system menu or frame (`value`: sc::Close, sc::Minimize, ...).
    // A nonzero result means handled; otherwise the toolkit does what the command says.
    SystemCommand,
    // The window was minimised.
    Minimized,
};

// System commands.
namespace sc {
inline constexpr int Minimize = 0xF020;
inline constexpr int Close = 0xF060;
}  // namespace sc

struct DialogEvent {
    Notification notification = Notification::Message;
    // The control the event concerns; 0 for the dialog itself.
    int controlId = 0;
    int value = 0;
    int value2 = 0;
    std::vector<int> items;
    // For Message.
    unsigned int message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// A column of a list: its header and its width in pixels.
struct ListColumn {
    std::string text;
    int width = 0;
};

struct FontStyle {
    std::string face;
    // In logical units; negative for the character height, as the system gives it.
    int height = 0;
    // 400 normal, 700 bold.
    int weight = 400;
    bool underline = false;

    bool operator==(const FontStyle&) const = default;
};

class DialogView;

// The presenter of a dialog, as its view sees it.
class DialogEvents {
public:
    virtual ~DialogEvents() = default;
    // The view, once its window and controls exist and before InitDialog; nullptr after
    // Destroy.
    virtual void attachView(DialogView* view) = 0;
    // Returns the event's result (see Notification), 0 when it has none.
    virtual std::intptr_t handleEvent(const DialogEvent& event) = 0;
};

// A dialog or page on the screen, its controls addressed by id. Calls on an id the dialog
// does not have fail (false, -1 or an empty result) with error::ControlIdNotFound.
class DialogView {
public:
    virtual ~DialogView() = default;

    // The dialog's window, which receives posted messages as Message events.
    virtual WindowHandle getHandle() const = 0;
    virtual void setCaption(const std::string& caption) = 0;
    // In pixels, from 0, 0.
    virtual Rect getClientRect() const = 0;

    // Every control.
    virtual bool setText(int id, const std::string& text) = 0;
    virtual std::string getText(int id) const = 0;
    virtual bool enableControl(int id, bool enable) = 0;
    virtual bool showControl(int id, bool show) = 0;
    // The outer rectangle, borders included, in client pixels.
    virtual Rect getControlRect(int id) const = 0;
    virtual bool moveControl(int id, const Rect& rect) = 0;
    virtual bool setFocus(int id) = 0;
    virtual FontStyle getFont(int id) const = 0;
    virtual bool setFont(int id, const FontStyle& font) = 0;
    // The colour the control's text is drawn in, 0x00BBGGRR.
    virtual bool setTextColour(int id, std::uint32_t colour) = 0;

    // Check boxes.
    virtual bool setCheck(int id, bool checked) = 0;
    virtual bool isChecked(int id) const = 0;

    // Lists. Rows hold one text per column; the selection is the view's until it reports a
    // change.
    virtual bool setListColumns(int id, const std::vector<ListColumn>& columns,
                                unsigned extendedStyle) = 0;
    virtual bool insertListRow(int id, int index, const std::vector<std::string>& texts) = 0;
    virtual bool deleteListRow(int id, int index) = 0;
    virtual bool deleteAllListRows(int id) = 0;
    virtual bool setListSelection(int id, const std::vector<int>& rows) = 0;

    // Drop-down lists.
    virtual bool resetCombo(int id) = 0;
    // The new entry's index (a sorted list puts it in order), -1 on failure.
    virtual int addComboItem(int id, const std::string& text) = 0;
    // -1 selects nothing.
    virtual bool setComboSelection(int id, int index) = 0;
    // -1 when nothing is selected.
    virtual int getComboSelection(int id) const = 0;
    virtual std::string getComboItemText(int id, int index) const = 0;

    // Shows the controls' tips while the mouse rests on them.
    virtual void enableToolTips(bool enable) = 0;
    // Ends a modal dialog with the result once the current event is handled.
    virtual void endDialog(int result) = 0;
    // A message box owned by the dialog; returns the button pressed (os::id).
    virtual int messageBox(const std::string& text, const std::string& caption, unsigned style) = 0;

    // The window's frame: style bits added and removed (ws::), the icon shown, and an item
    // put into the system menu at a position (false when the window has none).
    virtual void modifyStyle(unsigned remove, unsigned add) = 0;
    virtual void setIcon(IconHandle icon) = 0;
    virtual bool insertSystemMenuItem(int position, int command, const std::string& text) = 0;
};

// Frame styles of a dialog window.
namespace ws {
inline constexpr unsigned SysMenu = 0x00080000U;
inline constexpr unsigned MinimizeBox = 0x00020000U;
}  // namespace ws

// A page of a property sheet: its template and its presenter.
struct SheetPage {
    const DialogTemplate* dialogTemplate = nullptr;
    DialogEvents* events = nullptr;
};

// Property-sheet header flags.
namespace psh {
inline constexpr unsigned UseIconId = 0x04;
inline constexpr unsigned PropSheetPage = 0x08;
inline constexpr unsigned NoApplyNow = 0x80;
}  // namespace psh

// Extended list styles.
namespace lvs {
inline constexpr unsigned GridLines = 0x01;
inline constexpr unsigned FullRowSelect = 0x20;
}  // namespace lvs

// The toolkit that puts dialog templates on the screen.
class DialogViews {
public:
    virtual ~DialogViews() = default;

    // A modeless dialog or page: the window exists, the presenter is attached and has had
    // InitDialog when this returns. Destroying the view sends Destroy and detaches the
    // presenter. nullptr, with the last error set, when the window cannot be made.
    virtual std::unique_ptr<DialogView> createView(const DialogTemplate& dialogTemplate,
                                                   DialogEvents& events, WindowHandle parent) = 0;
    // Runs the dialog modally: returns the result given to endDialog once the window is
    // gone, or -1 when it could not be shown.
    virtual int runModal(const DialogTemplate& dialogTemplate, DialogEvents& events,
                         WindowHandle parent) = 0;
    // Runs a property sheet modally: the sheet's own template (caption, buttons) with a tab
    // per page in order, the first page selected. The sheet's presenter sees every message
    // of the loop's thread before dispatch (PreTranslate). Returns as runModal does.
    virtual int runSheet(const DialogTemplate& sheetTemplate, DialogEvents& events,
                         const std::vector<SheetPage>& pages, unsigned flags,
                         WindowHandle parent) = 0;
};

}  // namespace os
