#pragma once
// What the program's printed documents are made of: paragraphs of formatted
// runs, page breaks and plain grid tables, in reading order. The report code
// fills a model through DocumentBuilder, which behaves like typing at the end
// of a word-processor document; the model is then paginated and written out.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace acquenza {

enum class Alignment { Left, Justified, Right, Center };

// The font the builder starts with, as in a new word-processor document.
inline constexpr const char* DefaultFontName = "Times New Roman";
inline constexpr double DefaultFontSize = 12.0;

// Every document is printed on A4 portrait with these margins.
inline constexpr double PageWidthMm = 210.0;
inline constexpr double PageHeightMm = 297.0;
inline constexpr double TopMarginMm = 25.0;
inline constexpr double SideMarginMm = 20.0;  // left, right and bottom

struct Run {
    std::string text;
    std::string fontName = DefaultFontName;
    double fontSize = DefaultFontSize;  // points
    bool bold = false;
    // A page-count field: the word processor works the number out when it
    // refreshes fields; until then it shows `text`, the count we computed.
    bool pageCountField = false;
    // A field showing the number of the page it is printed on.
    bool pageNumberField = false;
};

// A picture standing alone in its paragraph: a PNG shown at the given size.
struct Picture {
    std::string png;  // the file's bytes
    double widthMm = 0;
    double heightMm = 0;
    std::string description;  // what a reader who cannot see it is told
};

struct Paragraph {
    std::vector<Run> runs;
    std::optional<Picture> picture;  // shown after the runs
    Alignment alignment = Alignment::Left;
    // The font of the paragraph mark. It sets the height of an empty paragraph,
    // so blank lines keep the size they were typed in.
    std::string markFontName = DefaultFontName;
    double markFontSize = DefaultFontSize;
    bool markBold = false;
    // On the same page as the start of whatever follows it.
    bool keepWithNext = false;

    // The runs' texts joined (a page-count field counts as its shown text).
    std::string Text() const;
    bool HasContent() const;
};

struct PageBreak {};

// A grid with a thin single border around every cell.
struct Table {
    int rows = 0;
    int columns = 0;
    std::vector<std::vector<std::string>> cells;  // [row][column], 0-based
    double fontSize = DefaultFontSize;
    std::string fontName = DefaultFontName;
    std::vector<Alignment> columnAlignment;  // one per column
    // The first rows, repeated at the top of every page the table runs onto.
    int headerRows = 0;
    // Never split across pages: the whole table goes where it fits.
    bool keepTogether = false;
};

// Left and right padding inside every table cell, in twips.
inline constexpr int CellSidePaddingTwips = 40;

using Block = std::variant<Paragraph, PageBreak, Table>;

class Document {
  public:
    Document() = default;
    explicit Document(std::vector<Block> blocks) : blocks_(std::move(blocks)) {}

    const std::vector<Block>& Blocks() const { return blocks_; }

    // Body paragraphs only (not table cells), in order.
    std::vector<const Paragraph*> Paragraphs() const;
    std::vector<std::string> ParagraphTexts() const;
    int TableCount() const;
    const Table& TableAt(int index) const;  // 0-based; throws std::out_of_range
    int PageBreakCount() const;
    int PageCountFieldCount() const;

    // Stores the text every page-count field shows until it is refreshed.
    void SetPageCountText(const std::string& text);

    // A footer printed on every page after the first; none until set.
    void SetFooterAfterFirstPage(Paragraph footer) {
        footer_ = std::move(footer);
        footerOnFirstPage_ = false;
    }
    // A footer printed on every page, the first one too.
    void SetFooterOnEveryPage(Paragraph footer) {
        footer_ = std::move(footer);
        footerOnFirstPage_ = true;
    }
    const std::optional<Paragraph>& Footer() const { return footer_; }
    bool FooterOnFirstPage() const { return footerOnFirstPage_; }

  private:
    std::vector<Block> blocks_;
    std::optional<Paragraph> footer_;
    bool footerOnFirstPage_ = false;
};

class DocumentBuilder;

// Fills one table added by DocumentBuilder::AddTable. Rows and columns count
// from 1; an index outside the table throws std::out_of_range.
class TableHandle {
  public:
    void SetCell(int row, int column, std::string_view text);
    void SetFontSize(double points);
    void SetFontName(std::string_view name);
    void SetColumnAlignment(int column, Alignment alignment);
    void SetHeaderRows(int rows);
    void SetKeepTogether(bool keep);
    // The font made smaller, down to `smallest` points, where the columns'
    // longest words would not fit across the page at the table's own size.
    // Call once the cells are filled. Needs a QGuiApplication.
    void ShrinkToFit(double smallest);

    int Rows() const;
    int Columns() const;

  private:
    friend class DocumentBuilder;
    TableHandle(DocumentBuilder& builder, std::size_t block) : builder_(&builder), block_(block) {}
    Table& table() const;

    DocumentBuilder* builder_;
    std::size_t block_;
};

// Writes at the end of the document the way a word processor's insertion
// point does: "\r" (or "\n", or "\r\n") ends the paragraph, "\f" is a page
// break, "\t" a tab and "\v" a line break inside the paragraph. Text is UTF-8.
class DocumentBuilder {
  public:
    DocumentBuilder();

    void SetFontName(std::string_view name) { fontName_ = name; }
    void SetFontSize(double points) { fontSize_ = points; }
    void SetBold(bool bold) { bold_ = bold; }
    void ToggleBold() { bold_ = !bold_; }
    const std::string& FontName() const { return fontName_; }
    double FontSize() const { return fontSize_; }
    bool Bold() const { return bold_; }

    void TypeText(std::string_view text);
    // A NUMPAGES field in the current font, showing cachedText until refreshed.
    void InsertPageCountField(std::string_view cachedText = "1");
    // A picture in a paragraph of its own: the paragraph being typed ends
    // first if it has anything in it, and typing goes on after the picture.
    void InsertPicture(Picture picture);

    // Alignment of the paragraph being typed; the next ones inherit it.
    void SetParagraphAlignment(Alignment alignment);
    // Every body paragraph so far, the one being typed and those to come.
    // Table cells keep their column alignment.
    void SetAllParagraphsAlignment(Alignment alignment);
    // Whether the paragraph being typed, and the next ones, stay on the page
    // where what follows them starts.
    void SetKeepWithNext(bool keep);

    // A rows x columns table in the current font at the end of the document.
    // The paragraph being typed ends first if it has anything in it; an empty
    // one becomes the table, as in a word processor, except right after
    // another table, where it stays to keep the two tables apart. Typing then
    // continues in a new paragraph after the table. Throws
    // std::invalid_argument unless rows and columns are at least 1.
    TableHandle AddTable(int rows, int columns);

    // The finished document; it always ends with a paragraph. The builder is
    // left empty, ready for a new document.
    Document Finish();

  private:
    friend class TableHandle;
    Paragraph& Current();
    void EndParagraph();
    void AppendText(std::string_view text);

    std::vector<Block> blocks_;  // the last block is always the paragraph being typed
    std::string fontName_ = DefaultFontName;
    double fontSize_ = DefaultFontSize;
    bool bold_ = false;
    Alignment alignment_ = Alignment::Left;
    bool keepWithNext_ = false;
};

}  // namespace acquenza
