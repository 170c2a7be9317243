#include "link/LayoutRicordati.h"

#include <fstream>
#include <sstream>
#include <unistd.h>

namespace zem {

void RegistroLayout::Ricorda(const std::string& canale, const LayoutMemoria& layout)
{
    if (canale.empty()) return;
    std::lock_guard lock(mutex_);
    Carica();
    auto& noto = layout_[canale];
    if (noto == layout) return;
    noto = layout;
    Salva();
}

std::optional<LayoutMemoria> RegistroLayout::Ricordato(const std::string& canale)
{
    std::lock_guard lock(mutex_);
    Carica();
    const auto it = layout_.find(canale);
    if (it == layout_.end()) return std::nullopt;
    return it->second;
}

void RegistroLayout::ConservaIn(std::filesystem::path file)
{
    std::lock_guard lock(mutex_);
    file_ = std::move(file);
    caricato_ = false;
}

// One line a channel: the channel's name, then the five numbers. A line that does not read so is
// skipped: at worst that instrument is met again as never heard.
void RegistroLayout::Carica()
{
    if (caricato_ || file_.empty()) return;
    caricato_ = true;
    std::ifstream in(file_);
    for (std::string riga; std::getline(in, riga);) {
        std::istringstream campi(riga);
        std::string canale;
        LayoutMemoria l;
        if (campi >> canale >> l.dimensioneConfigurazione >> l.indirizzoAreaPRAM >> l.dimensioneAreaPRAM
                >> l.opzioneVelocita >> l.protocollo)
            layout_.try_emplace(canale, l);
    }
}

// Replaced whole through a file of its own, so that a program stopped while writing leaves the
// old list and never half of one.
void RegistroLayout::Salva() const
{
    if (file_.empty()) return;
    std::error_code e;
    std::filesystem::create_directories(file_.parent_path(), e);
    const auto nuovo = file_.string() + "." + std::to_string(::getpid());
    {
        std::ofstream out(nuovo, std::ios::trunc);
        for (const auto& [canale, l] : layout_)
            out << canale << ' ' << l.dimensioneConfigurazione << ' ' << l.indirizzoAreaPRAM << ' '
                << l.dimensioneAreaPRAM << ' ' << l.opzioneVelocita << ' ' << l.protocollo << '\n';
        if (!out.flush()) {
            std::filesystem::remove(nuovo, e);
            return;
        }
    }
    std::filesystem::rename(nuovo, file_, e);
    if (e) std::filesystem::remove(nuovo, e);
}

RegistroLayout& LayoutDelProgramma()
{
    static RegistroLayout registro;
    return registro;
}

} // namespace zem
