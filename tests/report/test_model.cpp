// The report definition: margins, paper, columns, references, groups, calc totals and masks.
#include "report_fixtures.h"

#include "report/qr_group.h"
#include "support/test_support.h"

#include <stdexcept>

namespace {

using ReportModel = ReportFixture;

TEST_F(ReportModel, MarginViewsShareOneStoredMargin)
{
    struct Case { bool setMillimetres; int value, inches, millimetres; };
    // 0.3 inch = 7.62 mm; -1 inch = -25.4 mm; 2 inches = 50.8 mm;
    // 5 mm = 0.19685 inch = 1.9685 tenths; 7 mm = 2.756 tenths.
    const Case cases[] = {{false, 3, 3, 8}, {false, -10, -10, -25}, {false, 20, 20, 51},
                          {true, 5, 2, 5}, {true, 7, 3, 7}, {false, 0, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        if (c.setMillimetres)
            report->setLeftMarginMM(c.value);
        else
            report->setLeftMarginInches(c.value);
        EXPECT_EQ(std::pair(report->LeftMarginInches(), report->LeftMarginMM()), std::pair(c.inches, c.millimetres));
        if (c.setMillimetres)
            report->setColumnMarginMM(c.value);
        else
            report->setColumnMarginInches(c.value);
        EXPECT_EQ(std::pair(report->ColumnMarginInches(), report->ColumnMarginMM()), std::pair(c.inches, c.millimetres));
    }
    // The page forms store inches 2 and then millimetres 5: the later one wins.
    report->setLeftMarginInches(2);
    report->setLeftMarginMM(5);
    EXPECT_DOUBLE_EQ(report->leftMargin(), 5 / 25.4);
    EXPECT_TRUE(printer.log.filter(QStringLiteral("lock")).isEmpty()) << "margins never reach the printer";
}

TEST_F(ReportModel, PaperPropertiesActOnThePrinterAtOnceAndReadBackOnlyWhileCustom)
{
    const auto mode = [&] {
        const platform::DeviceMode& m = printer.deviceMode;
        return std::tuple(m.paperSize, m.paperLength, m.paperWidth);
    };
    // The order a page form loads them in: length 0, A4, width 0.
    std::tie(printer.deviceMode.paperSize, printer.deviceMode.paperLength, printer.deviceMode.paperWidth) =
        std::tuple(1, 2794, 2159);
    report->setPaperLength(0);
    report->setPaperSize(qrpA4);
    report->setPaperWidth(0);
    EXPECT_EQ(mode(), std::tuple(9, 0, 0));
    EXPECT_EQ(report->PaperSize(), qrpA4);

    std::tie(printer.deviceMode.paperLength, printer.deviceMode.paperWidth) = std::pair(2970, 2100);
    report->setPaperSize(qrpCustom);
    EXPECT_EQ(std::pair(report->PaperLength(), report->PaperWidth()), std::pair(2970, 2100));
    report->setPaperSize(qrpA5);
    EXPECT_EQ(std::pair(report->PaperLength(), report->PaperWidth()), std::pair(0, 0));
    EXPECT_EQ(printer.deviceMode.paperSize, 11);
    report->setPaperWidth(1500); // non-zero: custom first
    EXPECT_EQ(std::pair(report->PaperSize(), report->PaperWidth()), std::pair(qrpCustom, 1500));
    EXPECT_EQ(std::pair(printer.deviceMode.paperSize, printer.deviceMode.paperWidth), std::pair(256, 1500));
}

TEST_F(ReportModel, RemovedBandsAreDroppedByEveryoneWhoReferredToThem)
{
    TQRBand& detail = addBand(QStringLiteral("Detail"), rbDetail, 20);
    TQRBand& footer = addBand(QStringLiteral("Footer"), rbTitle, 20);
    TQRBand& other = addBand(QStringLiteral("Other"), rbDetail, 20);
    TQRLabel& label = addLabel(footer, QStringLiteral("L"), QStringLiteral("x"), 0, 0);
    TQRGroup& group = form.add<TQRGroup>(QStringLiteral("Group"));
    group.setFooterBand(&footer);
    EXPECT_EQ(footer.BandType, rbGroupFooter) << "a title band assigned as footer takes the footer type";
    other.setLinkBand(&footer);
    TQRDBCalc& calc = form.add<TQRDBCalc>(QStringLiteral("Calc"));
    calc.setResetBand(&footer);

    form.remove(footer);
    EXPECT_TRUE(!group.FooterBand() && !other.LinkBand() && !calc.ResetBand() && !label.Parent());
    EXPECT_EQ(form.findComponent(QStringLiteral("Footer")), nullptr);

    form.remove(label);
    EXPECT_TRUE(detail.children().empty());
}

TEST_F(ReportModel, LinkBandIgnoresItselfAndLinkCyclesCountEachBandOnce)
{
    TQRBand& a = addBand(QStringLiteral("A"), rbDetail, 30);
    TQRBand& b = addBand(QStringLiteral("B"), rbDetail, 40);
    a.setLinkBand(&a);
    EXPECT_EQ(a.LinkBand(), nullptr);
    a.setLinkBand(&b);
    b.setLinkBand(&a);
    EXPECT_EQ(a.stretch(true), 40);
    EXPECT_EQ(b.stretch(true), 30);
    EXPECT_EQ(a.stretch(false), 0);
}

TEST_F(ReportModel, GroupsAreNumberedByTheirPlaceAndAFormHoldsTen)
{
    std::vector<TQRGroup*> groups;
    for (int i = 0; i < kMaxGroups; ++i)
        groups.push_back(&form.add<TQRGroup>(QStringLiteral("Group%1").arg(i)));
    for (int i = 0; i < kMaxGroups; ++i)
        EXPECT_EQ(groups[static_cast<size_t>(i)]->Level(), i);
    EXPECT_THROW(form.add<TQRGroup>(QStringLiteral("Eleventh")), std::runtime_error);
    EXPECT_EQ(form.findComponent(QStringLiteral("Eleventh")), nullptr);

    form.remove(*groups[3]);
    EXPECT_EQ(groups[4]->Level(), 3);
    EXPECT_EQ(groups[9]->Level(), 8);
    EXPECT_EQ(groups[2]->Level(), 2);
}

TEST(CalcMask, FormatsNumbers)
{
    struct Case { double value; const char* mask; const char* text; };
    const Case cases[] = {
        {60, "", "60"},
        {0.1 + 0.2, "", "0.3"},
        {1234567.891, "#,##0.00", "1,234,567.89"},
        {-1234.5, "#,##0.00", "-1,234.50"},
        {0.5, "#.##", ".5"},
        {7, "000", "007"},
        {2.5, "0", "2"},
        {3.5, "0", "4"},
        {12.3, "'Total: '0.0' EUR'", "Total: 12.3 EUR"},
        {99999999, "0", "99999999"},
        {-0.001, "0.00", "0.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        EXPECT_EQ(formatWithMask(c.value, QString::fromLatin1(c.mask)), QString::fromLatin1(c.text));
    }
}

TEST(CalcTotals, EachOperationOverTheRecordsAddedAndNoNumberIsAClearError)
{
    report::MemoryDataSet data({"Amount"}, {{"4"}, {"10"}, {" 1.5 "}, {""}});
    ReportForm form;
    TQRDBCalc& calc = form.add<TQRDBCalc>(QStringLiteral("Calc"));
    bound(calc, data, "Amount");
    struct Case { TQRCalcOperation op; double value; };
    for (const Case c : {Case{qrcSUM, 15.5}, Case{qrcCOUNT, 4}, Case{qrcMAX, 10}, Case{qrcMIN, 0},
                         Case{qrcAVERAGE, 15.5 / 4}}) {
        calc.Operation = c.op;
        calc.restart();
        for (data.first(); !data.eof(); data.next())
            calc.addCurrentRecord();
        EXPECT_DOUBLE_EQ(calc.value(), c.value) << c.op;
        calc.restart();
        EXPECT_DOUBLE_EQ(calc.value(), c.op == qrcMIN ? 99999999 : c.op == qrcMAX ? -99999999 : 0);
    }

    report::MemoryDataSet text({"Amount"}, {{"12x"}});
    calc.DataSource = &text;
    EXPECT_EQ(testsupport::errorOf<std::runtime_error>([&] { calc.addCurrentRecord(); }),
              "'12x' is not a valid floating point value");
    EXPECT_EQ(calc.count(), 0) << "a rejected record is not counted";
}

} // namespace
