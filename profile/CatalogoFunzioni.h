#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zem {

// The functions a measure can give to the instrument's inputs and outputs: code -1 is an input
// or output claimed by two different functions, 0 is "not used".
std::string NomeFunzioneIngresso(std::int32_t codice);
std::string NomeFunzioneUscita(std::int32_t codice);

// The profile-file key of a function's display name ("Aux input 1" -> "AuxInput1").
std::string ChiaveDaNome(std::string_view nome);

struct PercorsoDiviso {
    std::string Cartella;     // with its trailing separator; empty when the path has none
    std::string Nome;         // without the extension
    std::string Estensione;   // without the dot
};

// Splits at the last "\" or "/" (profiles travel between Windows and Linux machines), then the
// name at its last ".".
PercorsoDiviso DividiPercorso(std::string_view percorso);

} // namespace zem
