#pragma once
// The "Informazioni su" window "informa": name, version, maker and the legal
// notice. OK only hides it.

#include <QWidget>

#include "app/program_values.h"

namespace acquenza::ui {

class AboutWindow : public QWidget {
    Q_OBJECT
  public:
    explicit AboutWindow(const ProgramValues& values, QWidget* parent = nullptr);
};

}  // namespace acquenza::ui
