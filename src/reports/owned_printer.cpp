#include "reports/owned_printer.h"

#include <QFile>
#include <QPageSize>
#include <QPrinter>

#include "reports/qt_printer_device.h"

namespace acquenza {

namespace {

class OwnedPrinter final : public PrinterDevice {
  public:
    // Prints on `printer`, into `file`'s work file when there is one.
    OwnedPrinter(std::unique_ptr<QPrinter> printer, std::unique_ptr<PreparedFile> file)
        : printer_(std::move(printer)), file_(std::move(file)) {
        device_ = std::make_unique<QtPrinterDevice>(*printer_);
    }
    // A print that cannot start: nothing is printed anywhere.
    explicit OwnedPrinter(std::string failure) : failure_(std::move(failure)) {}

    void SetPosition(double x, double y) override {
        if (device_) {
            device_->SetPosition(x, y);
        }
    }
    void SetFont(const std::string& name, double points) override {
        if (device_) {
            device_->SetFont(name, points);
        }
    }
    void SetFontSize(double points) override {
        if (device_) {
            device_->SetFontSize(points);
        }
    }
    void PrintLine(const std::vector<PrintItem>& items) override {
        if (device_) {
            device_->PrintLine(items);
        }
    }
    void DrawLine(double x1, double y1, double x2, double y2, int width) override {
        if (device_) {
            device_->DrawLine(x1, y1, x2, y2, width);
        }
    }
    double CurrentY() const override { return device_ ? device_->CurrentY() : 0; }
    double PageWidth() const override { return device_ ? device_->PageWidth() : 0; }
    double PageHeight() const override { return device_ ? device_->PageHeight() : 0; }
    double LineHeight(double points) const override {
        return device_ ? device_->LineHeight(points) : 0;
    }
    double LineEnd(const std::vector<PrintItem>& items) const override {
        return device_ ? device_->LineEnd(items) : 0;
    }
    int PageNumber() const override { return device_ ? device_->PageNumber() : 1; }
    void NewPage() override {
        if (device_) {
            device_->NewPage();
        }
    }
    void EndDocument() override {
        if (!device_ || Failed()) {
            return;
        }
        device_->EndDocument();
        if (!device_->Failed() && file_) {
            const ArchiveResult written = file_->Commit();
            if (!written.ok) {
                failure_ = written.message;
            }
        }
    }
    bool Failed() const override { return !failure_.empty() || (device_ && device_->Failed()); }
    std::string FailureText() const override {
        if (!failure_.empty()) {
            return failure_;
        }
        if (device_ && device_->Failed() && file_) {
            // The PDF writer does not say why it stopped; the disk does.
            return file_->WriteFailure().message;
        }
        return device_ ? device_->FailureText() : std::string();
    }

  private:
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<PreparedFile> file_;
    std::unique_ptr<QtPrinterDevice> device_;  // ends the print before the rest goes
    std::string failure_;
};

}  // namespace

std::optional<std::filesystem::path> PdfFileOf(const QPrinter& printer) {
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(QFile::encodeName(printer.outputFileName()).toStdString());
}

std::unique_ptr<PrinterDevice> PrintOn(std::unique_ptr<QPrinter> printer,
                                       const WriteOptions& options) {
    std::unique_ptr<PreparedFile> file;
    if (const std::optional<std::filesystem::path> pdf = PdfFileOf(*printer)) {
        file = std::make_unique<PreparedFile>();
        const ArchiveResult ready = file->Prepare(*pdf, options);
        if (!ready.ok) {
            return std::make_unique<OwnedPrinter>(ready.message);
        }
        printer->setOutputFileName(QFile::decodeName(file->WorkFile().c_str()));
    }
    return std::make_unique<OwnedPrinter>(std::move(printer), std::move(file));
}

std::unique_ptr<PrinterDevice> PrintToPdf(const std::filesystem::path& file,
                                          const WriteOptions& options) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QFile::decodeName(file.c_str()));
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setDocName(QStringLiteral("Acquenza - relazione"));
    return PrintOn(std::move(printer), options);
}

}  // namespace acquenza
