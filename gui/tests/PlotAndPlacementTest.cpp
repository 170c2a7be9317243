#include "gui/PlotWidget.h"
#include "gui/WindowPlacement.h"
#include "profile/SettingsStore.h"
#include "ui/Plot.h"
#include "ui/ScriptedHost.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace zem::gui {
namespace {

TEST(PlotWidget, TheReadOutGivesPositionAndForceUnderThePointerInsideTheFrameOnly)
{
    ui::ScriptedHost host;
    ui::Form form(host, "F", "F");
    ui::Plot plot(form, "picCurva");
    plot.SetAxes({0, 100, "Position [mm]"}, {0, 50, "Force [kN]"});
    const QRect area(0, 0, 500, 400);
    const QRectF frame = PlotWidget::Frame(plot, area, QFont());
    EXPECT_EQ(PlotWidget::ReadOut(plot, area, QFont(), frame.center()), QStringLiteral("Position [mm]: 50   Force [kN]: 25"));
    EXPECT_EQ(PlotWidget::ReadOut(plot, area, QFont(), QPointF(2, 2)), std::nullopt) << "over the axis labels";
    plot.SetBanner({"REJECTED", 0xC62828});
    EXPECT_GT(PlotWidget::Frame(plot, area, QFont()).top(), frame.top()) << "the verdict has its room above the frame";
}

TEST(WindowPlacement, TheWindowComesBackWhereItWasLeftButNeverOffEveryScreen)
{
    MemorySettingsStore settings;
    QWidget window;
    window.setGeometry(40, 50, 700, 480);
    SavePlacement(window, settings, "ZEM Setup");
    const QRect left(10, 20, 300, 200);
    for (const auto& [kept, expected] : {std::pair{settings.GetSetting("ZEM Setup", "Main", "Finestra", ""), QRect(40, 50, 700, 480)},
                                         {"90000,90000,700,480", left}, {"40,50,wide", left}}) {
        settings.SaveSetting("ZEM Setup", "Main", "Finestra", kept);
        QWidget other;
        other.setGeometry(left);
        RestorePlacement(other, settings, "ZEM Setup");
        EXPECT_EQ(QRect(other.pos(), other.size()), expected) << kept;
    }
}

} // namespace
} // namespace zem::gui
