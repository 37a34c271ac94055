#include <algorithm>

#include "archive/atomic_file.h"
#include "archive/cp1252.h"
#include "archive/project_file.h"
#include "core/numbers.h"

namespace acquenza {

std::string_view TitleFieldName(int index) {
    static constexpr std::array<std::string_view, TitleTextCount> names = {
        "progetto", "località", "tipostudio", "committente", "luogo", "data", "allegati",
    };
    return index >= 0 && index < TitleTextCount ? names[static_cast<std::size_t>(index)]
                                                : std::string_view{};
}

std::string_view TitleFieldLabel(int index) {
    static constexpr std::array<std::string_view, TitleTextCount> labels = {
        "progetto",           "località",          "tipologia di studio",     "committente",
        "luogo elaborazione", "data elaborazione", "allegati alla relazione",
    };
    return index >= 0 && index < TitleTextCount ? labels[static_cast<std::size_t>(index)]
                                                : std::string_view{};
}

namespace {

// Why a text cannot go into the file, or empty when it can.
std::string RefusalReason(std::string_view text) {
    if (text.find('"') != std::string_view::npos) {
        return "contiene le virgolette (\"), che il file dati non può contenere";
    }
    if (text.find_first_of("\r\n") != std::string_view::npos) {
        return "contiene un a capo, che il file dati non può contenere";
    }
    if (!IsCp1252Representable(text)) {
        return "contiene un carattere che il file dati non può contenere";
    }
    return {};
}

std::string NumberForFile(double x) {
    std::string text = NumberText(x);
    for (char& c : text) {
        if (c == ',') {
            c = '.';
        }
    }
    return text.empty() ? "0" : text;
}

void AppendValue(std::string& out, const FieldValue& value) {
    if (value.IsNumber()) {
        out += NumberForFile(value.NumberValue());
    } else if (value.IsText()) {
        out += '"';
        out += *Utf8ToCp1252(value.TextValue());
        out += '"';
    }
}

}  // namespace

ArchiveResult EncodeProjectFile(const Project& project, const TitleTexts& titles,
                                std::string& bytes) {
    const int count = std::clamp(project.enteredSectionCount, 0, MaxSections);
    std::string out = std::to_string(count) + "\r\n";
    for (int s = 1; s <= count; ++s) {
        const SectionRecord& record = project.sections.Record(s);
        for (std::size_t i = 0; i < InputFields.size(); ++i) {
            const FieldValue& value = record[InputFields[i]];
            const std::string why = value.IsText() ? RefusalReason(value.TextValue()) : "";
            if (!why.empty()) {
                return ArchiveResult::Failure("Tronco n." + SignedText(s) + ": la casella «" +
                                              std::string(BoxLabel(InputFields[i])) + "» " + why +
                                              ".");
            }
            if (i > 0) {
                out += ',';
            }
            AppendValue(out, value);
        }
        out += "\r\n";
    }
    for (int t = 0; t < TitleTextCount; ++t) {
        const std::string why = RefusalReason(titles[static_cast<std::size_t>(t)]);
        if (!why.empty()) {
            return ArchiveResult::Failure("Frontespizio: il campo «" +
                                          std::string(TitleFieldLabel(t)) + "» " + why + ".");
        }
        if (t > 0) {
            out += ',';
        }
        AppendValue(out, FieldValue::Text(titles[static_cast<std::size_t>(t)]));
    }
    out += "\r\n";
    bytes = std::move(out);
    return ArchiveResult::Success();
}

ArchiveResult WriteProjectFile(const std::filesystem::path& path, const Project& project,
                               const TitleTexts& titles) {
    std::string bytes;
    ArchiveResult encoded = EncodeProjectFile(project, titles, bytes);
    if (!encoded.ok) {
        return encoded;
    }
    return WriteFileAtomically(path, bytes);
}

}  // namespace acquenza
