#include "cli/WorkflowSteps.h"

#include <cctype>

namespace zem::cli {

std::string WorkflowSteps::StepName(const std::string& caption)
{
    std::string name = caption;
    while (!name.empty() && (name.back() == '.' || name.back() == ':' || name.back() == ' ')) name.pop_back();
    if (name.size() > 1 && std::isupper(static_cast<unsigned char>(name[0])) && std::islower(static_cast<unsigned char>(name[1])))
        name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    return name;
}

void WorkflowSteps::Begin(const std::string& step)
{
    beforeLine_();
    log_.Step(step, log_.Now());
}

void WorkflowSteps::Busy()
{
    // Busy with neither a bar nor a status: the link is opening (or reopening after a restart).
    if (!open_) Begin("opening");
}

void WorkflowSteps::Status(const std::string& text)
{
    open_ = true;
    Begin(StepName(text));
}

void WorkflowSteps::Bar(const std::string& caption)
{
    open_ = true;
    Begin(StepName(caption));
}

void WorkflowSteps::Hidden()
{
    // What a workflow reads after a restart or a transfer, until its next step.
    if (open_) Begin("reading the instrument");
    open_ = false;
}

} // namespace zem::cli
