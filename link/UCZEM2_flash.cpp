// Flash memory in verified 8-byte blocks, and the switch into and out of update mode.
#include "link/UCZEM2.h"

#include "link/ByteOrder.h"
#include "link/Clock.h"

#include <algorithm>
#include <cmath>

namespace zem {

namespace {

constexpr std::uint8_t kCmdRiavvio = 13;
constexpr std::uint8_t kCmdLeggiFlash = 24;
constexpr std::uint8_t kCmdCancellaFlash = 25;
constexpr std::uint8_t kCmdProgrammaFlash = 26;
constexpr std::uint8_t kCmdCopiaSettore = 34;
constexpr std::uint8_t kMascheraFlash = 0x6E;  // every byte read from flash comes XOR this
constexpr std::uint8_t kFlashCancellata = 0xFF;
constexpr std::uint32_t kLimiteIndirizzo = 0x1000000;  // three address bytes on the wire
constexpr std::uint32_t kMascheraBlocco = 0x7FFFFFF8;
constexpr std::size_t kControlloCancellazione = 64;
constexpr std::uint8_t kBitUpdateMode = 0x80;
constexpr int kTentativi = 4;
// After a restart the identity is probed every 25-45 ms: a pause, then a probe whose echo a
// restarting instrument does not send within 20 ms.
constexpr double kPausaSonda = 0.025;
constexpr double kAttesaSonda = 0.02;

} // namespace

bool UCZEM2::ReadFlash(std::uint32_t address, std::int16_t& primo, std::int16_t& secondo)
{
    // Both addresses must fit the three address bytes, or the read would come from elsewhere.
    if (address >= kLimiteIndirizzo - 1) return false;
    if (!Richiesta(kCmdLeggiFlash, Byte24(address)) || bufferRX_[0] != 1) return false;
    primo = bufferRX_[1];
    if (!Richiesta(kCmdLeggiFlash, Byte24(address + 1)) || bufferRX_[0] != 1) return false;
    secondo = bufferRX_[1];
    return true;
}

bool UCZEM2::ClearFlash(std::uint32_t address)
{
    const auto settore = static_cast<std::uint32_t>(settoreFlash_);
    if ((address & (kLimiteIndirizzo - settore)) != address) return false;
    if (!AspettaPerRicezioneInCorso() || !PreparaRichiesta(kCmdCancellaFlash, Byte24(address))
        || !ComandoConEsito())
        return false;
    constexpr std::int16_t vuoto = kFlashCancellata ^ kMascheraFlash;
    for (std::uint32_t offset = 0; offset < kControlloCancellazione; offset += 2) {
        std::int16_t primo = 0;
        std::int16_t secondo = 0;
        if (!ReadFlash(address + offset, primo, secondo) || primo != vuoto || secondo != vuoto) return false;
    }
    return true;
}

bool UCZEM2::WriteFlash1(std::uint32_t address, std::int16_t value)
{
    if (address >= kLimiteIndirizzo) return false;
    if (!bloccoFlashVuoto_ && (address & kMascheraBlocco) != indirizzoBloccoFlash_ && !ChiudiBloccoFlash())
        return false;
    if (bloccoFlashVuoto_) {
        indirizzoBloccoFlash_ = address & kMascheraBlocco;
        bloccoFlashDati_.fill(kFlashCancellata);
        bloccoFlashVuoto_ = false;
    }
    bloccoFlashDati_[address & 7] = static_cast<std::uint8_t>(value & 0xFF);
    return true;
}

bool UCZEM2::ChiudiBloccoFlash()
{
    if (bloccoFlashVuoto_) return true;
    // A block is sent once: whatever happens to it, the buffer is free for the next one.
    bloccoFlashVuoto_ = true;
    std::array<std::uint8_t, 3 + 8> args{};
    const auto a = Byte24(indirizzoBloccoFlash_);
    std::copy(a.begin(), a.end(), args.begin());
    std::copy(bloccoFlashDati_.begin(), bloccoFlashDati_.end(), args.begin() + 3);
    bool ok = AspettaPerRicezioneInCorso() && PreparaRichiesta(kCmdProgrammaFlash, args) && ComandoConEsito();
    for (std::size_t i = 0; ok && i < bloccoFlashDati_.size(); i += 2) {
        std::int16_t primo = 0;
        std::int16_t secondo = 0;
        ok = ReadFlash(indirizzoBloccoFlash_ + static_cast<std::uint32_t>(i), primo, secondo)
            && primo == (bloccoFlashDati_[i] ^ kMascheraFlash) && secondo == (bloccoFlashDati_[i + 1] ^ kMascheraFlash);
    }
    // Kept until CloseWriteFlash reports it: a caller that only checks the close still hears of
    // a block that failed when a later write moved on to the next one.
    if (!ok) erroreFlash_ = true;
    return ok;
}

bool UCZEM2::CloseWriteFlash()
{
    ChiudiBloccoFlash();
    const bool ok = !erroreFlash_;
    erroreFlash_ = false;
    return ok;
}

bool UCZEM2::CopyFlash(std::uint32_t address)
{
    // Sector copies serve a configuration kept in flash, which no instrument of the family has.
    if (!ConfigurazioneInFlash()) return false;
    const auto settore = static_cast<std::uint32_t>(settoreFlash_);
    if ((address & (kLimiteIndirizzo - settore)) != address) return false;
    if (!AspettaPerRicezioneInCorso() || !PreparaRichiesta(kCmdCopiaSettore, Byte24(address))) return false;
    indirizzoBloccoFlash_ = address;
    return ComandoConEsito();
}

bool UCZEM2::SetUpdateMode(bool entra)
{
    // With a memory fault the flag cannot be trusted: entering is taken as done, leaving is
    // always tried, so that a freshly written configuration gets its restart.
    const bool cambio = memoryError_ ? !entra : entra != updateMode_;
    if (!cambio) return true;
    // The mode byte as this link last read it, in this mode and unwritten since, saves a read;
    // the single-byte path keeps the loader's old exchanges exactly.
    const auto modo = byteModo_ && !singoloByte_ ? byteModo_ : ReadConfig1Byte(kByteModo);
    if (!modo) return false;
    const auto nuovo = static_cast<std::uint8_t>(entra ? (*modo | kBitUpdateMode) : (*modo & ~kBitUpdateMode));
    // A restart with the old byte would come back in the mode being left.
    if (!ScriviConfigByte(kByteModo, nuovo)) return false;
    return RiavviaStrumento(entra);
}

bool UCZEM2::RiavviaStrumento(bool updateMode)
{
    // What the other mode's firmware makes of the memory is its own business.
    byteModo_.reset();
    if (!AspettaPerRicezioneInCorso()) return false;
    bufferTX_[0] = 1;
    bufferTX_[1] = kCmdRiavvio;
    bufferRX_[0] = 0;
    AggiungiChecksum();
    const std::size_t n = bufferTX_[0];
    const auto richiesta = std::span<const std::uint8_t>(bufferTX_).first(n + 1);
    const auto eco = std::span<std::uint8_t>(bufferRX_).first(n + 1);
    // The instrument restarts instead of answering: only the echo tells that it took the frame.
    for (int tentativo = 0; tentativo < kTentativi; ++tentativo) {
        LinkTransport& canale = Canale();
        const bool preso = canale.Invia(richiesta) && canale.Ricevi(eco)
            && std::equal(richiesta.begin(), richiesta.end(), eco.begin());
        if (preso) return AttendiRitorno(updateMode);
        if (!RecuperaTentativo()) return false;
    }
    return false;
}

// Ends as soon as the instrument answers in the mode it was restarted into, and never later than
// the channel's restart limit: an instrument that does not come back by then has failed.
bool UCZEM2::AttendiRitorno(bool updateMode)
{
    LinkTransport& canale = Canale();
    const double start = clock_.Timer();
    while (SecondiTrascorsi(start, clock_.Timer()) + kPausaSonda <= canale.LimiteRiavvio()) {
        canale.Pausa(kPausaSonda);
        if (SondaIdentita(kAttesaSonda) && updateMode_ == updateMode) return true;
        if (AttesaRiavvio) AttesaRiavvio(SecondiTrascorsi(start, clock_.Timer()), canale.LimiteRiavvio());
    }
    return false;
}

UCZEM2::SpeedCOMM UCZEM2::CalcolaSpeedCOMM(std::int32_t baud) const
{
    SpeedCOMM r;
    if (opzioneVelocita_ != 0 && opzioneVelocita_ != 1) return r;
    r.tipo = 1;
    // No divisor gives a speed of nothing: report the rate as not handled rather than divide by it.
    if (baud <= 0) return r;
    if (opzioneVelocita_ == 0) {
        const double d = std::nearbyint(40000000.0 / baud / 16.0 - 1.0);
        r.divisore = d > 255 ? 256 : static_cast<std::int32_t>(d);
    } else {
        r.divisore = static_cast<std::int32_t>(std::nearbyint(64000000.0 / baud / 64.0 - 1.0));
    }
    r.gestito = 255;
    return r;
}

} // namespace zem
