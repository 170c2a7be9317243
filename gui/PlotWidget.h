#pragma once

#include <QWidget>

#include <string>

class QPainter;

namespace zem::ui {
class Plot;
}

namespace zem::gui {

// Draws a plot control with QPainter: frame, round-valued grid and axis labels, then each series
// decimated to the pixels it gets, the banner in the top right corner and the message across the
// middle. The same drawing makes the PNG the host saves.
class PlotWidget final : public QWidget {
public:
    PlotWidget(const ui::Plot& plot, QWidget* parent);

    static void Paint(QPainter& painter, const ui::Plot& plot, const QRect& area);
    // The plot drawn at `width` x `height` pixels into a PNG file; false when it cannot be written.
    static bool SavePng(const ui::Plot& plot, const std::string& path, int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ui::Plot& plot_;
};

} // namespace zem::gui
