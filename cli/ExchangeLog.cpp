#include "cli/ExchangeLog.h"

#include <cstdio>
#include <ostream>

namespace zem::cli {

ExchangeLog::ExchangeLog(std::ostream& out, Clock& clock, bool verbose) : out_(out), clock_(clock), verbose_(verbose) {}

void ExchangeLog::Start(std::string name)
{
    name_ = std::move(name);
    step_.clear();
    counters_ = {};
    atStep_ = Now();
    start_ = atStep_.time;
}

void ExchangeLog::Step(const std::string& caption) { Step(caption, Now()); }

void ExchangeLog::Step(const std::string& caption, const Mark& since)
{
    if (caption == step_) return;
    if (!step_.empty()) Summarise(step_, since.counters - atStep_.counters, SecondiTrascorsi(atStep_.time, since.time));
    step_ = caption;
    atStep_ = since;
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
