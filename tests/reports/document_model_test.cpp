#include "reports/document_model.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace acquenza {
namespace {

// The document's blocks in one line: P(text) for a paragraph, BR for a page
// break, T(rows x columns) for a table.
std::string Outline(const Document& d) {
    std::string out;
    for (const Block& block : d.Blocks()) {
        if (!out.empty()) {
            out += " ";
        }
        if (const auto* p = std::get_if<Paragraph>(&block)) {
            out += "P(" + p->Text() + ")";
        } else if (const auto* t = std::get_if<Table>(&block)) {
            out += "T(" + std::to_string(t->rows) + "x" + std::to_string(t->columns) + ")";
        } else {
            out += "BR";
        }
    }
    return out;
}

TEST(DocumentBuilder, TypedControlCharactersShapeTheParagraphs) {
    const struct {
        const char* typed;
        const char* outline;
    } cases[] = {
        {"", "P()"},
        {"A\rB", "P(A) P(B)"},
        {"A\r", "P(A) P()"},
        {"A\r\r\rB", "P(A) P() P() P(B)"},
        {"A\r\nB", "P(A) P(B)"},
        {"A\nB", "P(A) P(B)"},
        {"A\fB", "P(A) BR P(B)"},
        {"\f", "P() BR P()"},
        {"A\f\fB", "P(A) BR P() BR P(B)"},
        {"A\r\fB", "P(A) P() BR P(B)"},
        {"località\tè\vqui", "P(località\tè\vqui)"},
    };
    for (const auto& c : cases) {
        DocumentBuilder b;
        b.TypeText(c.typed);
        EXPECT_EQ(Outline(b.Finish()), c.outline) << "typed: " << c.typed;
    }
}

TEST(DocumentBuilder, TextContinuesAcrossCallsInTheSameParagraph) {
    DocumentBuilder b;
    b.TypeText("Comune di ");
    b.TypeText("Colle Alto\rRete");
    b.TypeText(" nuova");
    const Document d = b.Finish();
    EXPECT_EQ(d.ParagraphTexts(), (std::vector<std::string>{"Comune di Colle Alto", "Rete nuova"}));
    EXPECT_EQ(d.Paragraphs()[0]->runs.size(), 1u);  // same font: one run
}

TEST(DocumentBuilder, EachRunKeepsTheFontItWasTypedIn) {
    DocumentBuilder b;
    b.SetFontName("Century Gothic");
    b.SetFontSize(20);
    b.ToggleBold();
    b.TypeText("Titolo");
    b.ToggleBold();
    b.SetFontSize(12);
    b.TypeText(" sottotitolo");
    b.SetBold(true);
    b.SetFontName("Arial");
    b.TypeText("!");
    const Document d = b.Finish();
    const std::vector<acquenza::Run>& runs = d.Paragraphs()[0]->runs;
    ASSERT_EQ(runs.size(), 3u);
    const struct {
        const char* text;
        const char* font;
        double size;
        bool bold;
    } expected[] = {{"Titolo", "Century Gothic", 20, true},
                    {" sottotitolo", "Century Gothic", 12, false},
                    {"!", "Arial", 12, true}};
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].text, expected[i].text);
        EXPECT_EQ(runs[i].fontName, expected[i].font) << i;
        EXPECT_EQ(runs[i].fontSize, expected[i].size) << i;
        EXPECT_EQ(runs[i].bold, expected[i].bold) << i;
    }
}

TEST(DocumentBuilder, EmptyParagraphsKeepTheSizeTheyWereTypedIn) {
    // The title page's vertical spacing is blank lines in a large font.
    DocumentBuilder b;
    b.SetFontSize(28);
    b.TypeText("\r\r");
    b.SetFontSize(12);
    b.SetBold(true);
    b.TypeText("Relazione\r");
    const Document d = b.Finish();
    const std::vector<const Paragraph*> p = d.Paragraphs();
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0]->markFontSize, 28);
    EXPECT_EQ(p[1]->markFontSize, 28);
    EXPECT_EQ(p[2]->markFontSize, 12);
    EXPECT_TRUE(p[2]->markBold);
    EXPECT_TRUE(p[0]->runs.empty());
}

TEST(DocumentBuilder, TablesTakeTheirPlaceInTheFlow) {
    const struct {
        const char* before;  // typed before the table
        const char* outline;
    } cases[] = {
        {"", "T(2x3) P(dopo)"},                  // the empty first paragraph becomes the table
        {"Intro", "P(Intro) T(2x3) P(dopo)"},    // text ends its paragraph first
        {"Intro\r", "P(Intro) T(2x3) P(dopo)"},  // an empty paragraph becomes the table
        {"Intro\r\r", "P(Intro) P() T(2x3) P(dopo)"},  // blank lines typed before it stay
        {"Intro\f", "P(Intro) BR T(2x3) P(dopo)"},
    };
    for (const auto& c : cases) {
        DocumentBuilder b;
        b.TypeText(c.before);
        b.AddTable(2, 3);
        b.TypeText("dopo");
        EXPECT_EQ(Outline(b.Finish()), c.outline) << "typed: " << c.before;
    }
}

TEST(DocumentBuilder, ADocumentEndsWithAParagraphAndTablesStayApart) {
    DocumentBuilder b;
    b.AddTable(1, 1);
    b.AddTable(2, 2);
    EXPECT_EQ(Outline(b.Finish()), "T(1x1) P() T(2x2) P()");
}

TEST(DocumentBuilder, TableCellsFontAndColumnsAreFilledThroughTheHandle) {
    DocumentBuilder b;
    b.SetFontName("Century Gothic");
    b.SetFontSize(10);
    TableHandle t = b.AddTable(2, 3);
    t.SetCell(1, 1, "Tratto");
    t.SetCell(2, 3, "12,5");
    t.SetColumnAlignment(3, Alignment::Right);
    // The handle still reaches its table after the document has grown.
    for (int i = 0; i < 100; ++i) {
        b.TypeText("riga\r");
    }
    t.SetFontSize(8);
    const Document d = b.Finish();
    ASSERT_EQ(d.TableCount(), 1);
    const Table& table = d.TableAt(0);
    EXPECT_EQ(table.cells,
              (std::vector<std::vector<std::string>>{{"Tratto", "", ""}, {"", "", "12,5"}}));
    EXPECT_EQ(table.fontName, "Century Gothic");  // the font the table was added in
    EXPECT_EQ(table.fontSize, 8);
    EXPECT_EQ(table.columnAlignment,
              (std::vector<Alignment>{Alignment::Left, Alignment::Left, Alignment::Right}));
    EXPECT_THROW((void)d.TableAt(1), std::out_of_range);
    EXPECT_EQ(d.Paragraphs().size(), 101u);
}

TEST(DocumentBuilder, IndexesOutsideTheTableAreRefused) {
    DocumentBuilder b;
    TableHandle t = b.AddTable(2, 3);
    EXPECT_THROW(t.SetCell(0, 1, "x"), std::out_of_range);
    EXPECT_THROW(t.SetCell(3, 1, "x"), std::out_of_range);
    EXPECT_THROW(t.SetCell(1, 4, "x"), std::out_of_range);
    EXPECT_THROW(t.SetColumnAlignment(0, Alignment::Center), std::out_of_range);
    EXPECT_NO_THROW(t.SetCell(2, 3, "x"));
    EXPECT_THROW(b.AddTable(0, 2), std::invalid_argument);
    EXPECT_THROW(b.AddTable(2, 0), std::invalid_argument);
}

TEST(DocumentBuilder, TheWholeDocumentPassAlignsParagraphsButNotTableColumns) {
    DocumentBuilder b;
    b.SetParagraphAlignment(Alignment::Center);
    b.TypeText("Titolo\r");
    b.SetParagraphAlignment(Alignment::Left);
    b.TypeText("Testo");
    TableHandle t = b.AddTable(1, 2);
    t.SetColumnAlignment(2, Alignment::Right);
    b.SetAllParagraphsAlignment(Alignment::Justified);
    b.TypeText("Ancora\re ancora");
    const Document d = b.Finish();
    for (const Paragraph* p : d.Paragraphs()) {
        EXPECT_EQ(p->alignment, Alignment::Justified) << p->Text();
    }
    EXPECT_EQ(d.TableAt(0).columnAlignment,
              (std::vector<Alignment>{Alignment::Left, Alignment::Right}));
}

TEST(DocumentBuilder, ParagraphAlignmentCarriesOnToTheNextParagraphs) {
    DocumentBuilder b;
    b.TypeText("Prima\r");
    b.SetParagraphAlignment(Alignment::Center);
    b.TypeText("Seconda\rTerza");
    const Document d = b.Finish();
    const std::vector<const Paragraph*> p = d.Paragraphs();
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0]->alignment, Alignment::Left);
    EXPECT_EQ(p[1]->alignment, Alignment::Center);
    EXPECT_EQ(p[2]->alignment, Alignment::Center);
}

TEST(DocumentBuilder, PageCountFieldShowsTheStoredCount) {
    DocumentBuilder b;
    b.SetBold(true);
    b.TypeText("Pagine: ");
    b.InsertPageCountField();
    b.TypeText(" in tutto");
    Document d = b.Finish();
    ASSERT_EQ(d.PageCountFieldCount(), 1);
    d.SetPageCountText("37");
    EXPECT_EQ(d.ParagraphTexts()[0], "Pagine: 37 in tutto");
    const std::vector<acquenza::Run>& runs = d.Paragraphs()[0]->runs;
    ASSERT_EQ(runs.size(), 3u);  // text after the field is a run of its own
    EXPECT_TRUE(runs[1].pageCountField);
    EXPECT_TRUE(runs[1].bold);
}

TEST(DocumentBuilder, AFieldAloneIsContentThatATableDoesNotSwallow) {
    DocumentBuilder b;
    b.InsertPageCountField("4");
    b.AddTable(1, 1);
    EXPECT_EQ(Outline(b.Finish()), "P(4) T(1x1) P()");
}

TEST(DocumentBuilder, FinishStartsAFreshDocument) {
    DocumentBuilder b;
    b.SetFontSize(20);
    b.SetBold(true);
    b.SetAllParagraphsAlignment(Alignment::Center);
    b.TypeText("uno");
    (void)b.Finish();
    b.TypeText("due");
    const Document d = b.Finish();
    ASSERT_EQ(d.ParagraphTexts(), std::vector<std::string>{"due"});
    const acquenza::Run& run = d.Paragraphs()[0]->runs[0];
    EXPECT_EQ(run.fontSize, DefaultFontSize);
    EXPECT_FALSE(run.bold);
    EXPECT_EQ(d.Paragraphs()[0]->alignment, Alignment::Left);
}

}  // namespace
}  // namespace acquenza
