#include "platform/bitmap_resources.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

TEST(BitmapResources, EveryNameLoadsOnceAsASixteenColourPictureAndUnknownNamesFailClearly)
{
    const auto names = platform::bitmapResourceNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), qsizetype(names.size())) << "a name twice";
    for (const QString& name : names) {
        const QImage image = platform::loadBitmapResource(name);
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        EXPECT_LE(colours.size(), 16) << name.toStdString();
    }
    const QImage up = platform::loadBitmapResource(QStringLiteral("SpinUp"));
    EXPECT_EQ(up.size(), QSize(9, 6));
    EXPECT_EQ(up.mirrored(false, true), platform::loadBitmapResource(QStringLiteral("SpinDown")));
    // Names match exactly; an unknown one fails with an error that names it.
    for (const char* name : {"NoSuchBitmap", "spinup", "SpinUp ", ""}) {
        const std::string error = testsupport::errorOf<platform::BitmapResourceError>(
            [&] { platform::loadBitmapResource(QString::fromLatin1(name)); });
        EXPECT_NE(error.find('"' + std::string(name) + '"'), std::string::npos) << error;
    }
}

} // namespace
