#pragma once
// Text the data file cannot hold is refused where it is typed.

#include <string_view>

#include "app/dialogs.h"

namespace acquenza {

// True when the text can be stored; otherwise shows the refusal (stop icon,
// titled with checkTitle) and returns false, and the caller undoes the edit.
bool AcceptTypedText(std::string_view text, Dialogs& dialogs, const std::string& checkTitle);

}  // namespace acquenza
