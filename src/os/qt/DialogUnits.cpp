#include "os/qt/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>

namespace os::qt {

namespace {

int mulDiv(int number, int numerator, int denominator) {
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

}  // namespace

DialogUnits::DialogUnits(int averageCharacterWidth, int characterHeight)
    : width_(averageCharacterWidth > 0 ? averageCharacterWidth : 1),
      height_(characterHeight > 0 ? characterHeight : 1) {}

DialogUnits DialogUnits::of(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average of the 52 letters, rounded, and the full character height.
    const int letters =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return DialogUnits((letters / 26 + 1) / 2, metrics.height());
}

int DialogUnits::x(int units) const {
    return mulDiv(units, width_, 4);
}

int DialogUnits::y(int units) const {
    return mulDiv(units, height_, 8);
}

Rect DialogUnits::toPixels(int left, int top, int width, int height) const {
    const int x0 = x(left);
    const int y0 = y(top);
    return Rect{x0, y0, x0 + x(width), y0 + y(height)};
}

}  // namespace os::qt
