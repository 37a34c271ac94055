#pragma once
// The guide's contents "sommario": the topics, each opening its page, the
// complete guide in print, close (which only hides) and exit.

#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "app/windows.h"

class QLabel;

namespace acquenza::ui {

class FormResizer;

class HelpContentsWindow : public QWidget {
    Q_OBJECT
  public:
    struct Actions {
        std::function<void(WindowId)> open;
        std::function<void()> printGuide;
        std::function<void()> exit;
    };
    explicit HelpContentsWindow(Actions actions);
    ~HelpContentsWindow() override;

    // The topic label shown in bold, 0 for none (the pointer's hover).
    int BoldTopic() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void Open(int topic);
    void SetBold(int topic);
    void FitTopicFont();

    Actions actions_;
    std::map<int, QLabel*> topics_;
    std::unique_ptr<FormResizer> resizer_;
};

// The window a topic opens; topics outside the list open the quick manual.
WindowId TopicWindow(int topic);

}  // namespace acquenza::ui
