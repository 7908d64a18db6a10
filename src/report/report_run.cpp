// The report run: Print and Preview, the printer set-up (Prepare) and the
// composition of pages (Compose) with its bands, records, groups, columns and
// page breaks.
#include "report/band_drawing.h"
#include "report/data_set.h"
#include "report/page_report.h"
#include "report/qr_group.h"
#include "report/qr_label.h"
#include "report/qr_memo.h"
#include "report/qr_progress_form.h"

#include "report/engine_windows.h"

#include <QCoreApplication>

#include <stdexcept>

namespace {

void processPendingMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

} // namespace

// One composition: the algorithms of a run over the report's run-time state.
class ReportRun {
public:
    explicit ReportRun(TPageReport& report)
        : r(report)
        , store(report.pageStore())
    {
    }

    void compose();

private:
    int formPpi() const { return r.owner()->PixelsPerInch; }
    int marginX() const { return platform::roundHalfEven(r.leftMargin_ * platform::kDesignPixelsPerInch); }

    void collectComponents();
    void printHeaders();
    void processController(TQRController& c);
    bool firstRecord(TQRController& c);
    bool nextRecord(TQRController& c);
    void printBands(TQRBandType type);
    void printBand(TQRBand* band);
    void checkSpace(TQRBand& band);
    void columnHeadersAfterBreak();
    void newPage();
    void printFooters();
    bool groupCheck(bool forced);
    void printGroupHeaders();
    void notify(const TNotifyEvent& event)
    {
        if (event)
            event(r);
    }

    TPageReport& r;
    TQRPrinter& store;
    // Column headers printed because of a break must not break again: a column
    // header taller than the page would otherwise start pages for ever.
    bool inColumnHeaderBreak_ = false;
    // Whether anything but the page's headers and overlay has been printed on
    // the open page.
    bool pageHasBody_ = false;
};

void ReportRun::compose()
{
    store.setShowProgress(r.ShowProgress);
    store.setCancelled(false);

    // Whatever happens below, the run's lists and progress window go with it.
    struct Release {
        TPageReport& r;
        ~Release()
        {
            for (auto& list : r.bandLists_)
                list.clear();
            r.calcs_.clear();
            r.groups_.fill(nullptr);
            r.progress_.reset();
        }
    } release{r};

    r.progress_ = std::make_unique<TQRProgressForm>(store, nullptr);
    if (r.ShowProgress)
        r.progress_->Show();
    r.progress_->SetText(QStringLiteral("Preparing report") + u' ' + r.ReportTitle);

    for (auto& list : r.bandLists_)
        list.clear();
    r.calcs_.clear();
    r.groups_.fill(nullptr);

    bool PrintReport = true;
    if (r.BeforePrint)
        r.BeforePrint(PrintReport);
    if (!PrintReport) {
        store.Cancel();
        return;
    }

    collectComponents();

    r.footerHeight_ = 0;
    for (TQRBand* band : r.bandLists_[rbPageFooter])
        r.footerHeight_ += r.YPos(band->Height);

    r.currentX_ = marginX();
    r.pageWidth_ -= r.currentX_;
    const int columns = r.columns_;
    r.columnWidth_ = platform::roundHalfEven((r.pageWidth_ - r.columnMargin_ * platform::kDesignPixelsPerInch * (columns - 1)) / columns);
    r.pageHeight_ = platform::roundHalfEven(r.pageHeight_ * double(platform::kDesignPixelsPerInch) / formPpi());

    r.currentY_ = 0;
    r.pageNumber_ = 1;
    r.currentColumn_ = 1;
    r.columnTop_ = 0;
    r.recordCount_ = 0;
    r.detailPrinted_ = false;

    r.noDataSource_ = r.DataSource == nullptr;
    for (TQRGroup* group : r.groups_)
        if (group)
            group->start();
    if (r.DataSource && r.DataSource->isOpen()) {
        r.DataSource->first();
        if (!r.SQLCompatible)
            r.recordCount_ = r.DataSource->recordCount();
    }

    r.detailCount_ = 1;
    r.progress_->SetMax(r.recordCount_);

    notify(r.OnStartPage);
    printHeaders();
    processController(r);
    printFooters();
    notify(r.OnEndPage);
    notify(r.AfterPrint);
}

void ReportRun::collectComponents()
{
    const auto& components = r.owner()->components();
    for (ReportComponent* c : components) {
        if (auto* controller = dynamic_cast<TQRController*>(c))
            controller->clearDetailLinks();
        if (auto* band = dynamic_cast<TQRBand*>(c))
            band->clearResetList();
    }
    for (ReportComponent* c : components) {
        if (auto* group = dynamic_cast<TQRGroup*>(c))
            r.groups_[static_cast<size_t>(group->Level())] = group;
        if (auto* calc = dynamic_cast<TQRDBCalc*>(c)) {
            calc->restart();
            r.calcs_.push_back(calc);
            if (calc->ResetBand())
                calc->ResetBand()->addToResetList(*calc);
        }
        if (auto* band = dynamic_cast<TQRBand*>(c)) {
            r.bandLists_[static_cast<size_t>(band->BandType)].push_back(band);
        }
        if (auto* link = dynamic_cast<TQRDetailLink*>(c))
            if (link->Master())
                link->Master()->addDetailLink(*link);
    }
}

void ReportRun::printHeaders()
{
    if (r.TitleBeforeHeader) {
        printBands(rbTitle);
        printBands(rbPageHeader);
    } else {
        printBands(rbPageHeader);
        printBands(rbTitle);
    }
    printBands(rbColumnHeader);
    printGroupHeaders();
}

void ReportRun::processController(TQRController& c)
{
    printBand(c.headerBand());
    if (firstRecord(c)) {
        do {
            // Copies: an event handler may not change the lists, but a copy
            // keeps the walk safe whatever it does.
            const std::vector<TQRDetailLink*> links = c.detailLinks();
            for (TQRDetailLink* link : links)
                if (link->PrintBefore())
                    processController(*link);
            if (&c == &r) {
                if (groupCheck(false))
                    printGroupHeaders();
                printBands(rbDetail);
                ++r.detailCount_;
                r.progress_->SetPosition(r.detailCount_);
            } else {
                for (TQRDBCalc* calc : r.calcs_)
                    if (calc->DataSource == c.DataSource)
                        calc->addCurrentRecord();
                printBand(c.detailBand());
            }
            for (TQRDetailLink* link : links)
                if (!link->PrintBefore())
                    processController(*link);
        } while (nextRecord(c) && !store.cancelled());
    }
    printBand(c.footerBand());
}

bool ReportRun::firstRecord(TQRController& c)
{
    report::DataSet* ds = c.DataSource;
    if (!ds || !ds->isOpen()) {
        bool MoreData = true;
        if (c.OnNeedData)
            c.OnNeedData(MoreData);
        if (c.OnFilter && MoreData)
            c.OnFilter(MoreData);
        return MoreData;
    }
    ds->first();
    // An empty table has no record to print.
    if (ds->eof())
        return false;
    if (!c.OnFilter)
        return true;
    for (;;) {
        bool PrintRecord = true;
        c.OnFilter(PrintRecord);
        if (PrintRecord)
            return true;
        ds->next();
        if (ds->eof())
            return false;
    }
}

bool ReportRun::nextRecord(TQRController& c)
{
    report::DataSet* ds = c.DataSource;
    if (!ds || !ds->isOpen()) {
        bool MoreData = false;
        if (c.OnNeedData)
            c.OnNeedData(MoreData);
        if (c.OnFilter && MoreData)
            c.OnFilter(MoreData);
        return MoreData;
    }
    if (ds->eof())
        return false;
    ds->next();
    if (c.OnFilter) {
        while (!ds->eof()) {
            bool PrintRecord = true;
            c.OnFilter(PrintRecord);
            if (PrintRecord)
                break;
            ds->next();
        }
    }
    return !ds->eof();
}

void ReportRun::printBands(TQRBandType type)
{
    if (type == rbDetail || type == rbSubDetail) {
        notify(r.BeforeDetail);
        for (TQRDBCalc* calc : r.calcs_)
            if (calc->DataSource == r.DataSource)
                calc->addCurrentRecord();
    }
    const std::vector<TQRBand*> bands = r.bandLists_[static_cast<size_t>(type)];
    for (TQRBand* band : bands)
        printBand(band);
    if (type == rbDetail)
        notify(r.AfterDetail);
    if (type == rbTitle || type == rbPageHeader)
        r.columnTop_ = r.currentY_;
}

void ReportRun::printBand(TQRBand* band)
{
    if (!band || !band->Enabled)
        return;
    // Lets the progress window's Cancel button act.
    processPendingMessages();

    // The space check may stretch the band for this one printing.
    struct RestoreHeight {
        TQRBand& band;
        int height;
        ~RestoreHeight() { band.Height = height; }
    } restore{*band, band->Height};

    bool printed = false;
    switch (band->BandType) {
    case rbPageHeader:
        printed = band->print(r.drawContext(), r.currentX_, r.currentY_);
        break;
    case rbPageFooter:
        r.currentY_ = r.pageHeight_ - r.footerHeight_;
        r.currentX_ = marginX();
        printed = band->print(r.drawContext(), r.currentX_, r.currentY_);
        break;
    default:
        checkSpace(*band);
        if (band->BandType == rbDetail || band->BandType == rbSubDetail || band->BandType == rbGroupFooter)
            r.detailPrinted_ = true;
        if (band->BandType == rbOverlay) {
            printed = band->print(r.drawContext(), 0, 0);
        } else {
            printed = band->print(r.drawContext(), r.currentX_, r.currentY_);
            if (printed && band->BandType != rbColumnHeader)
                pageHasBody_ = true;
        }
        break;
    }
    if (printed)
        r.currentY_ += band->Height;
}

void ReportRun::checkSpace(TQRBand& band)
{
    if (band.BandType == rbOverlay)
        return;
    const int extra = band.stretch(true);
    // A band that does not fit on a page holding nothing but its headers would
    // not fit on the next one either: breaking would only leave a blank sheet
    // behind. (A profile page is 762 units high; on a printer whose printable
    // height is 761.6, A4 landscape with sixth-of-an-inch margins, every
    // profile came out as a blank sheet and then the page.) It prints here,
    // cut at the page's foot as it would be on the next.
    const bool full = r.currentY_ + extra + band.Height >= r.pageHeight_ - r.footerHeight_ && pageHasBody_;
    const bool forced = band.ForceNewPage && r.detailPrinted_;
    const bool mayBreak = !(inColumnHeaderBreak_ && band.BandType == rbColumnHeader);
    if ((full || forced) && mayBreak) {
        if (r.currentColumn_ == r.columns_) {
            r.currentColumn_ = 1;
            r.currentX_ = marginX();
            newPage();
        } else {
            r.currentX_ += platform::roundHalfEven(double(platform::kDesignPixelsPerInch) / formPpi() * r.columnWidth_) + platform::roundHalfEven(r.columnMargin_ * platform::kDesignPixelsPerInch);
            r.currentY_ = r.columnTop_;
            ++r.currentColumn_;
        }
        columnHeadersAfterBreak();
    }
    if (extra > 0)
        band.Height += band.stretch(false);
}

void ReportRun::columnHeadersAfterBreak()
{
    const bool outer = inColumnHeaderBreak_;
    inColumnHeaderBreak_ = true;
    try {
        printBands(rbColumnHeader);
    } catch (...) {
        inColumnHeaderBreak_ = outer;
        throw;
    }
    inColumnHeaderBreak_ = outer;
}

void ReportRun::newPage()
{
    printBands(rbPageFooter);
    notify(r.OnEndPage);
    r.currentY_ = 0;
    printBands(rbOverlay);
    report::drawPageFrame(r);
    store.NewPage();
    ++r.pageNumber_;
    r.currentY_ = 0;
    r.detailPrinted_ = false;
    pageHasBody_ = false;
    notify(r.OnStartPage);
    printBands(rbPageHeader);
}

void ReportRun::printFooters()
{
    for (TQRGroup* group : r.groups_)
        if (group)
            group->setChanged(true);
    groupCheck(true);
    printBands(rbSummary);
    printBands(rbPageFooter);
    printBands(rbOverlay);
    report::drawPageFrame(r);
}

bool ReportRun::groupCheck(bool forced)
{
    bool changed = forced;
    if (!forced) {
        // Every group reads its new value, whether or not a deeper one changed.
        for (int level = kMaxGroups - 1; level >= 0; --level)
            if (TQRGroup* group = r.groups_[static_cast<size_t>(level)]; group && group->examine())
                changed = true;
    }
    if (!changed)
        return false;

    report::DataSet* ds = r.DataSource;
    const bool stepBack = ds && ds->isOpen() && !forced && !ds->bof();
    bool wasAtEnd = false;
    if (stepBack) {
        // The footers show the last record of the group that ended.
        wasAtEnd = ds->eof();
        ds->prior();
    }
    bool outerChanged = false;
    for (TQRGroup* group : r.groups_) {
        if (!group)
            continue;
        if (outerChanged)
            group->setChanged(true);
        if (group->changed())
            outerChanged = true;
    }
    for (int level = kMaxGroups - 1; level >= 0; --level)
        if (TQRGroup* group = r.groups_[static_cast<size_t>(level)]; group && group->changed())
            printBand(group->FooterBand());
    if (stepBack) {
        ds->next();
        if (wasAtEnd)
            ds->next();
    }
    return true;
}

void ReportRun::printGroupHeaders()
{
    for (TQRGroup* group : r.groups_) {
        if (group && group->changed()) {
            printBand(group->HeaderBand());
            group->setChanged(false);
        }
    }
}

void TPageReport::Compose()
{
    if (!owner())
        throw std::logic_error("The report \"" + Name().toStdString() + "\" is not on a form");
    ReportRun(*this).compose();
}

void TPageReport::Prepare()
{
    if (!owner())
        throw std::logic_error("The report \"" + Name().toStdString() + "\" is not on a form");
    TQRPrinter& store = pageStore();
    if (store.status() == QRPrinterStatus::Composing)
        throw std::logic_error("A report is already being composed");

    store.setOrientation(Orientation);
    if (paperSize_ != qrpDefault) {
        store.setPaperSize(paperSize_);
        if (paperSize_ == qrpCustom) {
            store.setPaperWidth(paperWidth_);
            store.setPaperLength(paperLength_);
        }
    }
    store.BeginDoc();
    try {
        store.setTitle(ReportTitle);
        store.setOrientation(Orientation);
        store.readMetrics();
        pageWidth_ = store.printableWidth();
        pageHeight_ = store.printableHeight();
        xFactor_ = yFactor_ = owner()->PixelsPerInch / double(platform::kDesignPixelsPerInch);
        Compose();
        store.EndDoc();
    } catch (...) {
        // Half a run's pages are of no use to anyone, and a store left
        // composing would refuse every later run.
        store.Cleanup();
        throw;
    }
    if (paperSize_ != qrpDefault)
        store.setPaperSize(qrpDefault);
}

void TPageReport::Print()
{
    TQRPrinter& store = pageStore();
    // A run in progress (this one or another report's) owns the store.
    if (store.status() == QRPrinterStatus::Composing)
        return;
    bool printToFile = false;
    if (DisplayPrintDialog) {
        // Without a dialog to ask, nothing is printed: as if cancelled.
        const auto& ask = report::engineWindows().printDialog;
        const auto choice = ask ? ask(9999) : std::nullopt;
        if (!choice)
            return;
        store.setFromPage(choice->fromPage);
        store.setToPage(choice->toPage);
        printToFile = choice->printToFile;
    }
    sendPages(false, printToFile);
}

void TPageReport::Preview()
{
    if (pageStore().status() == QRPrinterStatus::Composing)
        return;
    sendPages(true, false);
}

void TPageReport::sendPages(bool preview, bool printToFile)
{
    TQRPrinter& store = pageStore();
    bool composedHere = false;
    try {
        if (store.status() == QRPrinterStatus::Idle) {
            composedHere = true;
            Prepare();
        }
        if (!store.cancelled()) {
            if (preview) {
                store.Preview();
            } else if (printToFile) {
                const auto& ask = report::engineWindows().reportFileToSave;
                if (const auto name = ask ? ask() : std::nullopt)
                    store.Save(*name);
            } else {
                store.Print();
            }
        }
    } catch (...) {
        if (composedHere)
            store.Cleanup();
        throw;
    }
    if (composedHere)
        store.Cleanup();
}
