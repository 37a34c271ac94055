#include "ui/shell/window_chrome.h"

#include <QFileInfo>
#include <QLabel>

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

}  // namespace acquenza::ui
