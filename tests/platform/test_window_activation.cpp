// A form hears of its activation the first time and when the focus comes back
// from another non-modal window of the program, not when a modal window closes.
#include "platform/message_box.h"
#include "platform/window_activation.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
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
    ActivatedForm()
    {
        platform::setActivationHandler(&form, [this] { ++activations; });
    }
};

TEST(WindowActivation, FirstActivationAndReturnFromANonModalWindowRunTheHandler)
{
    ActivatedForm f;
    activate(f.form);
    EXPECT_EQ(f.activations, 1);

    // A progress-like window: non-modal, takes the focus while it is shown.
    auto* progress = new QWidget;
    activate(*progress);
    EXPECT_EQ(f.activations, 1);
    delete progress;
    // At once, not when the window system gets round to it.
    EXPECT_EQ(f.activations, 2);
    activate(f.form);
    EXPECT_EQ(f.activations, 2);

    // Activating the active form again changes nothing.
    f.form.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(f.activations, 2);
}

TEST(WindowActivation, ClosingAModalWindowDoesNotRunTheHandler)
{
    ActivatedForm f;
    activate(f.form);
    ASSERT_EQ(f.activations, 1);

    QDialog dialog(&f.form);
    dialog.setModal(true);
    activate(dialog);
    dialog.hide();
    activate(f.form);
    EXPECT_EQ(f.activations, 1);

    // A message box run the usual way, through its own modal loop.
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    QMessageBox::information(&f.form, QStringLiteral("t"), QStringLiteral("x"));
    activate(f.form);
    EXPECT_EQ(f.activations, 1);

    // A non-modal window after the modal one still counts.
    QWidget progress;
    activate(progress);
    progress.hide();
    activate(f.form);
    EXPECT_EQ(f.activations, 2);
}

TEST(WindowActivation, AModalWindowRightAfterANonModalOneFindsTheFormActivatedAlready)
{
    ActivatedForm f;
    activate(f.form);
    QWidget progress;
    activate(progress);
    progress.hide();
    EXPECT_EQ(f.activations, 2);

    // The preview, shown modally straight away, and closed again.
    QDialog preview(&f.form);
    preview.setModal(true);
    activate(preview);
    preview.hide();
    activate(f.form);
    EXPECT_EQ(f.activations, 2);
}

TEST(WindowActivation, ComingBackFromAnotherProgramDoesNotRunTheHandler)
{
    ActivatedForm f;
    activate(f.form);
    ASSERT_EQ(f.activations, 1);
    // Another program's window: this program has no active window meanwhile.
    QApplication::setActiveWindow(nullptr);
    EXPECT_EQ(QApplication::activeWindow(), nullptr);
    activate(f.form);
    EXPECT_EQ(f.activations, 1);
}

TEST(WindowActivation, TheHandlerGoesWithTheFormAndCanBeRemoved)
{
    int runs = 0;
    {
        QWidget form;
        platform::setActivationHandler(&form, [&] { ++runs; });
        platform::setActivationHandler(&form, {});
        activate(form);
    }
    EXPECT_EQ(runs, 0);

    // A destroyed form's registration is gone: a new widget at the same
    // address is not mistaken for it.
    auto* form = new QWidget;
    platform::setActivationHandler(form, [&] { ++runs; });
    delete form;
    QWidget fresh;
    activate(fresh);
    EXPECT_EQ(runs, 0);
}

TEST(MessageBox, TheHookReceivesTheTextInsteadOfAModalBox)
{
    std::vector<QString> shown;
    platform::setMessageBoxHook([&](const QString& text) { shown.push_back(text); });
    platform::showMessage(QStringLiteral("Bad Day "));
    platform::showMessage(QStringLiteral("Bad Month"));
    platform::setMessageBoxHook({});
    // Notices are shown as given: no full stop is added, the trailing blank stays.
    EXPECT_EQ(shown, (std::vector<QString>{QStringLiteral("Bad Day "), QStringLiteral("Bad Month")}));
}

} // namespace
