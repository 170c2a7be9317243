#pragma once

#include "link/LinkTimer.h"
#include "link/usb/D2xx.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
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

    // ---- Instrument memory: PRAM, and the configuration memory directly or through the mailbox ----
    std::optional<std::uint8_t> ReadPRam1Byte(std::uint32_t address);
    bool WritePRam1Byte(std::uint32_t address, std::uint8_t value);
    bool WritePRamBytes1(std::uint32_t address, std::span<const std::uint8_t> data);
    bool LeggiPRamBlocco(std::uint32_t address, std::span<std::uint8_t> data);
    std::optional<std::uint16_t> LeggiPRam2Byte(std::uint32_t address);
    bool ScriviPRam2Byte(std::uint32_t address, std::uint16_t value);
    bool ReadConfigBytes(std::uint32_t address, std::span<std::uint8_t> data);
    std::optional<std::uint8_t> ReadConfig1Byte(std::uint32_t address);
    std::optional<std::uint16_t> LeggiConfig2Byte(std::uint32_t address);
    std::optional<std::string> LeggiStringaConfig(std::uint32_t address, std::size_t lunghezzaMassima);
    bool WriteConfigBytes(std::uint32_t address, std::span<const std::uint8_t> data);
    bool EseguiComandoMemoria(std::uint8_t code);
    bool IniziaScritturaConfig() { return true; }  // the configuration never lives in flash
    bool FineScritturaConfig() { return true; }
    bool ScriviConfigByte(std::uint32_t address, std::int32_t value);
    bool ScriviConfigIntero(std::uint32_t address, std::int32_t value);
    bool ScriviConfigInteroConSegno(std::uint32_t address, std::int32_t value);
    bool ScriviConfigStringa(std::uint32_t address, const std::string& text, std::size_t lunghezzaMassima);
    // The length-prefixed string at `index`, cut to the bytes present ("" outside the array).
    static std::string EstraiStringa(std::span<const std::uint8_t> bytes, std::size_t index);
    std::uint32_t IndirizzoAreaPRAM() const { return indirizzoAreaPRAM_; }
    std::uint32_t DimensioneAreaPRAM() const { return dimensioneAreaPRAM_; }

    // ---- Flash memory and update mode ----
    // Reads the bytes at address and address + 1 as received (XOR the flash mask).
    bool ReadFlash(std::uint32_t address, std::int16_t& primo, std::int16_t& secondo);
    bool ClearFlash(std::uint32_t address);
    bool WriteFlash1(std::uint32_t address, std::int16_t value);
    bool CloseWriteFlash();
    bool CopyFlash(std::uint32_t address);
    bool SetUpdateMode(bool entra);
    struct SpeedCOMM {
        std::int16_t tipo = 0;       // 1 for the speed options the instrument has
        std::int32_t divisore = 0;
        std::uint8_t gestito = 0;    // 255 when computed, 0 for an unknown option
    };
    SpeedCOMM CalcolaSpeedCOMM(std::int32_t baud) const;
    void InfoMemory(std::int32_t& dimensioneConfigurazione, std::int32_t& dimensioneMemoria) const
    {
        dimensioneConfigurazione = dimensioneConfigurazione_;
        dimensioneMemoria = dimensioneMemoria_;
    }
    void InfoFlashPerConfigurazione(std::int32_t& indirizzo, std::int32_t& settore) const
    {
        indirizzo = baseFlash_;
        settore = settoreFlash_;
    }
    bool ConfigurazioneInFlash() const { return false; }
    bool SupportoBackup() const { return false; }
    bool SupportoRipristino() const { return false; }
    bool EseguiBackup() { return false; }
    bool EseguiRipristino() { return false; }

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
    // Waits for a running reception, builds `code, args...` and runs the exchange.
    bool Richiesta(std::uint8_t code, std::span<const std::uint8_t> args);
    bool ScriviPaginaMailbox(std::uint32_t address, std::span<const std::uint8_t> data);
    void AzzeraIdentita();
    bool ChiudiBloccoFlash();   // programs and checks the pending block
    bool RiavviaStrumento();    // command 13, echo only, then the restart wait

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
    std::uint32_t indirizzoAreaPRAM_ = 0;
    std::uint32_t dimensioneAreaPRAM_ = 0;
    std::int32_t dimensioneConfigurazione_ = 360;
    std::int32_t dimensioneMemoria_ = 0x80000;
    std::int32_t baseFlash_ = 0;
    std::int32_t bloccoFlash_ = 8;
    std::int32_t settoreFlash_ = 64;
    int opzioneVelocita_ = 0;

    // Flash block buffer
    std::array<std::uint8_t, 8> bloccoFlashDati_{};
    std::uint32_t indirizzoBloccoFlash_ = 0;
    bool bloccoFlashVuoto_ = true;
    bool erroreFlash_ = false;  // a block that failed since the last CloseWriteFlash

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
