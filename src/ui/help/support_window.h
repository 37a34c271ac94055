#pragma once
// The "Servizi di supporto ai clienti" window "supportoclienti": how to reach
// the maker and what to expect from the support line. OK only hides it.

#include <QWidget>

namespace acquenza::ui {

class SupportWindow : public QWidget {
    Q_OBJECT
  public:
    explicit SupportWindow(QWidget* parent = nullptr);
};

}  // namespace acquenza::ui
