// The order in which the main window's handlers run as the user moves the
// focus, clicks and types, and what each leaves behind.
#include "main_window_fixture.h"

#include <QClipboard>

#include "widgets/spin_edit.h"

#include <QDialog>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTimer>

namespace {

// Tab from the date box runs only its exit: the calculator, with its notices and errors.
TEST_F(MainWindowTest, TabFromTheDateBoxRunsTheCalculatorAndGoesToTheGenderGroup)
{
    const struct { const char* date; QStringList notices; QStringList errors; const char* sign; const char* heading; } cases[] = {
        {"0101", {}, {}, "Capricorn", "Capricorn   January  1st"},
        {"3202", {"Bad Day "}, {}, "Pisces", "Pisces   February  32nd"},
        {"1513", {"Bad Month"}, {}, "", "    15th"},
        {"0504", {}, {}, "Aries", "Aries   April  5th"},
        // A failed conversion changes nothing: the previous results stay.
        {"5 04", {}, {"'5 ' is not a valid integer value."}, "Aries", "Aries   April  5th"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date);
        focusQuietly(w().MaskEdit1);
        w().MaskEdit1->setText(QString::fromLatin1(c.date));
        notices.clear();
        errors.clear();
        tab();
        EXPECT_EQ(log, (Log{"MaskEdit1Exit(MaskEdit1)"}));
        EXPECT_EQ(QApplication::focusWidget(), w().RadioGroup1->item(0));
        EXPECT_EQ(notices, c.notices);
        EXPECT_EQ(errors, c.errors);
        EXPECT_EQ(w().Edit2->text(), QString::fromLatin1(c.sign));
        EXPECT_EQ(w().Panel1->caption(), QString::fromLatin1(c.heading));
        if (&c == &cases[0]) {
            EXPECT_FALSE(detailExists()); // leaving the date box writes no profile
        }
    }
    EXPECT_EQ(w().birthday(), QStringLiteral("April 5th"));
}

// The name box holds only what detail.fdg can: characters of the Western code page,
// on one line.
TEST_F(MainWindowTest, TheNameBoxRefusesWhatTheDetailFileCannotHoldAndPastesOneLine)
{
    focusQuietly(w().Edit1);
    w().Edit1->clear();
    // Typed one character at a time, as a keyboard with these keys would.
    for (const QChar ch : QString::fromUtf8("Zo\xc3\xab \xe2\x82\xac\xc4\x80\xe2\x98\x85!")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w().Edit1, &press);
    }
    // ë and € have bytes in the Western code page; Ā and ★ do not.
    EXPECT_EQ(w().Edit1->text(), QString::fromUtf8("Zo\xc3\xab \xe2\x82\xac!"));

    // Pasted line breaks and tabs become spaces; a paste with other control characters is refused.
    w().Edit1->selectAll();
    for (const char16_t* pasted :
         {u"Line1\nLine2\r\nLine3\tEnd", u"bell\u0007", u"esc\u001B[2J", u"c1\u0085", u"del\u007F"}) {
        QApplication::clipboard()->setText(QString::fromUtf16(pasted));
        QTest::keyClick(w().Edit1, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(w().Edit1->text(), QStringLiteral("Line1 Line2 Line3 End"));
    }
}

TEST_F(MainWindowTest, EnteringPanel7RunsTheGenderChoiceBeforeTheClick)
{
    focusQuietly(w().Edit3);
    click(w().Button4);
    EXPECT_EQ(log, (Log{"Edit2Exit(Edit3)", "RadioGroup1Click(Panel7)", "Button4Click(Button4)"}));

    // Moving inside Panel7 enters nothing; PrintSetup to Exit runs only Exit's click.
    log.clear();
    click(w().Button3);
    EXPECT_EQ(log, (Log{"Button3Click(Button3)"}));
}

TEST_F(MainWindowTest, LuckyNumberButtonClearsOnEnterThenDrawsOnTheClick)
{
    focusQuietly(w().MaskEdit1);
    const QRegularExpression sixNumbers(QStringLiteral("^[1-9][0-9]?( [1-9][0-9]?){5}$"));

    click(w().RadioButton1);
    EXPECT_EQ(log, (Log{"MaskEdit1Exit(MaskEdit1)", "RadioButton1Enter(RadioButton1)", "RadioButton1Click(RadioButton1)"}));
    EXPECT_TRUE(w().RadioButton1->isChecked());
    const QString drawn = w().Edit4->text();
    EXPECT_TRUE(sixNumbers.match(drawn).hasMatch()) << drawn.toStdString();

    // A second click while it keeps the focus and stays checked draws nothing.
    log.clear();
    click(w().RadioButton1);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(w().Edit4->text(), drawn);

    // Leaving it writes the numbers into the profile.
    w().Edit1->setFocus();
    EXPECT_EQ(log, (Log{"Edit2Exit(RadioButton1)"}));
    EXPECT_EQ(detailLines().at(12), drawn.toStdString());

    // Entering it again clears it, which also takes it out of the Tab cycle.
    w().RadioButton1->setFocus();
    EXPECT_FALSE(w().RadioButton1->isChecked());
    focusQuietly(w().RadioGroup1->item(0));
    tab();
    EXPECT_EQ(QApplication::focusWidget(), w().Edit1);
}

// Choosing alone writes nothing; leaving the group writes the chosen texts. Preview
// first brings the profile up to date with what the window shows (a name typed
// since), and the progress window's going away reactivates the window: it is back
// on Male before the preview shows.
TEST_F(MainWindowTest, FemaleChoiceIsWrittenOnLeavingTheGroupAndPreviewComposesWhatTheWindowShows)
{
    w().MaskEdit1->setText(QStringLiteral("0504"));
    tab();  // to the gender group: Aries
    log.clear();
    click(w().RadioGroup1->item(1));
    EXPECT_EQ(log, (Log{"RadioGroup1Click(RadioGroup1)"}));
    EXPECT_EQ(w().currentReport(), Form2->PageReport1);

    log.clear();
    tab();
    EXPECT_EQ(log, (Log{"Edit2Exit(RadioGroup1)", "RadioButton1Enter(RadioButton1)"}));

    w().Edit1->setText(QStringLiteral("Ann"));
    int genderAtPreview = -2;
    TPageReport* reportAtPreview = nullptr;
    std::vector<std::string> linesAtPreview;
    onPreview = [&] {
        genderAtPreview = w().RadioGroup1->itemIndex();
        reportAtPreview = w().currentReport();
        linesAtPreview = detailLines();
    };
    log.clear();
    click(w().Button1);
    EXPECT_EQ(previews.size(), 1u);
    ASSERT_EQ(linesAtPreview.size(), 13u);
    EXPECT_EQ(linesAtPreview[3], "Her vitality and energy is attractive to many.");
    EXPECT_EQ(linesAtPreview[10], "Ann");
    EXPECT_EQ(genderAtPreview, 0);
    EXPECT_EQ(reportAtPreview, FFormM->PageReport1);
    EXPECT_EQ(log, (Log{"Edit2Exit(RadioButton1)", "Edit2Exit(Button1)", "Button1Click(Button1)",
                        "FormActivate(FForm1)", "RadioGroup1Click(RadioGroup1)"}));
    EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindowTest, BackgroundClickAndSignBoxClick)
{
    w().Edit2->setText(QStringLiteral("Leo"));
    focusQuietly(w().MaskEdit1);
    // The bare background, right of the panels and below them.
    QTest::mouseClick(w().surface(), Qt::LeftButton, {}, QPoint(300, 120 - 3));
    EXPECT_EQ(log, (Log{"RadioGroup1Click(FForm1)"}));
    EXPECT_EQ(QApplication::focusWidget(), w().MaskEdit1);

    // A panel and a label are not the background.
    log.clear();
    click(w().Panel2);
    click(w().Label2);
    EXPECT_TRUE(log.empty());

    // The read-only sign box takes the focus when clicked and runs the update
    // on the click and again when left.
    click(w().Edit2);
    EXPECT_EQ(log, (Log{"MaskEdit1Exit(MaskEdit1)", "Edit2Exit(Edit2)"}));
    EXPECT_EQ(QApplication::focusWidget(), w().Edit2);
    log.clear();
    w().Edit1->setFocus();
    EXPECT_EQ(log, (Log{"Edit2Exit(Edit2)"}));
}

TEST_F(MainWindowTest, ReturnFromAProgressWindowActivatesTheWindowAgainButAModalBoxDoesNot)
{
    click(w().RadioGroup1->item(1));
    focusQuietly(w().Edit1);

    // A message box (modal) comes and goes: Female stays, focus stays.
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    QDialog box(&w());
    box.exec();
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(w().currentReport(), Form2->PageReport1);

    // A progress window (non-modal) takes the focus and goes away.
    {
        QWidget progress;
        progress.show();
        progress.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&progress));
    }
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    EXPECT_EQ(log, (Log{"FormActivate(FForm1)", "RadioGroup1Click(RadioGroup1)", "Edit2Exit(Edit1)"}));
}

TEST_F(MainWindowTest, SpinEditSetsBothPageMarginsOnEveryChange)
{
    const struct { const char* typed; int margin, marginLeft; } cases[] = {
        {"25", 25, 20}, // leaving clamps to 20
        {"-", -10, -10}, // text that is no number sets the minimum
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        focusQuietly(w().SpinEdit1);
        w().SpinEdit1->selectAll();
        QTest::keyClicks(w().SpinEdit1, QString::fromLatin1(c.typed));
        EXPECT_EQ(Form2->PageReport1->LeftMarginInches(), c.margin);
        EXPECT_EQ(FFormM->PageReport1->LeftMarginInches(), c.margin);
        w().MaskEdit1->setFocus();
        EXPECT_EQ(Form2->PageReport1->LeftMarginInches(), c.marginLeft);
        EXPECT_EQ(FFormM->PageReport1->LeftMarginInches(), c.marginLeft);
    }
}

TEST_F(MainWindowTest, CommandsClickedInTheMiddleOfAPreviewOrPrintLeaveTheStoreSound)
{
    w().Edit2->setText(QStringLiteral("Leo"));
    w().Edit2Exit(w().Edit2);

    // The engine lets messages through, so Print and Preview can be clicked while
    // the page store previews or prints.
    const struct { QPushButton* command; QPushButton* other; std::function<void()>& meanwhile; } cases[] = {
        {w().Button1, w().Button2, onPreview},
        {w().Button2, w().Button1, fakePrinter()->onBeginDoc},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command->objectName().toStdString());
        int nested = 0;
        c.meanwhile = [&] {
            if (nested++ > 0)
                return;
            click(c.other);
            click(c.command);
        };
        click(c.command);
        c.meanwhile = nullptr;
        EXPECT_GE(nested, 1);
        EXPECT_EQ(QRPrinter().status(), QRPrinterStatus::Idle);
    }
}

} // namespace
