#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zem {

class SettingsStore;

// The serial-number register "SNlist.txt": a rich-text file, as registers have always been kept,
// whose text the register window edits. Lines in the text end with CR LF; characters are the
// file's 8-bit ones.
class RegistroSN {
public:
    static constexpr const char* kNomeFile = "SNlist.txt";

    // "SetupPrograms"/"Main"/"FileSN", else SNlist.txt in the user's data folder, which is made
    // when missing. Without "FileSN", a register left in `vecchiaCartella` (where earlier versions
    // kept it, beside the program) is moved into the user's data folder when that has none yet;
    // `avviso` then tells the technician where it went. When it cannot be moved it stays in use
    // where it is, so its lines are never left behind.
    static std::string Percorso(SettingsStore& settings, const std::string& vecchiaCartella, std::string& avviso);

    // The text of an RTF document: control words and destination groups skipped, paragraphs as
    // lines, \'xx escapes decoded. A file that is not RTF is its own text.
    static std::string Testo(const std::string& contenuto);
    // The text as an RTF document in "Courier New".
    static std::string Rtf(const std::string& testo);

    // The register's text; "" for a missing file, nothing when the file exists but cannot be read.
    static std::optional<std::string> Carica(const std::string& percorso);
    // Replaces the file whole, so a failed write leaves the register as it was; nullopt when
    // saved, else why not.
    static std::optional<std::string> Salva(const std::string& percorso, const std::string& testo);

    // One programming's line: serial, two blanks, name padded to 20, date, two blanks, user, CR LF.
    static std::string Riga(const std::string& seriale, const std::string& nome, const std::string& data,
                            const std::string& utente);
    // Today as "dd/mm/yyyy".
    static std::string Oggi();
};

} // namespace zem
