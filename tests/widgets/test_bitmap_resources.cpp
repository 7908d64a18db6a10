#include "platform/bitmap_resources.h"

#include <gtest/gtest.h>

#include <QSet>

#include <set>

namespace {

TEST(BitmapResources, EveryRowLoadsAsASixteenColourPicture)
{
    const auto names = platform::bitmapResourceNames();
    ASSERT_FALSE(names.empty());
    std::set<QString> unique;
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(unique.insert(name).second) << "duplicate name";
        const QImage image = platform::loadBitmapResource(name);
        ASSERT_FALSE(image.isNull());
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        EXPECT_LE(colours.size(), 16);
    }
}

TEST(BitmapResources, SpinArrowsAreBlackNineBySixWedgesOnATransparentGround)
{
    const QImage up = platform::loadBitmapResource(QStringLiteral("SpinUp"));
    const QImage down = platform::loadBitmapResource(QStringLiteral("SpinDown"));
    ASSERT_EQ(up.size(), QSize(9, 6));
    EXPECT_EQ(up.mirrored(false, true), down);
    // Black pixels per row: the point at the top, the base below it.
    std::vector<int> widths;
    for (int y = 0; y < up.height(); ++y) {
        int black = 0;
        for (int x = 0; x < up.width(); ++x) {
            const QRgb p = up.pixel(x, y);
            EXPECT_TRUE(qAlpha(p) == 0 || p == qRgb(0, 0, 0)) << x << "," << y;
            black += qAlpha(p) != 0;
        }
        widths.push_back(black);
    }
    EXPECT_EQ(widths, (std::vector<int>{0, 1, 3, 5, 7, 0}));
}

TEST(BitmapResources, UnknownNamesFailClearly)
{
    // Names are matched exactly: the case matters, and so do blanks.
    for (const char* name : {"NoSuchBitmap", "spinup", "SpinUp ", ""}) {
        const QString q = QString::fromLatin1(name);
        EXPECT_FALSE(platform::hasBitmapResource(q)) << name;
        try {
            platform::loadBitmapResource(q);
            ADD_FAILURE() << "no error for \"" << name << '"';
        } catch (const platform::BitmapResourceError& e) {
            EXPECT_NE(std::string(e.what()).find('"' + std::string(name) + '"'), std::string::npos) << e.what();
        }
    }
}

} // namespace
