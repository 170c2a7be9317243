#include "profile/IniFile.h"

#include "profile/ScritturaAtomica.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {

using namespace std::chrono;

char Minuscola(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IniziaCon(std::string_view riga, std::string_view testa)
{
    if (riga.size() < testa.size()) return false;
    for (std::size_t i = 0; i < testa.size(); ++i) {
        if (Minuscola(riga[i]) != Minuscola(testa[i])) return false;
    }
    return true;
}

bool Uguali(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && IniziaCon(a, b);
}

std::string Rifila(std::string_view s)
{
    const auto primo = s.find_first_not_of(' ');
    if (primo == std::string_view::npos) return {};
    return std::string(s.substr(primo, s.find_last_not_of(' ') - primo + 1));
}

// A header as the section search reads it: "[", a name, and its "]" no earlier than position 3.
bool Intestazione(std::string_view riga)
{
    return !riga.empty() && riga[0] == '[' && riga.find(']') != std::string_view::npos &&
           riga.find(']') >= 2;
}

// Where a section ends: any line that begins with "[" and holds a "]".
bool Confine(std::string_view riga)
{
    return !riga.empty() && riga[0] == '[' && riga.find(']') != std::string_view::npos;
}

bool RigaPunto(std::string_view riga)
{
    if (riga.find_first_of("=[]") != std::string_view::npos) return false;
    const auto virgola = riga.find(',');
    return virgola != std::string_view::npos && virgola != 0 && virgola + 1 != riga.size();
}

// A value holding CR or LF would split into lines of its own on the next load.
std::string SenzaFineRiga(std::string riga)
{
    std::replace(riga.begin(), riga.end(), '\r', ' ');
    std::replace(riga.begin(), riga.end(), '\n', ' ');
    return riga;
}

bool Cifra(char c)
{
    return c >= '0' && c <= '9';
}

// The leading number of a text, rewritten in the form std::from_chars takes; empty when none.
std::string NumeroIniziale(std::string_view t)
{
    std::size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
    std::string numero;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        if (t[i] == '-') numero += '-';
        ++i;
    }
    std::size_t cifre = 0;
    while (i < t.size() && Cifra(t[i])) {
        numero += t[i++];
        ++cifre;
    }
    if (i < t.size() && t[i] == '.') {
        numero += t[i++];
        while (i < t.size() && Cifra(t[i])) {
            numero += t[i++];
            ++cifre;
        }
    }
    if (cifre == 0) return {};
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
        std::size_t j = i + 1;
        std::string esponente = "e";
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) esponente += t[j++];
        const std::size_t primaCifra = j;
        while (j < t.size() && Cifra(t[j])) esponente += t[j++];
        if (j > primaCifra) numero += esponente;
    }
    return numero;
}

template <typename T>
T Leggi(std::string_view testo)
{
    const std::string numero = NumeroIniziale(testo);
    T valore = 0;
    const auto esito = std::from_chars(numero.data(), numero.data() + numero.size(), valore);
    if (esito.ec != std::errc() || !std::isfinite(valore)) return 0;
    return valore;
}

// To the nearest integer, halves to even; 0 when the result does not fit.
template <typename T>
T Arrotonda(double v)
{
    if (!std::isfinite(v)) return 0;
    double intero = std::floor(v);
    const double resto = v - intero;
    if (resto > 0.5 || (resto == 0.5 && std::fmod(intero, 2.0) != 0)) intero += 1;
    if (intero < static_cast<double>(std::numeric_limits<T>::min()) ||
        intero > static_cast<double>(std::numeric_limits<T>::max())) {
        return 0;
    }
    return static_cast<T>(intero);
}

// Numbers as the file has always held them: a blank before a value that is not negative, no
// "0" before the decimal point, the shortest digits that read back to the same value.
template <typename T>
std::string TestoNumero(T v)
{
    std::array<char, 64> buf{};
    if (!std::isfinite(v)) v = 0;
    if (v == 0) v = 0;  // no "-0"
    const T assoluto = std::fabs(v);
    std::to_chars_result esito{};
    if (assoluto == 0 || (assoluto >= T(1e-7) && assoluto < T(1e15))) {
        esito = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed);
    } else {
        esito = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::scientific);
    }
    std::string testo(buf.data(), esito.ptr);
    for (char& c : testo) {
        if (c == 'e') c = 'E';
    }
    const std::size_t cifre = testo[0] == '-' ? 1 : 0;
    if (testo.compare(cifre, 2, "0.") == 0) testo.erase(cifre, 1);
    return v < 0 ? testo : " " + testo;
}

std::string TestoIntero(std::int32_t v)
{
    std::array<char, 16> buf{};
    const auto esito = std::to_chars(buf.data(), buf.data() + buf.size(), v);
    const std::string testo(buf.data(), esito.ptr);
    return v < 0 ? testo : " " + testo;
}

constexpr char kEsadecimali[] = "0123456789ABCDEF";

int ValoreEsadecimale(char c)
{
    if (Cifra(c)) return c - '0';
    const char m = Minuscola(c);
    if (m >= 'a' && m <= 'f') return m - 'a' + 10;
    return -1;
}

std::string Errore(const std::string& cosa, const std::string& file)
{
    return cosa + " " + file + ": " + std::strerror(errno);
}

} // namespace

void IniFile::SetFile(std::string path)
{
    SetOpenFile(false);
    file_ = std::move(path);
}

bool IniFile::SetOpenFile(bool carica)
{
    if (!carica) {
        caricato_ = false;
        return false;
    }
    errore_ = 0;
    if (file_.empty()) return caricato_;
    if (caricato_) {
        SelezionaSezione("");
        return true;
    }
    return Carica();
}

void IniFile::Nuovo()
{
    Svuota();
    modificato_ = false;
    troncato_ = false;
    errore_ = 0;
    ultimoErrore_.clear();
    caricato_ = true;
}

// An empty document stands in its global area, so a write right after this has a place to go.
void IniFile::Svuota()
{
    righe_.clear();
    chiave_.clear();
    inizio_ = 0;
    fine_ = 0;
    cursore_ = 0;
    cursorePunto_ = 0;
    target_.clear();
    stop_.clear();
    fermato_ = false;
    rigaStop_ = 0;
}

bool IniFile::Carica()
{
    Svuota();
    modificato_ = false;
    troncato_ = false;
    ultimoErrore_.clear();
    const int fd = ::open(file_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) {
            ultimoErrore_ = Errore("Cannot read", file_);
            errore_ = kErroreApertura;
            return false;
        }
        // A missing file is an empty document, provided it could be created there. O_EXCL makes
        // sure the probe only ever removes a file it made itself.
        const int prova = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (prova < 0) {
            ultimoErrore_ = Errore("Cannot create", file_);
            errore_ = kErroreApertura;
            return false;
        }
        ::close(prova);
        ::unlink(file_.c_str());
    } else {
        struct stat info {};
        const bool regolare = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        const bool letto = regolare && LeggiRighe(fd);
        if (!regolare) {
            errno = EISDIR;
            ultimoErrore_ = S_ISDIR(info.st_mode) ? Errore("Cannot read", file_) : file_ + " is not a regular file.";
        } else if (!letto) {
            ultimoErrore_ = Errore("Cannot read", file_);
        }
        ::close(fd);
        if (!letto) {
            Svuota();
            errore_ = kErroreApertura;
            return false;
        }
    }
    caricato_ = true;
    SelezionaSezione("");
    return true;
}

// Lines end at CR LF, LF or a lone CR; leading blanks are dropped. Reading stops at the line cap.
bool IniFile::LeggiRighe(int fd)
{
    std::array<char, 65536> blocco{};
    std::string riga;
    bool inRiga = false;
    bool dopoCR = false;
    auto chiudi = [&] {
        const auto primo = riga.find_first_not_of(' ');
        righe_.push_back(primo == std::string::npos ? std::string() : riga.substr(primo));
        riga.clear();
        inRiga = false;
    };
    for (;;) {
        const ssize_t letti = ::read(fd, blocco.data(), blocco.size());
        if (letti < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (letti == 0) break;
        std::size_t i = 0;
        const auto n = static_cast<std::size_t>(letti);
        while (i < n) {
            if (dopoCR) {
                dopoCR = false;
                if (blocco[i] == '\n') {
                    ++i;
                    continue;
                }
            }
            if (righe_.size() == static_cast<std::size_t>(kMassimoRighe)) {
                troncato_ = true;
                return true;
            }
            std::size_t j = i;
            while (j < n && blocco[j] != '\r' && blocco[j] != '\n') ++j;
            riga.append(blocco.data() + i, j - i);
            inRiga = true;
            if (j == n) break;
            dopoCR = blocco[j] == '\r';
            chiudi();
            i = j + 1;
        }
    }
    if (inRiga) chiudi();
    return true;
}

bool IniFile::Esiste() const
{
    if (caricato_) return true;
    if (file_.empty()) return false;
    const int fd = ::open(file_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    const bool regolare = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return regolare;
}

std::int32_t IniFile::FineSezione(std::int32_t inizio) const
{
    for (std::int32_t n = std::max(inizio + 1, 1); n <= Count(); ++n) {
        if (Confine(Riga(n))) return n - 1;
    }
    return Count();
}

void IniFile::SelezionaSezione(std::string_view nome)
{
    chiave_ = Rifila(nome);
    cursore_ = 0;
    cursorePunto_ = 0;
    fermato_ = false;
    rigaStop_ = 0;
    inizio_ = 0;
    if (!chiave_.empty()) {
        inizio_ = Count() + 1;
        for (std::int32_t n = 1; n <= Count(); ++n) {
            const std::string& riga = Riga(n);
            if (Intestazione(riga) && Uguali(std::string_view(riga).substr(1, riga.find(']') - 1), chiave_)) {
                inizio_ = n;
                break;
            }
        }
    }
    fine_ = FineSezione(inizio_);
}

void IniFile::SetChiave(std::string_view nome)
{
    SelezionaSezione(nome);
}

void IniFile::SetStopTarget(std::string_view marcatore)
{
    stop_ = Rifila(marcatore);
}

// Searches on from the previous key, so reading a section in file order costs one step a key;
// the second pass wraps around to the top of the section.
void IniFile::SetTarget(std::string_view nome)
{
    target_ = Rifila(nome);
    fermato_ = false;
    rigaStop_ = 0;
    cursorePunto_ = 0;
    const std::string cercato = target_ + "=";
    const std::int32_t da = std::max(std::min(cursore_, fine_) + 1, inizio_ + 1);
    for (std::int32_t n = da; n <= fine_; ++n) {
        if (!stop_.empty() && IniziaCon(Riga(n), stop_)) {
            fermato_ = true;
            rigaStop_ = n;
            return;
        }
        if (IniziaCon(Riga(n), cercato)) {
            cursore_ = n;
            return;
        }
    }
    for (std::int32_t n = inizio_ + 1; n < da && n <= Count(); ++n) {
        if (IniziaCon(Riga(n), cercato)) {
            cursore_ = n;
            return;
        }
    }
    cursore_ = Count() + 1;
}

bool IniFile::RigaDelTarget(std::int32_t n) const
{
    if (n < 1 || n > Count()) return false;
    const std::string& riga = Riga(n);
    return riga.size() > target_.size() && riga[target_.size()] == '=' && IniziaCon(riga, target_);
}

std::optional<std::string> IniFile::Value() const
{
    if (!RigaDelTarget(cursore_)) return std::nullopt;
    return Riga(cursore_).substr(target_.size() + 1);
}

std::string IniFile::ValString() const
{
    if (cursore_ <= inizio_ || cursore_ > fine_ || !RigaDelTarget(cursore_)) return {};
    return Riga(cursore_).substr(target_.size() + 1);
}

void IniFile::InserisciRiga(std::int32_t posizione, std::string riga)
{
    righe_.insert(righe_.begin() + (posizione - 1), std::move(riga));
    if (posizione <= inizio_) ++inizio_;
    if (posizione <= fine_ + 1) ++fine_;
    if (cursore_ >= posizione) ++cursore_;
    if (cursorePunto_ >= posizione) ++cursorePunto_;
    if (rigaStop_ >= posizione) ++rigaStop_;
}

void IniFile::AggiungiSezione(std::string riga)
{
    righe_.push_back(SenzaFineRiga("[" + chiave_ + "]"));
    inizio_ = Count();
    righe_.push_back(std::move(riga));
    fine_ = Count();
}

bool IniFile::ScriviRiga(std::string riga)
{
    riga = SenzaFineRiga(std::move(riga));
    if (fermato_) {
        // The key is missing before the stop marker: it goes just above the marker.
        InserisciRiga(rigaStop_, std::move(riga));
        cursore_ = rigaStop_ - 1;
        fermato_ = false;
        rigaStop_ = 0;
    } else if (cursore_ <= 0) {
        return false;
    } else if (cursore_ <= Count()) {
        righe_[static_cast<std::size_t>(cursore_ - 1)] = std::move(riga);
    } else if (ChiaveTrovata()) {
        InserisciRiga(fine_ + 1, std::move(riga));
        cursore_ = fine_;
    } else {
        AggiungiSezione(std::move(riga));
        cursore_ = fine_;
    }
    modificato_ = true;
    return true;
}

bool IniFile::SetValue(std::string_view testo)
{
    return ScriviRiga(target_ + "=" + std::string(testo));
}

bool IniFile::SetValue(bool valore)
{
    return ScriviRiga(target_ + (valore ? "= 1" : "= 0"));
}

bool IniFile::SetValue(std::int16_t valore)
{
    return ScriviRiga(target_ + "=" + TestoIntero(valore));
}

bool IniFile::SetValue(std::int32_t valore)
{
    return ScriviRiga(target_ + "=" + TestoIntero(valore));
}

bool IniFile::SetValue(float valore)
{
    return ScriviRiga(target_ + "=" + TestoNumero(valore));
}

bool IniFile::SetValue(double valore)
{
    return ScriviRiga(target_ + "=" + TestoNumero(valore));
}

bool IniFile::SetValue(sys_seconds data)
{
    const auto giorno = floor<days>(data);
    const year_month_day ymd{giorno};
    const hh_mm_ss ora{data - giorno};
    const int anno = static_cast<int>(ymd.year());
    if (anno < 0 || anno > 9999) return false;
    std::array<char, 32> buf{};
    std::snprintf(buf.data(), buf.size(), "%04d%02u%02u_%02d%02d%02d", anno,
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(ora.hours().count()), static_cast<int>(ora.minutes().count()),
                  static_cast<int>(ora.seconds().count()));
    return ScriviRiga(target_ + "=" + buf.data());
}

// Each character becomes two characters: the last two hex digits of its code XOR the key, or
// "K" and the digit when the result has one digit only.
bool IniFile::SetValuePassword(std::string_view testo, std::int16_t chiave)
{
    std::string cifrato;
    for (const unsigned char c : testo) {
        const unsigned v = (c ^ static_cast<std::uint16_t>(chiave)) & 0xFFFFu;
        if (v < 16) {
            cifrato += 'K';
        } else {
            cifrato += kEsadecimali[(v >> 4) & 15];
        }
        cifrato += kEsadecimali[v & 15];
    }
    return SetValue(std::string_view(cifrato));
}

std::string IniFile::ValPassword(std::int16_t chiave) const
{
    const std::string cifrato = ValString();
    if (cifrato.size() % 2 != 0) return {};
    std::string testo;
    for (std::size_t i = 0; i < cifrato.size(); i += 2) {
        const int basso = ValoreEsadecimale(cifrato[i + 1]);
        const int alto = cifrato[i] == 'K' ? 0 : ValoreEsadecimale(cifrato[i]);
        if (alto < 0 || basso < 0) return {};
        const unsigned v = static_cast<unsigned>(alto * 16 + basso) ^ static_cast<std::uint16_t>(chiave);
        testo += static_cast<char>(v & 0xFFu);
    }
    return testo;
}

// A point goes over an old point line; any other line (a key, a header) is pushed down instead.
void IniFile::LetPunto(float x, float y)
{
    std::string riga = Rifila(TestoNumero(x)) + "," + Rifila(TestoNumero(y));
    if (cursorePunto_ == 0) cursorePunto_ = cursore_ + 1;
    if (!ChiaveTrovata()) {
        AggiungiSezione(std::move(riga));
        cursorePunto_ = fine_ + 1;
    } else {
        const std::int32_t n = std::clamp(cursorePunto_, inizio_ + 1, fine_ + 1);
        if (n <= fine_ && RigaPunto(Riga(n))) {
            righe_[static_cast<std::size_t>(n - 1)] = std::move(riga);
        } else {
            InserisciRiga(n, std::move(riga));
        }
        cursorePunto_ = n + 1;
    }
    modificato_ = true;
}

std::optional<IniFile::Punto> IniFile::GetPunto()
{
    if (cursorePunto_ == 0) cursorePunto_ = cursore_ + 1;
    if (cursorePunto_ > Count() || cursorePunto_ <= inizio_) return std::nullopt;
    const std::string& riga = Riga(cursorePunto_);
    if (!RigaPunto(riga)) return std::nullopt;
    const auto virgola = riga.find(',');
    ++cursorePunto_;
    return Punto{ValSingle(std::string_view(riga).substr(0, virgola)),
                 ValSingle(std::string_view(riga).substr(virgola + 1))};
}

void IniFile::RinfrescaChiave()
{
    if (chiave_.empty() || !ChiaveTrovata()) return;
    std::int32_t primo = 1;
    while (primo < inizio_ && !Confine(Riga(primo))) ++primo;
    if (primo >= inizio_) return;
    const std::int32_t lunghezza = fine_ - inizio_ + 1;
    std::rotate(righe_.begin() + (primo - 1), righe_.begin() + (inizio_ - 1), righe_.begin() + fine_);
    auto segui = [&](std::int32_t& n) {
        if (n >= inizio_ && n <= fine_) {
            n = n - inizio_ + primo;
        } else if (n >= primo && n < inizio_) {
            n += lunghezza;
        }
    };
    segui(cursore_);
    segui(cursorePunto_);
    inizio_ = primo;
    fine_ = primo + lunghezza - 1;
    modificato_ = true;
}

bool IniFile::Salva()
{
    if (!modificato_) return true;
    ultimoErrore_.clear();
    if (file_.empty() || !caricato_) {
        ultimoErrore_ = "The document is not loaded: nothing was saved.";
        return false;
    }
    if (troncato_) {
        ultimoErrore_ = "The file " + file_ + " has more than " + std::to_string(kMassimoRighe) +
                        " lines and was only partly read: it was not saved, so that its tail "
                        "is not lost.";
        return false;
    }
    if (!righe_.empty() && !ScriviFile()) return false;
    modificato_ = false;
    return true;
}

bool IniFile::ScriviFile()
{
    std::string contenuto;
    std::size_t totale = 0;
    for (const auto& riga : righe_) totale += riga.size() + 2;
    contenuto.reserve(totale);
    for (const auto& riga : righe_) {
        contenuto += riga;
        contenuto += "\r\n";
    }
    if (const auto errore = ScritturaAtomica::Scrivi(file_, contenuto)) {
        ultimoErrore_ = *errore;
        return false;
    }
    return true;
}

double IniFile::Val(std::string_view testo)
{
    return Leggi<double>(testo);
}

float IniFile::ValSingle(std::string_view testo)
{
    return Leggi<float>(testo);
}

std::int32_t IniFile::ValLong(std::string_view testo)
{
    return Arrotonda<std::int32_t>(Val(testo));
}

std::int16_t IniFile::ValInteger(std::string_view testo)
{
    return Arrotonda<std::int16_t>(Val(testo));
}

sys_seconds IniFile::DataZero()
{
    return sys_seconds{sys_days{year{1899} / December / 30}};
}

sys_seconds IniFile::ValData(std::string_view testo)
{
    const auto p = testo.find('_');
    if (p == std::string_view::npos) {
        // The numeric form: days (and fractions of a day) from day 0.
        const double giorni = Val(testo);
        if (!(giorni >= -657434.0 && giorni < 2958466.0)) return DataZero();
        return DataZero() + seconds{std::llround(giorni * 86400.0)};
    }
    if (p < 8 || p + 7 > testo.size()) return DataZero();
    auto campo = [&](std::size_t da, std::size_t lunghezza) {
        int v = 0;
        for (std::size_t i = da; i < da + lunghezza; ++i) {
            if (!Cifra(testo[i])) return -1;
            v = v * 10 + (testo[i] - '0');
        }
        return v;
    };
    const int anno = campo(p - 8, 4);
    const int mese = campo(p - 4, 2);
    const int giorno = campo(p - 2, 2);
    const int ore = campo(p + 1, 2);
    const int minuti = campo(p + 3, 2);
    const int secondi = campo(p + 5, 2);
    const year_month_day data{year{anno}, month{static_cast<unsigned>(mese)},
                              day{static_cast<unsigned>(giorno)}};
    if (anno < 100 || mese < 1 || giorno < 1 || !data.ok() || ore < 0 || ore > 23 || minuti < 0 ||
        minuti > 59 || secondi < 0 || secondi > 59) {
        return DataZero();
    }
    return sys_seconds{sys_days{data}} + hours{ore} + minutes{minuti} + seconds{secondi};
}

} // namespace zem
