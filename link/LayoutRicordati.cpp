#include "link/LayoutRicordati.h"

#include <map>
#include <mutex>

namespace zem {

namespace {

struct Ricordati {
    std::mutex mutex;
    std::map<std::string, LayoutMemoria> layout;
};

Ricordati& Registro()
{
    static Ricordati r;
    return r;
}

} // namespace

void RicordaLayout(const std::string& canale, const LayoutMemoria& layout)
{
    if (canale.empty()) return;
    std::lock_guard lock(Registro().mutex);
    Registro().layout[canale] = layout;
}

std::optional<LayoutMemoria> LayoutRicordato(const std::string& canale)
{
    std::lock_guard lock(Registro().mutex);
    const auto it = Registro().layout.find(canale);
    if (it == Registro().layout.end()) return std::nullopt;
    return it->second;
}

} // namespace zem
