#pragma once
// The program's command line: what the user asked for, read from the
// arguments, and the help and version texts. Every option is one entry of a
// single table (command_line.cpp), which the reading, --help and the message
// for a machine without a display all follow.

#include <optional>
#include <string>
#include <vector>

#include "app/batch_documents.h"

namespace acquenza {

struct CommandLine {
    bool help = false;
    bool version = false;
    bool checkInstallation = false;
    std::optional<BatchJob> job;
    std::optional<std::string> project;  // to open in the data window
    std::string error;

    // Nothing goes on screen: no display is needed.
    bool OpensNoWindow() const {
        return help || version || checkInstallation || job || !error.empty();
    }
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The --help text: how to start the program and every option.
std::string UsageText();
// The --version text, one line: name, version and subtitle.
std::string VersionText();
// The options that work without a display, as "--a, --b e --c".
std::string OptionsWithoutDisplay();

}  // namespace acquenza
