#include "gui/PlotWidget.h"

#include "ui/Plot.h"

#include <QImage>
#include <QMouseEvent>
#include <QToolTip>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

namespace zem::gui {

namespace {

constexpr int kTacche = 6;

QColor Colore(std::uint32_t rgb, double opacita = 1.0)
{
    QColor c(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>(rgb & 0xFF));
    c.setAlphaF(static_cast<float>(std::clamp(opacita, 0.0, 1.0)));
    return c;
}

QString Valore(double v, double passo)
{
    const int decimali = passo >= 1 ? 0 : passo >= 0.1 ? 1 : passo >= 0.01 ? 2 : 3;
    return QString::number(v, 'f', decimali);
}

QFont Grande(QFont font)
{
    font.setPointSizeF(font.pointSizeF() * 1.8);
    font.setBold(true);
    return font;
}

// One line a legend text, in the frame's top left corner, in the colour of its first series.
void PaintLegend(QPainter& painter, const ui::Plot& plot, const QRect& r)
{
    const QFontMetrics fm = painter.fontMetrics();
    QStringList texts;
    QList<QColor> colours;
    for (const ui::Plot::Series& s : plot.GetSeries()) {
        const QString text = QString::fromStdString(s.legend);
        if (text.isEmpty() || texts.contains(text)) continue;
        texts << text;
        colours << Colore(s.colour, std::max(s.opacity, 0.3));
    }
    if (texts.isEmpty()) return;
    int width = 0;
    for (const QString& text : texts) width = std::max(width, fm.horizontalAdvance(text));
    const QRect box(r.left() + 6, r.top() + 6, width + 40, static_cast<int>(texts.size()) * fm.height() + 8);
    painter.fillRect(box, QColor(255, 255, 255, 220));
    painter.setPen(QColor(190, 190, 190));
    painter.drawRect(box);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const int y = box.top() + 4 + static_cast<int>(i) * fm.height();
        painter.setPen(QPen(colours[i], 3));
        painter.drawLine(box.left() + 6, y + fm.height() / 2, box.left() + 28, y + fm.height() / 2);
        painter.setPen(Qt::black);
        painter.drawText(QRect(box.left() + 34, y, width + 4, fm.height()), Qt::AlignLeft | Qt::AlignVCenter, texts[i]);
    }
}

} // namespace

QRect PlotWidget::Frame(const ui::Plot& plot, const QRect& area, const QFont& font)
{
    const QFontMetrics fm(font);
    // The verdict stands above the frame, where it covers no part of the curve or its peak.
    const int sopra = plot.Banner().text.empty() ? fm.height() : QFontMetrics(Grande(font)).height();
    return area.adjusted(fm.horizontalAdvance(QStringLiteral("-00000.0")) + 14, sopra + 8, -12, -(2 * fm.height() + 12));
}

std::optional<QString> PlotWidget::ReadOut(const ui::Plot& plot, const QRect& area, const QFont& font, QPointF at)
{
    const QRectF r = Frame(plot, area, font);
    if (r.width() < 10 || r.height() < 10 || !r.contains(at)) return std::nullopt;
    const ui::Plot::Axis& ax = plot.X();
    const ui::Plot::Axis& ay = plot.Y();
    const double x = ax.min + (at.x() - r.left()) / r.width() * (ax.max - ax.min);
    const double y = ay.min + (r.bottom() - at.y()) / r.height() * (ay.max - ay.min);
    const double px = (ax.max - ax.min) / r.width(), py = (ay.max - ay.min) / r.height();
    return QString::fromStdString(ax.label) + QStringLiteral(": ") + Valore(x, px * 10) + QStringLiteral("   ")
           + QString::fromStdString(ay.label) + QStringLiteral(": ") + Valore(y, py * 10);
}

void PlotWidget::mouseMoveEvent(QMouseEvent* event)
{
    const auto text = ReadOut(plot_, rect(), font(), event->position());
    if (text) {
        QToolTip::showText(event->globalPosition().toPoint(), *text, this);
    } else {
        QToolTip::hideText();
    }
}

PlotWidget::PlotWidget(const ui::Plot& plot, QWidget* parent) : QWidget(parent), plot_(plot)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMouseTracking(true);  // the read-out follows the pointer
}

void PlotWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Paint(painter, plot_, rect());
}

void PlotWidget::Paint(QPainter& painter, const ui::Plot& plot, const QRect& area)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    const QFontMetrics fm = painter.fontMetrics();
    const QFont grande = Grande(painter.font());
    const int sopra = plot.Banner().text.empty() ? fm.height() : QFontMetrics(grande).height();
    const QRect r = Frame(plot, area, painter.font());
    if (r.width() < 10 || r.height() < 10) {
        painter.restore();
        return;
    }
    const ui::Plot::Axis& ax = plot.X();
    const ui::Plot::Axis& ay = plot.Y();
    auto px = [&](double x) { return r.left() + (x - ax.min) / (ax.max - ax.min) * r.width(); };
    auto py = [&](double y) { return r.bottom() - (y - ay.min) / (ay.max - ay.min) * r.height(); };

    // Grid and the values on the axes.
    painter.setPen(QPen(QColor(225, 225, 225), 1));
    const auto tx = ui::Plot::Ticks(ax, kTacche), ty = ui::Plot::Ticks(ay, kTacche);
    const double passoX = tx.size() > 1 ? tx[1] - tx[0] : 1, passoY = ty.size() > 1 ? ty[1] - ty[0] : 1;
    for (const double x : tx) painter.drawLine(QPointF(px(x), r.top()), QPointF(px(x), r.bottom()));
    for (const double y : ty) painter.drawLine(QPointF(r.left(), py(y)), QPointF(r.right(), py(y)));
    painter.setPen(Qt::black);
    for (const double x : tx)
        painter.drawText(QRectF(px(x) - 40, r.bottom() + 4, 80, fm.height()), Qt::AlignHCenter, Valore(x, passoX));
    for (const double y : ty)
        painter.drawText(QRectF(area.left(), py(y) - fm.height() / 2.0, r.left() - area.left() - 6, fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter, Valore(y, passoY));
    painter.drawText(QRect(r.left(), r.bottom() + fm.height() + 6, r.width(), fm.height()), Qt::AlignHCenter,
                     QString::fromStdString(ax.label));
    painter.drawText(QRect(area.left() + 4, area.top() + 2, r.width(), fm.height()), Qt::AlignLeft,
                     QString::fromStdString(ay.label));
    painter.drawRect(r);

    // The series, cut to the frame and thinned to its pixel columns.
    painter.setClipRect(r.adjusted(-1, -1, 1, 1));
    for (const ui::Plot::Series& s : plot.GetSeries()) {
        const auto punti = ui::Plot::Decimate(s.points, ax.min, ax.max, r.width());
        const QColor c = Colore(s.colour, s.opacity);
        if (s.style == ui::Plot::Style::Markers) {
            painter.setPen(QPen(c, 2));
            painter.setBrush(Qt::NoBrush);
            const double h = s.width / 2.0;
            for (const auto& p : punti) {
                painter.drawLine(QPointF(px(p.x) - h, py(p.y) - h), QPointF(px(p.x) + h, py(p.y) + h));
                painter.drawLine(QPointF(px(p.x) - h, py(p.y) + h), QPointF(px(p.x) + h, py(p.y) - h));
            }
            continue;
        }
        if (punti.empty()) continue;
        QPainterPath path(QPointF(px(punti[0].x), py(punti[0].y)));
        for (std::size_t i = 1; i < punti.size(); ++i) path.lineTo(px(punti[i].x), py(punti[i].y));
        painter.setPen(QPen(c, s.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }
    painter.setClipping(false);
    PaintLegend(painter, plot, r);

    painter.setFont(grande);
    if (!plot.Banner().text.empty()) {
        painter.setPen(Colore(plot.Banner().colour));
        painter.drawText(QRect(r.left(), area.top() + 2, r.width(), sopra + 4), Qt::AlignRight | Qt::AlignVCenter,
                         QString::fromStdString(plot.Banner().text));
    }
    if (!plot.Message().text.empty()) {
        painter.setPen(Colore(plot.Message().colour));
        painter.drawText(r, Qt::AlignCenter, QString::fromStdString(plot.Message().text));
    }
    painter.restore();
}

bool PlotWidget::SavePng(const ui::Plot& plot, const std::string& path, int width, int height)
{
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    QPainter painter(&image);
    Paint(painter, plot, image.rect());
    painter.end();
    return image.save(QString::fromStdString(path), "PNG");
}

} // namespace zem::gui
