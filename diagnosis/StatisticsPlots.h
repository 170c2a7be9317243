#pragma once

#include "diagnosis/MeasureStatistics.h"
#include "ui/Plot.h"

namespace zem {

// The statistics window's two plots of one result value.
class StatisticsPlots {
public:
    // The histogram's bins as bars (a stepped outline from the axis up and down again), the work's
    // limits as vertical lines.
    static void Histogram(ui::Plot& plot, const ValueStatistics& value);
    // Each value, or each group mean, at its piece's place in time order, the limits as
    // horizontal lines.
    static void Trend(ui::Plot& plot, const ValueStatistics& value);
    // No value to draw: the axes alone and `message` across them.
    static void Empty(ui::Plot& plot, const std::string& message);
};

} // namespace zem
