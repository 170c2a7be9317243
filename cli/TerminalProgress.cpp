#include "cli/TerminalProgress.h"

#include "cli/StopSignals.h"

#include <ostream>

namespace zem::cli {

TerminalProgress::TerminalProgress(std::ostream& out, bool shown, ExchangeLog* steps)
    : out_(out), shown_(shown)
{
    // A summary line must not land inside the bar: the bar goes, and comes back at the next byte.
    if (steps) steps_.emplace(*steps, [this] {
        Clear();
        percent_ = -1;
    });
}

TerminalProgress::~TerminalProgress() { Clear(); }

void TerminalProgress::SetBusy(bool busy)
{
    if (busy) {
        if (steps_) steps_->Busy();
        Draw("Wait...");
    } else {
        Clear();
    }
}

void TerminalProgress::ShowStatus(const std::string& text)
{
    if (steps_) steps_->Status(text);
    // With a bar on screen the step goes into its line, beside the figure.
    if (maximum_ > 0) {
        status_ = text;
        percent_ = -1;
        Redraw();
    } else {
        Draw(text);
    }
}

void TerminalProgress::ShowProgress(const std::string& caption, int maximum)
{
    if (steps_) steps_->Bar(caption);
    caption_ = caption;
    status_.clear();
    maximum_ = maximum;
    value_ = 0;
    percent_ = -1;
    Redraw();
}

void TerminalProgress::Advance()
{
    if (value_ < maximum_) ++value_;
    if (maximum_ > 0) Redraw();
}

void TerminalProgress::Redraw()
{
    // Redrawn only when the figure changes: thousands of bytes would flood a slow terminal.
    const int percent = maximum_ > 0 ? 100 * value_ / maximum_ : 100;
    if (percent == percent_) return;
    percent_ = percent;
    Draw(caption_ + (status_.empty() ? "" : " " + status_) + " " + std::to_string(percent) + " %");
}

void TerminalProgress::HideProgress()
{
    Clear();
    maximum_ = 0;
    if (steps_) steps_->Hidden();
}

void TerminalProgress::Draw(const std::string& line)
{
    if (!shown_) return;
    const std::size_t pad = width_ > line.size() ? width_ - line.size() : 0;
    out_ << '\r' << line << std::string(pad, ' ') << std::flush;
    width_ = line.size();
}

void TerminalProgress::Clear()
{
    if (!shown_ || width_ == 0) return;
    out_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
    width_ = 0;
}

bool TerminalProgress::Closing() const
{
    return StopSignals::Raised();
}

} // namespace zem::cli
