// Any file opened as a project: the reader never crashes or hangs, what it
// says about the file holds, and what it read, written out again, reads back
// to the very same bytes in the program's own layout.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "archive/cp1252.h"
#include "archive/project_file.h"
#include "fuzz_flags.h"

using namespace acquenza;

namespace {

// Lines as the reader counts them: CR LF, CR or LF end one.
int LineCount(std::string_view bytes) {
    int lines = 1;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) {
            ++lines;
        }
    }
    return lines;
}

}  // namespace

// Files of more than 500 sections are some 25 kB; let inputs grow that far
// from the start.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::AddDefaultFlags(argc, argv, {"-max_len=65536", "-len_control=0"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Project project;
    const ReadOutcome read = ReadProjectData(bytes, project);
    if (!read.complete && read.message.empty()) {
        std::abort();
    }
    if (project.enteredSectionCount < 0 || project.enteredSectionCount > MaxSections) {
        std::abort();
    }
    const int lines = LineCount(DecodeUtf8OrCp1252(bytes).utf8);
    const LayoutDifference& layout = read.layout;
    if (read.lastLineRead < 0 || read.lastLineRead > lines || layout.line < 0 ||
        layout.line > lines ||
        (layout.line != 0 && (layout.valuesFound == layout.valuesExpected ||
                              (layout.valuesExpected != 1 && layout.valuesExpected != 10 &&
                               layout.valuesExpected != TitleTextCount)))) {
        std::abort();
    }
    std::string first;
    if (!EncodeProjectFile(project, first).ok) {
        return 0;  // holds a text the file cannot hold (a quote inside a bare value)
    }
    if (DecodeUtf8OrCp1252(first).wasUtf8) {
        return 0;  // Windows-1252 text that reads as UTF-8, such as "Ã¨"
    }
    Project again;
    const ReadOutcome reread = ReadProjectData(first, again);
    if (!reread.complete || reread.layout.line != 0 || reread.readAsUtf8) {
        std::abort();
    }
    std::string second;
    if (!EncodeProjectFile(again, second).ok || second != first) {
        std::abort();
    }
    return 0;
}
