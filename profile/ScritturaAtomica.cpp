#include "profile/ScritturaAtomica.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {

std::string Causa(const std::string& cosa, const std::string& file, int numero)
{
    return cosa + " " + file + ": " + std::strerror(numero);
}

// A name no one can have prepared: a planted file or link there makes the open fail, never follow.
int ApriTemporaneo(const std::filesystem::path& cartella, const std::string& nome, std::string& temporaneo,
                   mode_t modo)
{
    static std::mt19937_64 casuale{std::random_device{}()};
    for (int tentativo = 0; tentativo < 100; ++tentativo) {
        temporaneo = (cartella / ("." + nome + "." + std::to_string(::getpid()) + "-" +
                                  std::to_string(casuale() % 1000000000000ULL) + ".tmp")).string();
        const int fd = ::open(temporaneo.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, modo);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool ScriviTutto(int fd, std::string_view contenuto)
{
    std::size_t scritti = 0;
    while (scritti < contenuto.size()) {
        const ssize_t n = ::write(fd, contenuto.data() + scritti, contenuto.size() - scritti);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        scritti += static_cast<std::size_t>(n);
    }
    return true;
}

// The rename is only lasting once the folder that holds the new name is on the disk too.
void SincronizzaCartella(const std::filesystem::path& cartella)
{
    const int fd = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::optional<std::string> ScritturaAtomica::Scrivi(const std::string& percorso, std::string_view contenuto,
                                                    mode_t modoNuovo)
{
    const std::filesystem::path target(percorso);
    if (target.filename().empty()) return Causa("Cannot write", percorso, EISDIR);
    struct stat info {};
    const bool esiste = ::lstat(percorso.c_str(), &info) == 0;
    if (esiste && S_ISDIR(info.st_mode)) return Causa("Cannot write", percorso, EISDIR);
    if (esiste && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode))
        return "Cannot write " + percorso + ": it is not a regular file.";
    const std::filesystem::path cartella = target.has_parent_path() ? target.parent_path() : ".";

    std::string temporaneo;
    const int fd = ApriTemporaneo(cartella, target.filename().string(), temporaneo, modoNuovo);
    if (fd < 0) return Causa("Cannot write in", cartella.string(), errno);
    // The replacement keeps the permissions of the file it replaces (a password file stays private).
    if (esiste && S_ISREG(info.st_mode)) ::fchmod(fd, info.st_mode & 07777);

    bool riuscito = ScriviTutto(fd, contenuto) && ::fsync(fd) == 0;
    int numero = errno;
    if (::close(fd) != 0 && riuscito) {
        riuscito = false;
        numero = errno;
    }
    if (riuscito && ::rename(temporaneo.c_str(), percorso.c_str()) != 0) {
        const int errore = errno;
        ::unlink(temporaneo.c_str());
        return Causa("Cannot replace", percorso, errore);
    }
    if (!riuscito) {
        ::unlink(temporaneo.c_str());
        return Causa("Cannot write", percorso, numero);
    }
    SincronizzaCartella(cartella);
    return std::nullopt;
}

} // namespace zem
