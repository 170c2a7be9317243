// Diagnostics: the instrument's diagnostic mode, raw transducer readings, digital inputs and
// outputs, the serial-line status and the auxiliary outputs.
#include "link/UCZEM2.h"

#include <algorithm>
#include <cmath>

namespace zem {

namespace {

constexpr std::uint8_t kCmdModoDiagnostico = 20;
constexpr std::uint8_t kCmdIngressiUscite = 21;
constexpr std::uint8_t kCmdForzaUscita = 22;
constexpr std::uint8_t kCmdTrasduttori = 23;
constexpr std::uint8_t kCmdStatoSeriale = 31;
constexpr std::uint8_t kCmdUsciteAux = 36;
constexpr std::size_t kByteTrasduttori = 13;
constexpr std::size_t kByteStatoSeriale = 15;
constexpr int kUscite = 8;
constexpr int kUsciteAux = 4;
constexpr std::uint8_t kAzioneConferma = 128;
constexpr std::uint8_t kAzioneSpenta = 112;

// Payload byte i (from 1) of the reply, 0 past its end.
std::uint8_t Byte(const UCZEM2::Buffer& rx, std::size_t i)
{
    return i >= 1 && i <= rx[0] ? rx[i] : 0;
}

std::int32_t Conteggio24(const UCZEM2::Buffer& rx, std::size_t i)
{
    std::int32_t v = Byte(rx, i) | (Byte(rx, i + 1) << 8) | (Byte(rx, i + 2) << 16);
    if ((Byte(rx, i + 2) & 0x80) != 0) v -= 0x1000000;
    return v;
}

// An analog reading whose high byte has bit 7 set comes with that byte complemented.
std::int16_t Analogico(const UCZEM2::Buffer& rx, std::size_t basso)
{
    std::uint8_t alto = Byte(rx, basso + 1);
    if ((alto & 0x80) != 0) alto = static_cast<std::uint8_t>(~alto);
    return static_cast<std::int16_t>(alto * 256 + Byte(rx, basso));
}

// The blinking period as the instrument's index: 0..3 fast (steps of 0.05 s), 4..7 slow (0.5 s).
int IndicePeriodo(float periodo)
{
    const bool lento = periodo > 0.2f;
    const double passo = lento ? 0.5 : 0.05;
    const double p = ScalaMisura::ArrotondaPari(periodo / passo) - 1.0;
    // A period that is not a number takes the shortest step rather than an undefined one.
    return (p >= 0.0 ? static_cast<int>(std::min(p, 3.0)) : 0) + (lento ? 4 : 0);
}

} // namespace

bool UCZEM2::SetDiagnosticMode(bool on)
{
    const std::array<std::uint8_t, 1> args{static_cast<std::uint8_t>(on ? 1 : 0)};
    return Richiesta(kCmdModoDiagnostico, args) && bufferRX_[0] == 1 && bufferRX_[1] == 1;
}

std::optional<IngressiUscite> UCZEM2::LeggiIngressiUscite()
{
    // The panels keep refreshing while a curve streams in; they get what was read last.
    if (InRicezione()) return ultimiIngressiUscite_;
    if (!Richiesta(kCmdIngressiUscite, {}) || bufferRX_[0] < 3) return std::nullopt;
    ultimiIngressiUscite_ = {bufferRX_[2], bufferRX_[3]};
    return ultimiIngressiUscite_;
}

bool UCZEM2::ForzaUscita(int uscita, bool on)
{
    if (uscita < 0 || uscita >= kUscite) return false;
    const std::array<std::uint8_t, 2> args{static_cast<std::uint8_t>(uscita), static_cast<std::uint8_t>(on ? 1 : 0)};
    return Richiesta(kCmdForzaUscita, args) && bufferRX_[0] == 1 && bufferRX_[1] == 1;
}

std::optional<Trasduttori> UCZEM2::LeggiTrasduttori()
{
    if (!Richiesta(kCmdTrasduttori, {}) || bufferRX_[0] < kByteTrasduttori) return std::nullopt;
    Trasduttori t;
    t.L1 = Conteggio24(bufferRX_, 1);
    t.L2 = Conteggio24(bufferRX_, 4);
    t.A1 = Analogico(bufferRX_, 7);
    t.A3 = Analogico(bufferRX_, 9);
    t.A2 = Analogico(bufferRX_, 11);
    // With 13 payload bytes the reply has no byte 14: A4 is 0 rather than the checksum's value.
    t.A4 = bufferRX_[0] > kByteTrasduttori ? Analogico(bufferRX_, 13) : 0;
    return t;
}

std::optional<std::array<std::uint8_t, 15>> UCZEM2::LeggiStatoSeriale()
{
    if (!Richiesta(kCmdStatoSeriale, {}) || bufferRX_[0] < kByteStatoSeriale) return std::nullopt;
    std::array<std::uint8_t, 15> stato{};
    std::copy_n(bufferRX_.begin() + 1, stato.size(), stato.begin());
    return stato;
}

bool UCZEM2::ComandoUscitaAux(int misura, int uscita, bool accendi, std::uint8_t azione, bool conMaschera)
{
    if (misura < 1 || misura > kMisure || uscita < 0 || uscita > kUsciteAux) return false;
    std::uint8_t maschera = 0;
    if (conMaschera && uscita > 0) {
        const auto bit = static_cast<std::uint8_t>(1 << (uscita - 1));
        maschera = accendi ? static_cast<std::uint8_t>(bit << 4) : bit;
    }
    // This command takes the measure as it is given, not as an index from 0.
    const std::array<std::uint8_t, 3> args{static_cast<std::uint8_t>(misura), maschera, azione};
    if (!Richiesta(kCmdUsciteAux, args) || bufferRX_[0] != 2) return false;
    AcquisizioneMisura& a = acquisizione_[static_cast<std::size_t>(misura - 1)];
    a.ingressiAux = bufferRX_[1];
    a.usciteAux = bufferRX_[2] & 0x0F;
    a.altoNibbleAux = bufferRX_[2] >> 4;
    return true;
}

bool UCZEM2::LeggiIngressiAux(int misura)
{
    return ComandoUscitaAux(misura, 0, false, 0, false);
}

bool UCZEM2::SegnalazioneAbilitazioneUscitaAux(int misura, int uscita, bool abilita)
{
    return ComandoUscitaAux(misura, uscita, false, abilita ? kAzioneConferma : kAzioneSpenta, false);
}

bool UCZEM2::CambiaUscitaAuxA(int misura, int uscita, bool on)
{
    return ComandoUscitaAux(misura, uscita, on, 0, true);
}

bool UCZEM2::AttivaUscitaAuxLampeggiante(int misura, int uscita, float periodo, int modo, bool conferma)
{
    int azione = kAzioneSpenta;
    if (modo != 0) {
        const int schema = modo < 0 ? 15 : modo >= 7 ? 14 : modo * 2;
        azione = IndicePeriodo(periodo) * 16 + schema;
    }
    if (conferma) azione += kAzioneConferma;
    return ComandoUscitaAux(misura, uscita, false, static_cast<std::uint8_t>(azione), false);
}

} // namespace zem
