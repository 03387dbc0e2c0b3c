#pragma once

#include "os/Windows.h"

class QFont;

namespace os::qt {

// Dialog units of a font: a horizontal unit is a quarter of the font's average character
// width, a vertical one an eighth of its height, measured as the system the templates were
// made for measures them.
class DialogUnits {
public:
    DialogUnits(int averageCharacterWidth, int characterHeight);
    static DialogUnits of(const QFont& font);

    int x(int units) const;
    int y(int units) const;
    Rect toPixels(int x, int y, int width, int height) const;

    int averageCharacterWidth() const { return width_; }
    int characterHeight() const { return height_; }

private:
    int width_;
    int height_;
};

}  // namespace os::qt
