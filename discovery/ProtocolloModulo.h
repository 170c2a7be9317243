#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zem::modulo {

// The Ethernet module's command protocol: ASCII commands, one to a datagram and without
// terminator, answered by one datagram whose first byte is the status ("A" accepted, anything else
// the rejection code). Replies are read as they came: any length, no zero byte needed, and nothing
// is read outside them.

using Risposta = std::span<const std::uint8_t>;

inline constexpr std::string_view kScopri = "X";
inline constexpr std::string_view kFineSelezione = "W";
inline constexpr std::string_view kLogin = "L";
inline constexpr std::string_view kLeggiIP = "GIP";
inline constexpr std::string_view kLogout = "O";
// The device settings written after a new address, in order; their values are the module's.
inline constexpr std::array<std::string_view, 7> kImpostazioni = {
    "SONQ.B.F.", "SDNZEMA", "SBR7", "SSI0", "SFC0", "SRC0", "SDS1"};

// "W" + MAC text: the module with that MAC answers the commands that follow.
std::string Seleziona(std::string_view mac);
// "A" + MAC text + "//" + address.
std::string AssegnaIP(std::string_view mac, std::string_view indirizzo);

// The first byte is "A".
bool Accettata(Risposta risposta);
// A status byte other than "A". An empty datagram carries no status: neither accepted nor rejected.
bool Rifiutata(Risposta risposta);
// `riga`, CR LF, "Reply code: " and the status byte as a character.
std::string TestoRifiuto(std::string_view riga, Risposta risposta);

// The fields of a discovery reply: "A", MAC text, "/", data port, "/", three fields each ended by
// "/", then the device name, ended by "/", a zero byte or the end. A field the reply does not hold
// is empty.
struct CampiScoperta {
    std::string mac;
    std::string porta;
    std::string nome;
};
CampiScoperta LeggiScoperta(Risposta risposta);

// Accepted and shaped as a discovery reply (a MAC text, a decimal data port and the three further
// fields, each ended by "/"). Such a reply answers "X" only: a module still answering the search,
// or another module, never answers a command meant for the module being set up.
bool RispostaDiScoperta(Risposta risposta);

// The address in a "GIP" reply: the bytes after the status up to the first "/", or to the end.
std::string IndirizzoIP(Risposta risposta);

// The module a window talks to over the broadcast, known by the address its first accepted reply
// came from: a reply from any other address is not its answer, and is dropped and counted.
class Interlocutore {
public:
    // True when a reply from `mittente` is the module's.
    bool Ascolta(const std::string& mittente, Risposta risposta);
    // The module answers from `indirizzo` from now on (it was just given that address).
    void Sposta(std::string indirizzo) { indirizzo_ = std::move(indirizzo); }
    void Dimentica() { indirizzo_.clear(); }
    std::uint64_t Estranee() const { return estranee_; }

private:
    std::string indirizzo_;  // "" until a reply was accepted
    std::uint64_t estranee_ = 0;
};

// An address a module can be given: four decimal numbers 0-255 joined by dots, and none of
// 0.0.0.0, 255.255.255.255 or the multicast and reserved ranges (224 and above), which would make
// the module unreachable.
bool IndirizzoAssegnabile(std::string_view indirizzo);

} // namespace zem::modulo
