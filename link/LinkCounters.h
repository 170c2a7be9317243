#pragma once

#include <cstdint>

namespace zem {

// What the links of this thread did on the line, for a technician telling a bad cable (replies
// garbled, retries that then succeed) from a dead instrument (no reply at all, every exchange
// given up). The links only count; whoever wants the figures holds a Tally while they work.
struct LinkCounters {
    std::uint64_t exchanges = 0;   // requests the link set out to send
    std::uint64_t frames = 0;      // request frames put on the line, retries included
    std::uint64_t retries = 0;     // frames sent again after a failed attempt
    std::uint64_t resyncs = 0;     // line resynchronisations
    std::uint64_t timeouts = 0;    // attempts whose echo or reply did not arrive in time
    std::uint64_t badReplies = 0;  // attempts whose echo, count or checksum was wrong
    std::uint64_t failed = 0;      // exchanges given up after every attempt

    LinkCounters& operator-=(const LinkCounters& earlier);
    friend LinkCounters operator-(LinkCounters later, const LinkCounters& earlier) { return later -= earlier; }
    friend bool operator==(const LinkCounters&, const LinkCounters&) = default;

    // Adds one to `field` of the counters a Tally of this thread collects into; nothing without one.
    static void Count(std::uint64_t LinkCounters::*field);

    // While alive, this thread's links count into `into`; the previous Tally's target comes back after.
    class Tally {
    public:
        explicit Tally(LinkCounters& into);
        ~Tally();
        Tally(const Tally&) = delete;
        Tally& operator=(const Tally&) = delete;

    private:
        LinkCounters* previous_;
    };
};

} // namespace zem
