#pragma once

#include <memory>
#include <string>

namespace zem {

// A host name looked up on a thread of its own: with the plant's name server out of reach a
// look-up lasts many seconds, and the recorder must go on polling its instruments meanwhile (they
// keep only their last piece). A numeric address needs no look-up and is known at once. The object
// may go before its look-up ends; the look-up then ends unheard.
class HostLookup {
public:
    explicit HostLookup(const std::string& host);

    bool Done() const;
    // Once done: the address as digits (IPv4 preferred, the broker may listen on it only), or empty
    // with the reason in Error().
    std::string Address() const;
    std::string Error() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace zem
