// Named bitmap resources: the small pictures the program draws on its own
// controls (the spin buttons' arrows, the preview window's toolbar), looked up by
// the names the controls ask for ("SpinUp", "BMPFIRST", ...).
//
// The pictures are XPM images kept as text under resources/ and compiled into
// the program, so nothing is read from disk at run time. To add one:
//   1. put NAME.xpm under resources/ (its array must be `static const char* const`);
//   2. #include it in bitmap_resources.cpp;
//   3. add one row { "ResourceName", array } to the table there.
// Nothing else changes; every row is checked by the tests.
#pragma once

#include <QImage>
#include <QString>

#include <stdexcept>
#include <vector>

namespace platform {

// Thrown when no bitmap of that name exists or its picture cannot be read.
class BitmapResourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The bitmap called `name` (exact, case-sensitive match). Transparent pixels
// of the picture have alpha 0. Throws BitmapResourceError for an unknown name.
QImage loadBitmapResource(const QString& name);

// Every name in the table, in table order.
std::vector<QString> bitmapResourceNames();

} // namespace platform
