// Arbitrary bytes as a settings file and as a profile file: loading, reading, editing and saving
// must never crash, and what is saved must read back as it was.
#include "profile/IniFile.h"
#include "profile/ProfiloZem.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <stdlib.h>

namespace {

void Verifica(bool condizione)
{
    if (!condizione) std::abort();
}

const std::string& Cartella()
{
    static const std::string cartella = [] {
        std::string modello = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/zemfuzz-XXXXXX" : "/tmp/zemfuzz-XXXXXX";
        Verifica(::mkdtemp(modello.data()) != nullptr);
        return modello;
    }();
    return cartella;
}

std::string Scrivi(const std::string& nome, const std::string& contenuto)
{
    const std::string file = Cartella() + "/" + nome;
    std::ofstream(file, std::ios::binary | std::ios::trunc) << contenuto;
    return file;
}

std::string Leggi(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The lines of a file as the loader must see them: ended by CR LF, LF or CR, leading blanks gone.
std::vector<std::string> Righe(const std::string& dati)
{
    std::vector<std::string> righe;
    std::string riga;
    bool aperta = false;
    for (std::size_t i = 0; i < dati.size(); ++i) {
        const char c = dati[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < dati.size() && dati[i + 1] == '\n') ++i;
            righe.push_back(riga.substr(std::min(riga.find_first_not_of(' '), riga.size())));
            riga.clear();
            aperta = false;
        } else {
            riga += c;
            aperta = true;
        }
    }
    if (aperta) righe.push_back(riga.substr(std::min(riga.find_first_not_of(' '), riga.size())));
    return righe;
}

void FileImpostazioni(const std::string& dati)
{
    const std::string file = Scrivi("settings.ini", dati);
    zem::IniFile ini;
    ini.SetFile(file);
    Verifica(ini.SetOpenFile(true));
    const auto righe = Righe(dati);
    Verifica(ini.Troncato() == (righe.size() > static_cast<std::size_t>(zem::IniFile::kMassimoRighe)));
    Verifica(ini.Count() == static_cast<std::int32_t>(std::min<std::size_t>(righe.size(), zem::IniFile::kMassimoRighe)));

    // Every reader on whatever the file holds under a few likely names.
    for (const char* chiave : {"", "GENERAL", "MISURA1", "Main"}) {
        ini.SetChiave(chiave);
        for (const char* target : {"Nome", "Tipo", "k", "Msg1"}) {
            ini.SetTarget(target);
            (void)ini.Value();
            (void)ini.ValDouble();
            (void)ini.ValInteger();
            (void)ini.ValLong();
            (void)ini.ValData();
            (void)ini.ValPassword(0x5A);
            for (std::int32_t n = 0; n <= ini.Count() && ini.GetPunto(); ++n) {}
        }
    }

    // An untouched document saved with one section added holds the same lines, then that section.
    const std::string prima = Leggi(file);
    ini.SetChiave("FUZZ-ADDED");
    const bool nuova = !ini.ChiaveTrovata();
    ini.SetTarget("k");
    ini.SetValue("v");
    const bool salvato = ini.Salva();
    Verifica(salvato != ini.Troncato());
    if (!salvato) {
        Verifica(Leggi(file) == prima);
        return;
    }
    if (nuova) {
        std::string atteso;
        for (const auto& r : righe) atteso += r + "\r\n";
        Verifica(Leggi(file) == atteso + "[FUZZ-ADDED]\r\nk=v\r\n");
    }

    // Editing: points, stop markers, moving a section, reading back.
    ini.SetChiave("MISURA1");
    ini.SetStopTarget("[");
    ini.SetTarget("Punti");
    ini.SetValue(std::int16_t{3});
    for (int n = 0; n < 3; ++n) ini.LetPunto(static_cast<float>(n) * 0.5f, -1.0f);
    ini.RinfrescaChiave();
    ini.SetValuePassword("6150", 0x1234);
    Verifica(ini.ValPassword(0x1234) == "6150");
    Verifica(ini.Salva());
}

void FileProfilo(const std::string& dati)
{
    const std::string file = Scrivi("profile.zemp", dati);
    zem::ProfiloZem letto;
    if (!letto.ApriFile(file)) return;
    if (!letto.SalvaFile(file)) return;  // a file past the line cap is refused, never cut
    zem::ProfiloZem riletto;
    Verifica(riletto.ApriFile(file));
    Verifica(riletto == letto);
    for (int n = -1; n <= 8; ++n) {
        (void)riletto.TipoIngresso(n);
        (void)riletto.MascheraUscita(n);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string dati(reinterpret_cast<const char*>(data), size);
    FileImpostazioni(dati);
    FileProfilo(dati);
    return 0;
}
