#pragma once
// The settings file: /etc/xdg/Acquenza/acquenza.conf for the whole machine,
// ~/.config/Acquenza/acquenza.conf for one user (user over system; the XDG
// base directory variables move both), INI format. Sections [ufficio], [assistenza], [prodotti] and
// [verifica].

#include "app/settings.h"

namespace acquenza::ui {

// The settings in force: each key found in a file replaces the default.
Settings ReadSettings(Settings defaults);

}  // namespace acquenza::ui
