// Arbitrary bytes as an Ethernet module's reply: every reading of it stays inside the datagram,
// needs no zero byte, and gives fields that are pieces of the reply in their place.
#include "discovery/ProtocolloModulo.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Verifica(bool condizione)
{
    if (!condizione) std::abort();
}

bool Contiene(const std::string& testo, char c) { return testo.find(c) != std::string::npos; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A copy of exactly the datagram's length, so that any read past it is caught.
    const std::vector<std::uint8_t> risposta(data, data + size);
    const std::string testo(risposta.begin(), risposta.end());
    namespace modulo = zem::modulo;

    const bool accettata = modulo::Accettata(risposta);
    Verifica(accettata == (size > 0 && data[0] == 'A'));
    Verifica(modulo::Rifiutata(risposta) == (size > 0 && !accettata));

    const auto campi = modulo::LeggiScoperta(risposta);
    Verifica(!Contiene(campi.mac, '/') && !Contiene(campi.porta, '/'));
    Verifica(!Contiene(campi.nome, '/') && !Contiene(campi.nome, '\0'));
    if (size > 0) Verifica(testo.compare(1, campi.mac.size(), campi.mac) == 0);
    if (!campi.porta.empty()) Verifica(testo.find("/" + campi.porta, 1) == 1 + campi.mac.size());
    if (!campi.nome.empty()) Verifica(Contiene(testo, '/') && testo.find(campi.nome) != std::string::npos);
    if (modulo::RispostaDiScoperta(risposta)) {
        Verifica(accettata && !campi.mac.empty() && !campi.porta.empty());
        Verifica(std::count(testo.begin(), testo.end(), '/') >= 5);
    }

    const std::string ip = modulo::IndirizzoIP(risposta);
    Verifica(!Contiene(ip, '/') && (size == 0 ? ip.empty() : testo.compare(1, ip.size(), ip) == 0));
    Verifica(ip == campi.mac);

    const std::string rifiuto = modulo::TestoRifiuto("Login rejected.", risposta);
    Verifica(rifiuto.size() == std::string("Login rejected.\r\nReply code: ").size() + (size > 0 ? 1 : 0));

    // The same bytes typed as a new address: accepted only as four numbers the module can take.
    if (modulo::IndirizzoAssegnabile(testo)) {
        Verifica(std::count(testo.begin(), testo.end(), '.') == 3 && testo.size() <= 15);
        Verifica(std::all_of(testo.begin(), testo.end(), [](char c) { return c == '.' || (c >= '0' && c <= '9'); }));
    }
    return 0;
}
