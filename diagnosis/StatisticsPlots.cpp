#include "diagnosis/StatisticsPlots.h"

#include "diagnosis/UnitaCurva.h"

#include <algorithm>
#include <cmath>

namespace zem {

namespace {

constexpr std::uint32_t kBarre = 0x1565C0, kLimiti = 0xC62828, kGrigio = 0x757575;

std::string Nome(const ValueStatistics& v) { return ConUnita(v.name, v.unit); }

void Limiti(std::vector<ui::Plot::Series>& serie, const ValueStatistics& v, bool verticali, double da, double a)
{
    for (const auto& limite : {v.lower, v.upper}) {
        if (!limite) continue;
        const ui::Plot::Point p0 = verticali ? ui::Plot::Point{*limite, da} : ui::Plot::Point{da, *limite};
        const ui::Plot::Point p1 = verticali ? ui::Plot::Point{*limite, a} : ui::Plot::Point{a, *limite};
        serie.push_back({{p0, p1}, ui::Plot::Style::Line, kLimiti, 2, 1.0, "Limits"});
    }
}

} // namespace

void StatisticsPlots::Histogram(ui::Plot& plot, const ValueStatistics& v)
{
    const auto bins = v.histogram.size();
    // A single value has no span: its one bar is as wide as its last decimal.
    const double passo = bins > 1 ? (v.max - v.min) / static_cast<double>(bins) : std::pow(10.0, -v.decimals);
    const double inizio = bins > 1 ? v.min : v.min - passo / 2;
    ui::Plot::Series barre{{{inizio, 0}}, ui::Plot::Style::Line, kBarre, 2, 1.0, "Pieces per bin"};
    std::int64_t alta = 0;
    for (std::size_t b = 0; b < bins; ++b) {
        const auto h = static_cast<double>(v.histogram[b]);
        barre.points.push_back({inizio + passo * static_cast<double>(b), h});
        barre.points.push_back({inizio + passo * static_cast<double>(b + 1), h});
        alta = std::max(alta, v.histogram[b]);
    }
    barre.points.push_back({inizio + passo * static_cast<double>(bins), 0});
    std::vector<ui::Plot::Series> serie{barre};
    const double cima = static_cast<double>(std::max<std::int64_t>(alta, 1)) * 1.1;
    Limiti(serie, v, true, 0, cima);
    plot.SetSeries(std::move(serie));
    plot.ScaleToData();
    plot.SetAxes({plot.X().min, plot.X().max, Nome(v)}, {0, cima, "Pieces"});
    plot.SetBanner({});
    plot.SetMessage({});
}

void StatisticsPlots::Trend(ui::Plot& plot, const ValueStatistics& v)
{
    // A group's point stands at the middle of its pieces, numbered from 1 in time order.
    const auto g = static_cast<double>(v.trendGroup);
    ui::Plot::Series linea{{}, ui::Plot::Style::Line, kBarre, 1, 0.6, ""};
    for (std::size_t k = 0; k < v.trend.size(); ++k) linea.points.push_back({static_cast<double>(k) * g + (g + 1) / 2, v.trend[k]});
    ui::Plot::Series punti = linea;
    punti.style = ui::Plot::Style::Markers;
    punti.width = 5;
    punti.opacity = 1.0;
    punti.legend = v.trendGroup > 1 ? "Mean of " + std::to_string(v.trendGroup) + " pieces" : "Value per piece";
    std::vector<ui::Plot::Series> serie{linea, punti};
    Limiti(serie, v, false, 1, std::max(1.0, static_cast<double>(v.count)));
    plot.SetSeries(std::move(serie));
    plot.ScaleToData();
    plot.SetAxes({plot.X().min, plot.X().max, "Piece (in time order)"}, {plot.Y().min, plot.Y().max, Nome(v)});
    plot.SetBanner({});
    plot.SetMessage({});
}

void StatisticsPlots::Empty(ui::Plot& plot, const std::string& message)
{
    plot.SetSeries({});
    plot.SetAxes({0, 1, ""}, {0, 1, ""});
    plot.SetBanner({});
    plot.SetMessage({message, kGrigio});
}

} // namespace zem
