#include "os/qt/QtStatusArea.h"

#include "os/ErrorCodes.h"

#include <QApplication>
#include <QSystemTrayIcon>

namespace os::qt {

QtStatusArea::QtStatusArea(Windows& windows, Errors& errors, QtResources& resources,
                           TrayAvailable trayAvailable)
    : windows_(windows),
      errors_(errors),
      resources_(resources),
      trayAvailable_(trayAvailable ? std::move(trayAvailable) : TrayAvailable([] {
          return QSystemTrayIcon::isSystemTrayAvailable();
      })) {}

QtStatusArea::~QtStatusArea() = default;

bool QtStatusArea::notifyIcon(unsigned operation, const NotifyIconData& data) {
    if (data.size != NotifyIconData::RecordSize) {
        errors_.setLastError(error::InvalidParameter);
        return false;
    }
    switch (operation) {
        case nim::Add:
            return add(data);
        case nim::Delete:
            return remove(data);
        default:
            errors_.setLastError(error::InvalidParameter);
            return false;
    }
}

bool QtStatusArea::add(const NotifyIconData& data) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr || !trayAvailable_()) {
        // No notification area (yet): the caller tries again, as with a shell still starting.
        errors_.setLastError(error::Timeout);
        return false;
    }
    const Key key{data.window, data.id};
    if (icons_.count(key) != 0) {
        errors_.setLastError(error::AlreadyExists);
        return false;
    }
    auto icon = std::make_unique<QSystemTrayIcon>();
    if ((data.flags & nif::Icon) != 0) {
        icon->setIcon(resources_.icon(data.icon));
    }
    if ((data.flags & nif::Tip) != 0) {
        icon->setToolTip(QString::fromStdString(data.tip.substr(0, NotifyIconData::MaxTipLength)));
    }
    if ((data.flags & nif::Message) != 0) {
        const WindowHandle window = data.window;
        const unsigned id = data.id;
        const unsigned message = data.callbackMessage;
        Windows* windows = &windows_;
        QObject::connect(icon.get(), &QSystemTrayIcon::activated,
                         [windows, window, id, message](QSystemTrayIcon::ActivationReason reason) {
                             std::intptr_t mouse = 0;
                             switch (reason) {
                                 case QSystemTrayIcon::Trigger:
                                     mouse = LeftButtonUp;
                                     break;
                                 case QSystemTrayIcon::DoubleClick:
                                     mouse = LeftButtonDoubleClick;
                                     break;
                                 case QSystemTrayIcon::Context:
                                     mouse = RightButtonUp;
                                     break;
                                 case QSystemTrayIcon::MiddleClick:
                                     mouse = MiddleButtonUp;
                                     break;
                                 default:
                                     return;
                             }
                             windows->postMessage(window, message, id, mouse);
                         });
    }
    icon->show();
    icons_[key] = std::move(icon);
    return true;
}

bool QtStatusArea::remove(const NotifyIconData& data) {
    const auto found = icons_.find(Key{data.window, data.id});
    if (found == icons_.end()) {
        errors_.setLastError(error::InvalidParameter);
        return false;
    }
    found->second->hide();
    icons_.erase(found);
    return true;
}

IconHandle QtStatusArea::loadIcon(int resourceId) {
    const IconHandle handle = resources_.iconHandle(resourceId);
    if (handle == 0) {
        errors_.setLastError(error::ResourceNameNotFound);
    }
    return handle;
}

QSystemTrayIcon* QtStatusArea::trayIcon(WindowHandle window, unsigned id) const {
    const auto found = icons_.find(Key{window, id});
    return found == icons_.end() ? nullptr : found->second.get();
}

}  // namespace os::qt
