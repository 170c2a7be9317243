#pragma once

namespace zem::cli {

// SIGINT and SIGTERM while a command changes an instrument. The first asks the workflow to stop:
// it polls Raised between its steps, finishes the step under way and leaves the instrument as
// safe as it can. The second ends the program at once, with the state the workflow last set
// printed on stderr. The previous handlers come back when the object goes.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    static bool Raised();
    // What the instrument is left as if the program ended now; `text` must outlive the command
    // (a literal), since a signal handler prints it.
    static void SetState(const char* text);
};

// A reader that went away (zemcli monitor | head -1) makes writes fail with EPIPE instead of
// killing the program, so that the command still ends through its own clean-up.
void IgnoreBrokenPipe();

} // namespace zem::cli
