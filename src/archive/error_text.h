#pragma once
// Italian words for the system errors a user can meet with files.

#include <string>

namespace acquenza {

// The Italian wording of an errno value, without a final full stop, so that
// it can end a sentence of the caller's: "…: permesso negato."
std::string ItalianErrorText(int error);

}  // namespace acquenza
