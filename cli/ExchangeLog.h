#pragma once

#include "link/Clock.h"
#include "link/LinkCounters.h"

#include <nlohmann/json.hpp>

#include <iosfwd>
#include <string>

namespace zem::cli {

// What the links of one command did on the line, from the counters and the injectable clock.
// With --verbose every workflow step and the command as a whole are summarised on stderr.
class ExchangeLog {
public:
    ExchangeLog(std::ostream& out, Clock& clock, bool verbose);

    // Where the command stands: its counters and the clock.
    struct Mark {
        LinkCounters counters;
        double time = 0;
    };

    // Starts counting for the command `name`.
    void Start(std::string name);
    Mark Now() const { return {counters_, clock_.Timer()}; }
    // A workflow step began at `since` (now, by default): the one before it is summarised up to there.
    void Step(const std::string& caption);
    void Step(const std::string& caption, const Mark& since);
    // The command ended: its last step and its totals are summarised.
    void End();

    bool Verbose() const { return verbose_; }
    LinkCounters Counted() const { return counters_; }
    double Seconds() const;
    // {exchanges, frames, retries, resyncs, timeouts, badReplies, failed}
    static nlohmann::json Json(const LinkCounters& counters);

private:
    void Summarise(const std::string& what, const LinkCounters& counters, double seconds);

    std::ostream& out_;
    Clock& clock_;
    bool verbose_;
    std::string name_;
    std::string step_;
    LinkCounters counters_;
    LinkCounters::Tally tally_{counters_};
    Mark atStep_;
    double start_ = 0;
};

} // namespace zem::cli
