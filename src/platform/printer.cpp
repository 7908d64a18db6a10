#include "platform/printer.h"

#include "platform/printer_system.h"

namespace platform {

EPrinter::EPrinter(const QString& message) : std::runtime_error(message.toStdString()) {}

TPrinter::~TPrinter() = default;

namespace {
std::unique_ptr<TPrinter>& installedPrinter()
{
    static std::unique_ptr<TPrinter> printer;
    return printer;
}
} // namespace

TPrinter& Printer()
{
    auto& printer = installedPrinter();
    if (!printer)
        printer = createSystemPrinter();
    return *printer;
}

std::unique_ptr<TPrinter> setPrinter(std::unique_ptr<TPrinter> printer)
{
    auto previous = std::move(installedPrinter());
    installedPrinter() = std::move(printer);
    return previous;
}

} // namespace platform
