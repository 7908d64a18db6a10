#include "report/qr_progress_form.h"

#include "report/qr_printer.h"

#include <QCoreApplication>

#include <algorithm>

namespace {
constexpr int kStepsPerRun = 20;
} // namespace

TQRProgressForm::TQRProgressForm(QObject* owner) : TQRProgressForm(QRPrinter(), owner) {}

TQRProgressForm::TQRProgressForm(TQRPrinter& store, QObject* owner) : QObject(owner)
{
    if (const auto& make = report::engineWindows().progress) {
        view_ = make(store);
        view_->setRange(maximum_);
    }
}

TQRProgressForm::~TQRProgressForm() = default;

void TQRProgressForm::Show()
{
    if (view_)
        view_->show();
}

void TQRProgressForm::SetText(const QString& text)
{
    if (view_)
        view_->setText(text);
    QCoreApplication::processEvents();
}

void TQRProgressForm::SetMax(int max)
{
    if (view_)
        view_->setRange(max);
    maximum_ = max;
    step_ = std::max(max / kStepsPerRun, 1);
}

void TQRProgressForm::SetPosition(int position)
{
    if (maximum_ <= 0 || position / step_ <= lastStep_)
        return;
    if (view_)
        view_->setValue(position);
    lastStep_ = position / step_;
}
