// The framed request/response exchange and the resynchronisation of the line.
#include "link/UCZEM2.h"

#include "link/Clock.h"
#include "link/net/SocketControl.h"

#include <algorithm>

namespace zem {

namespace {

constexpr int kTentativi = 4;
constexpr std::size_t kMaxRisposta = 50;   // reply count byte: at most 49 payload bytes
constexpr std::size_t kMaxPayloadTX = 254; // the count byte must still grow by the checksum

std::uint8_t SommaFrame(std::span<const std::uint8_t> bytes)
{
    unsigned sum = 0;
    for (const std::uint8_t b : bytes) sum += b;
    const auto c = static_cast<std::uint8_t>(sum & 0xFF);
    return c == 0 ? 1 : c;
}

} // namespace

bool UCZEM2::PreparaRichiesta(std::uint8_t code, std::span<const std::uint8_t> args)
{
    if (args.size() + 1 > kMaxPayloadTX) return false;
    bufferTX_[0] = static_cast<std::uint8_t>(args.size() + 1);
    bufferTX_[1] = code;
    std::copy(args.begin(), args.end(), bufferTX_.begin() + 2);
    return true;
}

void UCZEM2::AggiungiChecksum()
{
    const std::size_t n = bufferTX_[0];
    bufferTX_[0] = static_cast<std::uint8_t>(n + 1);
    bufferTX_[n + 1] = SommaFrame(std::span<const std::uint8_t>(bufferTX_).first(n + 1));
}

bool UCZEM2::InviaComando1Byte(std::uint8_t code)
{
    bufferTX_[0] = 1;
    bufferTX_[1] = code;
    return EseguiComando();
}

bool UCZEM2::ComandoConEsito()
{
    return EseguiComando() && bufferRX_[0] == 1 && bufferRX_[1] == 1;
}

bool UCZEM2::EseguiComando()
{
    bufferRX_[0] = 0;
    // An empty request or one whose count cannot take the checksum is never sent.
    if (bufferTX_[0] == 0 || bufferTX_[0] > kMaxPayloadTX) return false;
    if (solaLettura_ && !RichiestaDiLettura()) return false;
    AggiungiChecksum();
    const std::size_t n = bufferTX_[0];
    for (int tentativo = 0; tentativo < kTentativi; ++tentativo) {
        if (Tentativo(n)) return true;
        if (!RecuperaTentativo()) break;
    }
    ++transazioniFallite_;
    return false;
}

// The echo of the N+1 request bytes and the reply count are in BufferRX 0..N+1.
// Returns the reply count R when both are good, 0 otherwise.
static std::size_t ControllaEco(const UCZEM2::Buffer& tx, const UCZEM2::Buffer& rx, std::size_t n)
{
    if (!std::equal(tx.begin(), tx.begin() + static_cast<std::ptrdiff_t>(n + 1), rx.begin())) return 0;
    const std::size_t r = rx[n + 1];
    return (r == 0 || r > kMaxRisposta) ? 0 : r;
}

// The R reply bytes are in BufferRX 0..R-1: move them to 1..R, put R at 0 and check the sum.
bool UCZEM2::VerificaRisposta(std::size_t r)
{
    std::copy_backward(bufferRX_.begin(), bufferRX_.begin() + static_cast<std::ptrdiff_t>(r),
                       bufferRX_.begin() + static_cast<std::ptrdiff_t>(r + 1));
    bufferRX_[0] = static_cast<std::uint8_t>(r);
    if (SommaFrame(std::span<const std::uint8_t>(bufferRX_).first(r)) != bufferRX_[r]) return false;
    bufferRX_[0] = static_cast<std::uint8_t>(r - 1);
    return true;
}

bool UCZEM2::Tentativo(std::size_t n, double attesa)
{
    LinkTransport& canale = Canale();
    auto ricevi = [&](std::span<std::uint8_t> bytes) {
        return attesa > 0 ? canale.RiceviEntro(bytes, attesa) : canale.Ricevi(bytes);
    };
    if (!canale.Invia(std::span<const std::uint8_t>(bufferTX_).first(n + 1))) return false;
    if (!ricevi(std::span<std::uint8_t>(bufferRX_).first(n + 2))) return false;
    const std::size_t r = ControllaEco(bufferTX_, bufferRX_, n);
    if (r == 0) return false;
    if (!ricevi(std::span<std::uint8_t>(bufferRX_).first(r))) return false;
    return VerificaRisposta(r);
}

bool UCZEM2::RisincronizzaLinea()
{
    if (Noise) Noise();
    return Canale().Risincronizza();
}

bool UCZEM2::RecuperaTentativo()
{
    // A line that cannot be brought back makes further attempts pointless.
    if (!RisincronizzaLinea()) return false;
    Canale().ScartaDopoErrore();
    return true;
}

bool UCZEM2::AspettaPerRicezioneInCorso()
{
    if (!InRicezione()) return true;
    const double start = clock_.Timer();
    for (;;) {
        if (!InRicezione()) return true;
        pump_.PompaMessaggiSocket();
        if (TimerAquireEth.Enabled) TimerAquireEth_Timer();
        if (TimerAquireUSB.Enabled) TimerAquireUSB_Timer();
        // Counted across midnight, so a wait that starts before it still ends.
        if (SecondiTrascorsi(start, clock_.Timer()) > 10.0) return !InRicezione();
    }
}

} // namespace zem
