#include "reports/owned_printer.h"

#include <QPageSize>
#include <QPrinter>

#include "reports/qt_printer_device.h"

namespace acquenza {

namespace {

class OwnedPrinter final : public PrinterDevice {
  public:
    explicit OwnedPrinter(std::unique_ptr<QPrinter> printer)
        : printer_(std::move(printer)), device_(*printer_) {}

    void SetPosition(double x, double y) override { device_.SetPosition(x, y); }
    void SetFont(const std::string& name, double points) override { device_.SetFont(name, points); }
    void SetFontSize(double points) override { device_.SetFontSize(points); }
    void PrintLine(const std::vector<PrintItem>& items) override { device_.PrintLine(items); }
    void DrawLine(double x1, double y1, double x2, double y2, int width) override {
        device_.DrawLine(x1, y1, x2, y2, width);
    }
    double CurrentY() const override { return device_.CurrentY(); }
    int PageNumber() const override { return device_.PageNumber(); }
    void NewPage() override { device_.NewPage(); }
    void EndDocument() override { device_.EndDocument(); }
    bool Failed() const override { return device_.Failed(); }
    std::string FailureText() const override { return device_.FailureText(); }

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
