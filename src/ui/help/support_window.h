#pragma once
// The "Servizi di supporto ai clienti" window "supportoclienti": how to reach
// whoever gives assistance, as the settings file says, and what to expect
// from the support line. OK only hides it.

#include <QWidget>

#include "app/settings.h"

namespace acquenza::ui {

class SupportWindow : public QWidget {
    Q_OBJECT
  public:
    explicit SupportWindow(const SupportContacts& contacts, QWidget* parent = nullptr);
};

}  // namespace acquenza::ui
