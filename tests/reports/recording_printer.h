#pragma once
// A printer that keeps every line laid out by columns, with its page, its
// vertical position, font and size, so tests can check where things print.

#include <algorithm>
#include <string>
#include <vector>

#include "core/numbers.h"
#include "reports/printer_device.h"

namespace acquenza::reports_test {

class RecordingPrinter : public PrinterDevice {
  public:
    struct Line {
        int page;
        double y;
        std::string font;
        double size;
        std::string text;  // column n of the line is text[n - 1] (one byte a column in ASCII)
    };
    struct Rule {
        int page;
        double x1, y1, x2, y2;
        int width;
    };

    // Each line moves down by its size x twipsPerPoint; a tiny value gives a
    // page tall enough that only the report's own page rules break it. A
    // column is 0.6 of the size wide, as in Courier New; the printable area
    // is an A4 sheet's on a PDF printer.
    explicit RecordingPrinter(double twipsPerPoint = 20 * 1.15) : twipsPerPoint_(twipsPerPoint) {}
    RecordingPrinter(const RecordingPrinter&) = default;
    RecordingPrinter& operator=(const RecordingPrinter&) = default;
    // Whoever prints owns the printer; a test reads what was printed here.
    ~RecordingPrinter() override {
        if (keepCopyIn != nullptr) {
            RecordingPrinter* target = keepCopyIn;
            keepCopyIn = nullptr;
            *target = *this;
        }
    }
    RecordingPrinter* keepCopyIn = nullptr;

    void SetPosition(double x, double y) override {
        x_ = x;
        y_ = y;
    }
    void SetFont(const std::string& name, double points) override {
        font_ = name;
        size_ = points;
    }
    void SetFontSize(double points) override { size_ = points; }
    void PrintLine(const std::vector<PrintItem>& items) override {
        if (failAfterLines_ >= 0 && static_cast<int>(lines.size()) >= failAfterLines_) {
            failed_ = true;
        }
        if (failed_) {
            ++callsAfterFailure;
            return;
        }
        lines.push_back({page_, y_, font_, size_, Compose(items)});
        y_ += size_ * twipsPerPoint_;
    }
    double PageWidth() const override { return pageWidth; }
    double PageHeight() const override { return pageHeight; }
    double LineHeight(double points) const override { return points * twipsPerPoint_; }
    double LineEnd(const std::vector<PrintItem>& items) const override {
        return static_cast<double>(CharLength(Compose(items))) * size_ * 12;
    }
    // The line's text, one character a column.
    static std::string Compose(const std::vector<PrintItem>& items) {
        std::string text;
        std::size_t column = 1;
        auto add = [&](const std::string& s) {
            text += s;
            column += CharLength(s);
        };
        for (const PrintItem& item : items) {
            switch (item.kind) {
                // As on paper: a column already passed (or before the left
                // edge) is not gone back to, and a negative count prints
                // nothing.
                case PrintItem::Kind::Tab:
                    if (item.column > 0 && static_cast<std::size_t>(item.column) > column) {
                        add(std::string(static_cast<std::size_t>(item.column) - column, ' '));
                    }
                    break;
                case PrintItem::Kind::Blanks:
                    add(std::string(static_cast<std::size_t>(std::max(0, item.count)), ' '));
                    break;
                case PrintItem::Kind::Text:
                    add(item.text);
                    break;
                case PrintItem::Kind::Number:
                    add(NumberItemText(item.number));
                    break;
            }
        }
        return text;
    }
    void DrawLine(double x1, double y1, double x2, double y2, int width) override {
        rules.push_back({page_, x1, y1, x2, y2, width});
    }
    double CurrentY() const override { return y_; }
    int PageNumber() const override { return page_; }
    void NewPage() override {
        if (!failed_) {
            ++page_;
        }
    }
    void EndDocument() override { ended = true; }
    bool Failed() const override { return failed_; }
    std::string FailureText() const override { return "carta esaurita"; }

    void FailAfter(int lineCount) { failAfterLines_ = lineCount; }

    // The first line containing `needle`, or nullptr.
    const Line* Find(const std::string& needle) const {
        for (const Line& l : lines) {
            if (l.text.find(needle) != std::string::npos) {
                return &l;
            }
        }
        return nullptr;
    }
    std::vector<const Line*> OnPage(int page) const {
        std::vector<const Line*> out;
        for (const Line& l : lines) {
            if (l.page == page) {
                out.push_back(&l);
            }
        }
        return out;
    }

    double pageWidth = 11500;
    double pageHeight = 16440;
    std::vector<Line> lines;
    std::vector<Rule> rules;
    bool ended = false;
    int callsAfterFailure = 0;

  private:
    double twipsPerPoint_;
    double x_ = 0;
    double y_ = 0;
    std::string font_;
    double size_ = 12;
    int page_ = 1;
    bool failed_ = false;
    int failAfterLines_ = -1;
};

}  // namespace acquenza::reports_test
