#pragma once
// The network's data in the project file: a marked, versioned block after the
// title line, where readers of the plain data file stop looking. It holds
// named project values and a table with one row per linked section:
//
//   "Acquenza: dati della rete",1
//   "carico alla sorgente","355"
//   "pressione minima","20"
//   "tronchi della rete","tronco","tronco a monte","erogazione al nodo"
//   "1","0","0,5"
//   "2","1",""
//   "fine dei dati della rete"
//
// The names are the program's own Italian words, so a hand-edited block stays
// readable. This layer only carries texts: what a value means, and how a
// number is written, is the caller's.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace acquenza {

inline constexpr std::string_view NetworkBlockMarker = "Acquenza: dati della rete";
inline constexpr std::string_view NetworkTableMarker = "tronchi della rete";
inline constexpr std::string_view NetworkBlockEnd = "fine dei dati della rete";
inline constexpr int NetworkBlockVersion = 1;

struct NetworkBlock {
    // Project values, in the order they are written.
    std::vector<std::pair<std::string, std::string>> values;
    // Names of the table's columns after the section number.
    std::vector<std::string> columns;
    struct Row {
        int section = 0;
        std::vector<std::string> texts;  // one per column; missing ones are empty
        bool operator==(const Row&) const = default;
    };
    std::vector<Row> rows;

    // The text of a project value; empty when the block does not hold it.
    const std::string& Value(std::string_view name) const;
    // Index of a column, or -1.
    int Column(std::string_view name) const;
    bool operator==(const NetworkBlock&) const = default;
};

// The block's lines, UTF-8, each ending in CR LF; texts are quoted as the data
// file quotes them. The caller has made sure no text holds a double quote or
// a line break (the data file refuses them everywhere).
std::string EncodeNetworkBlock(const NetworkBlock& block);

struct NetworkBlockRead {
    bool found = false;  // the text holds a block at all
    bool ok = true;      // found and read whole
    NetworkBlock block;
    int line = 0;         // where reading stopped, when not ok (1-based in the file)
    std::string message;  // Italian, when not ok: why
};

// Reads the block from the text that follows the title line; `firstLine` is
// the file's line number of that text's first line. Blank lines and blanks
// around values are allowed; anything else out of place stops the reading
// with a message naming the line.
NetworkBlockRead DecodeNetworkBlock(std::string_view text, int firstLine);

}  // namespace acquenza
