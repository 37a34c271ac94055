#pragma once
// A profile drawn as a chart. For a project of single sections: the ground
// line and the hydraulic grade line over the distance along the section,
// with the available drop and the head loss written on it. For a project
// with a network: the profile along the path from the source to the node.

#include <QImage>
#include <QWidget>

#include <optional>

#include "app/network_summary.h"
#include "reports/path_profile.h"

namespace acquenza::ui {

class SectionProfileView : public QWidget {
    Q_OBJECT
  public:
    explicit SectionProfileView(QWidget* parent = nullptr);

    void SetProfile(const SectionProfile& profile);
    const SectionProfile& Profile() const { return profile_; }
    // The path's profile takes the section's place until SetProfile.
    void SetPathProfile(const PathProfile& path);
    const std::optional<PathProfile>& Path() const { return path_; }
    // Whether there is a chart to save (not just a note).
    bool HasChart() const;
    // The chart as a picture of the given size, for "Salva grafico...".
    QImage Render(const QSize& size) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Draw(QPainter& painter, const QRect& area) const;

    SectionProfile profile_;
    std::optional<PathProfile> path_;
};

}  // namespace acquenza::ui
