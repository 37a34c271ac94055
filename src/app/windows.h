#pragma once
// The program's windows, and the shell that shows and closes them.

#include <array>
#include <string>

namespace acquenza {

class DataWindowModel;
class TitlePageModel;

enum class WindowId {
    dati,
    frontespizio,
    sommario,
    manuale,
    guidafunzionamento,
    guidaarchivio,
    guidadati,
    guidaantincendio,
    guidafrontespizio,
    guidastampa,
    frmTip,
    prodotti,
    supportoclienti,
    informa,
    riepilogo,  // the network summary
};

// The order in which the exit closes the windows that are open.
inline constexpr std::array<WindowId, 15> ExitClosingOrder = {
    WindowId::dati,
    WindowId::frontespizio,
    WindowId::sommario,
    WindowId::manuale,
    WindowId::guidafunzionamento,
    WindowId::guidaarchivio,
    WindowId::guidadati,
    WindowId::guidaantincendio,
    WindowId::guidafrontespizio,
    WindowId::guidastampa,
    WindowId::frmTip,
    WindowId::prodotti,
    WindowId::supportoclienti,
    WindowId::informa,
    WindowId::riepilogo,
};

class WindowSystem {
  public:
    virtual ~WindowSystem() = default;
    // Creates and loads the window if it does not exist, shows it non-modal
    // and brings it to the front.
    virtual void Show(WindowId window) = 0;
    // Whether this build has the window at all (later ones arrive in turn).
    virtual bool IsAvailable(WindowId window) const = 0;
    virtual bool IsOpen(WindowId window) const = 0;
    virtual void Close(WindowId window) = 0;
    // The two working windows' behaviour, created and loaded without being
    // shown when they do not exist yet.
    virtual DataWindowModel& LoadDataWindow() = 0;
    virtual TitlePageModel& LoadTitlePage() = 0;
    // Today's date as the title page writes it ("lunedì, 5 dic 2011"): the
    // date a new project starts with.
    virtual std::string Today() const = 0;
    // The splash: shown again after an exit, closed by a key.
    virtual void ShowSplash() = 0;
    virtual void CloseSplash() = 0;
};

}  // namespace acquenza
