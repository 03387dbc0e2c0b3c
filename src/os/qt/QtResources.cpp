#include "os/qt/QtResources.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace os::qt {

namespace {

// Handles stay apart from small numbers, so that a resource id is never taken for one.
constexpr IconHandle HandleBase = 0x50580000;

// A clipboard with a key cap on it: the program's mark.
QPixmap drawProgramIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    QLinearGradient board(0, 0, 0, 64);
    board.setColorAt(0, QColor(0xB8, 0x7A, 0x3D));
    board.setColorAt(1, QColor(0x8A, 0x55, 0x24));
    painter.setPen(QPen(QColor(0x5C, 0x38, 0x16), 2));
    painter.setBrush(board);
    painter.drawRoundedRect(QRectF(8, 6, 48, 56), 6, 6);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFA, 0xFA, 0xF5));
    painter.drawRect(QRectF(14, 14, 36, 42));

    painter.setBrush(QColor(0x9A, 0x9A, 0xA0));
    painter.drawRoundedRect(QRectF(22, 2, 20, 10), 3, 3);

    painter.setPen(QPen(QColor(0x1F, 0x4E, 0x9A), 2));
    painter.setBrush(QColor(0xD6, 0xE4, 0xF7));
    painter.drawRoundedRect(QRectF(20, 24, 24, 24), 4, 4);
    QFont font("Sans");
    font.setPixelSize(18);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(20, 24, 24, 24), Qt::AlignCenter, "P");
    return pixmap;
}

// An envelope with a star: the newsletter.
QPixmap drawNewsletterPicture() {
    QPixmap pixmap(96, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x1F, 0x4E, 0x9A), 2));
    painter.setBrush(QColor(0xF5, 0xF0, 0xE1));
    painter.drawRect(QRectF(6, 10, 84, 48));
    QPainterPath flap;
    flap.moveTo(6, 10);
    flap.lineTo(48, 38);
    flap.lineTo(90, 10);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(flap);
    painter.setBrush(QColor(0xF2, 0xB6, 0x1B));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(80, 14), 9, 9);
    return pixmap;
}

}  // namespace

IconHandle QtResources::iconHandle(int resourceId) {
    if (resourceId != ProgramIcon || programIconRemoved_) {
        return 0;
    }
    const IconHandle handle = HandleBase + static_cast<IconHandle>(resourceId);
    if (icons_.count(handle) == 0) {
        QIcon icon;
        for (const int size : {16, 22, 32, 48, 64}) {
            icon.addPixmap(drawProgramIcon(size));
        }
        icons_[handle] = icon;
    }
    return handle;
}

QIcon QtResources::icon(IconHandle handle) const {
    const auto found = icons_.find(handle);
    return found == icons_.end() ? QIcon() : found->second;
}

QPixmap QtResources::picture(int resourceId) const {
    if (resourceId != NewsletterPicture || pictureRemoved_) {
        return {};
    }
    return drawNewsletterPicture();
}

QPixmap QtResources::picture(const QString& name) const {
    bool isNumber = false;
    const int resourceId = name.toInt(&isNumber);
    if (isNumber) {
        return picture(resourceId);
    }
    return name == QLatin1String("newsletter.png") ? picture(NewsletterPicture) : QPixmap();
}

void QtResources::remove(int resourceId) {
    if (resourceId == ProgramIcon) {
        programIconRemoved_ = true;
    } else if (resourceId == NewsletterPicture) {
        pictureRemoved_ = true;
    }
}

}  // namespace os::qt
