#pragma once

#include <QEvent>
#include <QObject>
#include <functional>
#include <utility>

namespace os::qt {

// Calls a function for events of one object, and lets the object have them too unless the
// function says it took them. It lives as long as the object.
class QtEventRelay final : public QObject {
public:
    using Handler = std::function<bool(QEvent*)>;
    QtEventRelay(QObject* target, Handler handler) : QObject(target), handler_(std::move(handler)) {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override { return handler_(event); }

private:
    Handler handler_;
};

}  // namespace os::qt
