#include "app/output_file.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace acquenza {

namespace fs = std::filesystem;

bool SameFile(const fs::path& a, const fs::path& b) {
    if (a.empty() || b.empty()) {
        return false;
    }
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error)) {
        const bool same = fs::equivalent(a, b, error);
        return !error && same;
    }
    // A name that does not exist yet holds no data, but two spellings of one
    // path ("./x", "dir/../x") still name the same place.
    const fs::path resolvedA = fs::weakly_canonical(fs::absolute(a, error), error);
    if (error) {
        return false;
    }
    const fs::path resolvedB = fs::weakly_canonical(fs::absolute(b, error), error);
    return !error && resolvedA == resolvedB;
}

fs::path WithExtension(const fs::path& name, std::string_view extension) {
    const std::string text = name.string();
    const auto lower = [](unsigned char c) { return std::tolower(c); };
    const bool has =
        text.size() > extension.size() &&
        std::equal(extension.rbegin(), extension.rend(), text.rbegin(), [&](char x, char y) {
            return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
        });
    return has ? name : fs::path(text + std::string(extension));
}

std::optional<std::string> ProjectAsOutput(const fs::path& output, std::string_view extension,
                                           const fs::path& project) {
    for (const fs::path& name : {output, WithExtension(output, extension)}) {
        if (SameFile(name, project)) {
            return "Il file \"" + name.string() + "\" è il file di dati del progetto (\"" +
                   project.string() + "\"): scrivendoci il documento, il progetto andrebbe perso.";
        }
    }
    return std::nullopt;
}

}  // namespace acquenza
