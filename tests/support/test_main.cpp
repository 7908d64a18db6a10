// One main for every test executable: a QApplication (offscreen in CTest) and GoogleTest.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);

    // Text widths are only right with the metric-compatible faces; measuring
    // some other font would make every layout test meaningless.
    for (const char* face : {"Times New Roman", "Arial"}) {
        QFont f(QString::fromLatin1(face));
        const QString real = QFontInfo(f).family();
        if (!real.startsWith(QLatin1String("Liberation"))) {
            std::fprintf(stderr, "FATAL: font \"%s\" resolves to \"%s\", not a Liberation face. "
                                 "Install fonts-liberation2.\n",
                         face, real.toLocal8Bit().constData());
            return 2;
        }
    }
    return RUN_ALL_TESTS();
}
