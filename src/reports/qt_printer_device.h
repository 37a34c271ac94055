#pragma once
// The printer device on a QPrinter: a real printer, or a PDF file when the
// QPrinter is set to PDF output.

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "reports/printer_device.h"

class QPrinter;

namespace acquenza {

class QtPrinterDevice final : public PrinterDevice {
  public:
    // Starts the print on `printer`, which must outlive the device and be set
    // up (output, page size, margins) beforehand. Whether the start failed is
    // known at once through Failed(). A device dropped before EndDocument
    // still ends the document with the pages printed so far. A print to a PDF
    // file that fails after it started removes the file.
    explicit QtPrinterDevice(QPrinter& printer);
    ~QtPrinterDevice() override;

    QtPrinterDevice(const QtPrinterDevice&) = delete;
    QtPrinterDevice& operator=(const QtPrinterDevice&) = delete;

    void SetPosition(double xTwips, double yTwips) override;
    void SetFont(const std::string& name, double points) override;
    void SetFontSize(double points) override;
    void PrintLine(const std::vector<PrintItem>& items) override;
    void DrawLine(double x1, double y1, double x2, double y2, int width) override;
    double CurrentY() const override { return y_; }
    double PageWidth() const override { return pageWidth_; }
    double PageHeight() const override { return pageHeight_; }
    double LineHeight(double points) const override;
    double LineEnd(const std::vector<PrintItem>& items) const override;
    int PageNumber() const override { return page_; }
    // Starts the next page with the position at its top left corner.
    void NewPage() override;
    void EndDocument() override;
    bool Failed() const override { return failed_; }
    std::string FailureText() const override { return failure_; }

    // The font the device prints with for a font name of the report: "Courier
    // New" and "Roman" become fonts installed here that look alike; any other
    // name is asked for as it stands.
    static QFont FontFor(const std::string& name, double points);

  private:
    bool Printing() const { return !failed_ && painter_.isActive(); }
    void Fail(const std::string& text);
    // Ends a failed print.
    void Abandon();
    // The failure's words: the printer to check, or the file that stopped.
    std::string Interrupted(const std::string& where) const;
    bool OutputFileComplete() const;
    // A font with its metrics on the printer, in twips.
    struct Face {
        QFont font;
        QFontMetricsF metrics;
        double ascent;
        double lineHeight;
        double columnWidth;
        double blankWidth;
    };
    const Face& FaceFor(const std::string& name, double points) const;
    void TakeFont(const std::string& name, double points);
    // Walks the items from x as printing them would, handing each text and
    // where it starts to `draw`; returns where the line ends.
    template <typename Draw>
    double Walk(const std::vector<PrintItem>& items, double x, Draw draw) const;
    double ToDots(double twips) const { return twips * dotsPerTwip_; }
    double ToTwips(double dots) const { return dots / dotsPerTwip_; }

    QPrinter& printer_;
    QPainter painter_;
    double dotsPerTwip_ = 1;
    double pageWidth_ = 0;
    double pageHeight_ = 0;
    // Reports switch fonts line by line, and working out a font's
    // metrics costs more than printing the line.
    mutable std::map<std::pair<std::string, double>, Face> faces_;
    std::string fontName_ = "Courier New";
    double fontPoints_ = 10;
    const Face* face_ = nullptr;
    double x_ = 0;
    double y_ = 0;
    int page_ = 1;
    bool failed_ = false;
    std::string failure_;
    std::string outputFile_;  // the PDF being written, if the print goes to one
};

}  // namespace acquenza
