// Any file opened as a project: the reader never crashes or hangs, and what it
// read, written out again, reads back to the very same bytes.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "archive/project_file.h"

using namespace acquenza;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Project project;
    TitleTexts titles;
    const ReadOutcome read = ReadProjectData(bytes, project, titles);
    if (!read.complete && read.message.empty()) {
        std::abort();
    }
    if (project.enteredSectionCount < 0 || project.enteredSectionCount > MaxSections) {
        std::abort();
    }
    std::string first;
    if (!EncodeProjectFile(project, titles, first).ok) {
        return 0;  // holds a text the file cannot hold (a quote inside a bare value)
    }
    Project again;
    TitleTexts againTitles;
    if (!ReadProjectData(first, again, againTitles).complete) {
        std::abort();
    }
    std::string second;
    if (!EncodeProjectFile(again, againTitles, second).ok || second != first) {
        std::abort();
    }
    return 0;
}
