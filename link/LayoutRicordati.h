#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zem {

// What an instrument's normal-mode version reply says of its memory.
struct LayoutMemoria {
    std::int32_t dimensioneConfigurazione = 0;
    std::uint32_t indirizzoAreaPRAM = 0;
    std::uint32_t dimensioneAreaPRAM = 0;
    int opzioneVelocita = 0;
};

// The layouts instruments reported in normal mode during this run of the program, by channel (a
// bridge's serial number, a module's address). The loader that answers in update mode tells
// nothing of the memory, so a mailbox instrument found there by a later link is reached through
// what an earlier link heard.
void RicordaLayout(const std::string& canale, const LayoutMemoria& layout);
std::optional<LayoutMemoria> LayoutRicordato(const std::string& canale);

} // namespace zem
