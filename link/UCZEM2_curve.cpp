// Asynchronous download of curves: command 9 asks for a measure's last curve and is answered with
// the number of bytes that will follow; command 10 resumes it from a byte offset after a silent
// period. The bytes then stream in as blocks (sequence number, length, data) made of 5-byte points.
#include "link/UCZEM2.h"

#include "link/ByteOrder.h"
#include "link/Clock.h"

#include <algorithm>
#include <array>

namespace zem {

namespace {

constexpr std::uint8_t kCmdCurva = 9;
constexpr std::uint8_t kCmdRiprendiCurva = 10;
constexpr std::size_t kBytePunto = 5;
constexpr double kSilenzio = 3.0;
constexpr int kTentativiRicezione = 4;

PuntoCurva DecodificaPunto(std::span<const std::uint8_t, kBytePunto> b)
{
    auto x = static_cast<std::int32_t>(Leggi24(b, 0));
    if (x & 0x800000) x -= 0x1000000;
    const auto y = static_cast<std::int16_t>(Leggi16(b, 3));
    return {x, y};
}

} // namespace

const std::vector<PuntoCurva>& UCZEM2::PuntiCurva(int misura) const
{
    static const std::vector<PuntoCurva> nessuno;
    if (misura < 1 || misura > kMisure) return nessuno;
    return curve_[static_cast<std::size_t>(misura - 1)].punti;
}

bool UCZEM2::RichiediCurva(int misura)
{
    if (misura < 1 || misura > kMisure || !AspettaPerRicezioneInCorso()) return false;
    RicezioneCurva& c = curve_[static_cast<std::size_t>(misura - 1)];
    c = RicezioneCurva{};
    c.aperta = true;
    misuraInRicezione_ = misura;
    if (!ChiediDatiCurva(misura)) {
        c.aperta = false;
        misuraInRicezione_ = 0;
        return false;
    }
    if (NuovaCurva) NuovaCurva(misura, static_cast<std::int32_t>(c.attesi / kBytePunto));
    if (c.attesi == 0) {
        ChiudiRicezione(misura, true);
        return true;
    }
    TimerStatus.Enabled = false;
    Canale().TimerRicezione().Enabled = true;
    return true;
}

// Asks for the measure's data: from the start, or from what has arrived when it had begun.
bool UCZEM2::ChiediDatiCurva(int misura)
{
    RicezioneCurva& c = curve_[static_cast<std::size_t>(misura - 1)];
    const auto indice = static_cast<std::uint8_t>(misura - 1);
    const auto da = static_cast<std::uint32_t>(c.dati.size());
    if (c.iniziata) {
        const auto offset = Byte24(da);
        const std::array<std::uint8_t, 4> args{indice, offset[0], offset[1], offset[2]};
        PreparaRichiesta(kCmdRiprendiCurva, args);
    } else {
        const std::array<std::uint8_t, 1> args{indice};
        PreparaRichiesta(kCmdCurva, args);
    }
    if (!EseguiComando() || bufferRX_[0] != 3) return false;
    const std::uint32_t restanti = Leggi24(bufferRX_, 1);
    if (!c.iniziata) c.attesi = restanti;
    // A resumed reply that disagrees with what is still missing cannot be trusted.
    else if (da + restanti != c.attesi) return false;
    c.iniziata = true;
    sequenzaAttesa_ = 0;
    flussoCurva_.clear();
    ultimaRicezione_ = clock_.Timer();
    return true;
}

void UCZEM2::ElaboraDatiAsincroni(std::span<const std::uint8_t> bytes)
{
    if (misuraInRicezione_ == 0) return;
    ultimaRicezione_ = clock_.Timer();
    tentativo_ = 0;
    flussoCurva_.insert(flussoCurva_.end(), bytes.begin(), bytes.end());

    std::size_t pos = 0;
    while (misuraInRicezione_ != 0 && flussoCurva_.size() - pos >= 2) {
        const std::uint8_t sequenza = flussoCurva_[pos];
        const std::size_t lunghezza = flussoCurva_[pos + 1];
        if (flussoCurva_.size() - pos < 2 + lunghezza) break;
        const std::span<const std::uint8_t> dati(flussoCurva_.data() + pos + 2, lunghezza);
        pos += 2 + lunghezza;
        // A block out of sequence means one was lost: ignore the rest until the supervision
        // resumes the download from the last good byte.
        if (sequenza != sequenzaAttesa_) continue;
        ++sequenzaAttesa_;

        const int m = misuraInRicezione_;
        RicezioneCurva& c = curve_[static_cast<std::size_t>(m - 1)];
        const std::size_t spazio = c.attesi - c.dati.size();
        c.dati.insert(c.dati.end(), dati.begin(), dati.begin() + static_cast<std::ptrdiff_t>(std::min(spazio, dati.size())));
        const std::size_t primo = c.punti.size();
        while ((c.punti.size() + 1) * kBytePunto <= c.dati.size())
            c.punti.push_back(DecodificaPunto(std::span<const std::uint8_t, kBytePunto>(
                c.dati.data() + c.punti.size() * kBytePunto, kBytePunto)));
        if (c.punti.size() > primo && NuoviPunti)
            NuoviPunti(m, static_cast<std::int32_t>(primo), static_cast<std::int32_t>(c.punti.size() - primo));
        if (c.dati.size() >= c.attesi) ChiudiRicezione(m, true);
    }
    flussoCurva_.erase(flussoCurva_.begin(), flussoCurva_.begin() + static_cast<std::ptrdiff_t>(std::min(pos, flussoCurva_.size())));
}

void UCZEM2::ChiudiRicezione(int misura, bool ok)
{
    curve_[static_cast<std::size_t>(misura - 1)].aperta = false;
    if (misura == misuraInRicezione_) {
        misuraInRicezione_ = 0;
        flussoCurva_.clear();
        TimerAquireEth.Enabled = TimerAquireUSB.Enabled = false;
        TimerStatus.Enabled = true;
        InviaArrestiSospesi();
    }
    if (FineCurva) FineCurva(misura, ok);
}

// Silence supervision shared by both channels: after 3 s without data the line is resynchronised
// and the data asked again; the fourth silent period abandons the reception.
void UCZEM2::SorvegliaRicezione(LinkTimer& timer)
{
    const double now = clock_.Timer();
    const bool silenzio = now >= ultimaRicezione_ ? ultimaRicezione_ + kSilenzio <= now : now > 1.0;
    if (!silenzio) return;

    ++tentativo_;
    timer.Enabled = false;
    const bool risincronizzata = RisincronizzaLinea();
    if (tentativo_ >= kTentativiRicezione) {
        misuraInRicezione_ = 0;
        flussoCurva_.clear();
        for (int m = 1; m <= kMisure; ++m)
            if (curve_[static_cast<std::size_t>(m - 1)].aperta) ChiudiRicezione(m, false);
        if (tentativo_ > kTentativiRicezione && ErroreComunicazione) {
            bool retry = false;
            ErroreComunicazione(retry);
        }
        TimerStatus.Enabled = true;
        InviaArrestiSospesi();
        return;
    }
    if (risincronizzata) {
        ChiediDatiCurva(misuraInRicezione_);
        ultimaRicezione_ = clock_.Timer();
    }
    timer.Enabled = true;
}

void UCZEM2::TimerAquireEth_Timer()
{
    RiceviAsincrono(ethCanale_);
}

void UCZEM2::TimerAquireUSB_Timer()
{
    RiceviAsincrono(usbCanale_);
}

void UCZEM2::RiceviAsincrono(LinkTransport& canale)
{
    if (misuraInRicezione_ == 0) {
        canale.TimerRicezione().Enabled = false;
        return;
    }
    canale.ConsegnaInAttesa([this](std::span<const std::uint8_t> bytes) {
        ElaboraDatiAsincroni(bytes);
        return misuraInRicezione_ != 0;
    });
    if (misuraInRicezione_ != 0) SorvegliaRicezione(canale.TimerRicezione());
}

} // namespace zem
