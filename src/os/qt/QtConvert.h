#pragma once

#include "os/DialogView.h"

#include <QFont>
#include <QFontInfo>
#include <QPalette>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

// The port's texts, rectangles, fonts and colours as Qt's, and back.
namespace os::qt {

// The program's texts are UTF-8.
inline QString toQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string fromQt(const QString& text) {
    return text.toStdString();
}

// Multi-line edit boxes give their line breaks as CR LF, as the program stores them.
inline QString toEditLines(const std::string& text) {
    QString lines = toQt(text);
    lines.replace("\r\n", "\n");
    return lines;
}

inline std::string fromEditLines(const QString& text) {
    QString lines = text;
    lines.replace("\n", "\r\n");
    return fromQt(lines);
}

inline QRect toQRect(const Rect& rect) {
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

inline Rect toRect(const QRect& rect) {
    return Rect{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

inline FontStyle toFontStyle(const QFont& font) {
    const QFontInfo info(font);
    FontStyle style;
    style.face = fromQt(info.family());
    style.height = -info.pixelSize();
    style.weight = font.weight();
    style.underline = font.underline();
    return style;
}

// The font changed as the style asks: an empty face or a zero height keeps the font's own.
inline QFont withFontStyle(QFont font, const FontStyle& style) {
    if (!style.face.empty()) {
        font.setFamily(toQt(style.face));
    }
    if (style.height != 0) {
        font.setPixelSize(std::abs(style.height));
    }
    font.setWeight(static_cast<QFont::Weight>(std::clamp(style.weight, 100, 900)));
    font.setUnderline(style.underline);
    return font;
}

// The palette with every text in the colour (0x00BBGGRR).
inline QPalette withTextColour(QPalette palette, std::uint32_t colour) {
    const QColor qtColour(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                          static_cast<int>((colour >> 16) & 0xFF));
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, qtColour);
    }
    return palette;
}

}  // namespace os::qt
