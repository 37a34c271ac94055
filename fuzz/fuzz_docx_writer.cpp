// Hostile texts through the document builder and the .docx writer: XML
// specials, control characters, any byte through the Windows-1252 path, bytes
// that are not UTF-8, very long texts, in paragraphs, table cells and the
// page-count field. The package must be a well-formed zip whose every XML
// part parses.

#include <fuzzer/FuzzedDataProvider.h>
#include <zip.h>

#include <QByteArray>
#include <QXmlStreamReader>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "archive/cp1252.h"
#include "fuzz_qt.h"
#include "reports/document_model.h"
#include "reports/docx_writer.h"

using namespace acquenza;

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

std::string HostileText(FuzzedDataProvider& in) {
    const std::string raw = in.ConsumeRandomLengthString(300);
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return Cp1252ToUtf8(raw);  // as the data-file reader decodes a file
        case 1:
            return raw;  // not necessarily UTF-8
        case 2: {
            // Past 65,535 characters, where 16-bit lengths would wrap.
            const std::string piece = Cp1252ToUtf8(raw.empty() ? std::string("<&>\"'") : raw);
            std::string text;
            for (std::size_t n = in.ConsumeIntegralInRange<std::size_t>(1, 70000);
                 text.size() < n;) {
                text += piece;
            }
            return text;
        }
        default:
            return "</w:t>&amp;<![CDATA[]]>\"'&#1;" + Cp1252ToUtf8(raw) + "\x01\x1F\t\v\r\n\f";
    }
}

void Parse(const char* name, const QByteArray& xml) {
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
    }
    if (reader.hasError()) {
        Fail(std::string(name) + ": " + reader.errorString().toStdString());
    }
}

void CheckPackage(const std::string& bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t* archive = source == nullptr
                         ? nullptr
                         : zip_open_from_source(source, ZIP_CHECKCONS | ZIP_RDONLY, &error);
    if (archive == nullptr) {
        Fail(std::string("not a zip: ") + zip_error_strerror(&error));
    }
    zip_error_fini(&error);
    bool document = false;
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        const auto index = static_cast<zip_uint64_t>(i);
        zip_file_t* file = zip_fopen_index(archive, index, 0);
        if (zip_stat_index(archive, index, 0, &stat) != 0 || file == nullptr) {
            Fail("unreadable entry");
        }
        QByteArray content(static_cast<qsizetype>(stat.size), '\0');
        const zip_int64_t read = zip_fread(file, content.data(), stat.size);
        zip_fclose(file);
        if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size) {
            Fail(std::string("short entry ") + stat.name);
        }
        Parse(stat.name, content);
        document = document || std::string(stat.name) == "word/document.xml";
    }
    zip_discard(archive);
    if (!document) {
        Fail("no word/document.xml");
    }
}

constexpr std::array<const char*, 4> Fonts = {"Century Gothic", "Times New Roman", "Courier New",
                                              "Roman"};

}  // namespace

// Tables are sized from the fonts' real widths: the font database needs a
// (windowless) GUI application.
extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    fuzz::StartQt((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    DocumentBuilder b;
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 7)) {
            case 0:
                b.TypeText(HostileText(in));
                break;
            case 1:
                b.SetFontSize(in.ConsumeIntegralInRange(4, 144) / 2.0);
                break;
            case 2:
                b.SetFontName(Fonts[in.ConsumeIntegralInRange<std::size_t>(0, Fonts.size() - 1)]);
                break;
            case 3:
                b.ToggleBold();
                break;
            case 4:
                b.InsertPageCountField(HostileText(in));
                break;
            case 5: {
                TableHandle table =
                    b.AddTable(in.ConsumeIntegralInRange(1, 20), in.ConsumeIntegralInRange(1, 16));
                for (int cells = in.ConsumeIntegralInRange(0, 8); cells > 0; --cells) {
                    table.SetCell(in.ConsumeIntegralInRange(1, table.Rows()),
                                  in.ConsumeIntegralInRange(1, table.Columns()), HostileText(in));
                }
                table.SetColumnAlignment(in.ConsumeIntegralInRange(1, table.Columns()),
                                         static_cast<Alignment>(in.ConsumeIntegralInRange(0, 3)));
                break;
            }
            case 6:
                b.SetParagraphAlignment(static_cast<Alignment>(in.ConsumeIntegralInRange(0, 3)));
                break;
            default:
                b.SetAllParagraphsAlignment(Alignment::Justified);
                break;
        }
    }
    const Document document = b.Finish();
    std::string bytes;
    std::string error;
    if (!EncodeDocx(document, bytes, error)) {
        Fail("EncodeDocx: " + error);
    }
    CheckPackage(bytes);
    return 0;
}
