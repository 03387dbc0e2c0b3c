#pragma once

#include "os/DialogView.h"
#include "windows/mfc/Control.h"
#include "windows/mfc/DataExchange.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace windows::mfc {

// A dialog's presenter: its fields, its procedures and its message map, over the view that
// shows its template. It knows no toolkit: the view is reached through the platform's
// dialog port only. Derived dialogs fill the message map in their constructors.
class Dialog : public os::DialogEvents {
public:
    explicit Dialog(const os::DialogTemplate& dialogTemplate);
    ~Dialog() override;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Makes the window of a modeless dialog or page; false when the toolkit could not.
    bool create(os::WindowHandle parent);
    void destroy();
    // Runs the dialog modally and returns how it ended (os::id::Ok, os::id::Cancel), or -1
    // when it could not be shown.
    int doModal(os::WindowHandle parent = 0);

    bool hasWindow() const { return currentView != nullptr; }
    // 0 while the window does not exist.
    os::WindowHandle getHandle() const { return view().getHandle(); }
    const os::DialogTemplate& getTemplate() const { return dialogTemplate; }

    void attachView(os::DialogView* dialogView) override;
    std::intptr_t handleEvent(const os::DialogEvent& event) override;

protected:
    using Handler = std::function<std::intptr_t(const os::DialogEvent&)>;

    // The window's view; while there is none, a view that does nothing.
    os::DialogView& view() const;

    // Message map entries: the first entry that matches an event handles it.
    void on(os::Notification notification, int controlId, Handler handler);
    void onClicked(int controlId, std::function<void()> handler);
    // A window message sent or posted to the dialog's window.
    void onMessage(unsigned int message, Handler handler);
    // The control sees its own notifications first and follows the dialog's windows.
    void bind(Control& control);

    // Copies the fields into the controls, or with saveAndValidate the controls into the
    // fields. False without a window.
    bool updateData(bool saveAndValidate);
    void endDialog(int result);

    virtual void doDataExchange(DataExchange& exchange);
    // Copies the fields into the controls; true lets the view set the focus.
    virtual bool onInitDialog();
    // The OK button: reads the fields and ends the dialog with os::id::Ok.
    virtual void onOK();
    // The Cancel button and the close box: ends the dialog with os::id::Cancel.
    virtual void onCancel();
    // Events that no entry of the map handles.
    virtual std::intptr_t defaultHandling(const os::DialogEvent& event);

private:
    struct Entry {
        os::Notification notification;
        // The control's id, or the message for window messages.
        std::intptr_t key;
        Handler handler;
    };

    const os::DialogTemplate& dialogTemplate;
    std::unique_ptr<os::DialogView> ownView;
    os::DialogView* currentView = nullptr;
    std::vector<Entry> messageMap;
    std::vector<Control*> controls;
    bool destroying = false;
};

// A page of a property sheet.
class PropertyPage : public Dialog {
public:
    using Dialog::Dialog;

    void attachView(os::DialogView* dialogView) override;

protected:
    // The page becomes the current page. From the second time on in a window's life the
    // fields are copied back into the controls. True accepts.
    virtual bool onSetActive();
    std::intptr_t defaultHandling(const os::DialogEvent& event) override;

private:
    bool firstActivation = true;
};

}  // namespace windows::mfc
