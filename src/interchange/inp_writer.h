#pragma once

// Writes an InpNetwork as an EPANET 2.2 input file: UTF-8 without a
// byte-order mark, CR LF line ends, numbers with a decimal point whatever the
// process locale, only sections EPANET knows, in the order EPANET's own
// program writes them, closed by [END].

#include <string>

#include "interchange/inp_network.h"

namespace acquenza::interchange {

struct InpWriteResult {
    bool ok = false;
    std::string text;   // the file's bytes when ok
    std::string error;  // an Italian message naming the object, when not
};

// Refuses (with nothing written) a network whose identifiers EPANET could
// not read, duplicated identifiers, links or demands that name a node not in
// the network, patterns not defined, and values that are not finite numbers.
InpWriteResult WriteInp(const InpNetwork& network);

// EPANET keeps 79 bytes of a title line: longer lines are split at blanks.
inline constexpr std::size_t MaxTitleLineBytes = 79;

}  // namespace acquenza::interchange
