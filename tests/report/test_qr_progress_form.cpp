// The progress window: its layout, the step arithmetic and Cancel from the keyboard.
#include "report/qr_progress_form.h"
#include "report_windows/progress_window.h"

#include "report_fixtures.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
struct Fixture : Store {
    TQRProgressForm form{store, nullptr};
    report::ProgressWindow& win = *report::progressWindowOf(form);
};
} // namespace

TEST(QRProgressForm, WindowLayoutShowIsNotModalAndSetTextLetsMessagesThrough)
{
    Fixture f;
    QDialog* w = f.win.window();
    EXPECT_EQ(w->size(), QSize(400, 140));
    // Built, not shown; not modal; no close box.
    EXPECT_EQ(std::tuple(w->isModal(), w->isVisible(), bool(w->windowFlags() & Qt::WindowCloseButtonHint)),
              std::tuple(false, false, false));
    EXPECT_EQ(std::pair(f.win.label()->pos(), f.win.label()->text()), std::pair(QPoint(20, 10), QString()));
    EXPECT_EQ(f.win.bar()->geometry(), QRect(20, 40, 360, 20));
    EXPECT_EQ(f.win.cancelButton()->geometry(), QRect(170, 75, 60, 26));
    EXPECT_EQ(f.win.cancelButton()->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(f.win.cancelButton()->isDefault());

    // A due timer (the spin buttons' auto-repeat) must not run inside Show.
    bool ran = false;
    QTimer due;
    due.setSingleShot(true);
    QObject::connect(&due, &QTimer::timeout, [&ran] { ran = true; });
    due.start(0);
    f.form.Show();
    EXPECT_FALSE(ran) << "Show is no message point";
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->isActiveWindow()) << "it has taken the focus when Show returns";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(w->cursor().shape(), Qt::WaitCursor);

    f.form.SetText(QStringLiteral("Printing report "));
    EXPECT_EQ(f.win.label()->text(), QStringLiteral("Printing report "));
    EXPECT_TRUE(ran);
}

TEST(QRProgressForm, BarMovesOncePerStep)
{
    struct Case {
        int max, step;
        std::vector<std::pair<int, int>> moves; // position asked, bar afterwards (-1: did not move)
    };
    const Case cases[] = {
        {0, 1, {{1, -1}, {5, -1}, {100, -1}}},
        {-4, 1, {{1, -1}, {2, -1}}},
        {5, 1, {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {5, -1}}},
        {100, 5, {{3, -1}, {5, 5}, {9, -1}, {10, 10}, {7, -1}}},
        {1000, 50, {{49, -1}, {50, 50}, {99, -1}, {150, 150}}},
        {39, 1, {{1, 1}, {39, 39}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.max);
        Fixture f;
        f.form.SetMax(c.max);
        EXPECT_EQ(f.form.step(), c.step);
        int shown = f.win.bar()->value();
        for (auto [position, expected] : c.moves) {
            f.form.SetPosition(position);
            shown = expected >= 0 ? expected : shown;
            EXPECT_EQ(f.win.bar()->value(), shown) << "after SetPosition(" << position << ")";
        }
    }
}

TEST(QRProgressForm, EnterAndEscPressCancel)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        Fixture f;
        f.form.Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(f.win.window()));
        QWidget* focus = f.win.window()->focusWidget();
        EXPECT_EQ(focus, f.win.cancelButton());
        QTest::keyClick(focus ? focus : f.win.window(), key);
        EXPECT_TRUE(f.store.cancelled()) << key;
        EXPECT_TRUE(f.win.window()->isVisible()) << "the operation decides when the window goes";
    }
}
