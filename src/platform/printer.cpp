#include "platform/printer.h"

#include <stdexcept>

namespace platform {

EPrinter::EPrinter(const QString& message) : std::runtime_error(message.toStdString()) {}

TPrinter::~TPrinter() = default;

namespace {
std::unique_ptr<TPrinter>& installedPrinter()
{
    static std::unique_ptr<TPrinter> printer;
    return printer;
}
PrinterFactory& printerFactory()
{
    static PrinterFactory factory;
    return factory;
}
} // namespace

TPrinter& Printer()
{
    auto& printer = installedPrinter();
    if (!printer && printerFactory())
        printer = printerFactory()();
    if (!printer)
        throw std::logic_error("The program has no printer object");
    return *printer;
}

void setPrinterFactory(PrinterFactory factory)
{
    printerFactory() = std::move(factory);
}

std::unique_ptr<TPrinter> setPrinter(std::unique_ptr<TPrinter> printer)
{
    auto previous = std::move(installedPrinter());
    installedPrinter() = std::move(printer);
    return previous;
}

} // namespace platform
