#include "ui/shell/form_resizer.h"

#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPoint>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QVariant>
#include <cmath>
#include <limits>

#include "ui/shell/line_control.h"
#include "ui/shell/twips.h"

namespace acquenza::ui {

namespace {

// Frames that group controls. Composite widgets (a combo box, a scroll bar)
// lay out their inner parts themselves and are scaled as one control.
bool HoldsControls(const QWidget* widget) {
    return qobject_cast<const QGroupBox*>(widget) != nullptr ||
           widget->metaObject() == &QFrame::staticMetaObject ||
           widget->metaObject() == &QWidget::staticMetaObject;
}

void CollectControls(QWidget* parent, int parentIndex,
                     std::vector<std::pair<QWidget*, int>>& controls) {
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        // A dialog parented to the form is a window of its own, not a control.
        if (widget == nullptr || widget->isWindow()) {
            continue;
        }
        const int index = static_cast<int>(controls.size());
        controls.emplace_back(widget, parentIndex);
        if (HoldsControls(widget)) {
            CollectControls(widget, index, controls);
        }
    }
}

}  // namespace

ScreenPlacement ComputeScreenPlacement(double screenWidth, double screenHeight, quint8 percent) {
    const float share = static_cast<float>(percent) / 100.0f;
    ScreenPlacement placement;
    placement.height = std::floor(static_cast<double>(share) * screenHeight);
    placement.width = std::floor(static_cast<double>(share) * screenWidth);
    placement.top = (screenHeight - placement.height) / 2.0;
    placement.left = (screenWidth - placement.width) / 2.0;
    return placement;
}

std::int32_t RoundTwips(double twips) {
    if (!std::isfinite(twips)) {
        return 0;
    }
    // nearbyint follows the rounding mode, which nothing in the program
    // changes from round-to-nearest-even.
    const double rounded = std::nearbyint(twips);
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    if (rounded >= static_cast<double>(kMax)) {
        return kMax;
    }
    if (rounded <= static_cast<double>(kMin)) {
        return kMin;
    }
    return static_cast<std::int32_t>(rounded);
}

FormResizer::FormResizer(QObject* parent) : QObject(parent) {}

FormResizer::~FormResizer() {
    controlTable_.clear();
    if (sourceForm_ != nullptr) {
        sourceForm_->removeEventFilter(this);
    }
    sourceForm_ = nullptr;
}

void FormResizer::SetSourceForm(QWidget* form) {
    if (form == sourceForm_) {
        return;
    }
    if (sourceForm_ != nullptr) {
        sourceForm_->removeEventFilter(this);
    }
    sourceForm_ = form;
    // The record of another form says nothing about this one.
    controlTable_.clear();
    baseWidth_ = 0;
    baseHeight_ = 0;
    needsRecording_ = true;
    if (form != nullptr) {
        form->installEventFilter(this);
    }
}

void FormResizer::ReInitialise() {
    RecordControls();
}

void FormResizer::SetScreenSizeForTesting(QSizeF twips) {
    if (twips.isEmpty()) {
        screenSizeOverride_.reset();
    } else {
        screenSizeOverride_ = twips;
    }
}

void FormResizer::SizeFormToScreen(quint8 percent) {
    if (sourceForm_ == nullptr) {
        return;
    }
    if (needsRecording_) {
        RecordControls();
    }
    QWidget* window = sourceForm_->window();
    const QSizeF screenSize = screenSizeOverride_.value_or(AvailableScreenSizeInTwips(window));
    const ScreenPlacement placement =
        ComputeScreenPlacement(screenSize.width(), screenSize.height(), percent);

    // Twips count from the corner of the screen's usable area, which is not
    // the desktop's origin beside a task bar or on a second monitor.
    QPoint origin;
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen != nullptr) {
        origin = screen->availableGeometry().topLeft();
    }
    // The placement is for the whole window, title bar and borders included,
    // while resize() sets the inner size.
    const QSize frameExtra = window->frameGeometry().size() - window->size();
    window->move(origin + QPoint(qRound(TwipsToPixelsX(window, placement.left)),
                                 qRound(TwipsToPixelsY(window, placement.top))));
    window->resize(qRound(TwipsToPixelsX(window, placement.width)) - frameExtra.width(),
                   qRound(TwipsToPixelsY(window, placement.height)) - frameExtra.height());
    // A hidden window gets no resize event until it is shown.
    ResizeControls();
}

void FormResizer::ResizeControls() {
    QWidget* form = sourceForm_;
    if (form == nullptr || Controls().empty()) {
        return;
    }
    if (form->window()->isMinimized()) {
        return;
    }
    if (needsRecording_) {
        RecordControls();
        return;
    }
    if (baseWidth_ == 0 || baseHeight_ == 0) {
        return;
    }

    const bool updatesWereEnabled = form->updatesEnabled();
    form->setUpdatesEnabled(false);
    // A frame comes before the controls inside it, so each control is scaled
    // by the size its frame has just been given.
    for (const ControlEntry& entry : controlTable_) {
        QWidget* control = entry.control;
        const std::optional<QSizeF> ratio = ParentRatio(entry.parent);
        if (control == nullptr || !ratio) {
            continue;
        }
        const double widthRatio = ratio->width();
        const double heightRatio = ratio->height();
        QString tag = control->property("Tag").toString().toUpper();
        if (!tag.startsWith(u'@')) {
            tag = QStringLiteral("@L,T,W,H");
        }
        const bool scaleLeft = tag.contains(u'L');
        const bool scaleTop = tag.contains(u'T');
        const bool scaleWidth = tag.contains(u'W');
        const bool scaleHeight = tag.contains(u'H');
        if (!scaleLeft && !scaleTop && !scaleWidth && !scaleHeight) {
            continue;
        }

        if (auto* line = qobject_cast<LineControl*>(control)) {
            line->SetEndPoints(scaleLeft ? entry.left * widthRatio : line->X1(),
                               scaleTop ? entry.top * heightRatio : line->Y1(),
                               scaleWidth ? entry.width * widthRatio : line->X2(),
                               scaleHeight ? entry.height * heightRatio : line->Y2());
            continue;
        }
        const QRect current = control->geometry();
        const int left =
            scaleLeft ? qRound(TwipsToPixelsX(control, entry.left * widthRatio)) : current.x();
        const int top =
            scaleTop ? qRound(TwipsToPixelsY(control, entry.top * heightRatio)) : current.y();
        const int width = scaleWidth ? qRound(TwipsToPixelsX(control, entry.width * widthRatio))
                                     : current.width();
        const int height = scaleHeight ? qRound(TwipsToPixelsY(control, entry.height * heightRatio))
                                       : current.height();
        control->setGeometry(left, top, width, height);
    }
    if (updatesWereEnabled) {
        form->setUpdatesEnabled(true);
    }
}

std::optional<QSizeF> FormResizer::ParentRatio(int parent) const {
    if (parent < 0) {
        QWidget* form = sourceForm_;
        if (form == nullptr || baseWidth_ == 0 || baseHeight_ == 0) {
            return std::nullopt;
        }
        return QSizeF(PixelsToTwipsX(form, form->width()) / baseWidth_,
                      PixelsToTwipsY(form, form->height()) / baseHeight_);
    }
    const ControlEntry& frame = controlTable_[static_cast<std::size_t>(parent)];
    const QWidget* widget = frame.control;
    if (widget == nullptr || frame.width == 0 || frame.height == 0) {
        return std::nullopt;
    }
    return QSizeF(PixelsToTwipsX(widget, widget->width()) / frame.width,
                  PixelsToTwipsY(widget, widget->height()) / frame.height);
}

bool FormResizer::eventFilter(QObject* watched, QEvent* event) {
    // Restoring a minimised window changes no size, so the layout skipped
    // while minimised is caught up on the restore's spontaneous show.
    const bool restored = event->type() == QEvent::Show && event->spontaneous();
    if (watched == sourceForm_ && (event->type() == QEvent::Resize || restored)) {
        ResizeControls();
    }
    return QObject::eventFilter(watched, event);
}

void FormResizer::RecordControls() {
    QWidget* form = sourceForm_;
    if (form == nullptr) {
        return;
    }
    baseWidth_ = RoundTwips(PixelsToTwipsX(form, form->width()));
    baseHeight_ = RoundTwips(PixelsToTwipsY(form, form->height()));
    controlTable_.clear();
    for (const auto& [control, parent] : Controls()) {
        ControlEntry entry;
        entry.control = control;
        entry.parent = parent;
        if (const auto* line = qobject_cast<const LineControl*>(control)) {
            entry.left = RoundTwips(line->X1());
            entry.top = RoundTwips(line->Y1());
            entry.width = RoundTwips(line->X2());
            entry.height = RoundTwips(line->Y2());
        } else {
            const QRect geometry = control->geometry();
            entry.left = RoundTwips(PixelsToTwipsX(control, geometry.x()));
            entry.top = RoundTwips(PixelsToTwipsY(control, geometry.y()));
            entry.width = RoundTwips(PixelsToTwipsX(control, geometry.width()));
            entry.height = RoundTwips(PixelsToTwipsY(control, geometry.height()));
        }
        controlTable_.push_back(entry);
    }
    needsRecording_ = false;
}

std::vector<std::pair<QWidget*, int>> FormResizer::Controls() const {
    std::vector<std::pair<QWidget*, int>> controls;
    if (sourceForm_ != nullptr) {
        CollectControls(sourceForm_, -1, controls);
    }
    return controls;
}

}  // namespace acquenza::ui
