#pragma once

#include "os/StatusArea.h"

#include <QIcon>
#include <QPixmap>
#include <map>

namespace os::qt {

// The program's own icons and pictures, drawn rather than shipped as files, and the handles
// the port hands out for them.
class QtResources {
public:
    static constexpr int ProgramIcon = 100;
    static constexpr int NewsletterPicture = 137;

    // The handle of an icon resource; 0 when the program has no such icon.
    IconHandle iconHandle(int resourceId);
    // The icon behind a handle; a null icon for an unknown handle.
    QIcon icon(IconHandle handle) const;
    // A picture resource; a null pixmap when there is none.
    QPixmap picture(int resourceId) const;
    // A picture named as a control's text names it: by its number ("137") or by the file
    // it is made from ("newsletter.png"); a null pixmap when there is none.
    QPixmap picture(const QString& name) const;
    // Takes a resource away, as a broken installation would.
    void remove(int resourceId);

private:
    std::map<IconHandle, QIcon> icons_;
    bool programIconRemoved_ = false;
    bool pictureRemoved_ = false;
};

}  // namespace os::qt
