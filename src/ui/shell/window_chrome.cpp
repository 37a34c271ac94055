#include "ui/shell/window_chrome.h"

#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

#include "ui/shell/form_resizer.h"
#include "ui/shell/twips.h"

namespace acquenza::ui {

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QString& tooltip,
                  int left, int top, int width, int height) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setToolTip(tooltip);
    PlaceInTwips(label, left, top, width, height);
    return label;
}

void SetBackground(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

QString WorkingCaption(const QString& caption, const std::string& fileName) {
    const QString name = fileName.empty() ? QStringLiteral("senza nome")
                                          : QFileInfo(QString::fromStdString(fileName)).fileName();
    return caption + QStringLiteral(" \u2014 ") + name + QStringLiteral("[*]");
}

std::unique_ptr<FormResizer> SizeWorkingWindow(QMainWindow* window, QWidget* form, int widthTwips,
                                               int heightTwips) {
    form->resize(static_cast<int>(TwipsToPixelsX(window, widthTwips)),
                 static_cast<int>(TwipsToPixelsY(window, heightTwips)));
    auto resizer = std::make_unique<FormResizer>();
    resizer->SetSourceForm(form);
    resizer->SizeFormToScreen(75);
    const int chrome = window->menuBar()->sizeHint().height() +
                       window->findChild<QToolBar*>()->sizeHint().height();
    window->resize(static_cast<int>(TwipsToPixelsX(window, widthTwips)),
                   static_cast<int>(TwipsToPixelsY(window, heightTwips)) + chrome);
    return resizer;
}

}  // namespace acquenza::ui
