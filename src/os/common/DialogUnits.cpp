#include "os/common/DialogUnits.h"

namespace os::common {

int DialogUnits::mulDiv(int number, int numerator, int denominator) {
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

DialogUnits::DialogUnits(int averageCharacterWidth, int characterHeight)
    : width_(averageCharacterWidth > 0 ? averageCharacterWidth : 1),
      height_(characterHeight > 0 ? characterHeight : 1) {}

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

}  // namespace os::common
