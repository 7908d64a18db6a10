#include "platform/bitmap_resources.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QSet>

#include <set>

namespace {

// Distinct colours the picture really uses (transparent counts as one).
int coloursUsed(const QImage& image)
{
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            seen.insert(image.pixel(x, y));
    return static_cast<int>(seen.size());
}

// "#" for an opaque black pixel, "." for a transparent one, "?" otherwise.
QStringList pixelMap(const QImage& image)
{
    QStringList rows;
    for (int y = 0; y < image.height(); ++y) {
        QString row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            row += qAlpha(p) == 0 ? u'.' : (p == qRgb(0, 0, 0) ? u'#' : u'?');
        }
        rows << row;
    }
    return rows;
}

TEST(BitmapResources, EveryRowLoadsAsASixteenColourPicture)
{
    const auto names = platform::bitmapResourceNames();
    ASSERT_FALSE(names.empty());
    std::set<QString> unique;
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(unique.insert(name).second) << "duplicate name";
        EXPECT_TRUE(platform::hasBitmapResource(name));
        const QImage image = platform::loadBitmapResource(name);
        ASSERT_FALSE(image.isNull());
        EXPECT_LE(coloursUsed(image), 16);
    }
}

TEST(BitmapResources, SpinArrowsAreNineBySixWedgesPointingTheirWay)
{
    const QImage up = platform::loadBitmapResource(QStringLiteral("SpinUp"));
    const QImage down = platform::loadBitmapResource(QStringLiteral("SpinDown"));
    ASSERT_EQ(up.size(), QSize(9, 6));
    ASSERT_EQ(down.size(), QSize(9, 6));

    // Only black on a transparent ground, so the button face shows through.
    for (const QImage* image : {&up, &down})
        for (const QString& row : pixelMap(*image))
            EXPECT_FALSE(row.contains(u'?')) << row.toStdString();

    // The up arrow widens downwards, the down arrow is its mirror image.
    const QStringList upRows = pixelMap(up);
    EXPECT_LT(upRows[1].count(u'#'), upRows[4].count(u'#'));
    EXPECT_EQ(up.mirrored(false, true), down);
}

TEST(BitmapResources, UnknownNamesFailClearly)
{
    // Names are matched exactly: the case matters, and so do blanks.
    for (const char* name : {"NoSuchBitmap", "spinup", "SPINUP", "SpinUp ", ""}) {
        SCOPED_TRACE(name);
        const QString q = QString::fromLatin1(name);
        EXPECT_FALSE(platform::hasBitmapResource(q));
        try {
            platform::loadBitmapResource(q);
            ADD_FAILURE() << "no error";
        } catch (const platform::BitmapResourceError& e) {
            EXPECT_NE(std::string(e.what()).find("\"" + std::string(name) + "\""), std::string::npos)
                << e.what();
        }
    }
}

} // namespace
