#pragma once

#include <string>
#include <string_view>

namespace zem {

// One program at a time changes an instrument: a lock file per instrument key in the user's
// runtime folder ($XDG_RUNTIME_DIR/zemsetup, else /tmp/zemsetup-UID), held with flock so that a
// program that dies releases it with its descriptors. The holder writes its PID into the file,
// so that the one refused can name it.
class InstrumentClaim {
public:
    // Claims the instrument named by `chiave`; `scope` is set before the file's name (the
    // platform's claim scope), `folder` "" for the user's runtime folder.
    explicit InstrumentClaim(std::string_view chiave, std::string_view scope = {}, std::string folder = {});
    ~InstrumentClaim();
    InstrumentClaim(const InstrumentClaim&) = delete;
    InstrumentClaim& operator=(const InstrumentClaim&) = delete;

    bool Held() const { return fd_ >= 0; }
    // Why the claim is not held: "The instrument is in use by another program (PID n)." or why
    // the lock file could not be made; "" while held.
    const std::string& Refusal() const { return refusal_; }

    static std::string RuntimeFolder();
    // The lock file's name for a key: its letters, digits, dots and dashes, "_" for the rest.
    static std::string FileName(std::string_view chiave);

private:
    int fd_ = -1;
    std::string refusal_;
};

} // namespace zem
