#pragma once
// A section's profile drawn as a chart: the ground line and the hydraulic
// grade line over the distance along the section, with the available drop
// and the head loss written on it.

#include <QImage>
#include <QWidget>

#include "app/network_summary.h"

namespace acquenza::ui {

class SectionProfileView : public QWidget {
    Q_OBJECT
  public:
    explicit SectionProfileView(QWidget* parent = nullptr);

    void SetProfile(const SectionProfile& profile);
    const SectionProfile& Profile() const { return profile_; }
    // The chart as a picture of the given size, for "Salva grafico...".
    QImage Render(const QSize& size) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Draw(QPainter& painter, const QRect& area) const;

    SectionProfile profile_;
};

}  // namespace acquenza::ui
