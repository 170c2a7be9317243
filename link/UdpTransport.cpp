#include "link/UdpTransport.h"

#include "link/Clock.h"
#include "link/net/SocketControl.h"

#include <array>

namespace zem {

namespace {
constexpr std::size_t kZeriRisincronizza = 41;
} // namespace

void UdpTransport::Apri(const std::string& host, std::uint32_t port)
{
    socket_->Close();
    socket_->SetProtocol(SocketControl::kProtocolUdp);
    socket_->SetRemotePort(port);
    socket_->SetRemoteHost(host);
    socket_->Connect();
    Svuota();
}

void UdpTransport::Chiudi()
{
    socket_->Close();
}

bool UdpTransport::Invia(std::span<const std::uint8_t> bytes)
{
    // Whatever reached the socket since the last exchange is stale: between exchanges the
    // window's message loop would have fetched and dropped it.
    while (!socket_->GetData().empty()) {
    }
    // A send error shows up as a missing reply.
    socket_->SendData(bytes);
    Svuota();
    return true;
}

void UdpTransport::DatiArrivati(const Consegna& asincrono)
{
    if (asincrono) {
        if (ricevuti_ > 0) {
            const std::span<const std::uint8_t> pending(buffer_);
            const auto unread = pending.subspan(indice_, ricevuti_ - indice_);
            Svuota();
            asincrono(unread);
        }
        buffer_ = socket_->GetData();
        Svuota();
        if (!buffer_.empty()) asincrono(buffer_);
        return;
    }
    std::vector<std::uint8_t> data = socket_->GetData();
    if (data.empty()) return;
    buffer_ = std::move(data);
    ricevuti_ = buffer_.size();
    indice_ = 0;
}

std::uint8_t UdpTransport::PrendiByte()
{
    const std::uint8_t b = buffer_[indice_++];
    if (indice_ >= ricevuti_) Svuota();
    return b;
}

bool UdpTransport::RiceviEntro(std::span<std::uint8_t> bytes, double seconds)
{
    const double start = clock_.Timer();
    std::size_t taken = 0;
    for (;;) {
        while (InAttesa() && taken < bytes.size()) bytes[taken++] = PrendiByte();
        if (taken >= bytes.size()) return true;
        if (!TempoScaduto(start, clock_.Timer(), seconds, 4.0)) {
            pump_.PompaMessaggiSocket();
            continue;
        }
        DatiArrivati(nullptr);
        if (!InAttesa()) return false;
        pump_.PompaMessaggiSocket();
    }
}

void UdpTransport::ConsegnaInAttesa(const Consegna& consegna)
{
    // The link's socket is dispatched only while an exchange waits: between exchanges the stream
    // waits in the socket until the reception's tick takes it.
    for (auto d = socket_->GetData(); !d.empty(); d = socket_->GetData())
        if (!consegna(d)) return;
}

void UdpTransport::AttendiPompando(double secondi, double limiteDopoMezzanotte)
{
    const double start = clock_.Timer();
    while (!TempoScaduto(start, clock_.Timer(), secondi, limiteDopoMezzanotte)) pump_.PompaMessaggiSocket();
}

bool UdpTransport::Risincronizza()
{
    const std::array<std::uint8_t, kZeriRisincronizza> zeri{};
    socket_->SendData(zeri);
    AttendiPompando(0.8, 1.0);

    Svuota();
    const std::array<std::uint8_t, 1> zero{};
    socket_->SendData(zero);
    const double start = clock_.Timer();
    while (!TempoScaduto(start, clock_.Timer(), 3.0, 4.0)) {
        if (ricevuti_ == 1) return buffer_[indice_] == 0;
        pump_.PompaMessaggiSocket();
    }
    return false;
}

void UdpTransport::Pausa(double seconds)
{
    // The pump sleeps in poll() on the socket; what the module passes on meanwhile is stale.
    const double start = clock_.Timer();
    while (SecondiTrascorsi(start, clock_.Timer()) < seconds) pump_.PompaMessaggiSocket();
    Svuota();
}

} // namespace zem
