#include "main/RegistroSN.h"

#include "profile/DataPaths.h"
#include "profile/ScritturaAtomica.h"
#include "profile/SettingsStore.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

namespace zem {

namespace {

// Groups whose content is not text of the document.
constexpr std::array<std::string_view, 16> kDestinazioni = {
    "fonttbl", "colortbl", "stylesheet", "info", "pict", "header", "footer", "listtable",
    "listoverridetable", "rsidtbl", "generator", "themedata", "colorschememapping", "latentstyles",
    "datastore", "object"};

bool IsDestinazione(std::string_view parola)
{
    for (const auto d : kDestinazioni)
        if (d == parola) return true;
    return false;
}

int Hex(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// The number after a control word. Writers keep it within 16 bits (a \u above 32767 comes
// negative); anything longer is damage and counts as 0 rather than stopping the reader.
long Parametro(std::string_view numero)
{
    long valore = 0;
    const auto r = std::from_chars(numero.data(), numero.data() + numero.size(), valore);
    const bool intero = r.ec == std::errc{} && r.ptr == numero.data() + numero.size();
    return intero && valore >= -65535 && valore <= 65535 ? valore : 0;
}

} // namespace

std::string RegistroSN::Percorso(SettingsStore& settings, const std::string& vecchiaCartella, std::string& avviso)
{
    avviso.clear();
    const std::string file = settings.GetSetting("SetupPrograms", "Main", "FileSN", "");
    if (!file.empty()) return file;
    namespace fs = std::filesystem;
    const fs::path cartella = DataPaths::UserDataFolder();
    const fs::path nuovo = cartella / kNomeFile;
    const fs::path vecchio = fs::path(vecchiaCartella) / kNomeFile;
    if (cartella.empty()) return vecchio.string();  // no home: where it always was
    std::error_code ec;
    fs::create_directories(cartella, ec);
    if (vecchiaCartella.empty() || fs::exists(nuovo, ec) || !fs::is_regular_file(vecchio, ec)) return nuovo.string();
    // A copy first: the old folder may be on another file system, or not the user's to change.
    if (!fs::copy_file(vecchio, nuovo, ec)) {
        std::error_code ignorato;
        fs::remove(nuovo, ignorato);
        avviso = "The serial number register cannot be moved from " + vecchio.string() + " to " + nuovo.string() +
                 "; it is kept where it is.";
        return vecchio.string();
    }
    fs::remove(vecchio, ec);
    avviso = "The serial number register " + vecchio.string() + " is now kept in " + nuovo.string() +
             (ec ? "; the old file could not be removed." : ".");
    return nuovo.string();
}

std::string RegistroSN::Testo(const std::string& contenuto)
{
    if (contenuto.rfind("{\\rtf", 0) != 0) return contenuto;
    std::string testo;
    // Per open group: whether its content is skipped, and how many characters follow a \u.
    struct Gruppo { bool salta; int uc; };
    std::vector<Gruppo> gruppi{{false, 1}};
    int daSaltare = 0;  // fallback characters of the last \u still to drop
    const auto emetti = [&](char c) {
        if (daSaltare > 0) { --daSaltare; return; }
        if (!gruppi.back().salta) testo += c;
    };
    for (std::size_t i = 0; i < contenuto.size(); ++i) {
        const char c = contenuto[i];
        if (c == '{') {
            gruppi.push_back(gruppi.back());
        } else if (c == '}') {
            if (gruppi.size() > 1) gruppi.pop_back();
        } else if (c == '\r' || c == '\n') {
            continue;
        } else if (c != '\\') {
            emetti(c);
        } else if (i + 1 < contenuto.size()) {
            const char n = contenuto[++i];
            if (n == '\'' && i + 2 < contenuto.size() && Hex(contenuto[i + 1]) >= 0 && Hex(contenuto[i + 2]) >= 0) {
                emetti(static_cast<char>(Hex(contenuto[i + 1]) * 16 + Hex(contenuto[i + 2])));
                i += 2;
            } else if (n == '*') {
                gruppi.back().salta = true;
            } else if (n == '\r' || n == '\n') {
                if (!gruppi.back().salta) testo += "\r\n";
            } else if (!std::isalpha(static_cast<unsigned char>(n))) {
                emetti(n == '~' ? ' ' : n == '_' ? '-' : n);
            } else {
                std::size_t fine = i;
                while (fine < contenuto.size() && std::isalpha(static_cast<unsigned char>(contenuto[fine]))) ++fine;
                const std::string parola = contenuto.substr(i, fine - i);
                std::size_t numeroFine = fine;
                if (numeroFine < contenuto.size() && contenuto[numeroFine] == '-') ++numeroFine;
                while (numeroFine < contenuto.size() && std::isdigit(static_cast<unsigned char>(contenuto[numeroFine]))) ++numeroFine;
                const long valore = Parametro(std::string_view(contenuto).substr(fine, numeroFine - fine));
                i = numeroFine;
                if (i < contenuto.size() && contenuto[i] == ' ') ++i;
                --i;  // the loop's step moves past the word
                if (IsDestinazione(parola)) {
                    gruppi.back().salta = true;
                } else if (parola == "par" || parola == "line") {
                    if (!gruppi.back().salta) testo += "\r\n";
                } else if (parola == "tab") {
                    emetti('\t');
                } else if (parola == "uc") {
                    gruppi.back().uc = static_cast<int>(valore);
                } else if (parola == "u") {
                    const long codice = valore < 0 ? valore + 65536 : valore;
                    emetti(codice > 0 && codice < 256 ? static_cast<char>(codice) : '?');
                    daSaltare = gruppi.back().uc;
                }
            }
        }
    }
    return testo;
}

std::string RegistroSN::Rtf(const std::string& testo)
{
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier New;}}\r\n\\f0\\fs20 ";
    for (std::size_t i = 0; i < testo.size(); ++i) {
        const auto c = static_cast<unsigned char>(testo[i]);
        if (c == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') continue;
        if (c == '\n' || c == '\r') {
            rtf += "\\par\r\n";
        } else if (c == '\\' || c == '{' || c == '}') {
            rtf += '\\';
            rtf += static_cast<char>(c);
        } else if (c == '\t') {
            rtf += "\\tab ";
        } else if (c >= 0x80 || c < 0x20) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\'%02x", c);
            rtf += escape;
        } else {
            rtf += static_cast<char>(c);
        }
    }
    return rtf + "}\r\n";
}

std::optional<std::string> RegistroSN::Carica(const std::string& percorso)
{
    std::error_code ec;
    if (!std::filesystem::exists(percorso, ec)) return std::string();
    std::ifstream in(percorso, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream contenuto;
    contenuto << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return Testo(contenuto.str());
}

std::optional<std::string> RegistroSN::Salva(const std::string& percorso, const std::string& testo)
{
    return ScritturaAtomica::Scrivi(percorso, Rtf(testo));
}

std::string RegistroSN::Riga(const std::string& seriale, const std::string& nome, const std::string& data,
                             const std::string& utente)
{
    std::string campo = nome;
    if (campo.size() < 20) campo.resize(20, ' ');
    return seriale + "  " + campo + data + "  " + utente + "\r\n";
}

std::string RegistroSN::Oggi()
{
    const std::time_t adesso = std::time(nullptr);
    std::tm locale{};
    localtime_r(&adesso, &locale);
    char data[16];
    std::strftime(data, sizeof data, "%d/%m/%Y", &locale);
    return data;
}

} // namespace zem
