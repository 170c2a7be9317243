#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zem {

// The sectioned key/value text file behind every profile and settings file. The whole file is
// held as lines; look-ups scan them, writes edit or insert lines in place, and every line that
// is not addressed stays as it was, where it was. A section is a `Chiave`, a key a `Target`.
class IniFile {
public:
    // Lines read from one file at most; a longer file loads truncated and is refused on save.
    static constexpr std::int32_t kMassimoRighe = 120001;
    // `ERRORE` after a file that could neither be read nor created.
    static constexpr std::int16_t kErroreApertura = 52;

    struct Punto {
        float x = 0;
        float y = 0;
    };

    IniFile() = default;

    const std::string& File() const { return file_; }
    // Unloads the document (without saving) and names the file to load next.
    void SetFile(std::string path);

    bool OpenFile() const { return caricato_; }
    // true loads the file (an already loaded document only returns to the global area);
    // false unloads it, keeping the lines in memory. Returns the loaded flag.
    bool SetOpenFile(bool carica);

    void Svuota();
    // An empty loaded document for the named file, whatever the file holds now: saved, it
    // replaces that file instead of updating it.
    void Nuovo();
    std::int32_t Count() const { return static_cast<std::int32_t>(righe_.size()); }
    std::int32_t Index() const { return cursore_; }
    bool Salvato() const { return !modificato_; }
    bool Esiste() const;
    std::int16_t ERRORE() const { return errore_; }
    // Why the last load or save failed, for the technician; empty after a success.
    const std::string& LastError() const { return ultimoErrore_; }
    // The last load stopped at kMassimoRighe with more of the file unread.
    bool Troncato() const { return troncato_; }

    const std::string& Chiave() const { return chiave_; }
    void SetChiave(std::string_view nome);
    const std::string& Target() const { return target_; }
    void SetTarget(std::string_view nome);
    // A key search ends, not found, at a line that begins with the marker (in any case).
    void SetStopTarget(std::string_view marcatore);
    bool ChiaveTrovata() const { return inizio_ <= Count(); }
    bool TargetTrovato() const { return cursore_ >= 1 && cursore_ <= Count() && !fermato_; }

    // Raw value of the line under the key cursor; nullopt when that line is not the current key.
    std::optional<std::string> Value() const;
    // Writes the current key: overwrites its line, or inserts it at the end of the section (or
    // before the stop marker that ended the search), or appends the section. False when no key
    // was selected or the date cannot be written in the file's form.
    bool SetValue(std::string_view testo);
    bool SetValue(const char* testo) { return SetValue(std::string_view(testo)); }
    bool SetValue(bool valore);
    bool SetValue(std::int16_t valore);
    bool SetValue(std::int32_t valore);
    bool SetValue(float valore);
    bool SetValue(double valore);
    bool SetValue(std::chrono::sys_seconds data);

    std::string ValString() const;
    double ValDouble() const { return Val(ValString()); }
    float ValSingle() const { return ValSingle(ValString()); }
    std::int32_t ValLong() const { return ValLong(ValString()); }
    std::int16_t ValInteger() const { return ValInteger(ValString()); }
    bool ValBoolean() const { return Val(ValString()) != 0; }
    std::chrono::sys_seconds ValData() const { return ValData(ValString()); }

    bool SetValuePassword(std::string_view testo, std::int16_t chiave);
    std::string ValPassword(std::int16_t chiave) const;

    void LetPunto(float x, float y);
    std::optional<Punto> GetPunto();

    void RinfrescaChiave();

    // Writes the document when it changed: to a temporary file beside the target, renamed over
    // it only once complete. False (document still marked changed) when nothing could be saved.
    bool Salva();

    // The readers' rules on a text, for anyone reading numbers typed by the technician: leading
    // blanks skipped, the longest leading decimal number taken ("." separator, any locale), 0
    // when there is none or it overflows; integers rounded half to even.
    static double Val(std::string_view testo);
    static float ValSingle(std::string_view testo);
    static std::int32_t ValLong(std::string_view testo);
    static std::int16_t ValInteger(std::string_view testo);
    // "yyyymmdd_hhnnss", or a day count from DataZero; anything out of range gives DataZero.
    static std::chrono::sys_seconds ValData(std::string_view testo);
    // Day 0 of the numeric date form (30 December 1899), also the value of an unreadable date.
    static std::chrono::sys_seconds DataZero();

private:
    bool Carica();
    bool LeggiRighe(int fd);
    bool ScriviFile();
    bool ScriviRiga(std::string riga);
    void InserisciRiga(std::int32_t posizione, std::string riga);
    void AggiungiSezione(std::string riga);
    void SelezionaSezione(std::string_view nome);
    std::int32_t FineSezione(std::int32_t inizio) const;
    const std::string& Riga(std::int32_t n) const { return righe_[static_cast<std::size_t>(n - 1)]; }
    bool RigaDelTarget(std::int32_t n) const;

    std::string file_;
    std::vector<std::string> righe_;
    bool caricato_ = false;
    bool modificato_ = false;
    bool troncato_ = false;
    std::string chiave_;
    std::int32_t inizio_ = 0;  // header line of the section; 0 = global area; Count()+1 = missing
    std::int32_t fine_ = 0;    // last line of the section
    std::string target_;
    std::int32_t cursore_ = 0;  // line of the current key; Count()+1 = not found
    std::string stop_;
    bool fermato_ = false;
    std::int32_t rigaStop_ = 0;  // line holding the stop marker that ended the last search
    std::int32_t cursorePunto_ = 0;
    std::int16_t errore_ = 0;
    std::string ultimoErrore_;
};

} // namespace zem
