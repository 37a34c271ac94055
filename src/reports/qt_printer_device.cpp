#include "reports/qt_printer_device.h"

#include <QFile>
#include <QFontDatabase>
#include <QLineF>
#include <QPen>
#include <QPointF>
#include <QPrinter>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <fstream>
#include <initializer_list>

namespace acquenza {

namespace {

constexpr double TwipsPerInch = 1440;
constexpr double RuleDotsPerInch = 600;

QString FirstInstalled(std::initializer_list<const char*> families) {
    for (const char* family : families) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(family))) {
            return QString::fromLatin1(family);
        }
    }
    return QString::fromLatin1(*families.begin());
}

}  // namespace

QFont QtPrinterDevice::FontFor(const std::string& name, double points) {
    const QString requested = QString::fromStdString(name).trimmed();
    QFont font;
    // Courier New is not installed on Linux, and Qt takes "Roman" for a sans
    // font; the Liberation fonts have the same widths as the Windows ones.
    if (requested.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0) {
        font.setFamily(FirstInstalled({"Liberation Mono", "DejaVu Sans Mono"}));
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    } else if (requested.compare(QLatin1String("Roman"), Qt::CaseInsensitive) == 0) {
        font.setFamily(FirstInstalled({"Liberation Serif", "DejaVu Serif"}));
        font.setStyleHint(QFont::Serif);
    } else {
        font.setFamily(requested);
    }
    font.setPointSizeF(points > 0 ? points : 10);
    return font;
}

QtPrinterDevice::QtPrinterDevice(QPrinter& printer) : printer_(printer) {
    dotsPerTwip_ = std::max(1, printer_.resolution()) / TwipsPerInch;
    // Positions are from the corner of the printable area.
    printer_.setFullPage(false);
    if (printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty()) {
        outputFile_ = QFile::encodeName(printer_.outputFileName()).toStdString();
    }
    if (!painter_.begin(&printer_)) {
        Fail(outputFile_.empty() ? "Impossibile avviare la stampa sulla stampante \"" +
                                       printer_.printerName().toStdString() +
                                       "\": controllare la stampante e ripetere la stampa."
                                 : "Impossibile creare il file \"" + outputFile_ +
                                       "\": la cartella non esiste o non si può scrivere.");
        return;
    }
    painter_.setPen(QPen(Qt::black));
    const QRectF area = printer_.pageRect(QPrinter::DevicePixel);
    pageWidth_ = ToTwips(area.width());
    pageHeight_ = ToTwips(area.height());
    TakeFont(fontName_, fontPoints_);
}

QtPrinterDevice::~QtPrinterDevice() {
    if (painter_.isActive()) {
        painter_.end();
    }
}

void QtPrinterDevice::Fail(const std::string& text) {
    if (!failed_) {
        failed_ = true;
        failure_ = text;
    }
}

void QtPrinterDevice::Abandon() {
    // Whoever named the output file decides what becomes of half a PDF: this
    // device never removes a file it did not make.
    if (painter_.isActive()) {
        painter_.end();
    }
}

std::string QtPrinterDevice::Interrupted(const std::string& where) const {
    if (outputFile_.empty()) {
        return "La stampa si è interrotta " + where +
               ": controllare la stampante e ripetere la stampa.";
    }
    return "La scrittura del file \"" + outputFile_ + "\" si è interrotta " + where + ".";
}

bool QtPrinterDevice::OutputFileComplete() const {
    if (outputFile_.empty()) {
        return true;
    }
    // The PDF writer reports no failed write of its last page and its
    // trailer; a complete file ends with its end-of-file marker.
    std::ifstream in(outputFile_, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    if (size < 16) {
        return false;
    }
    std::string tail(16, '\0');
    in.seekg(size - 16);
    in.read(tail.data(), 16);
    return in && tail.find("%%EOF") != std::string::npos;
}

const QtPrinterDevice::Face& QtPrinterDevice::FaceFor(const std::string& name,
                                                      double points) const {
    auto found = faces_.find({name, points});
    if (found == faces_.end()) {
        const QFont font = FontFor(name, points);
        const QFontMetricsF metrics(font, &printer_);
        found = faces_
                    .emplace(std::pair(name, points),
                             Face{font, metrics, ToTwips(metrics.ascent()),
                                  ToTwips(metrics.height()), ToTwips(metrics.averageCharWidth()),
                                  ToTwips(metrics.horizontalAdvance(QLatin1Char(' ')))})
                    .first;
    }
    return found->second;
}

void QtPrinterDevice::TakeFont(const std::string& name, double points) {
    fontName_ = name;
    fontPoints_ = points;
    const Face& face = FaceFor(name, points);
    if (face_ != &face) {
        face_ = &face;
        painter_.setFont(face_->font);
    }
}

double QtPrinterDevice::LineHeight(double points) const {
    return FaceFor(fontName_, points).lineHeight;
}

template <typename Draw>
double QtPrinterDevice::Walk(const std::vector<PrintItem>& items, double x, Draw draw) const {
    const auto text = [&](const std::string& t) {
        const QString q = QString::fromStdString(t);
        draw(x, q);
        x += ToTwips(face_->metrics.horizontalAdvance(q));
    };
    for (const PrintItem& item : items) {
        switch (item.kind) {
            case PrintItem::Kind::Tab:
                // A column already passed is not gone back to, so a long text
                // pushes the rest of the line along instead of overprinting.
                x = std::max(x, (item.column - 1) * face_->columnWidth);
                break;
            case PrintItem::Kind::Blanks:
                x += std::max(0, item.count) * face_->blankWidth;
                break;
            case PrintItem::Kind::Text:
                text(item.text);
                break;
            case PrintItem::Kind::Number:
                text(NumberItemText(item.number));
                break;
        }
    }
    return x;
}

double QtPrinterDevice::LineEnd(const std::vector<PrintItem>& items) const {
    if (face_ == nullptr) {
        return x_;
    }
    return Walk(items, x_, [](double, const QString&) {});
}

void QtPrinterDevice::SetPosition(double xTwips, double yTwips) {
    if (!Printing()) {
        return;
    }
    x_ = xTwips;
    y_ = yTwips;
}

void QtPrinterDevice::SetFont(const std::string& name, double points) {
    if (!Printing()) {
        return;
    }
    TakeFont(name, points);
}

void QtPrinterDevice::SetFontSize(double points) {
    if (!Printing()) {
        return;
    }
    TakeFont(fontName_, points);
}

void QtPrinterDevice::PrintLine(const std::vector<PrintItem>& items) {
    if (!Printing()) {
        return;
    }
    const double baseline = ToDots(y_ + face_->ascent);
    Walk(items, x_, [&](double x, const QString& text) {
        painter_.drawText(QPointF(ToDots(x), baseline), text);
    });
    x_ = 0;
    y_ += face_->lineHeight;
}

void QtPrinterDevice::DrawLine(double x1, double y1, double x2, double y2, int width) {
    if (!Printing()) {
        return;
    }
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1, width) * printer_.resolution() / RuleDotsPerInch);
    painter_.save();
    painter_.setPen(pen);
    painter_.drawLine(QLineF(ToDots(x1), ToDots(y1), ToDots(x2), ToDots(y2)));
    painter_.restore();
}

void QtPrinterDevice::NewPage() {
    if (!Printing()) {
        return;
    }
    if (!printer_.newPage() || printer_.printerState() == QPrinter::Error) {
        Fail(Interrupted("alla fine di pagina " + std::to_string(page_)));
        Abandon();
        return;
    }
    ++page_;
    x_ = 0;
    y_ = 0;
}

void QtPrinterDevice::EndDocument() {
    if (!Printing()) {
        return;
    }
    if (!painter_.end() || printer_.printerState() == QPrinter::Error || !OutputFileComplete()) {
        Fail(Interrupted("prima della fine (potrebbe mancare l'ultima pagina, la " +
                         std::to_string(page_) + ")"));
        Abandon();
    }
}

}  // namespace acquenza
