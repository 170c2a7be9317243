#include "discovery/ProtocolloModulo.h"

#include <algorithm>

namespace zem::modulo {

namespace {

constexpr std::uint8_t kAccettato = 'A';
constexpr std::uint8_t kSeparatore = '/';

// Bytes [from, to) as text; the bytes are the module's 8-bit characters, kept as they are.
std::string Testo(Risposta r, std::size_t from, std::size_t to)
{
    return {r.begin() + static_cast<std::ptrdiff_t>(from), r.begin() + static_cast<std::ptrdiff_t>(to)};
}

// Where the field that starts at `from` ends: at the first byte for which `fine` holds, or at the
// end of the reply.
template <class Fine>
std::size_t FineCampo(Risposta r, std::size_t from, Fine fine)
{
    const auto it = std::find_if(r.begin() + static_cast<std::ptrdiff_t>(std::min(from, r.size())), r.end(), fine);
    return static_cast<std::size_t>(it - r.begin());
}

bool Separatore(std::uint8_t b) { return b == kSeparatore; }

} // namespace

std::string Seleziona(std::string_view mac) { return "W" + std::string(mac); }

std::string AssegnaIP(std::string_view mac, std::string_view indirizzo)
{
    return "A" + std::string(mac) + "//" + std::string(indirizzo);
}

bool Accettata(Risposta risposta) { return !risposta.empty() && risposta[0] == kAccettato; }

bool Rifiutata(Risposta risposta) { return !risposta.empty() && risposta[0] != kAccettato; }

std::string TestoRifiuto(std::string_view riga, Risposta risposta)
{
    std::string testo = std::string(riga) + "\r\nReply code: ";
    if (!risposta.empty()) testo += static_cast<char>(risposta[0]);
    return testo;
}

CampiScoperta LeggiScoperta(Risposta risposta)
{
    CampiScoperta campi;
    std::size_t inizio = 1;
    for (int campo = 1; campo <= 5; ++campo) {
        const std::size_t fine = FineCampo(risposta, inizio, Separatore);
        if (campo == 1) campi.mac = Testo(risposta, std::min(inizio, fine), fine);
        if (campo == 2) campi.porta = Testo(risposta, std::min(inizio, fine), fine);
        inizio = fine + 1;
    }
    const std::size_t fine = FineCampo(risposta, inizio, [](std::uint8_t b) { return b == kSeparatore || b == 0; });
    campi.nome = Testo(risposta, std::min(inizio, fine), fine);
    return campi;
}

bool RispostaDiScoperta(Risposta risposta)
{
    if (!Accettata(risposta)) return false;
    if (std::count(risposta.begin(), risposta.end(), kSeparatore) < 5) return false;
    const CampiScoperta campi = LeggiScoperta(risposta);
    return !campi.mac.empty() && !campi.porta.empty()
           && std::all_of(campi.porta.begin(), campi.porta.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string IndirizzoIP(Risposta risposta)
{
    const std::size_t fine = FineCampo(risposta, 1, Separatore);
    return Testo(risposta, std::min<std::size_t>(1, fine), fine);
}

bool Interlocutore::Ascolta(const std::string& mittente, Risposta risposta)
{
    if (indirizzo_.empty()) {
        if (Accettata(risposta)) indirizzo_ = mittente;
        return true;
    }
    if (mittente == indirizzo_) return true;
    ++estranee_;
    return false;
}

bool IndirizzoAssegnabile(std::string_view indirizzo)
{
    std::array<int, 4> ottetti{};
    std::size_t i = 0;
    for (int& ottetto : ottetti) {
        const std::size_t inizio = i;
        int valore = 0;
        while (i < indirizzo.size() && i - inizio < 3 && indirizzo[i] >= '0' && indirizzo[i] <= '9')
            valore = valore * 10 + (indirizzo[i++] - '0');
        if (i == inizio || valore > 255) return false;
        ottetto = valore;
        const bool ultimo = &ottetto == &ottetti.back();
        if (ultimo ? i != indirizzo.size() : (i >= indirizzo.size() || indirizzo[i++] != '.')) return false;
    }
    const bool zero = ottetti == std::array<int, 4>{};
    return !zero && ottetti[0] < 224;
}

} // namespace zem::modulo
