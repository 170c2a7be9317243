#pragma once

#include "link/LinkTimer.h"
#include "link/usb/D2xx.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace zem {

class Clock;
class GestioneUSB;
class SocketControl;
class SocketMessagePump;

// One point of a downloaded curve: position and force in instrument integers.
struct PuntoCurva {
    std::int32_t X = 0;
    std::int16_t Y = 0;
};

// The instrument link: one connection to one instrument, over a USB bridge or over UDP.
class UCZEM2 {
public:
    static constexpr std::size_t kDimensioneBuffer = 257;  // indices 0..256, byte 0 = count
    static constexpr int kMisure = 6;
    using Buffer = std::array<std::uint8_t, kDimensioneBuffer>;

    UCZEM2(Clock& clock, GestioneUSB& usb, SocketMessagePump& pump, SocketControl& ethPort);
    ~UCZEM2();
    UCZEM2(const UCZEM2&) = delete;
    UCZEM2& operator=(const UCZEM2&) = delete;

    // ---- Transport ----
    bool ApriPortaUSB(const std::string& serial);
    bool ApriPortaETH(const std::string& host, std::uint32_t port);
    void ChiudiComunicazione();
    FT_HANDLE HandlePortaUSB() const { return handlePortaUSB_; }
    void SetHandlePortaUSB(FT_HANDLE handle) { handlePortaUSB_ = handle; }
    void SetupPortaEth(std::int32_t numero, SocketControl& socket);
    bool Collegato() const { return collegato_; }
    const std::string& SerialNumber() const { return serialNumber_; }
    SocketControl& EthPort() const { return *ethPort_; }

    // The socket's data-arrival event; the exchange also calls it with 0 to fetch what waits.
    void EthPort_DataArrival(std::size_t bytesTotal);

    // ---- Identity (command 1) ----
    int Protocollo() const { return protocollo_; }
    int Estensioni() const { return estensioni_; }
    bool UpdateMode() const { return updateMode_; }
    bool MemoryError() const { return memoryError_; }
    bool ConfigurazioneInPRAM() const { return !mailbox_; }
    const std::string& Nome() const { return nome_; }

    // ---- Frame exchange: the request in BufferTX, the reply in BufferRX ----
    bool EseguiComando();
    bool InviaComando1Byte(std::uint8_t code);
    bool ComandoConEsito();
    bool AspettaPerRicezioneInCorso();
    Buffer& BufferTX() { return bufferTX_; }
    const Buffer& BufferRX() const { return bufferRX_; }
    // Builds the request `code, args...` in BufferTX; false (nothing built) when it would not fit.
    bool PreparaRichiesta(std::uint8_t code, std::span<const std::uint8_t> args);

    // ---- Asynchronous curve reception ----
    // Starts downloading the last curve of `misura` (1..6); the points stream in afterwards.
    bool RichiediCurva(int misura);
    bool InRicezione() const { return TimerAquireEth.Enabled || TimerAquireUSB.Enabled; }
    const std::vector<PuntoCurva>& PuntiCurva(int misura) const;
    void TimerAquireEth_Timer();
    void TimerAquireUSB_Timer();
    double UltimaRicezione() const { return ultimaRicezione_; }
    int Tentativo() const { return tentativo_; }

    LinkTimer TimerStatus;
    LinkTimer TimerAquireUSB;
    LinkTimer TimerAquireEth;

    // ---- Events ----
    std::function<void()> Noise;
    std::function<void(bool& retry)> ErroreComunicazione;
    std::function<void(int misura, std::int32_t punti)> NuovaCurva;
    std::function<void(int misura, std::int32_t primo, std::int32_t quanti)> NuoviPunti;
    std::function<void(int misura, bool ok)> FineCurva;

private:
    // Channel primitives
    void InviaBufferEth();
    bool RiceviEth(std::size_t count);
    bool ByteEthInAttesa() const { return byteRicevutiEth_ > 0; }
    std::uint8_t PrendiByteEth();
    void AggiungiChecksum();
    bool TentativoUSB(std::size_t n);
    bool TentativoETH(std::size_t n);
    bool VerificaRisposta(std::size_t n, std::size_t r);
    bool RisincronizzaLinea();
    bool RisincronizzaUSB();
    bool RisincronizzaETH();
    bool SequenzaSvuotamentoUSB();
    void AttendiPompando(double secondi, double limiteDopoMezzanotte);
    bool ProvaIdentita();
    void AzzeraIdentita();

    // Curve reception
    struct RicezioneCurva {
        bool aperta = false;         // a download was asked for and has not ended
        bool iniziata = false;       // the announcement of its size has arrived
        std::uint32_t attesi = 0;    // bytes the instrument announced
        std::vector<std::uint8_t> dati;
        std::vector<PuntoCurva> punti;
    };
    bool ChiediDatiCurva(int misura);
    void ElaboraDatiAsincroni(std::span<const std::uint8_t> bytes);
    void ChiudiRicezione(int misura, bool ok);
    void SorvegliaRicezione(LinkTimer& timer);

    Clock& clock_;
    GestioneUSB& usb_;
    SocketMessagePump& pump_;
    SocketControl* ethPort_;

    bool collegato_ = false;
    FT_HANDLE handlePortaUSB_ = 0;
    std::string serialNumber_;
    std::string serialePorta_;  // the serial the bridge was opened with, for reopening it
    std::string nome_;
    int protocollo_ = 0;
    int estensioni_ = 0;
    bool mailbox_ = false;
    bool memoryError_ = false;
    bool updateMode_ = false;

    Buffer bufferTX_{};
    Buffer bufferRX_{};
    std::vector<std::uint8_t> bufferEth_;
    std::size_t byteRicevutiEth_ = 0;
    std::size_t indiceLetturaEth_ = 0;

    std::array<RicezioneCurva, kMisure> curve_{};
    int misuraInRicezione_ = 0;  // 1..6, 0 = none
    double ultimaRicezione_ = 0.0;
    int tentativo_ = 0;
    std::uint8_t sequenzaAttesa_ = 0;
    std::vector<std::uint8_t> flussoCurva_;  // bytes of an incomplete block
};

} // namespace zem
