#include "cli/StopSignals.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace zem::cli {

namespace {

constexpr int kExitStopped = 3;  // cancelled
volatile std::sig_atomic_t raised = 0;
std::atomic<const char*> state{"The instrument is unchanged."};
struct sigaction previousInt {}, previousTerm {};

void Write(const char* text) { [[maybe_unused]] const auto n = ::write(STDERR_FILENO, text, std::strlen(text)); }

void OnSignal(int)
{
    if (raised == 0) {
        raised = 1;
        Write("zemcli: stopping after the step under way (again to stop at once)\n");
        return;
    }
    Write("zemcli: stopped at once. ");
    Write(state.load());
    Write("\n");
    ::_exit(kExitStopped);
}

} // namespace

StopSignals::StopSignals()
{
    raised = 0;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previousInt);
    ::sigaction(SIGTERM, &action, &previousTerm);
}

StopSignals::~StopSignals()
{
    ::sigaction(SIGINT, &previousInt, nullptr);
    ::sigaction(SIGTERM, &previousTerm, nullptr);
    state = "The instrument is unchanged.";
}

bool StopSignals::Raised() { return raised != 0; }

void StopSignals::SetState(const char* text) { state = text; }

void IgnoreBrokenPipe() { std::signal(SIGPIPE, SIG_IGN); }

} // namespace zem::cli
