#include "gui/smoke/DialogTour.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace zem::gui {

namespace {

constexpr int kStepDelayMs = 50;
constexpr int kMostWaits = 100;  // five seconds for one dialog to come up

} // namespace

DialogTour::DialogTour(std::vector<Step> steps, Picture picture)
    : steps_(std::move(steps)), picture_(std::move(picture))
{
}

void DialogTour::Start() { QTimer::singleShot(kStepDelayMs, this, &DialogTour::Next); }

void DialogTour::Next()
{
    if (Finished()) return;
    const Step& step = steps_[next_];
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr || window->objectName() != step.form) {
        if (++waited_ < kMostWaits) return Start();
        failures_ << step.form + QStringLiteral(" was not shown");
        return;
    }
    waited_ = 0;
    auto* button = window->findChild<QAbstractButton*>(step.button);
    if (button == nullptr) {
        failures_ << step.form + QStringLiteral(" has no ") + step.button;
        return;
    }
    if (!step.picture.isEmpty()) picture_(*window, step.picture);
    ++next_;
    Start();  // before the press, which returns only once a dialog it opens has closed
    button->click();
}

} // namespace zem::gui
