#include "cli/TerminalProgress.h"

#include "cli/StopSignals.h"

#include <ostream>

namespace zem::cli {

TerminalProgress::TerminalProgress(std::ostream& out, bool shown) : out_(out), shown_(shown) {}

TerminalProgress::~TerminalProgress() { Clear(); }

void TerminalProgress::SetBusy(bool busy)
{
    if (busy)
        Draw("Wait...");
    else
        Clear();
}

void TerminalProgress::ShowProgress(const std::string& caption, int maximum)
{
    caption_ = caption;
    maximum_ = maximum;
    value_ = 0;
    percent_ = -1;
    Redraw();
}

void TerminalProgress::Advance()
{
    if (value_ < maximum_) ++value_;
    Redraw();
}

void TerminalProgress::Redraw()
{
    // Redrawn only when the figure changes: thousands of bytes would flood a slow terminal.
    const int percent = maximum_ > 0 ? 100 * value_ / maximum_ : 100;
    if (percent == percent_) return;
    percent_ = percent;
    Draw(caption_ + " " + std::to_string(percent) + " %");
}

void TerminalProgress::HideProgress() { Clear(); }

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

bool TerminalProgress::Closing() const { return StopSignals::Raised(); }

} // namespace zem::cli
