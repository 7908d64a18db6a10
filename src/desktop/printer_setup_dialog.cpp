#include "desktop/printer_setup_dialog.h"

#include "desktop/user_interface.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace desktop {

using namespace platform;

namespace {

struct PaperChoice {
    const char* name;
    int code;
};

// The papers offered, with their device-mode codes.
constexpr PaperChoice kPapers[] = {
    {"A4", paper_code::a4}, {"A3", paper_code::a3}, {"A5", paper_code::a5},
    {"Letter", paper_code::letter}, {"Legal", paper_code::legal},
};
constexpr PaperChoice kPrinterDefaultPaper{"Printer default", paper_code::printerDefault};
constexpr PaperChoice kCustomPaper{"Custom size", paper_code::custom};

// Reads the selected printer's device mode; all fields zero when it has none.
DeviceMode readMode(TPrinter& printer)
{
    DeviceMode copy;
    if (!printer.getPrinter().hasDeviceMode)
        return copy;
    if (DeviceMode* mode = printer.lockDeviceMode()) {
        copy = *mode;
        printer.unlockDeviceMode();
    }
    return copy;
}

} // namespace

PrinterSetupWindow::PrinterSetupWindow(TPrinter& printer, QWidget* parent) : QDialog(parent), printer_(printer)
{
    setWindowTitle(QStringLiteral("Print Setup"));
    setModal(true);

    printers_ = new QComboBox(this);
    printer_.refreshPrinters();
    printers_->addItems(printer_.printers());

    auto* orientationBox = new QGroupBox(QStringLiteral("Orientation"), this);
    portrait_ = new QRadioButton(QStringLiteral("&Portrait"), orientationBox);
    landscape_ = new QRadioButton(QStringLiteral("&Landscape"), orientationBox);
    auto* orientationLayout = new QHBoxLayout(orientationBox);
    orientationLayout->addWidget(portrait_);
    orientationLayout->addWidget(landscape_);

    paper_ = new QComboBox(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), printers_);
    form->addRow(QStringLiteral("Paper &size:"), paper_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(orientationBox);
    layout->addWidget(buttons);

    int selected = printer_.printerIndex();
    if (selected < 0 && printers_->count() > 0)
        selected = 0;
    printers_->setCurrentIndex(selected);
    showSettingsOf(selected);
    // Another printer shows its own settings.
    connect(printers_, &QComboBox::currentIndexChanged, this, [this](int index) { showSettingsOf(index); });
}

void PrinterSetupWindow::showSettingsOf(int printerIndex)
{
    DeviceMode mode;
    if (printerIndex >= 0) {
        // Reading another printer's settings means selecting it for a moment.
        const int previous = printer_.printerIndex();
        try {
            if (printerIndex != previous)
                printer_.setPrinterIndex(printerIndex);
            mode = readMode(printer_);
        } catch (const EPrinter&) {
        }
        if (printerIndex != previous)
            printer_.setPrinterIndex(previous);
    }
    (mode.orientation == dmOrientLandscape ? landscape_ : portrait_)->setChecked(true);
    portrait_->setEnabled(mode.fields & dm_field::orientation);
    landscape_->setEnabled(mode.fields & dm_field::orientation);

    paper_->clear();
    bool listed = false;
    for (const PaperChoice& p : kPapers) {
        paper_->addItem(QString::fromLatin1(p.name), p.code);
        listed = listed || p.code == mode.paperSize;
    }
    if (!listed) {
        const PaperChoice& extra = mode.paperSize == 0 ? kPrinterDefaultPaper : kCustomPaper;
        paper_->addItem(QString::fromLatin1(extra.name), mode.paperSize);
    }
    paper_->setCurrentIndex(paper_->findData(mode.paperSize));
    paper_->setEnabled(mode.fields & dm_field::paperSize);
}

void PrinterSetupWindow::apply()
{
    const int index = printers_->currentIndex();
    if (index < 0)
        return;
    printer_.setPrinterIndex(index);
    if (!printer_.getPrinter().hasDeviceMode)
        return;
    DeviceMode* mode = printer_.lockDeviceMode();
    if (!mode)
        return;
    if (mode->fields & dm_field::orientation)
        mode->orientation = landscape_->isChecked() ? dmOrientLandscape : dmOrientPortrait;
    if ((mode->fields & dm_field::paperSize) && paper_->currentIndex() >= 0)
        mode->paperSize = paper_->currentData().toInt();
    printer_.unlockDeviceMode();
}

PrinterSetupDialog::PrinterSetupDialog(QWidget* owner, TPrinter* printer) : owner_(owner), printer_(printer) {}

bool PrinterSetupDialog::Execute()
{
    TPrinter& printer = printer_ ? *printer_ : Printer();
    PrinterSetupWindow window(printer, owner_);
    const bool confirmed = userInterface().printerSetup(window);
    if (confirmed)
        window.apply();
    return confirmed;
}

} // namespace desktop
