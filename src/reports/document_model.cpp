#include "reports/document_model.h"

#include <algorithm>
#include <stdexcept>

#include "reports/column_widths.h"

namespace acquenza {

std::string Paragraph::Text() const {
    std::string text;
    for (const Run& run : runs) {
        text += run.text;
    }
    return text;
}

bool Paragraph::HasContent() const {
    if (picture) {
        return true;
    }
    for (const Run& run : runs) {
        if (!run.text.empty() || run.pageCountField) {
            return true;
        }
    }
    return false;
}

std::vector<const Paragraph*> Document::Paragraphs() const {
    std::vector<const Paragraph*> paragraphs;
    for (const Block& block : blocks_) {
        if (const auto* p = std::get_if<Paragraph>(&block)) {
            paragraphs.push_back(p);
        }
    }
    return paragraphs;
}

std::vector<std::string> Document::ParagraphTexts() const {
    std::vector<std::string> texts;
    for (const Paragraph* p : Paragraphs()) {
        texts.push_back(p->Text());
    }
    return texts;
}

int Document::TableCount() const {
    int count = 0;
    for (const Block& block : blocks_) {
        count += std::holds_alternative<Table>(block) ? 1 : 0;
    }
    return count;
}

const Table& Document::TableAt(int index) const {
    int seen = 0;
    for (const Block& block : blocks_) {
        if (const auto* t = std::get_if<Table>(&block)) {
            if (seen++ == index) {
                return *t;
            }
        }
    }
    throw std::out_of_range("table index " + std::to_string(index));
}

int Document::PageBreakCount() const {
    int count = 0;
    for (const Block& block : blocks_) {
        count += std::holds_alternative<PageBreak>(block) ? 1 : 0;
    }
    return count;
}

int Document::PageCountFieldCount() const {
    int count = 0;
    for (const Paragraph* p : Paragraphs()) {
        for (const Run& run : p->runs) {
            count += run.pageCountField ? 1 : 0;
        }
    }
    return count;
}

void Document::SetPageCountText(const std::string& text) {
    const auto set = [&](Paragraph& p) {
        for (Run& run : p.runs) {
            if (run.pageCountField) {
                run.text = text;
            }
        }
    };
    for (Block& block : blocks_) {
        if (auto* p = std::get_if<Paragraph>(&block)) {
            set(*p);
        }
    }
    if (footer_) {
        set(*footer_);
    }
}

Table& TableHandle::table() const {
    return std::get<Table>(builder_->blocks_.at(block_));
}

namespace {

void CheckIndex(int index, int count, const char* what) {
    if (index < 1 || index > count) {
        throw std::out_of_range(std::string(what) + " " + std::to_string(index) + " of " +
                                std::to_string(count));
    }
}

}  // namespace

void TableHandle::SetCell(int row, int column, std::string_view text) {
    Table& t = table();
    CheckIndex(row, t.rows, "row");
    CheckIndex(column, t.columns, "column");
    t.cells[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)] = text;
}

void TableHandle::SetFontSize(double points) {
    table().fontSize = points;
}

void TableHandle::SetFontName(std::string_view name) {
    table().fontName = name;
}

void TableHandle::SetColumnAlignment(int column, Alignment alignment) {
    Table& t = table();
    CheckIndex(column, t.columns, "column");
    t.columnAlignment[static_cast<std::size_t>(column - 1)] = alignment;
}

void TableHandle::SetHeaderRows(int rows) {
    Table& t = table();
    t.headerRows = std::clamp(rows, 0, t.rows);
}

void TableHandle::SetKeepTogether(bool keep) {
    table().keepTogether = keep;
}

void TableHandle::ShrinkToFit(double smallest) {
    table().fontSize = FittingFontSize(table(), smallest);
}

int TableHandle::Rows() const {
    return table().rows;
}

int TableHandle::Columns() const {
    return table().columns;
}

DocumentBuilder::DocumentBuilder() {
    blocks_.emplace_back(Paragraph{});
}

Paragraph& DocumentBuilder::Current() {
    return std::get<Paragraph>(blocks_.back());
}

void DocumentBuilder::EndParagraph() {
    Paragraph& p = Current();
    p.markFontName = fontName_;
    p.markFontSize = fontSize_;
    p.markBold = bold_;
    Paragraph next;
    next.alignment = alignment_;
    next.keepWithNext = keepWithNext_;
    blocks_.emplace_back(std::move(next));
}

void DocumentBuilder::AppendText(std::string_view text) {
    if (text.empty()) {
        return;
    }
    std::vector<Run>& runs = Current().runs;
    if (!runs.empty()) {
        Run& last = runs.back();
        if (!last.pageCountField && last.bold == bold_ && last.fontSize == fontSize_ &&
            last.fontName == fontName_) {
            last.text += text;
            return;
        }
    }
    runs.push_back(Run{std::string(text), fontName_, fontSize_, bold_, false});
}

void DocumentBuilder::TypeText(std::string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n' && c != '\f') {
            continue;
        }
        AppendText(text.substr(start, i - start));
        EndParagraph();
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        if (c == '\f') {
            // The break sits between the paragraph just ended and a new one.
            Paragraph next = std::move(Current());
            blocks_.back() = PageBreak{};
            blocks_.emplace_back(std::move(next));
        }
        start = i + 1;
    }
    AppendText(text.substr(start));
}

void DocumentBuilder::InsertPageCountField(std::string_view cachedText) {
    Current().runs.push_back(Run{std::string(cachedText), fontName_, fontSize_, bold_, true});
}

void DocumentBuilder::InsertPicture(Picture picture) {
    if (Current().HasContent()) {
        EndParagraph();
    }
    Current().picture = std::move(picture);
    EndParagraph();
}

void DocumentBuilder::SetParagraphAlignment(Alignment alignment) {
    alignment_ = alignment;
    Current().alignment = alignment;
}

void DocumentBuilder::SetKeepWithNext(bool keep) {
    keepWithNext_ = keep;
    Current().keepWithNext = keep;
}

void DocumentBuilder::SetAllParagraphsAlignment(Alignment alignment) {
    alignment_ = alignment;
    for (Block& block : blocks_) {
        if (auto* p = std::get_if<Paragraph>(&block)) {
            p->alignment = alignment;
        }
    }
}

TableHandle DocumentBuilder::AddTable(int rows, int columns) {
    if (rows < 1 || columns < 1) {
        throw std::invalid_argument("a table needs at least one row and one column");
    }
    const bool afterTable =
        blocks_.size() >= 2 && std::holds_alternative<Table>(*(blocks_.end() - 2));
    if (Current().HasContent() || afterTable) {
        EndParagraph();
    }
    Table table;
    table.rows = rows;
    table.columns = columns;
    table.cells.assign(static_cast<std::size_t>(rows),
                       std::vector<std::string>(static_cast<std::size_t>(columns)));
    table.fontName = fontName_;
    table.fontSize = fontSize_;
    table.columnAlignment.assign(static_cast<std::size_t>(columns), Alignment::Left);
    // The empty paragraph at the end becomes the table; a new one follows it.
    blocks_.back() = std::move(table);
    const std::size_t index = blocks_.size() - 1;
    Paragraph next;
    next.alignment = alignment_;
    next.keepWithNext = keepWithNext_;
    blocks_.emplace_back(std::move(next));
    return TableHandle(*this, index);
}

Document DocumentBuilder::Finish() {
    Paragraph& last = Current();
    last.markFontName = fontName_;
    last.markFontSize = fontSize_;
    last.markBold = bold_;
    Document document(std::move(blocks_));
    blocks_.clear();
    blocks_.emplace_back(Paragraph{});
    fontName_ = DefaultFontName;
    fontSize_ = DefaultFontSize;
    bold_ = false;
    alignment_ = Alignment::Left;
    keepWithNext_ = false;
    return document;
}

}  // namespace acquenza
