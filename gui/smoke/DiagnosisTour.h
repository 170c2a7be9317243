#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QWidget;

namespace zem::gui {

// Plays the technician through the diagnosis for the smoke test, once its menu item has been
// chosen: the first instrument of the selection, the caution prompt, then the diagnosis window
// once its start-up has completed, pictured on the Info tab, on the first load-cell tab and on the
// In/Out tab after their panels have been refreshed, and closed.
class DiagnosisTour final : public QObject {
    Q_OBJECT

public:
    using Picture = std::function<void(QWidget& window, const QString& name)>;

    explicit DiagnosisTour(Picture picture);

    // Runs the first step once the event loop turns; the caller then chooses the menu item.
    void Start();
    bool Finished() const { return next_ == steps_.size(); }
    const QStringList& Failures() const { return failures_; }

private:
    struct Step {
        QString what;                           // for a failure report
        int delayMs;                            // before the step looks at the screen
        std::function<bool(QWidget&)> ready;    // the active modal window is the one awaited
        std::function<void(QWidget&)> act;
    };
    void Next();

    std::vector<Step> steps_;
    Picture picture_;
    std::size_t next_ = 0;
    int waited_ = 0;
    QStringList failures_;
};

} // namespace zem::gui
