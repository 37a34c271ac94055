#pragma once
// The longitudinal profile of the network along the path from the source to
// a node: the ground, the piezometric line, the minimum-pressure line
// (ground + the minimum pressure) and the static line (the source's head)
// over the cumulative length, the nodes labelled. The same drawing serves
// the network window, its PNG export, the report's picture and the direct
// print, each through a canvas of its own.

#include <string>
#include <vector>

#include "core/network.h"

class QPainter;
class QRectF;
class QImage;
class QFont;

namespace acquenza {

struct PathProfile {
    int endNode = 0;            // 0: no path to show (see note)
    std::vector<int> sections;  // from the source down to endNode
    // Two points per section, its start and its end, so that a start
    // elevation differing from the upstream end shows as a step at the node.
    std::vector<double> distance;  // m from the source
    std::vector<double> ground;    // m a.s.l.
    // The piezometric head at the same points; empty when some head on the
    // path cannot be worked out (the note says why).
    std::vector<double> head;
    // The nodes along the path with their distance: node 0 is the source.
    std::vector<std::pair<int, double>> nodes;
    double sourceHead = 0;  // H0; not finite when not typed
    double minimumPressure = 0;
    double length = 0;
    std::string note;  // Italian: why the path or its heads are missing

    bool HasStatic() const;
};

// The profile along the path to `node`, from the network's analysis. A node
// not joined to the source gives endNode 0 and a note.
PathProfile PathProfileOf(const NetworkInput& input, const NetworkResult& result, int node);

// The most unfavourable path's profile: the one with the smallest available
// head per metre; endNode 0 when the network has none.
PathProfile WorstPathProfile(const NetworkInput& input, const NetworkResult& result);

// Where the drawing goes. Coordinates in the canvas's own units, y downwards.
class ChartCanvas {
  public:
    enum class Ink { Frame, Grid, Guide, Ground, Head, Minimum, Static, Text };
    enum class Anchor { Left, Center, Right };
    virtual ~ChartCanvas() = default;
    virtual void Line(double x1, double y1, double x2, double y2, Ink ink) = 0;
    // `text` with its vertical middle at y.
    virtual void Text(double x, double y, const std::string& text, Anchor anchor) = 0;
    virtual double TextWidth(const std::string& text) const = 0;
    virtual double TextHeight() const = 0;
};

// Draws the profile (or, without a path, its note) in the rectangle.
void DrawPathProfile(ChartCanvas& canvas, double left, double top, double width, double height,
                     const PathProfile& profile);

// The chart on a Qt painter (screen, picture): colours and dashes.
void PaintPathProfile(QPainter& painter, const QRectF& area, const PathProfile& profile);

// The chart as a picture of the given size in pixels, drawn in `font`.
QImage PathProfileImage(const PathProfile& profile, int width, int height, const QFont& font);

}  // namespace acquenza
