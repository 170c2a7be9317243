#include "cli/WorkflowSteps.h"

#include <cctype>

namespace zem::cli {

namespace {

// The memory programming's bar, shared by send and restore.
const char* const kProgrammingBar = "Progress:";

} // namespace

std::string WorkflowSteps::StepName(const std::string& caption)
{
    std::string name = caption;
    while (!name.empty() && (name.back() == '.' || name.back() == ':' || name.back() == ' ')) name.pop_back();
    if (name.size() > 1 && std::isupper(static_cast<unsigned char>(name[0])) && std::islower(static_cast<unsigned char>(name[1])))
        name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    return name;
}

void WorkflowSteps::Begin(const std::string& step) { Begin(step, log_.Now()); }

void WorkflowSteps::Begin(const std::string& step, const ExchangeLog::Mark& since)
{
    beforeLine_();
    log_.Step(step, since);
}

void WorkflowSteps::Busy()
{
    // Busy with neither a bar nor a status: the link is opening (or reopening after a restart).
    if (!open_) Begin("opening");
}

void WorkflowSteps::Status(const std::string& text)
{
    open_ = true;
    phase_ = Phase::Other;
    Begin(StepName(text));
}

void WorkflowSteps::Bar(const std::string& caption)
{
    open_ = true;
    advanced_ = false;
    polled_ = log_.Now();
    if (caption == kProgrammingBar) {
        phase_ = Phase::Clearing;
        Begin("clearing the header");
    } else {
        phase_ = Phase::Other;
        Begin(StepName(caption));
    }
}

void WorkflowSteps::Advanced()
{
    advanced_ = true;
    if (phase_ != Phase::Clearing) return;
    phase_ = Phase::Writing;
    Begin("writing memory");
}

void WorkflowSteps::Polled()
{
    const ExchangeLog::Mark now = log_.Now();
    // A read between two polls that did not move the bar: the check began at the first of them.
    if (phase_ == Phase::Writing && !advanced_ && now.counters.exchanges > polled_.counters.exchanges) {
        phase_ = Phase::Verifying;
        Begin("verifying and writing the header", polled_);
    }
    polled_ = now;
    advanced_ = false;
}

void WorkflowSteps::Hidden()
{
    // What a workflow reads after a restart or a transfer, until its next step.
    if (open_) Begin("reading the instrument");
    open_ = false;
    phase_ = Phase::Other;
}

} // namespace zem::cli
