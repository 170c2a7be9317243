// Byte access to the instrument's PRAM and to its configuration memory, which is either PRAM
// itself or reached through the memory mailbox in PRAM.
#include "link/UCZEM2.h"

#include "link/ByteOrder.h"
#include "link/Clock.h"

#include <algorithm>

namespace zem {

namespace {

constexpr std::uint8_t kCmdScriviPRam = 14;
constexpr std::uint8_t kCmdLeggiPRam = 15;
constexpr std::uint8_t kCmdMemoria = 34;
constexpr std::uint8_t kMemoriaLeggi = 3;
constexpr std::uint8_t kMemoriaScrivi = 5;
constexpr std::uint8_t kMemoriaStato = 0;
constexpr std::size_t kBloccoPRam = 18;
constexpr std::size_t kIntestazioneMailbox = 4;
constexpr std::size_t kPagina = 256;
constexpr std::uint32_t kLimiteMailbox = 0x10000;  // the mailbox header carries 16 address bits

std::array<std::uint8_t, 4> IndirizzoEConteggio(std::uint32_t address, std::size_t n)
{
    const auto a = Byte24(address);
    return {a[0], a[1], a[2], static_cast<std::uint8_t>(n)};
}

// A mailbox header: the 16-bit configuration address, 0, the count.
std::array<std::uint8_t, 4> TestaMailbox(std::uint32_t address, std::size_t n)
{
    const auto a = Byte16(address);
    return {a[0], a[1], 0, static_cast<std::uint8_t>(n)};
}

} // namespace

bool UCZEM2::Richiesta(std::uint8_t code, std::span<const std::uint8_t> args)
{
    return AspettaPerRicezioneInCorso() && PreparaRichiesta(code, args) && EseguiComando();
}

std::optional<std::uint8_t> UCZEM2::ReadPRam1Byte(std::uint32_t address)
{
    if (!Richiesta(kCmdLeggiPRam, IndirizzoEConteggio(address, 1)) || bufferRX_[0] != 1) return std::nullopt;
    return bufferRX_[1];
}

bool UCZEM2::WritePRam1Byte(std::uint32_t address, std::uint8_t value)
{
    return WritePRamBytes1(address, std::span<const std::uint8_t>(&value, 1));
}

bool UCZEM2::LeggiPRamBlocco(std::uint32_t address, std::span<std::uint8_t> data)
{
    for (std::size_t fatto = 0; fatto < data.size(); fatto += kBloccoPRam) {
        const std::size_t n = std::min(kBloccoPRam, data.size() - fatto);
        const auto a = static_cast<std::uint32_t>(address + fatto);
        if (!Richiesta(kCmdLeggiPRam, IndirizzoEConteggio(a, n)) || bufferRX_[0] != n) return false;
        std::copy_n(bufferRX_.begin() + 1, n, data.begin() + static_cast<std::ptrdiff_t>(fatto));
    }
    return true;
}

bool UCZEM2::WritePRamBytes1(std::uint32_t address, std::span<const std::uint8_t> data)
{
    if (ConfigurazioneInPRAM()) NotaScritturaConfig(address, data.size());
    for (std::size_t fatto = 0; fatto < data.size(); fatto += kBloccoPRam) {
        const std::size_t n = std::min(kBloccoPRam, data.size() - fatto);
        std::array<std::uint8_t, 4 + kBloccoPRam> args{};
        const auto testa = IndirizzoEConteggio(static_cast<std::uint32_t>(address + fatto), n);
        std::copy(testa.begin(), testa.end(), args.begin());
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(fatto), n, args.begin() + 4);
        if (!AspettaPerRicezioneInCorso() || !PreparaRichiesta(kCmdScriviPRam, std::span(args).first(4 + n))
            || !ComandoConEsito())
            return false;
    }
    return true;
}

std::optional<std::uint16_t> UCZEM2::LeggiPRam2Byte(std::uint32_t address)
{
    if (!Richiesta(kCmdLeggiPRam, IndirizzoEConteggio(address, 2)) || bufferRX_[0] != 2) return std::nullopt;
    return Leggi16(bufferRX_, 1);
}

bool UCZEM2::ScriviPRam2Byte(std::uint32_t address, std::uint16_t value)
{
    return WritePRamBytes1(address, Byte16(value));
}

bool UCZEM2::EseguiComandoMemoria(std::uint8_t code)
{
    const std::array<std::uint8_t, 1> richiesta{code};
    if (!Richiesta(kCmdMemoria, richiesta) || bufferRX_[0] != 1) return false;
    if (code == kMemoriaStato) return true;
    const double start = clock_.Timer();
    for (;;) {
        const std::array<std::uint8_t, 1> stato{kMemoriaStato};
        if (!Richiesta(kCmdMemoria, stato) || bufferRX_[0] != 1) return false;
        if ((bufferRX_[1] & 1) == 0) return true;
        if (TempoScaduto(start, clock_.Timer(), 0.8, 1.0)) return false;
    }
}

bool UCZEM2::ReadConfigBytes(std::uint32_t address, std::span<std::uint8_t> data)
{
    const bool ok = ConfigurazioneInPRAM() ? LeggiPRam(address, data) : LeggiConfigMailbox(address, data);
    if (ok) NotaLetturaConfig(address, data);
    return ok;
}

void UCZEM2::NotaLetturaConfig(std::uint32_t address, std::span<const std::uint8_t> data)
{
    if (address <= kByteModo && kByteModo - address < data.size()) byteModo_ = data[kByteModo - address];
}

void UCZEM2::NotaScritturaConfig(std::uint32_t address, std::size_t n)
{
    if (address <= kByteModo && kByteModo - address < n) byteModo_.reset();
}

bool UCZEM2::LeggiConfigMailbox(std::uint32_t address, std::span<std::uint8_t> data)
{
    if (data.empty()) return true;
    if (dimensioneAreaPRAM_ <= kIntestazioneMailbox || address + data.size() > kLimiteMailbox) return false;
    const std::size_t massimo = std::min<std::size_t>(255, dimensioneAreaPRAM_ - kIntestazioneMailbox);
    for (std::size_t fatto = 0; fatto < data.size();) {
        const std::size_t c = std::min(massimo, data.size() - fatto);
        const auto a = static_cast<std::uint32_t>(address + fatto);
        const auto testa = TestaMailbox(a, c);
        // Mailbox writes already load the header with their data in one frame, so one 4-byte frame
        // is safe; only the forced single-byte path keeps the four frames of old.
        if (singoloByte_) {
            for (std::uint32_t i = 0; i < 4; ++i)
                if (!WritePRam1Byte(indirizzoAreaPRAM_ + i, testa[i])) return false;
        } else if (!WritePRamBytes1(indirizzoAreaPRAM_, testa)) {
            return false;
        }
        if (!EseguiComandoMemoria(kMemoriaLeggi)) return false;
        if (!LeggiPRamBlocco(indirizzoAreaPRAM_ + kIntestazioneMailbox, data.subspan(fatto, c))) return false;
        fatto += c;
    }
    return true;
}

std::optional<std::uint8_t> UCZEM2::ReadConfig1Byte(std::uint32_t address)
{
    // One byte reads singly on either path: the same exchanges as ReadConfigBytes makes of it.
    std::uint8_t b = 0;
    if (!ReadConfigBytes(address, std::span<std::uint8_t>(&b, 1))) return std::nullopt;
    return b;
}

std::optional<std::uint16_t> UCZEM2::LeggiConfig2Byte(std::uint32_t address)
{
    std::array<std::uint8_t, 2> b{};
    if (!ReadConfigBytes(address, b)) return std::nullopt;
    return Leggi16(b, 0);
}

std::string UCZEM2::EstraiStringa(std::span<const std::uint8_t> bytes, std::size_t index)
{
    if (index >= bytes.size()) return {};
    const std::size_t n = std::min<std::size_t>(bytes[index], bytes.size() - index - 1);
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(index + 1),
                       bytes.begin() + static_cast<std::ptrdiff_t>(index + 1 + n));
}

std::optional<std::string> UCZEM2::LeggiStringaConfig(std::uint32_t address, std::size_t lunghezzaMassima)
{
    std::vector<std::uint8_t> testo;
    if (ConfigurazioneInPRAM()) {
        // One full PRAM request brings the length and the first characters.
        std::array<std::uint8_t, kBloccoPRam> primo{};
        if (!LeggiPRamBlocco(address, primo)) return std::nullopt;
        const std::size_t n = std::min<std::size_t>(primo[0], lunghezzaMassima);
        testo.assign(primo.begin() + 1, primo.begin() + 1 + std::min(n, kBloccoPRam - 1));
        if (n > testo.size()) {
            std::vector<std::uint8_t> resto(n - testo.size());
            if (!LeggiPRamBlocco(static_cast<std::uint32_t>(address + kBloccoPRam), resto)) return std::nullopt;
            testo.insert(testo.end(), resto.begin(), resto.end());
        }
    } else {
        const auto lunghezza = ReadConfig1Byte(address);
        if (!lunghezza) return std::nullopt;
        testo.resize(std::min<std::size_t>(*lunghezza, lunghezzaMassima));
        if (!ReadConfigBytes(address + 1, testo)) return std::nullopt;
    }
    return std::string(testo.begin(), testo.end());
}

bool UCZEM2::WriteConfigBytes(std::uint32_t address, std::span<const std::uint8_t> data)
{
    if (ConfigurazioneInPRAM()) return ScriviPRam(address, data);
    return ScriviProvato(address, data, &UCZEM2::ScriviConfigBlocchi, &UCZEM2::LeggiConfigMailbox);
}

bool UCZEM2::ScriviConfigBlocchi(std::uint32_t address, std::span<const std::uint8_t> data)
{
    if (data.empty()) return true;
    if (dimensioneAreaPRAM_ <= kIntestazioneMailbox || address + data.size() > kLimiteMailbox) return false;
    for (std::size_t fatto = 0; fatto < data.size();) {
        const auto a = static_cast<std::uint32_t>(address + fatto);
        const std::size_t n = std::min(data.size() - fatto, kPagina - a % kPagina);
        if (!ScriviPaginaMailbox(a, data.subspan(fatto, n))) return false;
        fatto += n;
    }
    return true;
}

// One page part, in mailbox loads whose count byte neither overflows the mailbox nor wraps.
bool UCZEM2::ScriviPaginaMailbox(std::uint32_t address, std::span<const std::uint8_t> data)
{
    NotaScritturaConfig(address, data.size());
    const std::size_t massimo = std::min<std::size_t>(255, dimensioneAreaPRAM_ - kIntestazioneMailbox);
    for (std::size_t fatto = 0; fatto < data.size();) {
        const std::size_t n = std::min(massimo, data.size() - fatto);
        const auto a = static_cast<std::uint32_t>(address + fatto);
        const auto testa = TestaMailbox(a, n);
        std::vector<std::uint8_t> carico(testa.begin(), testa.end());
        carico.insert(carico.end(), data.begin() + static_cast<std::ptrdiff_t>(fatto),
                      data.begin() + static_cast<std::ptrdiff_t>(fatto + n));
        if (!WritePRamBytes1(indirizzoAreaPRAM_, carico) || !EseguiComandoMemoria(kMemoriaScrivi)) return false;
        fatto += n;
    }
    return true;
}

bool UCZEM2::ScriviConfigByte(std::uint32_t address, std::int32_t value)
{
    const auto b = static_cast<std::uint8_t>(std::max(0, value));
    return WriteConfigBytes(address, std::span<const std::uint8_t>(&b, 1));
}

bool UCZEM2::ScriviConfigIntero(std::uint32_t address, std::int32_t value)
{
    return WriteConfigBytes(address, Byte16(static_cast<std::uint32_t>(std::clamp(value, 0, 0xFFFF))));
}

bool UCZEM2::ScriviConfigInteroConSegno(std::uint32_t address, std::int32_t value)
{
    return WriteConfigBytes(address, Byte16(static_cast<std::uint32_t>(value < 0 ? value + 65536 : value)));
}

bool UCZEM2::ScriviConfigStringa(std::uint32_t address, const std::string& text, std::size_t lunghezzaMassima)
{
    const std::size_t n = std::min({text.size(), lunghezzaMassima, std::size_t{255}});
    std::vector<std::uint8_t> b{static_cast<std::uint8_t>(n)};
    b.insert(b.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
    return WriteConfigBytes(address, b);
}

} // namespace zem
