#pragma once

#include "cli/ExchangeLog.h"

#include <functional>
#include <string>

namespace zem::cli {

// Names the steps of a workflow for --verbose from what it shows while it runs: the busy
// indication while the link opens, its status texts ("Writing memory", "Verifying", ...), its
// progress bar's caption.
class WorkflowSteps {
public:
    // `beforeLine` runs before a step's summary is printed (to take a bar off the screen).
    WorkflowSteps(ExchangeLog& log, std::function<void()> beforeLine) : log_(log), beforeLine_(std::move(beforeLine)) {}

    void Busy();
    void Status(const std::string& text);
    void Bar(const std::string& caption);
    void Hidden();

    // "Restarting the instrument..." -> "restarting the instrument".
    static std::string StepName(const std::string& caption);

private:
    void Begin(const std::string& step);

    ExchangeLog& log_;
    std::function<void()> beforeLine_;
    bool open_ = false;  // between a status or a bar and its hiding
};

} // namespace zem::cli
