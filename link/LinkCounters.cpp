#include "link/LinkCounters.h"

namespace zem {

namespace {

// Per thread, so that links in parallel test threads never count into each other's tallies.
thread_local LinkCounters* current = nullptr;

} // namespace

LinkCounters& LinkCounters::operator-=(const LinkCounters& earlier)
{
    exchanges -= earlier.exchanges;
    frames -= earlier.frames;
    retries -= earlier.retries;
    resyncs -= earlier.resyncs;
    timeouts -= earlier.timeouts;
    badReplies -= earlier.badReplies;
    failed -= earlier.failed;
    return *this;
}

void LinkCounters::Count(std::uint64_t LinkCounters::*field)
{
    if (current) ++(current->*field);
}

LinkCounters::Tally::Tally(LinkCounters& into) : previous_(current) { current = &into; }

LinkCounters::Tally::~Tally() { current = previous_; }

} // namespace zem
