#include "link/UCZEM2.h"

#include "link/net/SocketControl.h"

namespace zem {

namespace {
constexpr std::uint8_t kCmdIdentita = 1;
} // namespace

UCZEM2::UCZEM2(Clock& clock, GestioneUSB& usb, SocketMessagePump& pump, SocketControl& ethPort)
    : clock_(clock),
      pump_(pump),
      usbCanale_(usb, clock, TimerAquireUSB),
      ethCanale_(ethPort, pump, clock, TimerAquireEth)
{
    ethPort.DataArrival = [this](std::size_t n) { EthPort_DataArrival(n); };
}

UCZEM2::~UCZEM2()
{
    if (collegato_) ChiudiComunicazione();
    // A bridge left open by a failed configuration read must not outlive the control.
    usbCanale_.Chiudi();
    TimerStatus.Enabled = TimerAquireUSB.Enabled = TimerAquireEth.Enabled = false;
    if (EthPort().DataArrival) EthPort().DataArrival = nullptr;
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
    canale_ = &usbCanale_;
    if (!usbCanale_.Apri(serial)) return false;
    if (ProvaIdentita()) {
        serialNumber_ = serial;
        return true;
    }
    usbCanale_.Chiudi();
    return false;
}

bool UCZEM2::ApriPortaETH(const std::string& host, std::uint32_t port)
{
    collegato_ = false;
    nome_.clear();
    // Closing the bridge selects the Ethernet channel; its serial number no longer applies.
    usbCanale_.Chiudi();
    usbCanale_.DimenticaSeriale();
    serialNumber_.clear();
    canale_ = &ethCanale_;
    ethCanale_.Apri(host, port);
    return ProvaIdentita();
}

void UCZEM2::ChiudiComunicazione()
{
    ChiudiCanale();
    AzzeraIdentita();
    // The next session may meet another instrument, or another loader.
    scrittureBlocco_.reset();
    lettureBlocco_.reset();
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
    Canale().Chiudi();
    collegato_ = false;
}

void UCZEM2::SetupPortaEth(std::int32_t /*numero*/, SocketControl& socket)
{
    SetHandlePortaUSB(0);
    usbCanale_.DimenticaSeriale();
    serialNumber_.clear();
    if (&EthPort() != &socket) {
        EthPort().DataArrival = nullptr;
        ethCanale_.Adotta(socket);
    }
    socket.DataArrival = [this](std::size_t n) { EthPort_DataArrival(n); };
}

bool UCZEM2::ProvaIdentita()
{
    AzzeraIdentita();
    if (!AspettaPerRicezioneInCorso()) return false;
    if (!InviaComando1Byte(kCmdIdentita) || bufferRX_[0] != 2) return false;
    DecodificaIdentita();
    return true;
}

bool UCZEM2::SondaIdentita(double attesa)
{
    AzzeraIdentita();
    bufferTX_[0] = 1;
    bufferTX_[1] = kCmdIdentita;
    bufferRX_[0] = 0;
    AggiungiChecksum();
    if (!Tentativo(bufferTX_[0], attesa) || bufferRX_[0] != 2) return false;
    DecodificaIdentita();
    return true;
}

void UCZEM2::DecodificaIdentita()
{
    const std::uint8_t flags = bufferRX_[1];
    estensioni_ = flags & 0x1F;
    mailbox_ = estensioni_ > 10 && (flags & 0x20) != 0;
    memoryError_ = (flags & 0x40) != 0;
    updateMode_ = (flags & 0x80) != 0;
    protocollo_ = bufferRX_[2];
}

void UCZEM2::SetHandlePortaUSB(FT_HANDLE handle)
{
    usbCanale_.Adotta(handle);
    canale_ = handle != 0 ? static_cast<LinkTransport*>(&usbCanale_) : &ethCanale_;
}

void UCZEM2::EthPort_DataArrival(std::size_t /*bytesTotal*/)
{
    if (!TimerAquireEth.Enabled) {
        ethCanale_.DatiArrivati(nullptr);
        return;
    }
    ethCanale_.DatiArrivati([this](std::span<const std::uint8_t> bytes) {
        ElaboraDatiAsincroni(bytes);
        return true;
    });
}

} // namespace zem
