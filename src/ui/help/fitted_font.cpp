#include "ui/help/fitted_font.h"

#include <QFontMetrics>
#include <QRect>
#include <algorithm>

namespace acquenza::ui {

QFont FittedFont(QFont font, const QStringList& texts, int room, double smallest) {
    for (; font.pointSizeF() > smallest; font.setPointSizeF(font.pointSizeF() - 0.5)) {
        const QFontMetrics metrics(font);
        // Measured as a label measures its own text.
        const bool fits = std::all_of(texts.begin(), texts.end(), [&](const QString& text) {
            return metrics.boundingRect(QRect(0, 0, 4 * room, 1000), Qt::TextSingleLine, text)
                       .width() <= room;
        });
        if (fits) {
            break;
        }
    }
    return font;
}

}  // namespace acquenza::ui
