#include "profile/CatalogoFunzioni.h"

#include <array>

namespace zem {

namespace {

constexpr std::array<std::string_view, 20> kIngressi = {
    "* Wrong setup *", "Not used", "Start measure", "Enable measure", "Operation select A",
    "Operation select B", "Operation select C", "Operation select D", "Top dead course",
    "Idle status", "Reset rejected", "Rejected basket", "Direction", "Hold",
    "Increment serial number", "Aux input 1", "Preset position", "Remote command",
    "Serial clock", "Serial data"};

constexpr std::array<std::string_view, 15> kUscite = {
    "* Wrong setup *", "Not used", "Go signal", "Protection", "Good signal", "Rejected signal",
    "Brake signal", "Set Point 1", "Set Point 2", "Set Point 3", "Set Point 4", "Main valve",
    "Fully retracted", "Aux output 1", "Load signal"};

template <std::size_t N>
std::string Nome(const std::array<std::string_view, N>& tabella, std::int32_t codice)
{
    if (codice < -1) return {};
    if (codice >= static_cast<std::int32_t>(N) - 1) return "Special function";
    return std::string(tabella[static_cast<std::size_t>(codice + 1)]);
}

std::string Rifila(std::string_view s)
{
    const auto primo = s.find_first_not_of(' ');
    if (primo == std::string_view::npos) return {};
    return std::string(s.substr(primo, s.find_last_not_of(' ') - primo + 1));
}

char Maiuscola(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::string NomeFunzioneIngresso(std::int32_t codice)
{
    return Nome(kIngressi, codice);
}

std::string NomeFunzioneUscita(std::int32_t codice)
{
    return Nome(kUscite, codice);
}

std::string ChiaveDaNome(std::string_view nome)
{
    std::string chiave(nome);
    for (;;) {
        chiave = Rifila(chiave);
        if (const auto p = chiave.find('&'); p != std::string::npos) {
            chiave.erase(p, 1);
        } else if (const auto b = chiave.find(' '); b != std::string::npos) {
            // A blank just before the last character only goes: "Aux input 1" ends in "1".
            if (b + 2 < chiave.size()) chiave[b + 1] = Maiuscola(chiave[b + 1]);
            chiave.erase(b, 1);
        } else if (const auto d = chiave.find(':'); d != std::string::npos) {
            chiave.erase(d, 1);
        } else {
            return chiave;
        }
    }
}

PercorsoDiviso DividiPercorso(std::string_view percorso)
{
    PercorsoDiviso parti;
    const auto separatore = percorso.find_last_of("\\/");
    std::string_view nome = percorso;
    if (separatore != std::string_view::npos) {
        parti.Cartella = std::string(percorso.substr(0, separatore + 1));
        nome = percorso.substr(separatore + 1);
    }
    const auto punto = nome.find_last_of('.');
    if (punto == std::string_view::npos) {
        parti.Nome = std::string(nome);
    } else {
        parti.Nome = std::string(nome.substr(0, punto));
        parti.Estensione = std::string(nome.substr(punto + 1));
    }
    return parti;
}

} // namespace zem
