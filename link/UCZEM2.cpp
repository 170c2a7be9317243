#include "link/UCZEM2.h"

#include "link/Clock.h"
#include "link/net/SocketControl.h"
#include "link/usb/GestioneUSB.h"

namespace zem {

namespace {
constexpr std::uint32_t kBaudLink = 1250000;
constexpr std::uint8_t kCmdIdentita = 1;
} // namespace

UCZEM2::UCZEM2(Clock& clock, GestioneUSB& usb, SocketMessagePump& pump, SocketControl& ethPort)
    : clock_(clock), usb_(usb), pump_(pump), ethPort_(&ethPort)
{
    ethPort_->DataArrival = [this](std::size_t n) { EthPort_DataArrival(n); };
}

UCZEM2::~UCZEM2()
{
    if (collegato_) ChiudiComunicazione();
    // A bridge left open by a failed configuration read must not outlive the control.
    if (handlePortaUSB_ != 0) usb_.ChiudiDispositivoUSB(handlePortaUSB_);
    TimerStatus.Enabled = TimerAquireUSB.Enabled = TimerAquireEth.Enabled = false;
    if (ethPort_->DataArrival) ethPort_->DataArrival = nullptr;
}

void UCZEM2::AzzeraIdentita()
{
    protocollo_ = 0;
    estensioni_ = 0;
    mailbox_ = false;
    memoryError_ = false;
    updateMode_ = false;
}

bool UCZEM2::ApriPortaUSB(const std::string& serial)
{
    collegato_ = false;
    nome_.clear();
    if (handlePortaUSB_ != 0) usb_.ChiudiDispositivoUSB(handlePortaUSB_);
    handlePortaUSB_ = usb_.ApriDispositivoUSB(serial);
    if (handlePortaUSB_ == 0) return false;
    serialePorta_ = serial;
    if (usb_.ImpostaBaudRate(handlePortaUSB_, kBaudLink)) {
        usb_.SvuotaRicezioneUSB(handlePortaUSB_);
        if (ProvaIdentita()) {
            serialNumber_ = serial;
            return true;
        }
    }
    usb_.ChiudiDispositivoUSB(handlePortaUSB_);
    return false;
}

bool UCZEM2::ApriPortaETH(const std::string& host, std::uint32_t port)
{
    collegato_ = false;
    nome_.clear();
    // Closing the bridge selects the Ethernet channel; its serial number no longer applies.
    if (handlePortaUSB_ != 0) usb_.ChiudiDispositivoUSB(handlePortaUSB_);
    serialNumber_.clear();
    serialePorta_.clear();
    ethPort_->Close();
    ethPort_->SetProtocol(SocketControl::kProtocolUdp);
    ethPort_->SetRemotePort(port);
    ethPort_->SetRemoteHost(host);
    byteRicevutiEth_ = 0;
    indiceLetturaEth_ = 0;
    return ProvaIdentita();
}

void UCZEM2::ChiudiComunicazione()
{
    ChiudiCanale();
    AzzeraIdentita();
}

void UCZEM2::ChiudiCanale()
{
    TimerStatus.Enabled = TimerAquireUSB.Enabled = TimerAquireEth.Enabled = false;
    // A stop deferred by the reception just cut short still reaches the instrument; whatever
    // fails here belongs to this connection and is not carried to the next one.
    InviaArrestiSospesi();
    arrestoTotaleInSospeso_ = false;
    for (AcquisizioneMisura& a : acquisizione_) a.arrestoInSospeso = false;
    serialNumber_.clear();
    // A block buffered for one instrument must never be programmed into the next one.
    bloccoFlashVuoto_ = true;
    erroreFlash_ = false;
    if (handlePortaUSB_ == 0)
        ethPort_->Close();
    else
        usb_.ChiudiDispositivoUSB(handlePortaUSB_);
    collegato_ = false;
}

void UCZEM2::SetupPortaEth(std::int32_t /*numero*/, SocketControl& socket)
{
    handlePortaUSB_ = 0;
    serialNumber_.clear();
    serialePorta_.clear();
    if (ethPort_ != &socket) {
        ethPort_->DataArrival = nullptr;
        ethPort_ = &socket;
    }
    ethPort_->DataArrival = [this](std::size_t n) { EthPort_DataArrival(n); };
}

bool UCZEM2::ProvaIdentita()
{
    AzzeraIdentita();
    if (!AspettaPerRicezioneInCorso()) return false;
    if (!InviaComando1Byte(kCmdIdentita) || bufferRX_[0] != 2) return false;
    const std::uint8_t flags = bufferRX_[1];
    estensioni_ = flags & 0x1F;
    mailbox_ = estensioni_ > 10 && (flags & 0x20) != 0;
    memoryError_ = (flags & 0x40) != 0;
    updateMode_ = (flags & 0x80) != 0;
    protocollo_ = bufferRX_[2];
    return true;
}

// ---- Ethernet channel ----

void UCZEM2::InviaBufferEth()
{
    // Whatever reached the socket since the last exchange is stale: between exchanges the
    // window's message loop would have fetched and dropped it.
    while (!ethPort_->GetData().empty()) {
    }
    const std::size_t n = bufferTX_[0];
    ethPort_->SendData(std::span<const std::uint8_t>(bufferTX_).first(n + 1));
    byteRicevutiEth_ = 0;
    indiceLetturaEth_ = 0;
}

void UCZEM2::EthPort_DataArrival(std::size_t /*bytesTotal*/)
{
    if (TimerAquireEth.Enabled) {
        if (byteRicevutiEth_ > 0) {
            const std::span<const std::uint8_t> pending(bufferEth_);
            const auto unread = pending.subspan(indiceLetturaEth_, byteRicevutiEth_ - indiceLetturaEth_);
            byteRicevutiEth_ = indiceLetturaEth_ = 0;
            ElaboraDatiAsincroni(unread);
        }
        bufferEth_ = ethPort_->GetData();
        byteRicevutiEth_ = indiceLetturaEth_ = 0;
        if (!bufferEth_.empty()) ElaboraDatiAsincroni(bufferEth_);
        return;
    }
    std::vector<std::uint8_t> data = ethPort_->GetData();
    if (data.empty()) return;
    bufferEth_ = std::move(data);
    byteRicevutiEth_ = bufferEth_.size();
    indiceLetturaEth_ = 0;
}

std::uint8_t UCZEM2::PrendiByteEth()
{
    const std::uint8_t b = bufferEth_[indiceLetturaEth_++];
    if (indiceLetturaEth_ >= byteRicevutiEth_) byteRicevutiEth_ = indiceLetturaEth_ = 0;
    return b;
}

bool UCZEM2::RiceviEth(std::size_t count)
{
    if (count > bufferRX_.size()) return false;
    const double start = clock_.Timer();
    std::size_t taken = 0;
    for (;;) {
        while (ByteEthInAttesa() && taken < count) bufferRX_[taken++] = PrendiByteEth();
        if (taken >= count) return true;
        if (!TempoScaduto(start, clock_.Timer(), 1.0, 4.0)) {
            pump_.PompaMessaggiSocket();
            continue;
        }
        EthPort_DataArrival(0);
        if (!ByteEthInAttesa()) return false;
        pump_.PompaMessaggiSocket();
    }
}

} // namespace zem
