// The framed request/response exchange and the resynchronisation of the line.
#include "link/UCZEM2.h"

#include "link/Clock.h"
#include "link/net/SocketControl.h"
#include "link/usb/GestioneUSB.h"

#include <algorithm>

namespace zem {

namespace {

constexpr int kTentativi = 4;
constexpr std::size_t kMaxRisposta = 50;   // reply count byte: at most 49 payload bytes
constexpr std::size_t kMaxPayloadTX = 254; // the count byte must still grow by the checksum
constexpr std::size_t kScartoDopoErrore = 250;
constexpr std::uint32_t kBaudLink = 1250000;
constexpr int kByteSvuotamento = 256;
constexpr std::size_t kZeriRisincronizzaEth = 41;

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
    AggiungiChecksum();
    const std::size_t n = bufferTX_[0];
    for (int tentativo = 0; tentativo < kTentativi; ++tentativo) {
        if (handlePortaUSB_ != 0) {
            if (TentativoUSB(n)) return true;
            RisincronizzaLinea();
            std::array<std::uint8_t, kScartoDopoErrore> scarto{};
            usb_.LeggiBloccoUSBConAttesa(handlePortaUSB_, scarto);
        } else {
            if (TentativoETH(n)) return true;
            if (!RisincronizzaLinea()) return false;
        }
    }
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
bool UCZEM2::VerificaRisposta(std::size_t /*n*/, std::size_t r)
{
    std::copy_backward(bufferRX_.begin(), bufferRX_.begin() + static_cast<std::ptrdiff_t>(r),
                       bufferRX_.begin() + static_cast<std::ptrdiff_t>(r + 1));
    bufferRX_[0] = static_cast<std::uint8_t>(r);
    if (SommaFrame(std::span<const std::uint8_t>(bufferRX_).first(r)) != bufferRX_[r]) return false;
    bufferRX_[0] = static_cast<std::uint8_t>(r - 1);
    return true;
}

bool UCZEM2::TentativoUSB(std::size_t n)
{
    const auto richiesta = std::span<const std::uint8_t>(bufferTX_).first(n + 1);
    if (!usb_.ScriviBloccoUSB(handlePortaUSB_, richiesta)) return false;
    if (!usb_.LeggiBloccoUSBConAttesa(handlePortaUSB_, std::span<std::uint8_t>(bufferRX_).first(n + 2)))
        return false;
    const std::size_t r = ControllaEco(bufferTX_, bufferRX_, n);
    if (r == 0) return false;
    if (!usb_.LeggiBloccoUSBConAttesa(handlePortaUSB_, std::span<std::uint8_t>(bufferRX_).first(r)))
        return false;
    return VerificaRisposta(n, r);
}

bool UCZEM2::TentativoETH(std::size_t n)
{
    InviaBufferEth();
    if (!RiceviEth(n + 2)) return false;
    const std::size_t r = ControllaEco(bufferTX_, bufferRX_, n);
    if (r == 0) return false;
    if (!RiceviEth(r)) return false;
    return VerificaRisposta(n, r);
}

bool UCZEM2::RisincronizzaLinea()
{
    if (Noise) Noise();
    return handlePortaUSB_ != 0 ? RisincronizzaUSB() : RisincronizzaETH();
}

bool UCZEM2::RisincronizzaUSB()
{
    // A bridge that has to be reopened goes back to the link's own speed: at any other speed the
    // instrument could not be heard again.
    const std::string& serial = serialePorta_.empty() ? serialNumber_ : serialePorta_;
    const bool primo = usb_.ReimpostaDispositivoUSB(handlePortaUSB_, serial, kBaudLink);
    if (primo && usb_.ScriviByteUSB(handlePortaUSB_, 0) && SequenzaSvuotamentoUSB()) return true;
    const bool secondo = usb_.ReimpostaDispositivoUSB(handlePortaUSB_, serial, kBaudLink);
    if (primo || secondo) SequenzaSvuotamentoUSB();
    return true;
}

bool UCZEM2::SequenzaSvuotamentoUSB()
{
    // 256 zero bytes complete any frame the instrument's receiver is in the middle of.
    for (int i = 0; i < kByteSvuotamento; ++i) {
        usb_.SvuotaRicezioneUSB(handlePortaUSB_);
        if (!usb_.ScriviByteUSB(handlePortaUSB_, 0)) return false;
    }
    usb_.SvuotaRicezioneUSB(handlePortaUSB_);
    if (!usb_.ScriviByteUSB(handlePortaUSB_, 0)) return false;
    const double start = clock_.Timer();
    while (usb_.ByteInAttesaUSB(handlePortaUSB_) == 0) {
        if (TempoScaduto(start, clock_.Timer(), 0.7, 4.0)) return false;
    }
    std::uint8_t eco = 0xFF;
    return usb_.LeggiByteUSB(handlePortaUSB_, eco) && eco == 0;
}

void UCZEM2::AttendiPompando(double secondi, double limiteDopoMezzanotte)
{
    const double start = clock_.Timer();
    while (!TempoScaduto(start, clock_.Timer(), secondi, limiteDopoMezzanotte)) pump_.PompaMessaggiSocket();
}

bool UCZEM2::RisincronizzaETH()
{
    const std::array<std::uint8_t, kZeriRisincronizzaEth> zeri{};
    ethPort_->SendData(zeri);
    AttendiPompando(0.8, 1.0);

    byteRicevutiEth_ = indiceLetturaEth_ = 0;
    const std::array<std::uint8_t, 1> zero{};
    ethPort_->SendData(zero);
    const double start = clock_.Timer();
    while (!TempoScaduto(start, clock_.Timer(), 3.0, 4.0)) {
        if (byteRicevutiEth_ == 1) return bufferEth_[indiceLetturaEth_] == 0;
        pump_.PompaMessaggiSocket();
    }
    return false;
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
