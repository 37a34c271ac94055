#pragma once
// The one GUI application the documents need for their fonts, on the
// offscreen platform.

#include <QGuiApplication>
#include <cstdlib>

namespace acquenza::fuzz {

inline void StartQt(char* programName) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char* argv[] = {programName, nullptr};
    static const QGuiApplication* const app = new QGuiApplication(argc, argv);
    (void)app;
}

}  // namespace acquenza::fuzz

// Fontconfig keeps what it learns about the installed fonts for the life of
// the process, out of reach of any pointer the leak checker can see.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
