// A form hears of its activation the first time and when the focus comes back
// from another non-modal window of the program, not when a modal window closes.
#include "desktop/window_activation.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

namespace {

void activate(QWidget& w)
{
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

struct ActivatedForm {
    QWidget form;
    QLineEdit* edit = new QLineEdit(&form);
    int activations = 0;
    ActivatedForm() { desktop::setActivationHandler(&form, [this] { ++activations; }); }
};

TEST(WindowActivation, RunsOnFirstActivationAndOnReturnFromANonModalWindowNotAModalOne)
{
    ActivatedForm f;
    activate(f.form);
    EXPECT_EQ(f.activations, 1);

    // Progress-like windows: non-modal, each takes the focus while it is shown, one
    // taking over from another. The last one to go hands the focus back at once, not
    // when the window system gets round to it. (A single one: test_main_window_events.cpp.)
    {
        QWidget first;
        activate(first);
        QWidget second;
        activate(second);
        first.hide();
        EXPECT_EQ(f.activations, 1);
    }
    EXPECT_EQ(f.activations, 2);
    activate(f.form);
    EXPECT_EQ(f.activations, 2);

    // Closing a modal window does not run it.
    QDialog dialog(&f.form);
    dialog.setModal(true);
    activate(dialog);
    dialog.hide();
    activate(f.form);
    EXPECT_EQ(f.activations, 2);

    // A modal box run through its own loop is checked with the main window (test_main_window_events.cpp).
    // A non-modal window after the modal one still counts.
    QWidget another;
    activate(another);
    another.hide();
    EXPECT_EQ(f.activations, 3);

    // The preview shown modally straight after it, with a progress window of its own on top.
    QDialog preview(&f.form);
    preview.setModal(true);
    activate(preview);
    {
        QWidget printing;
        activate(printing);
    }
    activate(preview);
    preview.hide();
    activate(f.form);
    EXPECT_EQ(f.activations, 3);

    // Another program's window: this program has no active window meanwhile.
    QApplication::setActiveWindow(nullptr);
    activate(f.form);
    EXPECT_EQ(f.activations, 3);
}

TEST(WindowActivation, TheHandlerGoesWithTheFormAndCanBeRemoved)
{
    int runs = 0;
    {
        QWidget form;
        desktop::setActivationHandler(&form, [&] { ++runs; });
        desktop::setActivationHandler(&form, {});
        activate(form);
    }
    EXPECT_EQ(runs, 0);

    // A destroyed form's registration goes with it: a new widget at its address is not it.
    auto* form = new QWidget;
    desktop::setActivationHandler(form, [&] { ++runs; });
    delete form;
    QWidget fresh;
    activate(fresh);
    EXPECT_EQ(runs, 0);
}

} // namespace
