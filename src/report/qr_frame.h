// TQRFrame: lines drawn around a band or a page. The pen part (colour, width,
// style) keeps the platform's pen defaults; the four sides start off.
#pragma once

#include "platform/canvas.h"

class TQRFrame : public platform::CanvasPen {
public:
    bool DrawTop = false;
    bool DrawBottom = false;
    bool DrawLeft = false;
    bool DrawRight = false;

    const platform::CanvasPen& pen() const { return *this; }
    bool anySide() const { return DrawTop || DrawBottom || DrawLeft || DrawRight; }
};
