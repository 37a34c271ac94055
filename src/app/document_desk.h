#pragma once
// Where finished documents go and how they reach the user's word processor.

#include <filesystem>
#include <string>

namespace acquenza {

class DocumentDesk {
  public:
    virtual ~DocumentDesk() = default;
    // The user's documents folder; the program keeps its documents in an
    // "Acquenza" folder inside it.
    virtual std::filesystem::path DocumentsFolder() = 0;
    // Date and time for a file name, e.g. "2026-12-08_09-30-15".
    virtual std::string Timestamp() = 0;
    // Opens the file with the desktop's application for it; false when none
    // could be started.
    virtual bool Open(const std::filesystem::path& file) = 0;
};

}  // namespace acquenza
