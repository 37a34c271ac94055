#pragma once
// Shared by the report tests: a scratch folder per test, reading a written
// .docx back through python-docx, running external programs, and a document
// the size of a large report.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "reports/document_model.h"

namespace acquenza::reports_test {

namespace fs = std::filesystem;

class ScratchFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("acquenza-docs-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
};

inline std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

// Runs a shell command; its standard output, or nothing when it failed.
inline std::optional<std::string> RunCommand(const std::string& command) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return std::nullopt;
    }
    std::string out;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    if (status != 0) {
        ADD_FAILURE() << command << " failed:\n" << out;
        return std::nullopt;
    }
    return out;
}

// What read_docx.py reports about a file (see the script); an empty object
// and a test failure when python-docx could not read it.
inline QJsonObject ReadDocx(const fs::path& file, bool countOnly = false) {
    const std::string command = "/usr/bin/python3 " +
                                Quoted(std::string(ACQUENZA_TEST_SCRIPTS) + "/read_docx.py") +
                                (countOnly ? " --count " : " ") + Quoted(file.string()) + " 2>&1";
    const std::optional<std::string> out = RunCommand(command);
    if (!out) {
        return {};
    }
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(*out), &error);
    if (error.error != QJsonParseError::NoError) {
        ADD_FAILURE() << "unreadable output from read_docx.py:\n" << *out;
        return {};
    }
    return json.object();
}

inline std::optional<fs::path> FindProgram(const char* name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const fs::path candidate = fs::path(folder) / name;
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::nullopt;
}

// The PDF files LibreOffice makes of documents, converted in one run (its
// start-up costs more than a small document), in the same order; nothing
// when LibreOffice or pdfinfo is not installed, and an empty path for a
// document it could not convert.
inline std::optional<std::vector<fs::path>> LibreOfficePdfs(const std::vector<fs::path>& files) {
#ifdef ACQUENZA_SANITIZED
    // LibreOffice's own minutes say nothing about our memory safety: the
    // plain build compares the page counts.
    (void)files;
    return std::nullopt;
#endif
    std::optional<fs::path> office = FindProgram("soffice");
    if (!office) {
        office = FindProgram("libreoffice");
    }
    if (!office || !FindProgram("pdfinfo") || files.empty()) {
        return std::nullopt;
    }
    const fs::path folder = files.front().parent_path() / "pdf";
    fs::create_directories(folder);
    // A profile of its own, so a LibreOffice the user has open is left alone.
    std::string convert = Quoted(office->string()) + " -env:UserInstallation=file://" +
                          (folder / "profilo").string() + " --headless --convert-to pdf --outdir " +
                          Quoted(folder.string());
    for (const fs::path& file : files) {
        convert += " " + Quoted(file.string());
    }
    RunCommand(convert + " 2>&1");
    std::vector<fs::path> pdfs;
    for (const fs::path& file : files) {
        const fs::path pdf = folder / (file.stem().string() + ".pdf");
        pdfs.push_back(fs::exists(pdf) ? pdf : fs::path());
    }
    return pdfs;
}

// The number of pages of a PDF, or -1.
inline int PdfPages(const fs::path& pdf) {
    const std::optional<std::string> info =
        pdf.empty() ? std::nullopt : RunCommand("pdfinfo " + Quoted(pdf.string()));
    std::smatch match;
    if (!info || !std::regex_search(*info, match, std::regex(R"(Pages:\s+(\d+))"))) {
        return -1;
    }
    return std::stoi(match[1]);
}

// The number of pages LibreOffice makes of a .docx, or nothing when
// LibreOffice or pdfinfo is not installed.
inline std::optional<int> LibreOfficePages(const fs::path& docx) {
    const std::optional<std::vector<fs::path>> pdfs = LibreOfficePdfs({docx});
    if (!pdfs) {
        return std::nullopt;
    }
    return PdfPages(pdfs->front());
}

// The words pdftotext finds on each page of a PDF, with their boxes in points
// from the top left corner of the sheet.
struct PdfWord {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::string text;
};
inline std::vector<std::vector<PdfWord>> PdfWords(const fs::path& pdf) {
    const std::string html =
        RunCommand("pdftotext -bbox " + Quoted(pdf.string()) + " -").value_or("");
    std::vector<std::vector<PdfWord>> pages;
    const std::regex item(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), item);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        if (!m[1].matched) {
            pages.emplace_back();
        } else if (!pages.empty()) {
            pages.back().push_back(
                {std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
        }
    }
    return pages;
}

// Shaped like a calculation report: a title page with the page count, a few
// pages of justified text, a 6 x 15 table per section and a summary table
// with a row per section.
inline Document SyntheticReport(int sections) {
    DocumentBuilder b;
    b.SetFontName("Century Gothic");
    b.SetParagraphAlignment(Alignment::Center);
    b.SetFontSize(28);
    b.TypeText("\r\r\r\r\r");
    b.SetFontSize(20);
    b.SetBold(true);
    b.TypeText("Relazione di calcolo\r\r");
    b.SetBold(false);
    b.SetFontSize(14);
    b.TypeText("Rete di distribuzione di Colle Alto\rDocumento di ");
    b.InsertPageCountField();
    b.TypeText(" pagine\f");
    b.SetFontSize(11);
    b.SetParagraphAlignment(Alignment::Left);
    for (int i = 0; i < 50; ++i) {
        b.TypeText(
            "Il dimensionamento dei tratti della rete è stato eseguito con la formula di "
            "Hazen-Williams, considerando le portate di punta e le pressioni minime richieste "
            "in ogni località servita.\r");
    }
    b.SetAllParagraphsAlignment(Alignment::Justified);
    for (int s = 1; s <= sections; ++s) {
        b.SetBold(true);
        b.TypeText("Tratto " + std::to_string(s) + "\r");
        b.SetBold(false);
        TableHandle t = b.AddTable(6, 15);
        t.SetFontSize(7);
        for (int r = 1; r <= 6; ++r) {
            for (int c = 1; c <= 15; ++c) {
                t.SetCell(r, c, std::to_string(r * 37 + c * 11) + "," + std::to_string(c % 10));
            }
        }
        for (int c = 2; c <= 15; ++c) {
            t.SetColumnAlignment(c, Alignment::Right);
        }
    }
    b.TypeText("\fRiepilogo\r");
    TableHandle summary = b.AddTable(sections + 2, 14);
    summary.SetFontSize(7);
    for (int r = 1; r <= sections + 2; ++r) {
        for (int c = 1; c <= 14; ++c) {
            summary.SetCell(r, c, std::to_string(r * 13 + c) + ",5");
        }
    }
    return b.Finish();
}

}  // namespace acquenza::reports_test
