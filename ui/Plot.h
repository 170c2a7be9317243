#pragma once

#include "ui/Control.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zem::ui {

// A chart of x-y series on two axes, drawn by the renderer in series order (the last on top).
// The form says what to draw; the renderer only maps it to pixels. A series is drawn through
// Decimate at the width it gets, so a long curve costs a few points per pixel column.
class Plot final : public Control {
public:
    struct Point {
        double x = 0;
        double y = 0;
        friend bool operator==(const Point&, const Point&) = default;
    };
    enum class Style { Line, Markers };
    struct Series {
        std::vector<Point> points;
        Style style = Style::Line;
        std::uint32_t colour = 0x000000;  // 0xRRGGBB
        int width = 1;                    // pixels: of the line, or of a marker
        double opacity = 1.0;             // 0 invisible .. 1 opaque
        std::string legend;               // its line in the legend; series of one text share it
        friend bool operator==(const Series&, const Series&) = default;
    };
    struct Axis {
        double min = 0;
        double max = 1;
        std::string label;
        friend bool operator==(const Axis&, const Axis&) = default;
    };
    // Text over the plot: a coloured banner in the top corner, a message across the middle.
    struct Note {
        std::string text;
        std::uint32_t colour = 0x000000;
        friend bool operator==(const Note&, const Note&) = default;
    };

    Plot(Form& owner, std::string name, Frame* container = nullptr, int index = -1);

    const std::vector<Series>& GetSeries() const { return series_; }
    void SetSeries(std::vector<Series> series);
    const Axis& X() const { return x_; }
    const Axis& Y() const { return y_; }
    void SetAxes(Axis x, Axis y);
    // Both axes around every point of every series, widened by `margin` of their span on each side.
    void ScaleToData(double margin = 0.05);
    const Note& Banner() const { return banner_; }
    void SetBanner(Note banner);
    const Note& Message() const { return message_; }
    void SetMessage(Note message);

    // The points drawn for a series `pixels` columns wide over [xmin, xmax]: of each run of points
    // falling in one column, the first, the lowest, the highest and the last, in their order, so
    // that peaks and the line's shape survive.
    static std::vector<Point> Decimate(const std::vector<Point>& points, double xmin, double xmax, int pixels);
    // About `count` round values (1, 2 or 5 times a power of ten apart) inside the axis.
    static std::vector<double> Ticks(const Axis& axis, int count);

private:
    std::vector<Series> series_;
    Axis x_, y_;
    Note banner_, message_;
};

} // namespace zem::ui
