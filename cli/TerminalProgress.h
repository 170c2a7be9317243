#pragma once

#include "cli/WorkflowSteps.h"
#include "main/TransferProgress.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace zem::cli {

// A transfer's progress on the terminal: "Wait..." while the instrument is busy and the bar's
// caption with the percentage done, redrawn in place on stderr. Off a terminal it shows nothing,
// so a script's error output holds only the messages.
class TerminalProgress final : public TransferProgress {
public:
    // `shown`: whether to draw at all (stderr is a terminal).
    // `steps`: where the workflow's steps are summarised, for --verbose.
    TerminalProgress(std::ostream& out, bool shown, ExchangeLog* steps = nullptr);
    ~TerminalProgress() override;
    // The steps hold on to this object's screen.
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void SetBusy(bool busy) override;
    void ShowProgress(const std::string& caption, int maximum) override;
    void Advance() override;
    void HideProgress() override;
    // No window to close: a stop asked for by SIGINT or SIGTERM.
    bool Closing() const override;
    void ShowStatus(const std::string& text) override;

private:
    void Redraw();
    void Draw(const std::string& line);
    void Clear();

    std::ostream& out_;
    bool shown_;
    // Polled from Closing, which a workflow calls before every piece it moves.
    mutable std::optional<WorkflowSteps> steps_;
    std::string caption_;
    int maximum_ = 0;
    int value_ = 0;
    int percent_ = -1;  // drawn last
    std::size_t width_ = 0;  // of the line on screen
};

} // namespace zem::cli
