#pragma once
// The windows need a graphical session. Where there is none (ssh, a build
// machine, a display that has gone away) the user gets one Italian line that
// says so and names the options that work without one, and exit status 1,
// rather than the toolkit's own English abort.

#include <QString>
#include <string>
#include <vector>

namespace acquenza {

// The line for a machine where no display is set at all, before the toolkit
// is started; empty when a display (or a toolkit platform) is named.
std::string NoDisplayMessage();

// While it lives, the toolkit's messages are held back; when the toolkit
// cannot open its platform (a display that is set but does not answer, a
// platform that cannot start) the program prints the one line and ends
// with status 1. Held messages are passed on when it goes.
class DisplayConnectionWatch {
  public:
    DisplayConnectionWatch();
    ~DisplayConnectionWatch();
    DisplayConnectionWatch(const DisplayConnectionWatch&) = delete;
    DisplayConnectionWatch& operator=(const DisplayConnectionWatch&) = delete;
};

// The line for a display that is set but cannot be used.
std::string UnreachableDisplayMessage();

}  // namespace acquenza
