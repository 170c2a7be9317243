#include "cli/PasswordFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace zem::cli {

namespace {
constexpr std::size_t kMassimo = 4096;  // far past any password; a huge file is not read whole
}

std::optional<std::string> ReadPasswordFile(const std::string& path, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read the password file " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::string text(kMassimo, '\0');
    std::size_t letti = 0;
    while (letti < text.size()) {
        const ssize_t n = ::read(fd, text.data() + letti, text.size() - letti);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = "cannot read the password file " + path + ": " + std::strerror(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        letti += static_cast<std::size_t>(n);
    }
    ::close(fd);
    text.resize(letti);
    if (text.empty()) {
        error = "the password file " + path + " is empty";
        return std::nullopt;
    }
    text = text.substr(0, text.find('\n'));
    return text.substr(0, text.find('\r'));
}

} // namespace zem::cli
