#pragma once

#include "cli/ExchangeLog.h"

#include <functional>
#include <string>

namespace zem::cli {

// Names the steps of a workflow for --verbose from what it shows while it runs: the busy
// indication while the link opens, its status texts, its progress bar. The memory programming's
// bar ("Progress:") hides three steps, told apart by how the workflow drives it: the header is
// cleared before the bar first moves, the bytes are written as it moves, and the check reads
// back while it stands still between two stop polls; the header is written last, with the final
// read-back.
class WorkflowSteps {
public:
    // `beforeLine` runs before a step's summary is printed (to take a bar off the screen).
    WorkflowSteps(ExchangeLog& log, std::function<void()> beforeLine) : log_(log), beforeLine_(std::move(beforeLine)) {}

    void Busy();
    void Status(const std::string& text);
    void Bar(const std::string& caption);
    void Advanced();
    void Hidden();
    // The workflow asked whether to stop: it polls before every piece it writes or reads.
    void Polled();

    // "Restarting the instrument..." -> "restarting the instrument".
    static std::string StepName(const std::string& caption);

private:
    enum class Phase { Other, Clearing, Writing, Verifying };

    void Begin(const std::string& step);
    void Begin(const std::string& step, const ExchangeLog::Mark& since);

    ExchangeLog& log_;
    std::function<void()> beforeLine_;
    Phase phase_ = Phase::Other;
    bool open_ = false;        // between a status or a bar and its hiding
    bool advanced_ = false;    // since the last poll
    ExchangeLog::Mark polled_;
};

} // namespace zem::cli
