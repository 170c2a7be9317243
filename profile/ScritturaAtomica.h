#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace zem {

// Every file the tool writes is replaced whole or not at all: the new content goes to a temporary
// file of its own in the same folder (created exclusively, never through a link), is flushed to
// the disk, and only then renamed over the target, whose folder is flushed in turn. A reader, a
// crash or a full disk therefore sees the old file or the new one, never a mixture.
class ScritturaAtomica {
public:
    // Writes `contenuto` as `percorso`; nullopt when done, else why not (the old file untouched).
    // The new file takes the mode of the one it replaces, or `modoNuovo` (less the umask). A link
    // at `percorso` is replaced, not followed, so no file elsewhere is ever written through it.
    static std::optional<std::string> Scrivi(const std::string& percorso, std::string_view contenuto,
                                             mode_t modoNuovo = 0666);
};

} // namespace zem
