#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QWidget;

namespace zem::gui {

// Walks through nested modal dialogs for the smoke test: each step waits until the dialog named
// `form` is the active modal window, takes its picture when one is named, and presses `button`
// (which may open the next dialog, or close this one).
class DialogTour final : public QObject {
    Q_OBJECT

public:
    struct Step {
        QString form;
        QString picture;  // empty: none
        QString button;   // the button's control key, "cmdSetup(0)"
    };
    using Picture = std::function<void(QWidget& window, const QString& name)>;

    DialogTour(std::vector<Step> steps, Picture picture);

    // Runs the first step once the event loop turns; the caller then opens the first dialog.
    void Start();
    bool Finished() const { return next_ == steps_.size(); }
    const QStringList& Failures() const { return failures_; }

private:
    void Next();

    std::vector<Step> steps_;
    Picture picture_;
    std::size_t next_ = 0;
    int waited_ = 0;
    QStringList failures_;
};

} // namespace zem::gui
