#pragma once

#include "os/Windows.h"

namespace os::common {

// Dialog units of a font: a horizontal unit is a quarter of the font's average character
// width, a vertical one an eighth of its height, measured as the system the templates were
// made for measures them.
class DialogUnits {
public:
    DialogUnits(int averageCharacterWidth, int characterHeight);

    int x(int units) const;
    int y(int units) const;
    Rect toPixels(int x, int y, int width, int height) const;

    int averageCharacterWidth() const { return width_; }
    int characterHeight() const { return height_; }

    // number * numerator / denominator, rounded half away from zero, without overflow.
    static int mulDiv(int number, int numerator, int denominator);

private:
    int width_;
    int height_;
};

}  // namespace os::common
