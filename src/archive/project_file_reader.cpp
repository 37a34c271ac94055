#include <algorithm>
#include <cmath>

#include "archive/atomic_file.h"
#include "archive/cp1252.h"
#include "archive/project_file.h"
#include "archive/value_reader.h"
#include "core/numbers.h"

namespace acquenza {

namespace {

FieldValue SectionValue(const RawValue& raw) {
    switch (raw.kind) {
        case RawValue::Kind::Nothing:
            return FieldValue();
        case RawValue::Kind::Quoted:
            return FieldValue::Text(Cp1252ToUtf8(raw.bytes));
        case RawValue::Kind::Bare:
            break;
    }
    if (const std::optional<double> number = ParseBareNumber(raw.bytes)) {
        return FieldValue::Number(*number);
    }
    return FieldValue::Text(Cp1252ToUtf8(raw.bytes));
}

ReadOutcome Stopped(int line, std::string why) {
    ReadOutcome outcome;
    outcome.complete = false;
    outcome.line = line;
    outcome.message = "lettura interrotta alla riga" + SignedText(line) + ": " + std::move(why);
    return outcome;
}

// The section count, when the first value is a whole number or empty.
std::optional<long long> SectionCount(const RawValue& raw) {
    if (raw.kind == RawValue::Kind::Nothing) {
        return 0;
    }
    const std::optional<double> number = ParseBareNumber(raw.bytes);
    if (!number || *number != std::floor(*number) || std::abs(*number) > 1e15) {
        return std::nullopt;
    }
    return static_cast<long long>(*number);
}

}  // namespace

ReadOutcome ReadProjectData(std::string_view bytes, Project& project, TitleTexts& titles) {
    ValueReader reader(bytes);
    const std::optional<RawValue> first = reader.Next();
    if (!first) {
        return Stopped(reader.Line(), "il file è vuoto.");
    }
    const std::optional<long long> count = SectionCount(*first);
    if (!count) {
        return Stopped(first->line, "il numero dei tronchi non è un numero intero.");
    }
    project.enteredSectionCount = static_cast<int>(std::clamp<long long>(*count, 0, MaxSections));

    const long long sections = std::max<long long>(*count, 0);
    for (long long s = 1; s <= sections; ++s) {
        if (s > MaxSections) {
            return Stopped(reader.Line(), "il file dichiara " + std::to_string(*count) +
                                              " tronchi, più dei " + std::to_string(MaxSections) +
                                              " ammessi; letti i primi " +
                                              std::to_string(MaxSections) + ".");
        }
        for (const Field f : InputFields) {
            const std::optional<RawValue> value = reader.Next();
            if (!value) {
                return Stopped(reader.Line(), "il file finisce prima del dato «" +
                                                  std::string(FieldName(f)) + "» del tronco n." +
                                                  SignedText(static_cast<double>(s)) + ".");
            }
            project.sections.Set(static_cast<int>(s), f, SectionValue(*value));
        }
    }
    for (int t = 0; t < TitleTextCount; ++t) {
        const std::optional<RawValue> value = reader.Next();
        if (!value) {
            return Stopped(reader.Line(), "il file finisce prima del dato «" +
                                              std::string(TitleFieldName(t)) +
                                              "» del frontespizio.");
        }
        titles[static_cast<std::size_t>(t)] = Cp1252ToUtf8(value->bytes);
    }
    return {};
}

ReadOutcome ReadProjectFile(const std::filesystem::path& path, Project& project,
                            TitleTexts& titles) {
    std::string bytes;
    const ArchiveResult read = ReadWholeFile(path, MaxProjectFileBytes, bytes);
    if (!read.ok) {
        ReadOutcome outcome;
        outcome.complete = false;
        outcome.message = read.message;
        return outcome;
    }
    return ReadProjectData(bytes, project, titles);
}

}  // namespace acquenza
