#include "reports/docx_writer.h"

#include <zip.h>

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "archive/atomic_file.h"
#include "reports/column_widths.h"

namespace acquenza {

namespace {

const QString WordNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");

int Twips(double mm) {
    return static_cast<int>(std::lround(mm * 1440.0 / 25.4));
}

const int PageWidthTw = Twips(PageWidthMm);
const int PageHeightTw = Twips(PageHeightMm);
const int TopMarginTw = Twips(TopMarginMm);
const int SideMarginTw = Twips(SideMarginMm);
const int TextWidthTw = PageWidthTw - 2 * SideMarginTw;

QString JcValue(Alignment alignment) {
    switch (alignment) {
        case Alignment::Justified:
            return QStringLiteral("both");
        case Alignment::Right:
            return QStringLiteral("right");
        case Alignment::Center:
            return QStringLiteral("center");
        case Alignment::Left:
            break;
    }
    return QStringLiteral("left");
}

// Element names are written already prefixed: the namespace is declared once
// on each root, which keeps the writer from resolving prefixes per element.
class Xml {
  public:
    explicit Xml(QByteArray* out) : w_(out) { w_.writeStartDocument(QStringLiteral("1.0"), true); }

    void Start(const QString& name) { w_.writeStartElement(name); }
    void End() { w_.writeEndElement(); }
    void Attr(const QString& name, const QString& value) { w_.writeAttribute(name, value); }
    void Empty(const QString& name) { w_.writeEmptyElement(name); }
    void Empty(const QString& name, const QString& attribute, const QString& value) {
        w_.writeEmptyElement(name);
        w_.writeAttribute(attribute, value);
    }
    void Text(const QString& text) { w_.writeCharacters(text); }
    void TextElement(const QString& name, const QString& text) { w_.writeTextElement(name, text); }
    void Finish() { w_.writeEndDocument(); }

  private:
    QXmlStreamWriter w_;
};

const QString Val = QStringLiteral("w:val");

// Character formatting as written for one font; the same for every run of a
// table, so tables compute it once.
struct RunFormat {
    QString font;
    QString halfPoints;
    bool bold = false;

    RunFormat(const std::string& fontName, double points, bool isBold)
        : font(QString::fromStdString(fontName)),
          halfPoints(QString::number(std::lround(points * 2.0))),
          bold(isBold) {}
};

void WriteRunProperties(Xml& x, const RunFormat& f) {
    x.Start(QStringLiteral("w:rPr"));
    x.Empty(QStringLiteral("w:rFonts"));
    x.Attr(QStringLiteral("w:ascii"), f.font);
    x.Attr(QStringLiteral("w:hAnsi"), f.font);
    x.Attr(QStringLiteral("w:cs"), f.font);
    if (f.bold) {
        x.Empty(QStringLiteral("w:b"));
        x.Empty(QStringLiteral("w:bCs"));
    }
    x.Empty(QStringLiteral("w:sz"), Val, f.halfPoints);
    x.Empty(QStringLiteral("w:szCs"), Val, f.halfPoints);
    x.End();
}

// Without a format the run takes its paragraph's style.
void WriteTextRun(Xml& x, const RunFormat* f, const QString& text) {
    x.Start(QStringLiteral("w:r"));
    if (f != nullptr) {
        WriteRunProperties(x, *f);
    }
    // Tabs and line breaks are elements of their own; other control
    // characters cannot appear in XML 1.0 and are dropped.
    const auto isPlain = [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() != 0xFFFE && c.unicode() != 0xFFFF;
    };
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && isPlain(text[end])) {
            ++end;
        }
        if (end > start) {
            x.Start(QStringLiteral("w:t"));
            // Without it, readers may drop blanks at the ends or runs of blanks.
            const qsizetype blank = text.indexOf(u' ', start);
            if (blank >= 0 && blank < end) {
                x.Attr(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            }
            x.Text(start == 0 && end == text.size() ? text : text.mid(start, end - start));
            x.End();
        }
        if (end < text.size()) {
            const char16_t u = text[end].unicode();
            if (u == '\t') {
                x.Empty(QStringLiteral("w:tab"));
            } else if (u == '\v' || u == '\n' || u == '\r') {
                x.Empty(QStringLiteral("w:br"));
            }
            ++end;
        }
        start = end;
    }
    x.End();
}

void WriteFieldChar(Xml& x, const RunFormat& f, const QString& type) {
    x.Start(QStringLiteral("w:r"));
    WriteRunProperties(x, f);
    x.Empty(QStringLiteral("w:fldChar"), QStringLiteral("w:fldCharType"), type);
    x.End();
}

// A complex field, so the stored result is a normal run the reader shows as
// it is until the word processor works the field out.
void WriteField(Xml& x, const RunFormat& f, const QString& instruction, const QString& cached) {
    WriteFieldChar(x, f, QStringLiteral("begin"));
    x.Start(QStringLiteral("w:r"));
    WriteRunProperties(x, f);
    x.Start(QStringLiteral("w:instrText"));
    x.Attr(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    x.Text(instruction);
    x.End();
    x.End();
    WriteFieldChar(x, f, QStringLiteral("separate"));
    WriteTextRun(x, &f, cached);
    WriteFieldChar(x, f, QStringLiteral("end"));
}

void WritePageBreakRun(Xml& x) {
    x.Start(QStringLiteral("w:r"));
    x.Empty(QStringLiteral("w:br"), QStringLiteral("w:type"), QStringLiteral("page"));
    x.End();
}

void WriteParagraphProperties(Xml& x, const Paragraph& p) {
    x.Start(QStringLiteral("w:pPr"));
    if (p.keepWithNext) {
        x.Empty(QStringLiteral("w:keepNext"));
    }
    if (p.alignment != Alignment::Left) {
        x.Empty(QStringLiteral("w:jc"), Val, JcValue(p.alignment));
    }
    // The paragraph mark's size counts in the height of the last line.
    WriteRunProperties(x, RunFormat(p.markFontName, p.markFontSize, p.markBold));
    x.End();
}

// Word counts drawing sizes in English Metric Units.
QString Emu(double mm) {
    return QString::number(std::llround(mm * 36000.0));
}

// An inline picture; the namespaces are declared on the elements, so a
// document without pictures is written exactly as before.
void WritePicture(Xml& x, const Picture& picture, int number, const QString& relationship) {
    const QString name = QStringLiteral("image%1.png").arg(number);
    x.Start(QStringLiteral("w:r"));
    x.Start(QStringLiteral("w:drawing"));
    x.Start(QStringLiteral("wp:inline"));
    x.Attr(
        QStringLiteral("xmlns:wp"),
        QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"));
    for (const char* side : {"distT", "distB", "distL", "distR"}) {
        x.Attr(QString::fromLatin1(side), QStringLiteral("0"));
    }
    x.Empty(QStringLiteral("wp:extent"));
    x.Attr(QStringLiteral("cx"), Emu(picture.widthMm));
    x.Attr(QStringLiteral("cy"), Emu(picture.heightMm));
    x.Empty(QStringLiteral("wp:docPr"));
    x.Attr(QStringLiteral("id"), QString::number(number));
    x.Attr(QStringLiteral("name"), QStringLiteral("Immagine %1").arg(number));
    x.Attr(QStringLiteral("descr"), QString::fromStdString(picture.description));
    x.Start(QStringLiteral("a:graphic"));
    x.Attr(QStringLiteral("xmlns:a"),
           QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main"));
    x.Start(QStringLiteral("a:graphicData"));
    x.Attr(QStringLiteral("uri"),
           QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture"));
    x.Start(QStringLiteral("pic:pic"));
    x.Attr(QStringLiteral("xmlns:pic"),
           QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture"));
    x.Start(QStringLiteral("pic:nvPicPr"));
    x.Empty(QStringLiteral("pic:cNvPr"));
    x.Attr(QStringLiteral("id"), QString::number(number));
    x.Attr(QStringLiteral("name"), name);
    x.Empty(QStringLiteral("pic:cNvPicPr"));
    x.End();
    x.Start(QStringLiteral("pic:blipFill"));
    x.Empty(QStringLiteral("a:blip"));
    x.Attr(QStringLiteral("r:embed"), relationship);
    x.Start(QStringLiteral("a:stretch"));
    x.Empty(QStringLiteral("a:fillRect"));
    x.End();
    x.End();
    x.Start(QStringLiteral("pic:spPr"));
    x.Start(QStringLiteral("a:xfrm"));
    x.Empty(QStringLiteral("a:off"));
    x.Attr(QStringLiteral("x"), QStringLiteral("0"));
    x.Attr(QStringLiteral("y"), QStringLiteral("0"));
    x.Empty(QStringLiteral("a:ext"));
    x.Attr(QStringLiteral("cx"), Emu(picture.widthMm));
    x.Attr(QStringLiteral("cy"), Emu(picture.heightMm));
    x.End();
    x.Start(QStringLiteral("a:prstGeom"));
    x.Attr(QStringLiteral("prst"), QStringLiteral("rect"));
    x.Empty(QStringLiteral("a:avLst"));
    x.End();
    x.End();
    x.End();  // pic:pic
    x.End();  // a:graphicData
    x.End();  // a:graphic
    x.End();  // wp:inline
    x.End();  // w:drawing
    x.End();  // w:r
}

// The pictures of a document in order, with the relationship ids the
// document part refers to them by.
struct PictureList {
    std::vector<const Picture*> pictures;
    int firstId = 0;  // "rId<firstId>" is the first picture's
    int next = 0;     // while writing: the next picture's place

    PictureList(const Document& document, int firstFreeId) : firstId(firstFreeId) {
        for (const Paragraph* p : document.Paragraphs()) {
            if (p->picture) {
                pictures.push_back(&*p->picture);
            }
        }
    }
};

void WriteRuns(Xml& x, const Paragraph& p) {
    for (const Run& run : p.runs) {
        const RunFormat f(run.fontName, run.fontSize, run.bold);
        const QString text = QString::fromStdString(run.text);
        if (run.pageCountField) {
            WriteField(x, f, QStringLiteral(" NUMPAGES "), text);
        } else if (run.pageNumberField) {
            WriteField(x, f, QStringLiteral(" PAGE "), text);
        } else if (!text.isEmpty()) {
            WriteTextRun(x, &f, text);
        }
    }
}

// A page break travels at the start of the paragraph after it: both Word and
// LibreOffice then begin that paragraph on the new page, with no stray
// empty line left at the top of it.
void WriteParagraph(Xml& x, const Paragraph& p, bool breakBefore, PictureList* pictures) {
    x.Start(QStringLiteral("w:p"));
    WriteParagraphProperties(x, p);
    if (breakBefore) {
        WritePageBreakRun(x);
    }
    WriteRuns(x, p);
    if (p.picture && pictures != nullptr) {
        const int number = ++pictures->next;
        WritePicture(x, *p.picture, number,
                     QStringLiteral("rId") + QString::number(pictures->firstId + number - 1));
    }
    x.End();
}

void WriteStandaloneBreak(Xml& x) {
    x.Start(QStringLiteral("w:p"));
    WritePageBreakRun(x);
    x.End();
}

void WriteBorder(Xml& x, const QString& side) {
    x.Empty(side);
    x.Attr(Val, QStringLiteral("single"));
    x.Attr(QStringLiteral("w:sz"), QStringLiteral("4"));  // eighths of a point
    x.Attr(QStringLiteral("w:space"), QStringLiteral("0"));
    x.Attr(QStringLiteral("w:color"), QStringLiteral("000000"));
}

void WriteCellParagraphs(Xml& x, const QString& text, const QString& jc, const QString& style,
                         bool keepWithNext) {
    // A carriage return or line feed in a cell starts another paragraph of
    // the cell, as typing it in the cell would.
    qsizetype start = 0;
    for (;;) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') {
            ++end;
        }
        x.Start(QStringLiteral("w:p"));
        x.Start(QStringLiteral("w:pPr"));
        x.Empty(QStringLiteral("w:pStyle"), Val, style);
        if (keepWithNext) {
            x.Empty(QStringLiteral("w:keepNext"));
        }
        if (!jc.isEmpty()) {
            x.Empty(QStringLiteral("w:jc"), Val, jc);
        }
        x.End();
        if (end > start) {
            WriteTextRun(x, nullptr,
                         start == 0 && end == text.size() ? text : text.mid(start, end - start));
        }
        x.End();
        if (end >= text.size()) {
            break;
        }
        start = end + 1;
        if (text[end] == u'\r' && start < text.size() && text[start] == u'\n') {
            ++start;
        }
    }
}

// The font of table text lives in a paragraph style, one per font and size:
// written on every cell it made up most of a report's bytes and of the time
// spent writing them.
class TableStyles {
  public:
    explicit TableStyles(const Document& document) {
        for (const Block& block : document.Blocks()) {
            if (const auto* t = std::get_if<Table>(&block)) {
                if (Find(*t) == nullptr) {
                    styles_.push_back({RunFormat(t->fontName, t->fontSize, false),
                                       QStringLiteral("Tabella%1").arg(styles_.size() + 1)});
                }
            }
        }
    }

    const QString& IdFor(const Table& t) const { return *Find(t); }

    void Write(Xml& x) const {
        for (const auto& [format, id] : styles_) {
            x.Start(QStringLiteral("w:style"));
            x.Attr(QStringLiteral("w:type"), QStringLiteral("paragraph"));
            x.Attr(QStringLiteral("w:customStyle"), QStringLiteral("1"));
            x.Attr(QStringLiteral("w:styleId"), id);
            x.Empty(QStringLiteral("w:name"), Val,
                    QStringLiteral("Tabella %1 %2")
                        .arg(format.font, QString::number(format.halfPoints.toInt() / 2.0)));
            x.Empty(QStringLiteral("w:basedOn"), Val, QStringLiteral("Normal"));
            WriteRunProperties(x, format);
            x.End();
        }
    }

  private:
    const QString* Find(const Table& t) const {
        const QString font = QString::fromStdString(t.fontName);
        const QString halfPoints = QString::number(std::lround(t.fontSize * 2.0));
        for (const auto& [format, id] : styles_) {
            if (format.font == font && format.halfPoints == halfPoints) {
                return &id;
            }
        }
        return nullptr;
    }

    std::vector<std::pair<RunFormat, QString>> styles_;
};

void WriteTable(Xml& x, const Table& t, const QString& style) {
    const int columns = std::max(t.columns, 1);
    // Columns sized to their contents across the text width; the last takes
    // the rounding rest.
    const std::vector<double> shares = ColumnShares(t);
    std::vector<QString> widths;
    int used = 0;
    for (std::size_t c = 0; c < shares.size(); ++c) {
        const int w =
            c + 1 < shares.size() ? static_cast<int>(shares[c] * TextWidthTw) : TextWidthTw - used;
        used += w;
        widths.push_back(QString::number(w));
    }
    std::vector<QString> jc(static_cast<std::size_t>(columns));
    for (std::size_t c = 0; c < jc.size() && c < t.columnAlignment.size(); ++c) {
        if (t.columnAlignment[c] != Alignment::Left) {
            jc[c] = JcValue(t.columnAlignment[c]);
        }
    }
    const QString dxa = QStringLiteral("dxa");
    const QString width = QStringLiteral("w:w");
    const QString type = QStringLiteral("w:type");

    x.Start(QStringLiteral("w:tbl"));
    x.Start(QStringLiteral("w:tblPr"));
    x.Empty(QStringLiteral("w:tblW"));
    x.Attr(width, QString::number(TextWidthTw));
    x.Attr(type, dxa);
    x.Start(QStringLiteral("w:tblBorders"));
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
        WriteBorder(x, QString::fromLatin1(side));
    }
    x.End();
    x.Empty(QStringLiteral("w:tblLayout"), type, QStringLiteral("fixed"));
    // On every table, not just in the table style: LibreOffice keeps its own
    // default margins otherwise, and its cells come out narrower than counted.
    x.Start(QStringLiteral("w:tblCellMar"));
    for (const char* side : {"w:left", "w:right"}) {
        x.Empty(QString::fromLatin1(side));
        x.Attr(width, QString::number(CellSidePaddingTwips));
        x.Attr(type, dxa);
    }
    x.End();
    x.End();
    x.Start(QStringLiteral("w:tblGrid"));
    for (const QString& w : widths) {
        x.Empty(QStringLiteral("w:gridCol"), width, w);
    }
    x.End();
    for (int r = 0; r < t.rows; ++r) {
        x.Start(QStringLiteral("w:tr"));
        // A table kept together has rows that never break and paragraphs
        // kept with the next row, which both word processors honour.
        const bool header = r < t.headerRows;
        if (t.keepTogether || header) {
            x.Start(QStringLiteral("w:trPr"));
            if (t.keepTogether) {
                x.Empty(QStringLiteral("w:cantSplit"));
            }
            if (header) {
                x.Empty(QStringLiteral("w:tblHeader"));
            }
            x.End();
        }
        const bool keepWithNext = t.keepTogether && r + 1 < t.rows;
        const auto row = static_cast<std::size_t>(r);
        for (std::size_t c = 0; c < widths.size(); ++c) {
            x.Start(QStringLiteral("w:tc"));
            x.Start(QStringLiteral("w:tcPr"));
            x.Empty(QStringLiteral("w:tcW"));
            x.Attr(width, widths[c]);
            x.Attr(type, dxa);
            x.End();
            const bool present = row < t.cells.size() && c < t.cells[row].size();
            WriteCellParagraphs(x, present ? QString::fromStdString(t.cells[row][c]) : QString(),
                                jc[c], style, keepWithNext);
            x.End();
        }
        x.End();
    }
    x.End();
}

QByteArray DocumentXml(const Document& document, const TableStyles& styles, PictureList& pictures) {
    QByteArray out;
    Xml x(&out);
    x.Start(QStringLiteral("w:document"));
    x.Attr(QStringLiteral("xmlns:w"), WordNamespace);
    x.Attr(QStringLiteral("xmlns:r"),
           QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships"));
    x.Start(QStringLiteral("w:body"));
    const std::vector<Block>& blocks = document.Blocks();
    bool pendingBreak = false;
    bool lastWasParagraph = false;
    for (const Block& block : blocks) {
        if (std::holds_alternative<PageBreak>(block)) {
            if (pendingBreak) {
                WriteStandaloneBreak(x);
            }
            pendingBreak = true;
            lastWasParagraph = false;
        } else if (const auto* p = std::get_if<Paragraph>(&block)) {
            WriteParagraph(x, *p, pendingBreak, &pictures);
            pendingBreak = false;
            lastWasParagraph = true;
        } else {
            if (pendingBreak) {
                WriteStandaloneBreak(x);
                pendingBreak = false;
            } else if (!lastWasParagraph && &block != &blocks.front()) {
                // Two tables with nothing between them would merge into one.
                x.Empty(QStringLiteral("w:p"));
            }
            const Table& table = std::get<Table>(block);
            WriteTable(x, table, styles.IdFor(table));
            lastWasParagraph = false;
        }
    }
    if (pendingBreak) {
        WriteStandaloneBreak(x);
    } else if (!lastWasParagraph) {
        x.Empty(QStringLiteral("w:p"));  // the body must end with a paragraph
    }
    x.Start(QStringLiteral("w:sectPr"));
    // The first page takes the empty footer unless the footer is on every page.
    const bool emptyFirstFooter = document.Footer() && !document.FooterOnFirstPage();
    if (document.Footer()) {
        for (const auto& [type, id] : {std::pair{"default", "rId3"}, std::pair{"first", "rId4"}}) {
            if (std::string_view(type) == "first" && !emptyFirstFooter) {
                continue;
            }
            x.Empty(QStringLiteral("w:footerReference"));
            x.Attr(QStringLiteral("w:type"), QString::fromLatin1(type));
            x.Attr(QStringLiteral("r:id"), QString::fromLatin1(id));
        }
    }
    x.Empty(QStringLiteral("w:pgSz"));
    x.Attr(QStringLiteral("w:w"), QString::number(PageWidthTw));
    x.Attr(QStringLiteral("w:h"), QString::number(PageHeightTw));
    x.Empty(QStringLiteral("w:pgMar"));
    x.Attr(QStringLiteral("w:top"), QString::number(TopMarginTw));
    x.Attr(QStringLiteral("w:right"), QString::number(SideMarginTw));
    x.Attr(QStringLiteral("w:bottom"), QString::number(SideMarginTw));
    x.Attr(QStringLiteral("w:left"), QString::number(SideMarginTw));
    x.Attr(QStringLiteral("w:header"), QStringLiteral("708"));
    x.Attr(QStringLiteral("w:footer"), QStringLiteral("708"));
    x.Attr(QStringLiteral("w:gutter"), QStringLiteral("0"));
    if (emptyFirstFooter) {
        x.Empty(QStringLiteral("w:titlePg"));
    }
    x.End();
    x.End();
    x.End();
    x.Finish();
    return out;
}

QByteArray FooterXml(const Paragraph* footer) {
    QByteArray out;
    Xml x(&out);
    x.Start(QStringLiteral("w:ftr"));
    x.Attr(QStringLiteral("xmlns:w"), WordNamespace);
    x.Start(QStringLiteral("w:p"));
    if (footer != nullptr) {
        WriteParagraphProperties(x, *footer);
        WriteRuns(x, *footer);
    }
    x.End();
    x.End();
    x.Finish();
    return out;
}

QByteArray StylesXml(const TableStyles& tableStyles) {
    QByteArray out;
    Xml x(&out);
    x.Start(QStringLiteral("w:styles"));
    x.Attr(QStringLiteral("xmlns:w"), WordNamespace);
    x.Start(QStringLiteral("w:docDefaults"));
    x.Start(QStringLiteral("w:rPrDefault"));
    x.Start(QStringLiteral("w:rPr"));
    x.Empty(QStringLiteral("w:rFonts"));
    const QString font = QString::fromLatin1(DefaultFontName);
    x.Attr(QStringLiteral("w:ascii"), font);
    x.Attr(QStringLiteral("w:hAnsi"), font);
    x.Attr(QStringLiteral("w:cs"), font);
    const QString halfPoints = QString::number(std::lround(DefaultFontSize * 2));
    x.Empty(QStringLiteral("w:sz"), Val, halfPoints);
    x.Empty(QStringLiteral("w:szCs"), Val, halfPoints);
    x.Empty(QStringLiteral("w:lang"), Val, QStringLiteral("it-IT"));
    x.End();
    x.End();
    // No space between paragraphs and single line spacing: the layout the
    // reports were designed with, and the one the page count assumes.
    x.Start(QStringLiteral("w:pPrDefault"));
    x.Start(QStringLiteral("w:pPr"));
    x.Empty(QStringLiteral("w:spacing"));
    x.Attr(QStringLiteral("w:after"), QStringLiteral("0"));
    x.Attr(QStringLiteral("w:line"), QStringLiteral("240"));
    x.Attr(QStringLiteral("w:lineRule"), QStringLiteral("auto"));
    x.End();
    x.End();
    x.End();

    const auto style = [&](const char* type, const char* id, const char* name) {
        x.Start(QStringLiteral("w:style"));
        x.Attr(QStringLiteral("w:type"), QString::fromLatin1(type));
        x.Attr(QStringLiteral("w:default"), QStringLiteral("1"));
        x.Attr(QStringLiteral("w:styleId"), QString::fromLatin1(id));
        x.Empty(QStringLiteral("w:name"), Val, QString::fromLatin1(name));
    };
    style("paragraph", "Normal", "Normal");
    x.Empty(QStringLiteral("w:qFormat"));
    x.End();
    style("character", "DefaultParagraphFont", "Default Paragraph Font");
    x.Empty(QStringLiteral("w:semiHidden"));
    x.End();
    style("table", "TableNormal", "Normal Table");
    x.Empty(QStringLiteral("w:semiHidden"));
    x.Start(QStringLiteral("w:tblPr"));
    x.Empty(QStringLiteral("w:tblInd"));
    x.Attr(QStringLiteral("w:w"), QStringLiteral("0"));
    x.Attr(QStringLiteral("w:type"), QStringLiteral("dxa"));
    x.Start(QStringLiteral("w:tblCellMar"));
    for (const auto& [side, twips] :
         {std::pair{"w:top", 0}, std::pair{"w:left", CellSidePaddingTwips},
          std::pair{"w:bottom", 0}, std::pair{"w:right", CellSidePaddingTwips}}) {
        x.Empty(QString::fromLatin1(side));
        x.Attr(QStringLiteral("w:w"), QString::number(twips));
        x.Attr(QStringLiteral("w:type"), QStringLiteral("dxa"));
    }
    x.End();
    x.End();
    x.End();
    tableStyles.Write(x);
    x.End();
    x.Finish();
    return out;
}

QByteArray SettingsXml() {
    QByteArray out;
    Xml x(&out);
    x.Start(QStringLiteral("w:settings"));
    x.Attr(QStringLiteral("xmlns:w"), WordNamespace);
    x.Empty(QStringLiteral("w:defaultTabStop"), Val, QStringLiteral("708"));
    x.Start(QStringLiteral("w:compat"));
    x.Empty(QStringLiteral("w:compatSetting"));
    x.Attr(QStringLiteral("w:name"), QStringLiteral("compatibilityMode"));
    x.Attr(QStringLiteral("w:uri"), QStringLiteral("http://schemas.microsoft.com/office/word"));
    x.Attr(QStringLiteral("w:val"), QStringLiteral("15"));
    x.End();
    x.End();
    x.Finish();
    return out;
}

QByteArray ContentTypesXml(bool footers, bool pictures) {
    QByteArray out;
    Xml x(&out);
    x.Start(QStringLiteral("Types"));
    x.Attr(QStringLiteral("xmlns"),
           QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types"));
    const auto byExtension = [&](const char* extension, const char* type) {
        x.Empty(QStringLiteral("Default"));
        x.Attr(QStringLiteral("Extension"), QString::fromLatin1(extension));
        x.Attr(QStringLiteral("ContentType"), QString::fromLatin1(type));
    };
    const auto byPart = [&](const char* part, const char* type) {
        x.Empty(QStringLiteral("Override"));
        x.Attr(QStringLiteral("PartName"), QString::fromLatin1(part));
        x.Attr(QStringLiteral("ContentType"), QString::fromLatin1(type));
    };
    byExtension("rels", "application/vnd.openxmlformats-package.relationships+xml");
    byExtension("xml", "application/xml");
    if (pictures) {
        byExtension("png", "image/png");
    }
    byPart("/word/document.xml",
           "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
    byPart("/word/styles.xml",
           "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml");
    byPart("/word/settings.xml",
           "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml");
    if (footers) {
        for (const char* part : {"/word/footer1.xml", "/word/footer2.xml"}) {
            byPart(part,
                   "application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml");
        }
    }
    byPart("/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml");
    byPart("/docProps/app.xml",
           "application/vnd.openxmlformats-officedocument.extended-properties+xml");
    x.End();
    x.Finish();
    return out;
}

QByteArray RelationshipsXml(const std::vector<std::pair<const char*, const char*>>& targets) {
    QByteArray out;
    Xml x(&out);
    x.Start(QStringLiteral("Relationships"));
    x.Attr(QStringLiteral("xmlns"),
           QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships"));
    int id = 0;
    for (const auto& [type, target] : targets) {
        x.Empty(QStringLiteral("Relationship"));
        x.Attr(QStringLiteral("Id"), QStringLiteral("rId") + QString::number(++id));
        x.Attr(QStringLiteral("Type"), QString::fromLatin1(type));
        x.Attr(QStringLiteral("Target"), QString::fromLatin1(target));
    }
    x.End();
    x.Finish();
    return out;
}

QByteArray CoreXml() {
    QByteArray out;
    Xml x(&out);
    x.Start(QStringLiteral("cp:coreProperties"));
    x.Attr(
        QStringLiteral("xmlns:cp"),
        QStringLiteral("http://schemas.openxmlformats.org/package/2006/metadata/core-properties"));
    x.Attr(QStringLiteral("xmlns:dc"), QStringLiteral("http://purl.org/dc/elements/1.1/"));
    x.Attr(QStringLiteral("xmlns:dcterms"), QStringLiteral("http://purl.org/dc/terms/"));
    x.Attr(QStringLiteral("xmlns:xsi"),
           QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"));
    x.TextElement(QStringLiteral("dc:creator"), QStringLiteral("Acquenza"));
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    for (const char* element : {"dcterms:created", "dcterms:modified"}) {
        x.Start(QString::fromLatin1(element));
        x.Attr(QStringLiteral("xsi:type"), QStringLiteral("dcterms:W3CDTF"));
        x.Text(now);
        x.End();
    }
    x.End();
    x.Finish();
    return out;
}

QByteArray AppXml() {
    QByteArray out;
    Xml x(&out);
    x.Start(QStringLiteral("Properties"));
    x.Attr(QStringLiteral("xmlns"),
           QStringLiteral(
               "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties"));
    x.TextElement(QStringLiteral("Application"), QStringLiteral("Acquenza"));
    x.End();
    x.Finish();
    return out;
}

struct Part {
    std::string name;
    QByteArray bytes;
};

std::string ZipErrorText(zip_error_t* error) {
    const char* text = zip_error_strerror(error);
    return text != nullptr ? text : "errore sconosciuto";
}

// The package assembled in memory, so the file on disk is only ever
// replaced whole.
bool ZipParts(const std::vector<Part>& parts, std::string& bytes, std::string& error) {
    zip_error_t zerror;
    zip_error_init(&zerror);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &zerror);
    if (buffer == nullptr) {
        error = ZipErrorText(&zerror);
        zip_error_fini(&zerror);
        return false;
    }
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &zerror);
    if (archive == nullptr) {
        error = ZipErrorText(&zerror);
        zip_error_fini(&zerror);
        zip_source_free(buffer);
        return false;
    }
    zip_error_fini(&zerror);
    zip_source_keep(buffer);  // still needed after zip_close to read the result
    const std::unique_ptr<zip_source_t, decltype(&zip_source_free)> keep(buffer, zip_source_free);

    for (const Part& part : parts) {
        zip_source_t* source = zip_source_buffer(archive, part.bytes.constData(),
                                                 static_cast<zip_uint64_t>(part.bytes.size()), 0);
        const zip_int64_t index =
            source == nullptr ? -1
                              : zip_file_add(archive, part.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        // Fastest deflate: the XML is so repetitive that level 1 already
        // packs a report into a few percent of its size.
        if (index < 0 || zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                                  ZIP_CM_DEFLATE, 1) < 0) {
            if (source != nullptr && index < 0) {
                zip_source_free(source);
            }
            error = zip_strerror(archive);
            zip_discard(archive);
            return false;
        }
    }
    if (zip_close(archive) < 0) {
        error = zip_strerror(archive);
        zip_discard(archive);
        return false;
    }

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer, &stat) < 0 || zip_source_open(buffer) < 0) {
        error = zip_error_strerror(zip_source_error(buffer));
        return false;
    }
    bytes.resize(static_cast<std::size_t>(stat.size));
    const zip_int64_t read = zip_source_read(buffer, bytes.data(), stat.size);
    zip_source_close(buffer);
    if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size) {
        error = "lettura incompleta dell'archivio in memoria";
        return false;
    }
    return true;
}

}  // namespace

bool EncodeDocx(const Document& document, std::string& bytes, std::string& error) {
    const char* const officeDocument =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
    const char* const coreProperties =
        "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";
    const char* const extendedProperties =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties";
    const char* const styles =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
    const char* const settings =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";

    const char* const footer =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer";
    const bool footers = document.Footer().has_value();
    const char* const image =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";
    // The pictures' relationships follow the styles, the settings and the
    // footers.
    PictureList pictures(document, footers ? 5 : 3);

    std::vector<Part> parts;
    parts.push_back({"[Content_Types].xml", ContentTypesXml(footers, !pictures.pictures.empty())});
    parts.push_back({"_rels/.rels", RelationshipsXml({{officeDocument, "word/document.xml"},
                                                      {coreProperties, "docProps/core.xml"},
                                                      {extendedProperties, "docProps/app.xml"}})});
    const TableStyles tableStyles(document);
    parts.push_back({"word/document.xml", DocumentXml(document, tableStyles, pictures)});
    // The ids are the ones the section properties refer to.
    std::vector<std::pair<const char*, const char*>> targets = {{styles, "styles.xml"},
                                                                {settings, "settings.xml"}};
    if (footers) {
        targets.push_back({footer, "footer1.xml"});
        targets.push_back({footer, "footer2.xml"});
        parts.push_back({"word/footer1.xml", FooterXml(&*document.Footer())});
        parts.push_back({"word/footer2.xml", FooterXml(nullptr)});
    }
    std::vector<std::string> pictureNames;
    pictureNames.reserve(pictures.pictures.size());
    for (std::size_t i = 0; i < pictures.pictures.size(); ++i) {
        pictureNames.push_back("media/image" + std::to_string(i + 1) + ".png");
    }
    for (std::size_t i = 0; i < pictures.pictures.size(); ++i) {
        targets.push_back({image, pictureNames[i].c_str()});
        parts.push_back(
            {"word/" + pictureNames[i], QByteArray::fromStdString(pictures.pictures[i]->png)});
    }
    parts.push_back({"word/_rels/document.xml.rels", RelationshipsXml(targets)});
    parts.push_back({"word/styles.xml", StylesXml(tableStyles)});
    parts.push_back({"word/settings.xml", SettingsXml()});
    parts.push_back({"docProps/core.xml", CoreXml()});
    parts.push_back({"docProps/app.xml", AppXml()});

    return ZipParts(parts, bytes, error);
}

ArchiveResult WriteDocx(const Document& document, const std::filesystem::path& path) {
    std::string bytes;
    std::string error;
    if (!EncodeDocx(document, bytes, error)) {
        return ArchiveResult::Failure("Impossibile preparare il documento \"" + path.string() +
                                      "\": " + error + ".");
    }
    return WriteFileAtomically(path, bytes);
}

}  // namespace acquenza
