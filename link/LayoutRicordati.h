#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace zem {

// What an instrument's normal-mode version reply says of its memory, and the type code the
// instrument gave with it.
struct LayoutMemoria {
    std::int32_t dimensioneConfigurazione = 0;
    std::uint32_t indirizzoAreaPRAM = 0;
    std::uint32_t dimensioneAreaPRAM = 0;
    int opzioneVelocita = 0;
    int protocollo = 0;
    bool operator==(const LayoutMemoria&) const = default;
};

// The layouts instruments reported in normal mode, by channel (a bridge's serial number, a
// module's address). The loader that answers in update mode tells nothing of the memory, so a
// mailbox instrument found there is reached through what an earlier link heard. With a file the
// layouts outlive the run: an instrument a memory test left in update mode can be programmed by
// the next program too.
class RegistroLayout {
public:
    explicit RegistroLayout(std::filesystem::path file = {}) : file_(std::move(file)) {}
    void Ricorda(const std::string& canale, const LayoutMemoria& layout);
    std::optional<LayoutMemoria> Ricordato(const std::string& canale);
    void ConservaIn(std::filesystem::path file);

private:
    void Carica();
    void Salva() const;

    std::mutex mutex_;
    std::filesystem::path file_;
    bool caricato_ = false;
    std::map<std::string, LayoutMemoria> layout_;
};

// The program's registry, which every link uses; in memory only until a file is given.
RegistroLayout& LayoutDelProgramma();

} // namespace zem
