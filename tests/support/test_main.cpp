// One main for every test executable: a QApplication (offscreen in CTest) and GoogleTest.
#include "support/fake_user_interface.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>

#include <cstdio>

namespace testsupport {

namespace {
FakeUserInterface* current = nullptr;

// Every test starts with a user who has seen nothing and answers Cancel.
class FreshUser : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        auto fake = std::make_unique<FakeUserInterface>();
        current = fake.get();
        desktop::installUserInterface(std::move(fake));
    }
};
} // namespace

FakeUserInterface& ui()
{
    return *current;
}

} // namespace testsupport

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new testsupport::FreshUser);

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
