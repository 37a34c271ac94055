#pragma once
// The "Suggerimento del giorno" window "frmTip": one tip at a time, paged
// with Precedente and Successivo. Chiudi only hides it, so opening it again
// shows the same tip without reading the file again.

#include <QWidget>
#include <filesystem>

#include "app/tips.h"

class QLabel;

namespace acquenza::ui {

class TipWindow : public QWidget {
    Q_OBJECT
  public:
    // Loads the tips file from the program's folder at once.
    explicit TipWindow(const std::filesystem::path& programFolder, QWidget* parent = nullptr);

    TipsModel& Model() { return model_; }
    // Shows the model's tip again (after a change made through Model()).
    void Sync();

  private:
    TipsModel model_;
    QLabel* tipText_ = nullptr;
};

}  // namespace acquenza::ui
