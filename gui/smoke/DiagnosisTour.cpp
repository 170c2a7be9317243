#include "gui/smoke/DiagnosisTour.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

namespace zem::gui {

namespace {

constexpr int kPollMs = 50;
constexpr int kMostWaits = 100;  // five seconds for a window to come up
constexpr int kRefreshMs = 1000; // a panel shows its values after its first 400 ms ticks

bool Named(QWidget& window, const char* name) { return window.objectName() == QLatin1String(name); }

void Click(QWidget& window, const char* button)
{
    if (auto* b = window.findChild<QAbstractButton*>(QLatin1String(button))) b->click();
}

void ShowTab(QWidget& window, int tab)
{
    if (auto* tabs = window.findChild<QTabBar*>(QStringLiteral("TabStrip1"))) tabs->setCurrentIndex(tab);
}

} // namespace

DiagnosisTour::DiagnosisTour(Picture picture) : picture_(std::move(picture))
{
    auto diagnosi = [](QWidget& w) { return Named(w, "FDiagnosi"); };
    steps_ = {
        {QStringLiteral("the selection listed the instruments"), kPollMs,
         [](QWidget& w) {
             auto* list = w.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
             auto* hourglass = w.findChild<QWidget*>(QStringLiteral("imgHourglass"));
             return Named(w, "FSceltaStrumento") && list != nullptr && list->topLevelItemCount() > 0
                 && hourglass != nullptr && hourglass->isHidden();
         },
         [](QWidget& w) {
             auto* list = w.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
             list->setCurrentItem(list->topLevelItem(0));
             Click(w, "cmdOK");
         }},
        {QStringLiteral("the caution prompt"), kPollMs,
         [](QWidget& w) {
             auto* box = qobject_cast<QMessageBox*>(&w);
             return box != nullptr && box->text().startsWith(QStringLiteral("Caution"));
         },
         [](QWidget& w) { static_cast<QMessageBox&>(w).button(QMessageBox::Ok)->click(); }},
        {QStringLiteral("the diagnosis started up"), kPollMs,
         [diagnosi](QWidget& w) {
             auto* write = w.findChild<QWidget*>(QStringLiteral("cmdWrite"));
             return diagnosi(w) && write != nullptr && write->isEnabled();
         },
         [](QWidget&) {}},
        {QStringLiteral("the Info tab"), kRefreshMs, diagnosi,
         [this](QWidget& w) {
             picture_(w, QStringLiteral("diagnosis-info.png"));
             ShowTab(w, 2);
         }},
        {QStringLiteral("the load cell tab"), kRefreshMs, diagnosi,
         [this](QWidget& w) {
             picture_(w, QStringLiteral("diagnosis-load-cell.png"));
             ShowTab(w, 1);
         }},
        {QStringLiteral("the In/Out tab"), kRefreshMs, diagnosi,
         [this](QWidget& w) {
             picture_(w, QStringLiteral("diagnosis-in-out.png"));
             Click(w, "cmdOK");
         }},
    };
}

void DiagnosisTour::Start() { QTimer::singleShot(steps_.front().delayMs, this, &DiagnosisTour::Next); }

void DiagnosisTour::Next()
{
    if (Finished()) return;
    const Step& step = steps_[next_];
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr || !step.ready(*window)) {
        if (++waited_ < kMostWaits) {
            QTimer::singleShot(kPollMs, this, &DiagnosisTour::Next);
            return;
        }
        failures_ << step.what + QStringLiteral(" was not shown");
        return;
    }
    waited_ = 0;
    ++next_;
    // Scheduled before acting: a click may return only once the window it opens has closed.
    if (!Finished()) QTimer::singleShot(steps_[next_].delayMs, this, &DiagnosisTour::Next);
    step.act(*window);
}

} // namespace zem::gui
