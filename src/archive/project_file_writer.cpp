#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "archive/atomic_file.h"
#include "archive/cp1252.h"
#include "archive/network_block.h"
#include "archive/project_file.h"
#include "core/numbers.h"
#include "core/project_network.h"

namespace acquenza {

namespace {

// "U+200F": a character named so that it can be found even when it shows as
// nothing at all.
std::string CodePoint(char32_t cp) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(cp));
    return text;
}

std::string Utf8Of(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

std::string TooLong(std::string_view text) {
    const std::size_t length = CharLength(text);
    if (length <= MaxValueCharacters) {
        return {};
    }
    return "è lungo " + std::to_string(length) + " caratteri, più dei " +
           std::to_string(MaxValueCharacters) + " ammessi";
}

// Why a text cannot go into the file, or empty when it can.
std::string RefusalReason(std::string_view text) {
    if (std::string tooLong = TooLong(text); !tooLong.empty()) {
        return tooLong;
    }
    if (text.find('"') != std::string_view::npos) {
        return "contiene le virgolette (\"), che il file dati non può contenere";
    }
    if (text.find_first_of("\r\n") != std::string_view::npos) {
        return "contiene un a capo, che il file dati non può contenere";
    }
    if (const std::optional<char32_t> foreign = FirstNonCp1252(text)) {
        return "contiene il carattere «" + Utf8Of(*foreign) + "» (" + CodePoint(*foreign) +
               "), che il file dati non può contenere";
    }
    return {};
}

// "inf", "-Infinity", "NaN": words some programs write for what is no number.
bool NamesNoNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    std::string lower;
    for (const char c : text) {
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return lower == "inf" || lower == "infinity" || lower == "nan" || lower.starts_with("nan(");
}

// At most 30 characters of a value, for a message.
std::string Shown(const std::string& text) {
    if (CharLength(text) <= 30) {
        return text;
    }
    std::size_t cut = 27;
    while (cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        ++cut;
    }
    return text.substr(0, cut) + "...";
}

}  // namespace

std::string ValueLimitReason(FieldKind kind, const FieldValue& value) {
    if (value.IsText()) {
        if (std::string tooLong = TooLong(value.TextValue()); !tooLong.empty()) {
            return tooLong;
        }
    }
    if (kind == FieldKind::Choice || value.IsEmpty()) {
        return {};
    }
    const std::string shown = "«" + Shown(value.DisplayText()) + "»";
    const double x = NumericValue(value, kind);
    if (!std::isfinite(x) || (value.IsText() && NamesNoNumber(value.TextValue()))) {
        return "è " +
               (value.IsNumber() ? std::string("«") + (std::isnan(x) ? "nan" : "inf") + "»"
                                 : shown) +
               ", che non è un numero finito";
    }
    if (std::abs(x) > MaxValueMagnitude) {
        return "è " + shown + ", fuori dai limiti ammessi (un miliardo in valore assoluto)";
    }
    return {};
}

std::string TitleLimitReason(std::string_view text) {
    return TooLong(text);
}

namespace {

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

namespace {

// Why section `s`'s value of a field cannot go into the file, or success.
ArchiveResult RefusedValue(int s, const FieldSpec& spec, const FieldValue& value) {
    std::string why = ValueLimitReason(spec.kind, value);
    if (why.empty() && value.IsText()) {
        why = RefusalReason(value.TextValue());
    }
    if (!why.empty()) {
        return ArchiveResult::Failure("Tronco n." + SignedText(s) + ": la casella «" +
                                      std::string(spec.label) + "» " + why + ".");
    }
    return ArchiveResult::Success();
}

// The network's values after the title line, only for a project that has
// any: a project of single sections is written exactly as ever.
ArchiveResult AppendNetworkBlock(const Project& project, std::string& out) {
    const int count = NetworkSectionCount(project);
    const FieldTable& fields = project.Fields();
    std::vector<Field> columns;
    for (const Field f : fields.All()) {
        if (fields.Spec(f).storage == Storage::NetworkBlock) {
            columns.push_back(f);
        }
    }
    NetworkBlock block;
    for (int s = 1; s <= count; ++s) {
        NetworkBlock::Row row{s, {}};
        bool any = false;
        for (const Field f : columns) {
            const FieldSpec& spec = fields.Spec(f);
            const FieldValue& value = project.sections.Get(s, f);
            std::string text;
            if (spec.kind == FieldKind::Link) {
                text = UpstreamText(project.sections, s);
            } else {
                if (ArchiveResult refused = RefusedValue(s, spec, value); !refused.ok) {
                    return refused;
                }
                text = value.DisplayText();
            }
            any = any || !text.empty();
            row.texts.push_back(std::move(text));
        }
        if (any) {
            block.rows.push_back(std::move(row));
        }
    }
    if (block.rows.empty() && project.network.Empty()) {
        return ArchiveResult::Success();
    }
    for (const NetworkSettingSpec& spec : NetworkSettingSpecs) {
        const std::string& text = project.network.*spec.text;
        if (const std::string why = RefusalReason(text); !why.empty()) {
            return ArchiveResult::Failure("Rete: il valore «" + std::string(spec.name) + "» " +
                                          why + ".");
        }
        block.values.emplace_back(std::string(spec.name), text);
    }
    for (const Field f : columns) {
        block.columns.emplace_back(fields.Spec(f).label);
    }
    out += *Utf8ToCp1252(EncodeNetworkBlock(block));
    return ArchiveResult::Success();
}

}  // namespace

ArchiveResult EncodeProjectFile(const Project& project, std::string& bytes) {
    const int count = std::clamp(project.enteredSectionCount, 0, MaxSections);
    std::string out = std::to_string(count) + "\r\n";
    const FieldTable& fields = project.Fields();
    const std::vector<Field>& line = fields.OnSectionLine();
    for (int s = 1; s <= count; ++s) {
        const SectionRecord& record = project.sections.Record(s);
        for (std::size_t i = 0; i < line.size(); ++i) {
            const FieldSpec& spec = fields.Spec(line[i]);
            const FieldValue& value = record[line[i]];
            if (ArchiveResult refused = RefusedValue(s, spec, value); !refused.ok) {
                return refused;
            }
            if (i > 0) {
                out += ',';
            }
            AppendValue(out, value);
        }
        out += "\r\n";
    }
    for (const TitleFieldSpec& title : TitleFields) {
        const std::string& text = project.titles.*title.text;
        const std::string why = RefusalReason(text);
        if (!why.empty()) {
            return ArchiveResult::Failure("Frontespizio: il campo «" + std::string(title.label) +
                                          "» " + why + ".");
        }
        if (title.field != TitleField::progetto) {
            out += ',';
        }
        AppendValue(out, FieldValue::Text(text));
    }
    out += "\r\n";
    if (ArchiveResult network = AppendNetworkBlock(project, out); !network.ok) {
        return network;
    }
    bytes = std::move(out);
    return ArchiveResult::Success();
}

ArchiveResult WriteProjectFile(const std::filesystem::path& path, const Project& project,
                               const WriteOptions& options, FileFingerprint* written) {
    std::string bytes;
    ArchiveResult encoded = EncodeProjectFile(project, bytes);
    if (!encoded.ok) {
        return encoded;
    }
    ArchiveResult result = WriteFileAtomically(path, bytes, options);
    if (result.ok && written != nullptr) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        *written = FingerprintOf(bytes, st);
    }
    return result;
}

}  // namespace acquenza
