#pragma once
// A section's identity: it stays with the section's record while deletes move
// the record up the table, undo and redo move it back and forth, and it is
// never given to another record within a run. The file and the user see
// section numbers 1..N; references from one section to another are held by
// id and shown as the number the section has now.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace acquenza {

struct SectionId {
    std::uint64_t value = 0;
    auto operator<=>(const SectionId&) const = default;
};

// The id of slot 0, the always-empty place before section 1: as a reference,
// "no section" (the start of the network, where the source is).
inline constexpr SectionId NoSection{0};

// A new id, never handed out before in this run (a file's sections get new
// ones when it is read).
SectionId NewSectionId();

}  // namespace acquenza

template <>
struct std::hash<acquenza::SectionId> {
    std::size_t operator()(acquenza::SectionId id) const noexcept {
        return std::hash<std::uint64_t>{}(id.value);
    }
};
