#include "platform/bitmap_resources.h"

#include <iterator>
#include <string_view>

// The pictures themselves (XPM is valid C: each file defines one array).
#include "resources/spin_down.xpm"
#include "resources/spin_up.xpm"
#include "resources/BMPFIRST.xpm"
#include "resources/BMPPREV.xpm"
#include "resources/BMPNEXT.xpm"
#include "resources/BMPLAST.xpm"
#include "resources/BMPPRINT.xpm"
#include "resources/BMPSAVE.xpm"
#include "resources/BMPLOAD.xpm"
#include "resources/QRBMPFITPAGE.xpm"
#include "resources/QRBMP100.xpm"
#include "resources/QRBMPWIDTH.xpm"

namespace platform {
namespace {

struct BitmapResource {
    std::string_view name;
    const char* const* xpm;
};

// One row per named bitmap. Keep names unique; the tests load every row.
constexpr BitmapResource kBitmaps[] = {
    // Spin button arrows, 9 x 6.
    {"SpinUp", spin_up_xpm},
    {"SpinDown", spin_down_xpm},
    // Preview toolbar: page buttons 16 x 16; Print, Save and Load 32 x 16 (normal
    // and disabled pictures side by side); zoom buttons 24 x 24.
    {"BMPFIRST", bmpfirst_xpm},
    {"BMPPREV", bmpprev_xpm},
    {"BMPNEXT", bmpnext_xpm},
    {"BMPLAST", bmplast_xpm},
    {"BMPPRINT", bmpprint_xpm},
    {"BMPSAVE", bmpsave_xpm},
    {"BMPLOAD", bmpload_xpm},
    {"QRBMPFITPAGE", qrbmpfitpage_xpm},
    {"QRBMP100", qrbmp100_xpm},
    {"QRBMPWIDTH", qrbmpwidth_xpm},
};

const BitmapResource* find(const QString& name)
{
    const QByteArray utf8 = name.toUtf8();
    const std::string_view key(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    for (const BitmapResource& row : kBitmaps) {
        if (row.name == key)
            return &row;
    }
    return nullptr;
}

} // namespace

QImage loadBitmapResource(const QString& name)
{
    const BitmapResource* row = find(name);
    if (!row)
        throw BitmapResourceError("Bitmap resource \"" + name.toStdString() + "\" not found");
    QImage image(row->xpm);
    if (image.isNull())
        throw BitmapResourceError("Bitmap resource \"" + name.toStdString() + "\" cannot be read");
    return image;
}

std::vector<QString> bitmapResourceNames()
{
    std::vector<QString> names;
    names.reserve(std::size(kBitmaps));
    for (const BitmapResource& row : kBitmaps)
        names.push_back(QString::fromUtf8(row.name.data(), static_cast<qsizetype>(row.name.size())));
    return names;
}

} // namespace platform
