#include "ui/Plot.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zem::ui {

Plot::Plot(Form& owner, std::string name, Frame* container, int index)
    : Control(owner, ControlKind::Plot, std::move(name), container, index)
{
}

void Plot::SetSeries(std::vector<Series> series) { Assign(series_, std::move(series)); }

void Plot::SetAxes(Axis x, Axis y)
{
    if (x == x_ && y == y_) return;
    x_ = std::move(x);
    y_ = std::move(y);
    Changed();
}

void Plot::SetBanner(Note banner) { Assign(banner_, std::move(banner)); }

void Plot::SetMessage(Note message) { Assign(message_, std::move(message)); }

void Plot::ScaleToData(double margin)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    double x0 = kInf, x1 = -kInf, y0 = kInf, y1 = -kInf;
    for (const Series& s : series_)
        for (const Point& p : s.points) {
            x0 = std::min(x0, p.x);
            x1 = std::max(x1, p.x);
            y0 = std::min(y0, p.y);
            y1 = std::max(y1, p.y);
        }
    // Without data, or with a single value, the axis still has a span to draw.
    auto axis = [margin](Axis a, double lo, double hi) {
        if (lo > hi) return a;
        const double pad = hi > lo ? (hi - lo) * margin : std::max(1.0, std::abs(lo) * 0.1);
        a.min = lo - pad;
        a.max = hi + pad;
        return a;
    };
    SetAxes(axis(x_, x0, x1), axis(y_, y0, y1));
}

std::vector<Plot::Point> Plot::Decimate(const std::vector<Point>& points, double xmin, double xmax, int pixels)
{
    if (pixels < 1 || !(xmax > xmin) || points.size() <= 4 * static_cast<std::size_t>(pixels)) return points;
    const double scale = pixels / (xmax - xmin);
    auto column = [&](const Point& p) { return static_cast<long long>(std::floor((p.x - xmin) * scale)); };
    std::vector<Point> out;
    std::size_t first = 0;
    while (first < points.size()) {
        const long long c = column(points[first]);
        std::size_t last = first, low = first, high = first;
        while (last + 1 < points.size() && column(points[last + 1]) == c) {
            ++last;
            if (points[last].y < points[low].y) low = last;
            if (points[last].y > points[high].y) high = last;
        }
        std::size_t taken = points.size();
        for (const std::size_t i : {first, std::min(low, high), std::max(low, high), last})
            if (i != taken) out.push_back(points[taken = i]);
        first = last + 1;
    }
    return out;
}

std::vector<double> Plot::Ticks(const Axis& axis, int count)
{
    const double span = axis.max - axis.min;
    if (!(span > 0) || count < 1) return {};
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (const double f : {2.0, 5.0, 10.0})
        if (raw > step) step = power * f;
    std::vector<double> out;
    for (double v = std::ceil(axis.min / step) * step; v <= axis.max + step * 1e-9; v += step)
        out.push_back(std::abs(v) < step * 1e-9 ? 0.0 : v);
    return out;
}

} // namespace zem::ui
