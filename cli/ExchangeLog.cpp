#include "cli/ExchangeLog.h"

#include "link/Clock.h"

#include <cstdio>
#include <ostream>

namespace zem::cli {

ExchangeLog::ExchangeLog(std::ostream& out, Clock& clock, bool verbose) : out_(out), clock_(clock), verbose_(verbose) {}

void ExchangeLog::Start(std::string name)
{
    name_ = std::move(name);
    step_.clear();
    counters_ = atStep_ = {};
    start_ = stepStart_ = clock_.Timer();
}

void ExchangeLog::Step(const std::string& caption)
{
    if (caption == step_) return;
    const double now = clock_.Timer();
    if (!step_.empty()) Summarise(step_, counters_ - atStep_, SecondiTrascorsi(stepStart_, now));
    step_ = caption;
    atStep_ = counters_;
    stepStart_ = now;
}

void ExchangeLog::End()
{
    Step("");
    Summarise(name_, counters_, Seconds());
}

double ExchangeLog::Seconds() const { return SecondiTrascorsi(start_, clock_.Timer()); }

nlohmann::json ExchangeLog::Json(const LinkCounters& c)
{
    return {{"exchanges", c.exchanges}, {"frames", c.frames},     {"retries", c.retries}, {"resyncs", c.resyncs},
            {"timeouts", c.timeouts},   {"badReplies", c.badReplies}, {"failed", c.failed}};
}

void ExchangeLog::Summarise(const std::string& what, const LinkCounters& c, double seconds)
{
    // A step that never touched the line says nothing worth a line.
    if (!verbose_ || (c.exchanges == 0 && what != name_)) return;
    char time[32];
    std::snprintf(time, sizeof time, "%.3f s", seconds);
    out_ << "zemcli: " << what << ": " << c.exchanges << " exchanges, " << c.frames << " frames, " << c.retries
         << " retries, " << c.resyncs << " resyncs, " << c.timeouts << " time-outs, " << c.badReplies
         << " bad replies, " << c.failed << " given up; " << time << std::endl;
}

} // namespace zem::cli
