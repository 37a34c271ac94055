#include "reports/docx_writer.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <chrono>
#include <fstream>
#include <iostream>

#include "docx_test_support.h"
#include "reports/pagination.h"

namespace acquenza {
namespace {

using reports_test::ReadDocx;
namespace fs = std::filesystem;

class DocxWriter : public reports_test::ScratchFolder {};

std::string Str(const QJsonValue& v) {
    return v.toString().toStdString();
}

// Everything a report uses at once: fonts and sizes, bold toggled, the four
// alignments, blank lines, a tab and a line break, a page break, characters
// XML must escape, Italian accents and a table with its own font.
Document SampleDocument() {
    DocumentBuilder b;
    b.SetFontName("Century Gothic");
    b.SetFontSize(20);
    b.ToggleBold();
    b.SetParagraphAlignment(Alignment::Center);
    b.TypeText("Relazione di calcolo\r");
    b.ToggleBold();
    b.SetFontSize(12);
    b.TypeText("Località: Colle Alto & \"Fonte\" <nord> è\r\r");
    b.SetParagraphAlignment(Alignment::Left);
    b.TypeText("Tratto\t1\vsegue\f");
    b.SetParagraphAlignment(Alignment::Right);
    b.TypeText("  due  spazi  \r");
    TableHandle t = b.AddTable(3, 4);
    t.SetFontName("Arial");
    t.SetFontSize(9);
    t.SetCell(1, 1, "Tratto");
    t.SetCell(1, 2, "Q [l/s]");
    t.SetCell(2, 1, "A&B <1>");
    t.SetCell(2, 2, "12,50");
    t.SetCell(3, 3, "più\rrighe");
    t.SetColumnAlignment(2, Alignment::Right);
    t.SetColumnAlignment(3, Alignment::Center);
    t.SetColumnAlignment(4, Alignment::Justified);
    b.SetParagraphAlignment(Alignment::Justified);
    b.SetFontName("Times New Roman");
    b.TypeText("Fine.");
    return b.Finish();
}

TEST_F(DocxWriter, EveryParagraphAndRunReadsBackAsBuilt) {
    const fs::path file = folder_ / "relazione.docx";
    const ArchiveResult result = WriteDocx(SampleDocument(), file);
    ASSERT_TRUE(result.ok) << result.message;
    const QJsonArray body = ReadDocx(file)["body"].toArray();

    const struct {
        const char* text;
        const char* alignment;
        int pageBreaks;
    } paragraphs[] = {
        {"Relazione di calcolo", "center", 0},
        {"Località: Colle Alto & \"Fonte\" <nord> è", "center", 0},
        {"", "center", 0},
        {"Tratto\t1\vsegue", "left", 0},
        {"  due  spazi  ", "right", 1},  // the page break opens this paragraph
        {"Fine.", "both", 0},
    };
    const int tableAt = 5;
    ASSERT_EQ(body.size(), 7);
    int i = 0;
    for (const auto& expected : paragraphs) {
        if (i == tableAt) {
            EXPECT_EQ(Str(body[i]["type"]), "table");
            ++i;
        }
        const QJsonValue p = body[i++];
        EXPECT_EQ(Str(p["type"]), "p");
        EXPECT_EQ(Str(p["text"]), expected.text);
        EXPECT_EQ(Str(p["alignment"]), expected.alignment) << expected.text;
        EXPECT_EQ(p["pageBreaks"].toInt(), expected.pageBreaks) << expected.text;
    }

    const QJsonArray title = body[0]["runs"].toArray();
    ASSERT_EQ(title.size(), 1);
    EXPECT_EQ(Str(title[0]["font"]), "Century Gothic");
    EXPECT_EQ(title[0]["size"].toDouble(), 20);
    EXPECT_TRUE(title[0]["bold"].toBool());
    const QJsonValue second = body[1]["runs"][0];
    EXPECT_EQ(second["size"].toDouble(), 12);
    EXPECT_FALSE(second["bold"].toBool());
    EXPECT_EQ(body[2]["markSize"].toDouble(), 12);  // the blank line's height
    EXPECT_EQ(Str(body[6]["runs"][0]["font"]), "Times New Roman");
}

TEST_F(DocxWriter, TableCellsAlignmentsAndFontReadBack) {
    const fs::path file = folder_ / "tabella.docx";
    ASSERT_TRUE(WriteDocx(SampleDocument(), file).ok);
    const QJsonValue table = ReadDocx(file)["body"].toArray()[5];
    ASSERT_EQ(Str(table["type"]), "table");

    const std::vector<std::vector<std::string>> cells = {
        {"Tratto", "Q [l/s]", "", ""}, {"A&B <1>", "12,50", "", ""}, {"", "", "più\nrighe", ""}};
    const QJsonArray rows = table["cells"].toArray();
    ASSERT_EQ(rows.size(), 3);
    for (std::size_t r = 0; r < cells.size(); ++r) {
        const QJsonArray row = rows[static_cast<qsizetype>(r)].toArray();
        ASSERT_EQ(row.size(), 4);
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            EXPECT_EQ(Str(row[static_cast<qsizetype>(c)]), cells[r][c]) << r << "," << c;
            EXPECT_EQ(Str(table["alignment"][static_cast<qsizetype>(r)][static_cast<qsizetype>(c)]),
                      (std::vector<std::string>{"left", "right", "center", "both"}[c]));
        }
    }
    // Cells carry the table's font (through their paragraph style), nothing else.
    const QJsonArray fonts = table["fonts"].toArray();
    ASSERT_EQ(fonts.size(), 1);
    EXPECT_EQ(Str(fonts[0][0]), "Arial");
    EXPECT_EQ(fonts[0][1].toDouble(), 9);
}

TEST_F(DocxWriter, PagesAreA4AndTablesAreEvenGridsWithThinBorders) {
    DocumentBuilder b;
    b.AddTable(2, 7);
    b.AddTable(1, 3);
    const fs::path file = folder_ / "griglia.docx";
    ASSERT_TRUE(WriteDocx(b.Finish(), file).ok);
    const QJsonObject read = ReadDocx(file);

    const QJsonObject page = read["page"].toObject();
    EXPECT_EQ(page["width"].toInt(), 11906);  // 21 cm in twips
    EXPECT_EQ(page["height"].toInt(), 16838);
    EXPECT_EQ(page["top"].toInt(), 1417);  // 2.5 cm
    for (const char* side : {"bottom", "left", "right"}) {
        EXPECT_EQ(page[side].toInt(), 1134) << side;  // 2 cm
    }
    const int textWidth = 11906 - 2 * 1134;

    const QJsonArray body = read["body"].toArray();
    std::vector<QJsonObject> tables;
    for (const QJsonValue& block : body) {
        if (block["type"] == "table") {
            tables.push_back(block.toObject());
        }
    }
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(Str(body[1]["type"]), "p");  // kept apart, not merged into one table
    for (const QJsonObject& t : tables) {
        const QJsonArray widths = t["columnWidths"].toArray();
        int total = 0;
        for (const QJsonValue& w : widths) {
            total += w.toInt();
            EXPECT_NEAR(w.toInt(), textWidth / widths.size(), widths.size());
        }
        EXPECT_EQ(total, textWidth);
        for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
            EXPECT_EQ(Str(t["borders"][side]), "single") << side;
        }
        EXPECT_FALSE(t["cellWidths"].toArray().isEmpty());
    }
    EXPECT_EQ(Str(read["creator"]), "Acquenza");
}

TEST_F(DocxWriter, PageCountFieldReadsAsItsStoredCountWithoutAQuestionOnOpening) {
    DocumentBuilder b;
    b.TypeText("Documento di ");
    b.InsertPageCountField();
    b.TypeText(" pagine");
    Document d = b.Finish();
    d.SetPageCountText("12");
    const fs::path file = folder_ / "campo.docx";
    ASSERT_TRUE(WriteDocx(d, file).ok);
    const QJsonObject read = ReadDocx(file);
    const QJsonValue p = read["body"][0];
    EXPECT_EQ(Str(p["text"]), "Documento di 12 pagine");
    const QJsonArray field = p["field"].toArray();
    ASSERT_EQ(field.size(), 4);
    EXPECT_EQ(Str(field[0]), "begin");
    EXPECT_EQ(Str(field[1]), "instr: NUMPAGES ");
    EXPECT_EQ(Str(field[2]), "separate");
    EXPECT_EQ(Str(field[3]), "end");
    // Asking to update fields makes Word put a question every time it opens.
    EXPECT_FALSE(read["updateFields"].toBool());
}

TEST_F(DocxWriter, CharactersXmlCannotHoldAreDroppedNotWritten) {
    DocumentBuilder b;
    b.TypeText(
        "a\x01"
        "b\x1F"
        "c\xEF\xBF\xBF"
        "d");  // U+0001, U+001F, U+FFFF
    b.AddTable(1, 1).SetCell(1, 1, "x\x02y");
    const fs::path file = folder_ / "controllo.docx";
    ASSERT_TRUE(WriteDocx(b.Finish(), file).ok);
    const QJsonArray body = ReadDocx(file)["body"].toArray();
    ASSERT_EQ(body.size(), 3);
    EXPECT_EQ(Str(body[0]["text"]), "abcd");
    EXPECT_EQ(Str(body[1]["cells"][0][0]), "xy");
}

TEST_F(DocxWriter, ANewDocumentReplacesTheOldFileWhole) {
    const fs::path file = folder_ / "relazione.docx";
    DocumentBuilder b;
    b.TypeText("prima versione, più lunga della seconda");
    ASSERT_TRUE(WriteDocx(b.Finish(), file).ok);
    b.TypeText("seconda");
    ASSERT_TRUE(WriteDocx(b.Finish(), file).ok);
    EXPECT_EQ(Str(ReadDocx(file)["body"][0]["text"]), "seconda");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(DocxWriter, FailureSaysInItalianWhichFileAndWhy) {
    // A path under a regular file fails the same way for any user, root too.
    const fs::path notAFolder = folder_ / "dati.txt";
    std::ofstream(notAFolder) << "x";
    const fs::path file = notAFolder / "relazione.docx";
    const ArchiveResult result = WriteDocx(SampleDocument(), file);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("Impossibile"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("\"" + file.string() + "\""), std::string::npos)
        << result.message;
    EXPECT_NE(result.message.find("cartella"), std::string::npos) << result.message;

    // Over a folder: the rename fails, and no temporary file is left beside it.
    const fs::path folderTarget = folder_ / "cartella.docx";
    fs::create_directory(folderTarget);
    std::ofstream(folderTarget / "dentro") << "x";
    EXPECT_FALSE(WriteDocx(SampleDocument(), folderTarget).ok);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2);
}

TEST_F(DocxWriter, AFiveHundredSectionReportIsCountedAndWrittenQuickly) {
    Document report = reports_test::SyntheticReport(500);
    const auto start = std::chrono::steady_clock::now();
    const int pages = CountPages(report);
    const auto counted = std::chrono::steady_clock::now();
    report.SetPageCountText(std::to_string(pages));
    const fs::path file = folder_ / "grande.docx";
    const ArchiveResult result = WriteDocx(report, file);
    const auto written = std::chrono::steady_clock::now();
    ASSERT_TRUE(result.ok) << result.message;

    using Ms = std::chrono::duration<double, std::milli>;
    const double countMs = Ms(counted - start).count();
    const double writeMs = Ms(written - counted).count();
    std::cout << "500 sections: " << pages << " pages, CountPages " << countMs << " ms, WriteDocx "
              << writeMs << " ms, " << fs::file_size(file) / 1024 << " KiB\n";
    // Generous for a loaded machine; a layout that grows quadratically with
    // the cells takes many seconds here.
#ifndef ACQUENZA_SANITIZED
    EXPECT_LT(countMs + writeMs, 3000);
#endif
    EXPECT_GT(pages, 50);

    const QJsonObject count = ReadDocx(file, true);
    EXPECT_EQ(count["tables"].toInt(), 501);
}

}  // namespace
}  // namespace acquenza
