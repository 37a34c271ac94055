#pragma once
// The printer as the direct print uses it: positions in twips from the top
// left of the printable area, a font name and size, lines made of tab, blank,
// text and number items, ruled lines, page numbers and pages.

#include <string>
#include <vector>

namespace acquenza {

// One item of a printed line.
struct PrintItem {
    enum class Kind {
        Tab,     // move to column `column` (column 1 is the left edge)
        Blanks,  // print `count` blanks
        Text,    // print `text` as it stands
        Number,  // NumberText(number), a blank before it when not negative, one after
    };
    Kind kind = Kind::Text;
    int column = 1;
    int count = 0;
    std::string text;
    double number = 0;

    static PrintItem TabTo(int column) { return {Kind::Tab, column, 0, {}, 0}; }
    static PrintItem Spaces(int count) { return {Kind::Blanks, 1, count, {}, 0}; }
    static PrintItem Words(std::string text) { return {Kind::Text, 1, 0, std::move(text), 0}; }
    static PrintItem Value(double number) { return {Kind::Number, 1, 0, {}, number}; }
};

// The text a number item prints.
std::string NumberItemText(double number);

class PrinterDevice {
  public:
    virtual ~PrinterDevice() = default;

    virtual void SetPosition(double xTwips, double yTwips) = 0;
    // Column widths follow the font: column n is n - 1 average character
    // widths from the left edge.
    virtual void SetFont(const std::string& name, double points) = 0;
    virtual void SetFontSize(double points) = 0;
    // Prints the items, then moves to the start of the next line. An empty
    // list is a blank line at the current size.
    virtual void PrintLine(const std::vector<PrintItem>& items) = 0;
    // `width` counts dots of a 600 dpi printer, whatever the printer's own
    // resolution, so a rule is as thick on paper as on the office printer.
    virtual void DrawLine(double x1, double y1, double x2, double y2, int width) = 0;
    virtual double CurrentY() const = 0;
    // The printable area, where positions are measured, in twips.
    virtual double PageWidth() const = 0;
    virtual double PageHeight() const = 0;
    // How far a line of the current font at `points` moves the position down.
    virtual double LineHeight(double points) const = 0;
    // Where the items would end, from the current position, in the current
    // font; nothing is printed.
    virtual double LineEnd(const std::vector<PrintItem>& items) const = 0;
    virtual int PageNumber() const = 0;
    virtual void NewPage() = 0;
    virtual void EndDocument() = 0;
    // Whether the printer failed; once it has, the print goes no further.
    virtual bool Failed() const = 0;
    // What failed, as whole Italian sentences that stand on their own: the
    // printer to check, or the file that could not be written and why.
    virtual std::string FailureText() const = 0;
};

// Hands every operation on to another device; a device that adds to a few of
// them derives from it.
class ForwardingPrinterDevice : public PrinterDevice {
  public:
    // `to` may be a member of the derived device not yet built: it is only
    // used once the derived device is.
    explicit ForwardingPrinterDevice(PrinterDevice& to) : to_(to) {}

    void SetPosition(double x, double y) override { to_.SetPosition(x, y); }
    void SetFont(const std::string& name, double points) override { to_.SetFont(name, points); }
    void SetFontSize(double points) override { to_.SetFontSize(points); }
    void PrintLine(const std::vector<PrintItem>& items) override { to_.PrintLine(items); }
    void DrawLine(double x1, double y1, double x2, double y2, int width) override {
        to_.DrawLine(x1, y1, x2, y2, width);
    }
    double CurrentY() const override { return to_.CurrentY(); }
    double PageWidth() const override { return to_.PageWidth(); }
    double PageHeight() const override { return to_.PageHeight(); }
    double LineHeight(double points) const override { return to_.LineHeight(points); }
    double LineEnd(const std::vector<PrintItem>& items) const override {
        return to_.LineEnd(items);
    }
    int PageNumber() const override { return to_.PageNumber(); }
    void NewPage() override { to_.NewPage(); }
    void EndDocument() override { to_.EndDocument(); }
    bool Failed() const override { return to_.Failed(); }
    std::string FailureText() const override { return to_.FailureText(); }

  private:
    PrinterDevice& to_;
};

}  // namespace acquenza
