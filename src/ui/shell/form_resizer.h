#pragma once
// Keeps a window's controls in proportion when the window changes size.
//
// Each resizable window owns one FormResizer. It records, once, where every
// control sits and how big the window's inner area was (the design layout),
// and on every resize stretches the controls from that record, horizontally
// and vertically on their own. Working from the record rather than from the
// current positions keeps rounding from piling up over many resizes. Fonts are
// left alone. All geometry is in twips.
//
// Controls inside a frame (a group box, or a plain frame or widget holding
// others) are recorded too, each in its own parent's coordinates, and follow
// the size their parent has just been given, so a frame's option buttons grow
// and shrink with the frame.
//
// A control's dynamic property "Tag" can restrict what is scaled: a tag that
// starts with "@" lists, in either case, the letters L (left), T (top), W (width)
// and H (height) to scale; any other tag, or none, scales all four. "@" alone
// pins a control.

#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class QEvent;

namespace acquenza::ui {

// Where a window goes on the screen, in twips from the screen's usable area.
struct ScreenPlacement {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// A window `percent` per cent of the screen's size, centred on it. The share
// is formed in single precision and the sizes cut down to whole twips.
ScreenPlacement ComputeScreenPlacement(double screenWidth, double screenHeight, quint8 percent);

// Twips as recorded: nearest integer, ties to even. A value that is not a
// finite number records as 0; values beyond 32 bits are held at the limits.
std::int32_t RoundTwips(double twips);

class FormResizer : public QObject {
    Q_OBJECT

  public:
    // One recorded control. For a LineControl the four numbers are X1, Y1,
    // X2, Y2 instead of left, top, width, height. A control inside a frame
    // names the frame's entry; the form's own controls have none (-1).
    struct ControlEntry {
        QPointer<QWidget> control;
        int parent = -1;
        std::int32_t left = 0;
        std::int32_t top = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
    };

    explicit FormResizer(QObject* parent = nullptr);
    ~FormResizer() override;

    // The widget whose child widgets are the controls: a QMainWindow's
    // central widget, or a plain window itself. Every resize of it rescales
    // the controls, and so does restoring the window from minimised. Setting it records nothing; a
    // different form is recorded afresh on its first resize.
    QWidget* SourceForm() const { return sourceForm_; }
    void SetSourceForm(QWidget* form);

    // Takes the current layout as the design layout, e.g. after controls were
    // added or moved by the program.
    void ReInitialise();

    // Sizes the top-level window to `percent` per cent of the screen, centres
    // it, and lays the controls out for the new size.
    void SizeFormToScreen(quint8 percent);

    // Stretches every control from the record to the form's current size. The
    // first call after the form was set only records the layout.
    void ResizeControls();

    // Replaces the screen's usable size, in twips; an empty size goes back to
    // the real screen.
    void SetScreenSizeForTesting(QSizeF twips);

    std::int32_t BaseWidth() const { return baseWidth_; }
    std::int32_t BaseHeight() const { return baseHeight_; }
    bool NeedsRecording() const { return needsRecording_; }
    const std::vector<ControlEntry>& ControlTable() const { return controlTable_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void RecordControls();
    // Every control, each frame before the controls inside it; second is
    // the index of the frame in the same list, -1 for the form.
    std::vector<std::pair<QWidget*, int>> Controls() const;
    // New size of `parent`'s area over its recorded one; nullopt when the
    // record has no size to scale from.
    std::optional<QSizeF> ParentRatio(int parent) const;

    QPointer<QWidget> sourceForm_;
    std::int32_t baseWidth_ = 0;
    std::int32_t baseHeight_ = 0;
    std::vector<ControlEntry> controlTable_;
    bool needsRecording_ = true;
    std::optional<QSizeF> screenSizeOverride_;
};

}  // namespace acquenza::ui
