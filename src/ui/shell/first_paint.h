#pragma once
// The moment a window first reaches the screen. The program puts off what its
// first window does not need until then, and the start-up benchmark stops
// its clock there, for this program and for a bare Qt window alike (so this
// header needs nothing but Qt Widgets).

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <functional>
#include <utility>
#include <vector>

namespace acquenza::ui {

namespace detail {

class FirstPaintWatch final : public QObject {
  public:
    explicit FirstPaintWatch(QWidget* window) : QObject(window) {
        setObjectName(QStringLiteral("acquenza_first_paint"));
        window->installEventFilter(this);
    }

    void Add(std::function<void()> action) { actions_.push_back(std::move(action)); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            // Queued: the painted frame is handed to the window system when
            // the paint event is over, before the action runs.
            QTimer::singleShot(0, this, [this] {
                const std::vector<std::function<void()>> actions = std::move(actions_);
                setObjectName(QString());
                deleteLater();
                for (const auto& action : actions) {
                    action();
                }
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::vector<std::function<void()>> actions_;
    bool done_ = false;
};

}  // namespace detail

// Runs `action` once, just after `window` is painted for the first time;
// never when the window goes before it is painted. Actions given for the same
// window run in the order they were given.
inline void AfterFirstPaint(QWidget* window, std::function<void()> action) {
    // One watch per window keeps the order (the last event filter installed
    // would otherwise be the first to see the paint).
    auto* watch = dynamic_cast<detail::FirstPaintWatch*>(window->findChild<QObject*>(
        QStringLiteral("acquenza_first_paint"), Qt::FindDirectChildrenOnly));
    if (watch == nullptr) {
        watch = new detail::FirstPaintWatch(window);
    }
    watch->Add(std::move(action));
}

// The start-up benchmark's clock: when the environment holds
// ACQUENZA_FIRST_PAINT_CLOCK, the window's first paint writes "first-paint"
// and the monotonic clock in nanoseconds on standard output, and the program
// ends there.
inline void StampFirstPaintWhenAsked(QWidget* window) {
    if (!qEnvironmentVariableIsSet("ACQUENZA_FIRST_PAINT_CLOCK")) {
        return;
    }
    AfterFirstPaint(window, [] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("first-paint %lld\n",
                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
}

}  // namespace acquenza::ui
