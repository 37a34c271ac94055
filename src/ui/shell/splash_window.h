#pragma once
// The first window: name, subtitle and version over a drawn picture, with the
// tune playing. A click starts the work, a key closes it.

#include <QWidget>
#include <array>

namespace acquenza {
class ProgramShell;
}

class QLabel;

namespace acquenza::ui {

class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    explicit SplashWindow(ProgramShell& shell);
    // Takes the labels' texts from the shell again (after an exit).
    void RefreshLabels();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    ProgramShell& shell_;
    std::array<QLabel*, 12> labels_{};
};

}  // namespace acquenza::ui
