// The preview window: toolbar, navigation, zoom, the painted page, keys, printing, Save and Load.
// It draws pages off the window's thread and keeps the image: a page that takes long never
// freezes the window, and one over budget shows why.
#include "report_windows/qr_preview.h"

#include "platform/emf_player.h"
#include "report/report_file.h"
#include "report_windows/qr_preview_zoom.h"
#include "support/test_support.h"
#include "tools/hostile_pages.h"

#include "report_fixtures.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace fs = std::filesystem;

namespace {

// The image as the window shows it, once the worker has finished drawing it.
QImage shown(TQRCustomPreview& image)
{
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(QColor(0, 255, 0));
    image.render(&out, QPoint(), QRegion(), QWidget::DrawChildren);
    if (image.drawing()) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !image.drawing(); }, 60'000));
        QCoreApplication::processEvents();
        image.render(&out, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    return out;
}

using Enabled = std::tuple<bool, bool, bool, bool>; // First, Previous, Next, Last

void expectNavigation(const TQRStandardPreview& p, const QString& text, Enabled e)
{
    EXPECT_EQ(p.pageIndicator()->text(), text);
    EXPECT_EQ(Enabled(p.firstButton()->isEnabled(), p.prevButton()->isEnabled(), p.nextButton()->isEnabled(),
                      p.lastButton()->isEnabled()), e) << text.toStdString();
}

// A preview of three pages showing the last, with error boxes caught.
class PreviewOnLastPage : public ::testing::Test {
protected:
    void SetUp() override { p.lastPage(); }
    testsupport::TempDir dir;
    Store s{3};
    TQRStandardPreview p{s.store};
};

} // namespace

TEST(PreviewWindow, ToolbarControlsSitAtTheirPlacesWithTheirHints)
{
    Store s(1);
    TQRStandardPreview p(s.store);
    struct Row { QWidget* w; int left, width; const char* hint; };
    const Row rows[] = {
        {p.fitButton(), 15, 28, "Fit in Window"}, {p.zoom100Button(), 43, 28, "100%"},
        {p.widthButton(), 71, 28, "Page Width"},  {p.firstButton(), 109, 28, "First page"},
        {p.prevButton(), 137, 28, "Previous page"}, {p.pageIndicator(), 165, 110, ""},
        {p.nextButton(), 275, 28, "Next page"},   {p.lastButton(), 303, 28, "Last page"},
        {p.printButton(), 331, 36, "Print report"}, {p.saveButton(), 367, 36, "Save report"},
        {p.loadButton(), 403, 36, "Load report"}, {p.exitButton(), 439, 60, ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.w->geometry(), QRect(r.left, 2, r.width, 28)) << r.hint;
        EXPECT_EQ(r.w->toolTip(), QString::fromLatin1(r.hint));
    }
    EXPECT_EQ(p.exitButton()->text(), "&Exit");
    EXPECT_EQ(p.toolbar()->height(), 32);
    EXPECT_TRUE(p.window()->windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(p.window()->isModal());
    // Two pictures (normal, disabled) make the Print, Save and Load glyphs.
    for (QPushButton* b : {p.printButton(), p.saveButton(), p.loadButton()})
        EXPECT_EQ(b->icon().availableSizes(QIcon::Disabled).value(0), QSize(16, 16));
    EXPECT_EQ(p.fitButton()->icon().availableSizes().value(0), QSize(24, 24));

    // A printer that cannot be read leaves Print disabled.
    s.fake.deviceContextFails = true;
    s.store.readMetrics();
    EXPECT_FALSE(TQRStandardPreview(s.store).printButton()->isEnabled());
}

TEST(PreviewWindow, NavigationStatesFollowThePage)
{
    Store s(3);
    s.store.setCurrentPageNumber(2); // the view makes page 1 current again
    TQRStandardPreview p(s.store);
    expectNavigation(p, "Page 1 of 3", {false, false, true, true});
    p.lastButton()->click();
    expectNavigation(p, "Page 3 of 3", {true, true, false, false});
    p.prevButton()->click();
    expectNavigation(p, "Page 2 of 3", {true, true, true, true});
    EXPECT_EQ(p.preview()->PageNumber(), 2);
    p.firstButton()->click();
    expectNavigation(p, "Page 1 of 3", {false, false, true, true});
    for (int outside : {0, -1, 4})
        p.preview()->setPageNumber(outside);
    EXPECT_EQ(p.preview()->PageNumber(), 1);
    EXPECT_EQ(s.store.currentPageNumber(), 1);
}

TEST(PreviewView, ZoomModesSizeCentreAndScrollTheImage)
{
    Store s(2);
    TQRPreview view(s.store);
    view.resize(800, 600);
    view.show();
    // Fit on the first layout: min(round(800/1123*98), round(600/794*98)) = min(70, 74).
    EXPECT_EQ(view.zoomMode(), report::ZoomMode::FitToWindow);
    EXPECT_EQ(view.Zoom(), 70);
    EXPECT_EQ(view.pageImage()->size(), QSize(790, 560)); // 786.1 -> 786, 555.8 -> 556, + 4
    EXPECT_EQ(view.pageImage()->pos(), QPoint(5, 20));
    EXPECT_EQ(view.pageImage()->Zoom(), 70);

    // 100%: the sheet in screen pixels plus 4, larger than the view, at 0, 0 and scrollable.
    view.setZoom(100);
    EXPECT_EQ(view.zoomMode(), report::ZoomMode::Fixed);
    EXPECT_EQ(view.pageImage()->size(), QSize(1127, 798));
    EXPECT_TRUE(view.horizontalScrollBar()->maximum() > 0 && view.verticalScrollBar()->maximum() > 0);

    // Scrolled away, a page change returns to the top-left.
    view.horizontalScrollBar()->setValue(100);
    view.verticalScrollBar()->setValue(50);
    EXPECT_EQ(view.pageImage()->pos(), QPoint(-100, -50));
    view.setPageNumber(2);
    EXPECT_EQ(std::pair(view.horizontalScrollBar()->value(), view.verticalScrollBar()->value()), std::pair(0, 0));

    // Fixed at 100, a larger view centres the same image again.
    view.resize(1400, 1000);
    EXPECT_EQ(view.Zoom(), 100);
    EXPECT_EQ(view.pageImage()->pos(), QPoint(136, 101));

    // Page width, and it follows a resize.
    view.ZoomToWidth();
    EXPECT_EQ(view.zoomMode(), report::ZoomMode::PageWidth);
    EXPECT_EQ(view.Zoom(), 122); // 1400/1123*98 = 122.2
    view.resize(700, 1000);
    EXPECT_EQ(view.Zoom(), 61);   // 61.1

    // Back to fit: a resize fits again, and scrolling was reset by the zoom change.
    view.setZoom(100);
    EXPECT_TRUE(view.horizontalScrollBar()->isVisibleTo(&view));
    view.ZoomToFit();
    view.resize(800, 600);
    EXPECT_EQ(view.Zoom(), 70);
    EXPECT_EQ(view.zoomMode(), report::ZoomMode::FitToWindow);
    // The fitted page needs no scroll bars, even right after a zoom that did.
    EXPECT_FALSE(view.horizontalScrollBar()->isVisibleTo(&view));
    EXPECT_FALSE(view.verticalScrollBar()->isVisibleTo(&view));

    // A view too small for any page: zoom 0, frame and shadow only, still painted.
    view.resize(4, 4);
    EXPECT_EQ(shown(*view.pageImage()).pixelColor(3, 3), QColor(Qt::black));
}

TEST(PreviewImage, PaperPageFrameAndShadowArePaintedWhereTheyBelongWhenTheStoreIsReady)
{
    Store s(1);
    TQRCustomPreview image(s.store);
    image.resize(1127, 798); // 1123 x 794 at 100%, plus 4
    image.setZoom(100);
    s.store.setCurrentPageNumber(1);
    const QImage img = shown(image);
    const int w = img.width(), h = img.height();
    struct Probe { int x, y; QColor colour; const char* what; };
    const QColor ground(0, 255, 0);
    const Probe probes[] = {
        {0, 0, Qt::black, "frame top-left"},
        {w - 3, h - 3, Qt::black, "frame bottom-right"},
        {w - 3, 100, Qt::black, "frame right"},
        {5, 5, Qt::white, "paper outside the printable area"},
        {17, 17, pageColour(1), "first pixel of the page (offset 16 + 1)"},
        {1089, 761, pageColour(1), "last pixel of the page (printable size)"},
        {1095, 400, Qt::white, "paper right of the page"},
        {w - 2, 2, Qt::black, "shadow right, from 2 down"},
        {w - 1, h - 1, Qt::black, "shadow corner"},
        {2, h - 2, Qt::black, "shadow bottom, from 2 in"},
        {w - 1, 1, ground, "above the right shadow"},
        {1, h - 1, ground, "left of the bottom shadow"},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(img.pixelColor(p.x, p.y), p.colour) << p.what;

    // Nothing at all unless the store is ready.
    QImage blank(image.size(), QImage::Format_RGB32);
    blank.fill(ground);
    s.store.Cleanup();
    EXPECT_EQ(shown(image), blank) << "idle";
    s.store.BeginDoc();
    EXPECT_EQ(shown(image), blank) << "composing";
}

TEST(PreviewWindow, EscExitAndAltEAllCloseTheWindow)
{
    Store s(1);
    using Close = std::function<void(TQRStandardPreview&)>;
    const std::pair<const char*, Close> ways[] = {
        {"Esc", [](TQRStandardPreview& p) { QTest::keyClick(p.window(), Qt::Key_Escape); }},
        {"Alt+E", [](TQRStandardPreview& p) { QTest::keyClick(p.window(), Qt::Key_E, Qt::AltModifier); }},
        {"close box", [](TQRStandardPreview& p) { p.window()->close(); }},
    };
    for (const auto& [name, close] : ways) {
        TQRStandardPreview p(s.store);
        bool closedInTime = false;
        QTimer::singleShot(0, [&] {
            QApplication::setActiveWindow(p.window());
            p.window()->activateWindow();
            close(p);
            // A mnemonic presses its button with a short animation: wait for the click.
            closedInTime = QTest::qWaitFor([&] { return !p.window()->isVisible(); }, 5000);
            if (!closedInTime)
                p.window()->reject(); // never leave the modal loop hanging
        });
        p.ShowModal();
        EXPECT_TRUE(closedInTime) << name;
    }
}

TEST(PreviewWindow, TabVisitsTheButtonsInCreationOrderSkippingDisabledOnes)
{
    Store s(3);
    TQRStandardPreview p(s.store);
    p.window()->show();
    QApplication::setActiveWindow(p.window());
    // On page 1, First and Previous are disabled.
    p.nextButton()->setFocus();
    std::vector<QWidget*> seen{QApplication::focusWidget()};
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen.push_back(QApplication::focusWidget());
    }
    const std::vector<QWidget*> expected{p.nextButton(), p.lastButton(), p.printButton(),
                                         p.saveButton(), p.loadButton(), p.exitButton()};
    EXPECT_EQ(seen, expected);

    // Enter and Space press the focused button; arrow keys change no page.
    p.nextButton()->setFocus();
    QTest::keyClick(p.nextButton(), Qt::Key_Return);
    EXPECT_EQ(p.pageIndicator()->text(), "Page 2 of 3");
    QTest::keyClick(p.nextButton(), Qt::Key_Space);
    EXPECT_EQ(p.pageIndicator()->text(), "Page 3 of 3");
    for (Qt::Key k : {Qt::Key_PageUp, Qt::Key_Left, Qt::Key_Home})
        QTest::keyClick(QApplication::focusWidget(), k);
    EXPECT_EQ(s.store.currentPageNumber(), 3);
    p.window()->reject();
}

TEST_F(PreviewOnLastPage, PrintingKeepsThePageAndIsBlockedWhileItRuns)
{
    bool printEnabledDuringJob = true;
    s.fake.onBeginDoc = [&] { printEnabledDuringJob = p.printButton()->isEnabled(); };
    p.printButton()->click();
    EXPECT_EQ(s.fake.jobsEnded, 1);
    EXPECT_TRUE(!printEnabledDuringJob && p.printButton()->isEnabled());
    EXPECT_EQ(s.store.currentPageNumber(), 3);

    // A failing job: the error box, the button back, the window still there.
    s.fake.onBeginDoc = {};
    s.fake.beginDocFails = true;
    p.printButton()->click();
    EXPECT_FALSE(testsupport::ui().errors.isEmpty());
    EXPECT_TRUE(p.printButton()->isEnabled());
}

TEST_F(PreviewOnLastPage, SaveAndLoadGoThroughTheReportFileDialogs)
{
    DialogUser user;
    // A damaged file: the error box, and the pages and the page shown stay.
    const fs::path bad = dir.path() / "bad.QRP";
    testsupport::writeFileBytes(bad, std::vector<unsigned char>(200, 0));
    user.answers = {qpath(bad)};
    p.loadButton()->click();
    EXPECT_EQ(testsupport::ui().errors, QStringList{"Stream read error."});
    EXPECT_EQ(p.pageIndicator()->text(), "Page 3 of 3");
    EXPECT_TRUE(s.store.pageCount() == 3 && p.loadButton()->isEnabled());

    // Cancelling the dialogs does nothing at all.
    testsupport::ui().errors.clear();
    p.loadButton()->click();
    p.saveButton()->click();
    EXPECT_TRUE(testsupport::ui().errors.isEmpty());
    EXPECT_EQ(p.pageIndicator()->text(), "Page 3 of 3");

    // Save adds the extension.
    user.answers = {qpath(dir.path() / "saved")};
    p.saveButton()->click();
    ASSERT_EQ(user.asked.size(), 4u);
    const desktop::FileDialogOptions save = user.asked.back();
    EXPECT_EQ(std::tuple(save.filter, save.defaultExtension, save.overwritePrompt),
              std::tuple(QStringLiteral("PageReport files|*.QRP"), QStringLiteral("QRP"), true));
    ASSERT_TRUE(fs::exists(dir.path() / "saved.QRP"));

    // A one-page file into a view on page 3 of 3 returns to page one.
    Store one(1);
    one.store.Save(qpath(dir.path() / "one.QRP"));
    user.answers = {qpath(dir.path() / "one.QRP")};
    p.preview()->setZoom(100);
    p.loadButton()->click();
    const desktop::FileDialogOptions load = user.asked.back();
    EXPECT_EQ(std::pair(load.defaultExtension, load.overwritePrompt), std::pair(QString(), false));
    expectNavigation(p, "Page 1 of 1", {false, false, false, false});
    EXPECT_EQ(std::tuple(p.preview()->PageNumber(), s.store.currentPageNumber(), p.preview()->Zoom()),
              std::tuple(1, 1, 100));
    EXPECT_EQ(p.preview()->pageImage()->size(), QSize(1203, 842)); // the loaded 110% sheet + 4
}

TEST(PreviewWindow, StorePreviewOpensOnPageOneWithTheFitZoom)
{
    Store s(2);
    s.store.setCaptionText(QStringLiteral("Star profile"));
    s.store.setCurrentPageNumber(2);
    QString title, indicator;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) {
                title = d->windowTitle();
                if (auto* l = d->findChild<QLabel*>())
                    indicator = l->text();
                d->reject();
            }
        }
    });
    s.store.Preview();
    EXPECT_EQ(title, "Star profile");
    EXPECT_EQ(indicator, "Page 1 of 2");
}

TEST(PreviewDrawing, APageLooksTheSameDrawnOffTheWindowThreadAloneOrInsideTheWindow)
{
    // Lines and rectangles before clipped, opaque text beyond ASCII: drawn on the
    // worker, and inside the window through a translated painter, it must lose nothing.
    Store s;
    s.store.BeginDoc();
    platform::Canvas& c = s.store.canvas();
    c.setPen(platform::CanvasPen{Qt::black, 1, platform::PenStyle::Solid});
    c.rectangle({5, 5, 400, 200});
    c.moveTo(10, 150);
    c.lineTo(390, 150);
    c.setFont({QStringLiteral("Times New Roman"), 40, true});
    c.setTextAlign({platform::HAlign::Center, platform::VAlign::Top});
    c.textOut(200, 40, {20, 40, 380, 90}, platform::TextOpaque | platform::TextClipped,
              QStringLiteral("Courageous \u00C6 \u20AC"));
    s.store.EndDoc();

    const QSize size = report::zoom::imageSize({s.store.physicalWidth(), s.store.physicalHeight()}, 100);
    QImage direct(size, QImage::Format_RGB32);
    direct.fill(QColor(0, 255, 0));
    {
        QPainter painter(&direct);
        report::paintPreviewPage(painter, s.store, size, 100);
    }
    TQRCustomPreview alone(s.store);
    alone.resize(size);
    EXPECT_EQ(shown(alone), direct);

    QWidget parent;
    parent.resize(size + QSize(60, 40));
    TQRCustomPreview inside(s.store, &parent);
    inside.setGeometry(QRect(QPoint(37, 23), size));
    shown(inside);
    QImage whole(parent.size(), QImage::Format_RGB32);
    whole.fill(QColor(0, 255, 0));
    parent.render(&whole, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(whole.copy(QRect(QPoint(37, 23), size)), direct);
}

TEST(PreviewDrawing, APageOverBudgetShowsItsErrorOnBlankPaper)
{
    const int over = static_cast<int>(platform::EmfBudget::maxOperations) / 2 + 1;
    Store s;
    s.store.adoptPages({hostile::triangles(2, over)}, hostile::kPageWidth, hostile::kPageHeight);
    // The first record draws, the second goes over.
    TQRCustomPreview image(s.store);
    image.resize(1203, 842);
    image.setZoom(100);
    const QImage img = shown(image);
    const QRect middle(300, 380, 600, 80);  // where the message is
    int triangle = 0, ink = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            triangle += (img.pixel(x, y) & 0xFFFFFF) == 0x4080C0;
            ink += middle.contains(x, y) && qGray(img.pixel(x, y)) < 128;
        }
    EXPECT_EQ(triangle, 0) << "no triangle of the refused page";
    EXPECT_GT(ink, 100);
}

TEST(PreviewDrawing, TheWindowAnswersInputWhileALongPageIsDrawnAndKeepsTheImage)
{
    // The slowest kind of page within budget: 200,000 characters no face has,
    // about half a second even in an optimised build.
    const int glyphs = static_cast<int>(platform::EmfBudget::maxGlyphs);
    Store s;
    s.store.adoptPages({hostile::text(4, glyphs / 4, -8, QChar(0xE000)), hostile::triangles(1, 10)},
                       hostile::kPageWidth, hostile::kPageHeight);
    TQRStandardPreview p(s.store);
    p.window()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(p.window()));
    TQRCustomPreview* image = p.preview()->pageImage();
    if (!image->drawing())
        image->repaint();  // the paint returns while the page is still drawn
    ASSERT_TRUE(image->drawing());
    QTest::mouseClick(p.nextButton(), Qt::LeftButton);
    EXPECT_EQ(p.pageIndicator()->text(), QStringLiteral("Page 2 of 2"));

    // Back on the long page: drawn once, then every repaint reuses its image.
    QTest::mouseClick(p.firstButton(), Qt::LeftButton);
    shown(*image);
    image->repaint();
    EXPECT_FALSE(image->drawing()) << "a repaint of the same view draws nothing anew";
    p.preview()->setZoom(50);
    image->repaint();
    EXPECT_TRUE(image->drawing()) << "a new zoom draws the page anew";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !image->drawing(); }, 60'000));
    p.window()->close();
}
