#include "reports/owned_printer.h"

#include <QPageSize>
#include <QPrinter>

#include "reports/qt_printer_device.h"

namespace acquenza {

namespace {

class OwnedPrinter final : public ForwardingPrinterDevice {
  public:
    explicit OwnedPrinter(std::unique_ptr<QPrinter> printer)
        : ForwardingPrinterDevice(device_), printer_(std::move(printer)), device_(*printer_) {}

  private:
    std::unique_ptr<QPrinter> printer_;
    QtPrinterDevice device_;
};

}  // namespace

std::unique_ptr<PrinterDevice> PrintOn(std::unique_ptr<QPrinter> printer) {
    return std::make_unique<OwnedPrinter>(std::move(printer));
}

std::unique_ptr<PrinterDevice> PrintToPdf(const std::filesystem::path& file) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(file.string()));
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setDocName(QStringLiteral("Acquenza - relazione"));
    return PrintOn(std::move(printer));
}

}  // namespace acquenza
