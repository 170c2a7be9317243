#include "gui/WindowPlacement.h"

#include "profile/SettingsStore.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace zem::gui {

namespace {

constexpr const char* kSection = "Main";
constexpr const char* kKey = "Finestra";

} // namespace

void RestorePlacement(QWidget& window, SettingsStore& settings, const std::string& application)
{
    const QStringList parts =
        QString::fromStdString(settings.GetSetting(application, kSection, kKey, "")).split(QLatin1Char(','));
    if (parts.size() != 4) return;
    bool ok = true;
    int values[4] = {};
    for (int i = 0; i < 4 && ok; ++i) values[i] = parts[i].trimmed().toInt(&ok);
    if (!ok) return;
    const QRect placed(values[0], values[1], values[2], values[3]);
    // A screen unplugged since must not leave the window out of sight.
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (!screen->availableGeometry().intersects(placed)) continue;
        window.resize(placed.size().expandedTo(window.minimumSizeHint()));
        window.move(placed.topLeft());
        return;
    }
}

void SavePlacement(const QWidget& window, SettingsStore& settings, const std::string& application)
{
    const QRect r(window.pos(), window.size());
    const QString text = QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    settings.SaveSetting(application, kSection, kKey, text.toStdString());
}

} // namespace zem::gui
