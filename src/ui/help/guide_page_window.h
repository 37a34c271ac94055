#pragma once
// One page of the guide: its title, its paragraph, and close, print and
// back-to-contents buttons.

#include <QWidget>
#include <functional>
#include <memory>

#include "app/guide_pages.h"

namespace acquenza::ui {

class FormResizer;

class GuidePageWindow : public QWidget {
    Q_OBJECT
  public:
    struct Actions {
        std::function<void(WindowId)> print;
        std::function<void()> contents;
    };
    GuidePageWindow(const GuidePage& page, Actions actions);
    ~GuidePageWindow() override;

  private:
    Actions actions_;
    std::unique_ptr<FormResizer> resizer_;
};

}  // namespace acquenza::ui
