// Values no real project holds (texts of megabytes, numbers beyond a
// billion, infinities) are refused when a file is read and when it is saved,
// so that what is saved always reads back.

#include <gtest/gtest.h>

#include <string>

#include "archive/project_file.h"

namespace acquenza {
namespace {

struct Case {
    Field field;
    std::string inFile;  // as the file holds it, quotes included
    bool refused;
    std::string why;    // part of the reason, when refused
    FieldValue stored;  // the same value reached by typing, for the save
};

std::string FileWith(Field field, const std::string& value, const std::string& title) {
    std::string line;
    for (std::size_t i = 0; i < InputFields.size(); ++i) {
        line += (i > 0 ? "," : "");
        line += InputFields[i] == field          ? value
                : InputFields[i] == Field::tipoc ? "\"nuova\""
                                                 : "\"10\"";
    }
    return "1\r\n" + line + "\r\n" + title + ",\"b\",,,,,\r\n";
}

TEST(ValueLimits, AbsurdSectionValuesAreRefusedAtReadingAndAtSaving) {
    const std::string long1001(1001, 'x');
    const auto text = [](const std::string& t) { return FieldValue::Text(t); };
    const Case cases[] = {
        {Field::lungh, "1e308", true, "fuori dai limiti ammessi", FieldValue::Number(1e308)},
        {Field::lungh, "\"1e308\"", true, "«1e308», fuori dai limiti", text("1e308")},
        {Field::quotain, "-2000000000", true, "fuori dai limiti", FieldValue::Number(-2e9)},
        {Field::portun, "\"1,5e12\"", true, "fuori dai limiti", text("1,5e12")},  // a flow
        {Field::lungh, "1e999", true, "non è un numero finito", text("1e999")},
        {Field::lungh, "inf", true, "«inf», che non è un numero finito", text("inf")},
        {Field::abitun, "-Infinity", true, "non è un numero finito", text("-Infinity")},
        {Field::dotazun, "\"NaN\"", true, "non è un numero finito", text("NaN")},
        {Field::lungh, "\"" + long1001 + "\"", true, "è lungo 1001 caratteri, più dei 1000",
         text(long1001)},
        {Field::lungh, "1000000000", false, "", {}},  // the limit itself
        {Field::quotain, "-999999999.5", false, "", {}},
        {Field::dotazun, "\"antincend.\"", false, "", {}},
        {Field::tipoc, "\"in uso\"", false, "", {}},
        {Field::lungh, "\"" + std::string(1000, 'x') + "\"", false, "", {}},
    };
    for (const Case& c : cases) {
        Project project;
        TitleTexts& titles = project.titles;
        titles = {"vecchio", "", "", "", "", "", ""};
        const ReadOutcome read = ReadProjectData(FileWith(c.field, c.inFile, "\"a\""), project);
        EXPECT_EQ(read.complete, !c.refused) << c.inFile.substr(0, 40);
        if (!c.refused) {
            // And it saves as it came.
            std::string bytes;
            EXPECT_TRUE(EncodeProjectFile(project, bytes).ok) << c.inFile.substr(0, 40);
            continue;
        }
        EXPECT_EQ(read.line, 2);
        // The values before it were read.
        EXPECT_EQ(read.lastLineRead, c.field == InputFields[0] ? 1 : 2);
        EXPECT_EQ(read.message.rfind("alla riga 2 il dato «" + std::string(FieldName(c.field)) +
                                         "» del tronco n. 1 è ",
                                     0),
                  0u)
            << read.message;
        EXPECT_NE(read.message.find(c.why), std::string::npos) << read.message;
        EXPECT_NE(read.message.find("modificato a mano"), std::string::npos);
        EXPECT_EQ(titles.progetto, "vecchio");  // reading stopped before the title line

        // The same value reached by typing is refused at saving.
        Project typed;
        ReadProjectData(FileWith(c.field, "\"1\"", "\"a\""), typed);
        typed.sections.Set(1, c.field, c.stored);
        std::string bytes;
        const ArchiveResult saved = EncodeProjectFile(typed, bytes);
        EXPECT_FALSE(saved.ok) << c.inFile.substr(0, 40);
        EXPECT_NE(saved.message.find(c.why), std::string::npos) << saved.message;
    }
}

TEST(ValueLimits, TitleTextsLongerThanAThousandCharactersAreRefused) {
    const std::string huge = "\"" + std::string(16 * 1024 * 1024, 'T') + "\"";
    Project project;
    TitleTexts& titles = project.titles;
    titles = {"vecchio", "", "", "", "", "", ""};
    const ReadOutcome read = ReadProjectData(FileWith(Field::lungh, "\"10\"", huge), project);
    EXPECT_FALSE(read.complete);
    EXPECT_EQ(read.line, 3);
    EXPECT_NE(
        read.message.find("alla riga 3 il dato «progetto» del frontespizio è lungo 16777216 "
                          "caratteri, più dei 1000 ammessi; il file sembra modificato a mano."),
        std::string::npos)
        << read.message.substr(0, 300);
    EXPECT_EQ(titles.progetto, "vecchio");

    // Counted in characters: 1000 accented letters are 2000 bytes, and fit.
    std::string accented;
    for (int i = 0; i < 1000; ++i) {
        accented += "\xE0";  // à in Windows-1252
    }
    EXPECT_TRUE(ReadProjectData(FileWith(Field::lungh, "\"10\"", "\"" + accented + "\""), project)
                    .complete);
    EXPECT_EQ(titles.progetto.size(), 2000u);
    std::string bytes;
    EXPECT_TRUE(EncodeProjectFile(project, bytes).ok);
    titles.allegati = titles.progetto + "x";
    const ArchiveResult saved = EncodeProjectFile(project, bytes);
    EXPECT_EQ(saved.message,
              "Frontespizio: il campo «allegati alla relazione» è lungo 1001 caratteri, più "
              "dei 1000 ammessi.");
}

TEST(ValueLimits, ASaveRefusedForACharacterNamesIt) {
    Project project;
    TitleTexts& titles = project.titles;
    titles = {"Rete", "", "", "", "", "", ""};
    ReadProjectData(FileWith(Field::lungh, "\"10\"", "\"Rete\""), project);
    std::string bytes;
    titles.committente = "Comune di Ωmega";
    EXPECT_EQ(EncodeProjectFile(project, bytes).message,
              "Frontespizio: il campo «committente» contiene il carattere «Ω» (U+03A9), che il "
              "file dati non può contenere.");
    titles.committente = "Comune\u200F di Colle";  // invisible: the code tells which
    EXPECT_NE(EncodeProjectFile(project, bytes).message.find("(U+200F)"), std::string::npos);
}

}  // namespace
}  // namespace acquenza
