#pragma once

#include <QWidget>

#include <optional>
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
    // The frame the series are drawn in, inside `area`.
    static QRect Frame(const ui::Plot& plot, const QRect& area, const QFont& font);
    // "Position: 12.5   Force: 310" at a point of the frame; nothing outside it.
    static std::optional<QString> ReadOut(const ui::Plot& plot, const QRect& area, const QFont& font, QPointF at);
    // The plot drawn at `width` x `height` pixels into a PNG file; false when it cannot be written.
    static bool SavePng(const ui::Plot& plot, const std::string& path, int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    const ui::Plot& plot_;
};

} // namespace zem::gui
