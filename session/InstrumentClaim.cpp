#include "session/InstrumentClaim.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {

std::string Cause(const std::string& path) { return path + ": " + std::strerror(errno); }

// The folder must be ours and no link, or another user could take or fake every claim.
bool OwnFolder(const std::string& folder, std::string& refusal)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        refusal = "The instrument cannot be claimed: " + Cause(folder);
        return false;
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        refusal = "The instrument cannot be claimed: " + Cause(folder);
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        refusal = "The instrument cannot be claimed: " + folder + " is not a folder of this user.";
        return false;
    }
    return true;
}

std::string HolderPid(int fd)
{
    char text[24] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    std::string pid = n > 0 ? std::string(text, static_cast<std::size_t>(n)) : std::string();
    while (!pid.empty() && (pid.back() == '\n' || pid.back() == ' ')) pid.pop_back();
    return pid.empty() ? "unknown" : pid;
}

// The PID only names the holder to the one refused; the lock is what counts, so a PID that could
// not be written costs nothing else.
bool WritePid(int fd)
{
    const std::string pid = std::to_string(::getpid()) + "\n";
    return ::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.data(), pid.size(), 0) == static_cast<ssize_t>(pid.size());
}

} // namespace

std::string InstrumentClaim::RuntimeFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') return std::string(runtime) + "/zemsetup";
    return "/tmp/zemsetup-" + std::to_string(::getuid());
}

std::string InstrumentClaim::FileName(std::string_view chiave)
{
    std::string name;
    for (const char c : chiave) {
        const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
        name += kept ? c : '_';
    }
    return name + ".lock";
}

InstrumentClaim::InstrumentClaim(std::string_view chiave, std::string_view scope, std::string folder)
{
    if (folder.empty()) folder = RuntimeFolder();
    if (!OwnFolder(folder, refusal_)) return;
    const std::string path = folder + "/" + std::string(scope) + FileName(chiave);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        refusal_ = "The instrument cannot be claimed: " + Cause(path);
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        refusal_ = errno == EWOULDBLOCK ? "The instrument is in use by another program (PID " + HolderPid(fd) + ")."
                                        : "The instrument cannot be claimed: " + Cause(path);
        ::close(fd);
        return;
    }
    WritePid(fd);
    fd_ = fd;
}

InstrumentClaim::~InstrumentClaim()
{
    if (fd_ >= 0) ::close(fd_);
}

} // namespace zem
