#pragma once

#include "link/LinkTimer.h"
#include "link/RecordLavoro.h"
#include "link/RisultatiMisura.h"
#include "link/UdpTransport.h"
#include "link/UsbTransport.h"
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
struct LayoutMemoria;
class SocketMessagePump;

// One record of the transducer calibration table (records 0..5: encoder, 0-10 V input and load
// cell of channel 1, then of channel 2).
struct RecordTaratura {
    float gain = 1.0f;
    bool reverse = false;
    std::int16_t offset = 0;
    std::int16_t decimali = 0;
    std::int32_t unita = 0;
    friend bool operator==(const RecordTaratura&, const RecordTaratura&) = default;
};

// Raw transducer readings (command 23).
struct Trasduttori {
    std::int16_t A1 = 0, A2 = 0;  // load cells 1 and 2, 12-bit counts 0..4095
    std::int16_t A3 = 0, A4 = 0;  // 0-10 V inputs (potentiometers) 1 and 2, 12-bit counts
    std::int32_t L1 = 0, L2 = 0;  // encoders 1 and 2, signed 24-bit counts
    friend bool operator==(const Trasduttori&, const Trasduttori&) = default;
};

// Digital inputs and outputs: bit n for physical input or output n (0..7).
struct IngressiUscite {
    std::int32_t ingressi = 0;
    std::int32_t uscite = 0;
    friend bool operator==(const IngressiUscite&, const IngressiUscite&) = default;
};

// What the control keeps of one measure's acquisition between commands.
struct AcquisizioneMisura {
    bool arrestoInSospeso = false;    // a stop asked during a reception, sent when it ends
    bool richiestaRisultati = false;  // LeggiValori asked; the status polling reads them
    bool arrestata = false;           // the last stop sent was acknowledged, no start since
    std::int16_t ingressiAux = 0, usciteAux = 0, altoNibbleAux = 0;  // command 36
};

// What the configuration image says of one measure.
struct MisuraStrumento {
    std::string NomeMisura;
    int TipoMisura = 0;                 // 0 absent, 1..4
    std::uint32_t indirizzoRecord = 0;
    std::uint32_t indirizzoDati = 0;
    std::uint32_t indirizzoLavori = 0;  // works area
    std::uint32_t dimensioneLavoro = 0; // bytes of one work record
    int numeroLavori = 0;               // works of a plain measure, phases of a phase-managed one
    std::uint8_t capacita = 0;          // bit 1 NecessitaConnessione, bit 2 GestioneFasi
    std::uint8_t opzioni = 0;           // record option bits of the type-specific part
    bool ConIngressoRemote = false;
    int NumeroTrasduttoreX = 0;
    int NumeroTrasduttoreY = 0;
    int NumeroMassimoPuntiFascia = 15;
    // Scalings copied from the calibration records of the measure's transducers.
    float gainForza = 1.0f, gainQuota = 1.0f, gainValore = 1.0f;
    int umForza = 0, decimaliForza = 0, umQuota = 0, decimaliQuota = 0;
    int UMValoreMisura = 0, DecimaliValoreMisura = 0;
    std::string NomeValoreMisura;
    int indiceUnitaTempo = 0;
    int decimaliTempo = 0;
    // Curve memory of the measure: its start and the size of one operation's curve.
    std::uint32_t baseCurve = 0;
    std::uint32_t dimensioneCurva = 0;
};

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
    FT_HANDLE HandlePortaUSB() const { return usbCanale_.Handle(); }
    // A non-zero handle selects the USB channel, zero the socket.
    void SetHandlePortaUSB(FT_HANDLE handle);
    void SetupPortaEth(std::int32_t numero, SocketControl& socket);
    bool Collegato() const { return collegato_; }
    // While set, only requests that read go out: the instrument's memory, mode and running state
    // are never changed, whatever an opening or a workflow meets. Any other request fails unsent.
    void SetSolaLettura(bool on) { solaLettura_ = on; }
    bool SolaLettura() const { return solaLettura_; }
    // The last opening failed because an exchange got no valid reply, not because the
    // instrument's answers refused it.
    bool AperturaSenzaRisposta() const { return aperturaSenzaRisposta_; }
    const std::string& SerialNumber() const { return serialNumber_; }
    SocketControl& EthPort() const { return ethCanale_.Socket(); }

    // The socket's data-arrival event; the exchange also calls it with 0 to fetch what waits.
    void EthPort_DataArrival(std::size_t bytesTotal);

    // ---- Connection, identity, version and configuration image ----
    bool ApriComunicazioneUSB(const std::string& serial);
    bool ApriComunicazioneETH(const std::string& host, std::uint32_t port);
    // errore[0] becomes 2 when the header carries an unknown layout variant.
    bool LeggiConfigurazione(std::array<std::int16_t, 2>& errore);
    bool LeggiVersione();
    double VersioneCPU() const { return versioneCPU_; }
    double VersioneEncoder() const { return versioneEncoder_; }
    double VersioneADC() const { return versioneADC_; }
    int ConfigurazioneIngressiAnalogici() const { return configurazioneAnalogica_; }
    int NumeroMisure() const { return numeroMisure_; }
    // Measures are numbered 1..6; another number reads as an absent measure.
    const MisuraStrumento& Misura(int misura) const;
    std::string NomeMisura(int misura) const { return Misura(misura).NomeMisura; }
    int TipoMisura(int misura) const { return Misura(misura).TipoMisura; }
    bool NecessitaConnessione(int misura) const { return (Misura(misura).capacita & 0x02) != 0; }
    bool GestioneFasi(int misura) const { return (Misura(misura).capacita & 0x04) != 0; }
    bool ConIngressoRemote(int misura) const { return Misura(misura).ConIngressoRemote; }
    int NumeroMassimoPuntiFascia(int misura) const { return Misura(misura).NumeroMassimoPuntiFascia; }
    int NumeroMassimoCheckPoint() const { return estensioni_ > 9 ? 5 : 8; }
    static constexpr std::int32_t NumeroMassimoPuntiCurva() { return 0x3FFFF; }
    // Physical input or output 0..7; another number gives 0.
    int FunzioneIngresso(int n) const { return n >= 0 && n < 8 ? funzioniIngresso_[static_cast<std::size_t>(n)] : 0; }
    int FunzioneUscita(int n) const { return n >= 0 && n < 8 ? funzioniUscita_[static_cast<std::size_t>(n)] : 0; }
    int MascheraIngresso(int n) const { return n >= 0 && n < 8 ? maschereIngresso_[static_cast<std::size_t>(n)] : 0; }
    int MascheraUscita(int n) const { return n >= 0 && n < 8 ? maschereUscita_[static_cast<std::size_t>(n)] : 0; }
    bool Ingresso20mA(int canale) const;
    bool Ingresso010V(int canale) const;
    std::int32_t OffsetADC(int canale) const;
    int BaseTempo() const { return baseTempo_; }
    int FormatoIntestazione() const { return formato_; }      // '4' or '5', 0 before a read
    int LivelloLayout() const { return livelloLayout_; }      // 0 format "4", else the variant
    std::uint8_t OpzioniIntestazione(int byte) const;         // header bytes 60, 61, 77
    const std::array<RecordTaratura, 6>& Taratura() const { return taratura_; }
    double FattoreForza(int unita) const;
    double FattoreQuota(int unita) const;
    double FattoreTempo(int unita) const;
    // Reads the calibration table; `invalido` becomes 1 when a decimals value lies outside 0..4.
    bool LeggiValoriDiTaraturaOLD(std::int16_t& invalido);

    // ---- Calibration table, per transducer group g (1 or 2; another group reads 0 and sets
    // nothing). Gains are plain factors (stored x 10000 in a 16-bit word), offsets raw counts,
    // units indices 0..4 into the unit factors, decimals 0..4. Setters change only the table held
    // here and refuse a unit, decimals or offset its field cannot hold; ScriviValoriTaratura sends it.
    float GainEncoder(int g) const { return CampoTaratura(g, kEncoder, &RecordTaratura::gain); }
    bool SetGainEncoder(int g, float v) { return ImpostaTaratura(g, kEncoder, &RecordTaratura::gain, v); }
    std::int16_t OffsetEncoder(int g) const { return CampoTaratura(g, kEncoder, &RecordTaratura::offset); }
    bool SetOffsetEncoder(int g, std::int32_t v) { return ImpostaOffset(g, kEncoder, v); }
    float GainADC010(int g) const { return CampoTaratura(g, kADC010, &RecordTaratura::gain); }
    bool SetGainADC010(int g, float v) { return ImpostaTaratura(g, kADC010, &RecordTaratura::gain, v); }
    std::int16_t OffsetADC010(int g) const { return CampoTaratura(g, kADC010, &RecordTaratura::offset); }
    bool SetOffsetADC010(int g, std::int32_t v) { return ImpostaOffset(g, kADC010, v); }
    std::int32_t UM_ADC010(int g) const { return CampoTaratura(g, kADC010, &RecordTaratura::unita); }
    bool SetUM_ADC010(int g, std::int32_t v) { return ImpostaCodice(g, kADC010, &RecordTaratura::unita, v); }
    std::int16_t DecimaliADC010(int g) const { return CampoTaratura(g, kADC010, &RecordTaratura::decimali); }
    bool SetDecimaliADC010(int g, std::int16_t v) { return ImpostaCodice(g, kADC010, &RecordTaratura::decimali, v); }
    bool ReverseADC010(int g) const { return CampoTaratura(g, kADC010, &RecordTaratura::reverse); }
    bool SetReverseADC010(int g, bool v) { return ImpostaTaratura(g, kADC010, &RecordTaratura::reverse, v); }
    float GainCella(int g) const { return CampoTaratura(g, kCella, &RecordTaratura::gain); }
    bool SetGainCella(int g, float v) { return ImpostaTaratura(g, kCella, &RecordTaratura::gain, v); }
    std::int16_t OffsetCella(int g) const { return CampoTaratura(g, kCella, &RecordTaratura::offset); }
    bool SetOffsetCella(int g, std::int32_t v) { return ImpostaOffset(g, kCella, v); }
    std::int32_t UM_Cella(int g) const { return CampoTaratura(g, kCella, &RecordTaratura::unita); }
    bool SetUM_Cella(int g, std::int32_t v) { return ImpostaCodice(g, kCella, &RecordTaratura::unita, v); }
    std::int16_t DecimaliCella(int g) const { return CampoTaratura(g, kCella, &RecordTaratura::decimali); }
    bool SetDecimaliCella(int g, std::int16_t v) { return ImpostaCodice(g, kCella, &RecordTaratura::decimali, v); }
    // Whether group g has a 0-10 V input or a load cell, from the option byte and the release.
    bool usaADC010(int g) const;
    bool usaCella(int g) const;
    // Writes the whole table (false, nothing written, for a gain the word cannot hold), restarts
    // the instrument and probes its identity again.
    bool ScriviValoriTaratura();
    // Whether a gain fits the instrument's word (gain x 10000 in 16 bits); ScriviValoriTaratura
    // refuses the table otherwise.
    static bool GainMemorizzabile(float gain);

    // ---- Diagnostics (instruments of release 8 and up) ----
    bool ConDiagnosi() const { return estensioni_ >= 8; }
    bool SetDiagnosticMode(bool on);
    // During a curve reception: the last values read, without sending.
    std::optional<IngressiUscite> LeggiIngressiUscite();
    bool ForzaUscita(int uscita, bool on);  // physical output 0..7
    std::optional<Trasduttori> LeggiTrasduttori();
    // The instrument's serial-line status block: address, error and message flags, checksum,
    // counts and buffer bytes.
    std::optional<std::array<std::uint8_t, 15>> LeggiStatoSeriale();
    // Auxiliary outputs (command 36) of measure 1..6, output 0..4 (0: none). The period is in
    // seconds; mode 0 stops the blinking, 1..6 selects a pattern, 7 and up and below 0 the two
    // fixed ones. Each keeps the auxiliary inputs and output states the reply reports.
    bool LeggiIngressiAux(int misura);
    bool SegnalazioneAbilitazioneUscitaAux(int misura, int uscita, bool abilita);
    bool CambiaUscitaAuxA(int misura, int uscita, bool on);
    bool AttivaUscitaAuxLampeggiante(int misura, int uscita, float periodo, int modo, bool conferma);
    int IngressiAux(int misura) const { return Acquisizione(misura).ingressiAux; }
    int UsciteAux(int misura) const { return Acquisizione(misura).usciteAux; }
    int AltoNibbleAux(int misura) const { return Acquisizione(misura).altoNibbleAux; }

    // ---- Acquisition control, measures 1..6 ----
    bool AbilitaAcquisizione(int misura);
    bool DisabilitaAcquisizione(int misura);
    bool Riparti(int misura);
    bool SetModificaRemota(int misura);
    bool ClearFlagModifiche(int misura);
    bool ResetCurveDaTrattare(int misura);
    std::optional<bool> LeggiCurveDaTrattare(int misura);   // curves waiting to be processed
    // The same for every measure in one reading: bit m - 1 set when curves of measure m wait.
    std::optional<std::uint8_t> MascheraCurveDaTrattare();
    std::optional<bool> LeggiLavoroModificato(int misura);  // the work was changed on the instrument
    std::optional<bool> xxBloccaMisura(int misura);         // whether the measure is now blocked
    bool xxSbloccaMisura(int misura) { return AbilitaAcquisizione(misura); }
    // Blocks every measure; nothing when a command failed, else whether all could be blocked.
    std::optional<bool> BloccaStrumento();
    // Stops measure 1..6, or all with 0; during a curve reception the stop waits for its end.
    bool ArrestaMisura(int misura);
    bool ArrestoInSospeso(int misura) const;  // 0: the stop of all measures
    bool LeggiValori(int misura);             // the status polling then reads the results
    // Reads the results block now, ready or not: those of the last piece completed.
    bool LeggiRisultati(int misura);
    bool RisultatiRichiesti(int misura) const { return Acquisizione(misura).richiestaRisultati; }
    // Marks the phases with a curve stored in the instrument; whether any has one.
    std::optional<bool> ScaricaCurveInMemoria(int misura);
    bool CancellaCurveInMemoria(int misura);
    bool RichiestaCurva(int m, int f) const { return Campo(m, f, &FaseLavoro::RichiestaCurva); }

    // ---- Results of the last measurement (0 for a measure, point or check point out of range) ----
    const RisultatiMisura& Risultati(int misura) const;
    std::uint32_t IndirizzoRisultati(int misura) const;
    std::int32_t CauseScarto(int m) const { return Risultati(m).CauseScarto; }
    std::int32_t CauseScartoCheckPoint(int m) const { return Risultati(m).CauseScartoCheckPoint; }
    float QuotaPicco(int m) const { return Risultati(m).QuotaPicco; }
    float ForzaPicco(int m) const { return Risultati(m).ForzaPicco; }
    float ValoreMinimo(int m) const { return Risultati(m).ValoreMinimo; }
    float ValoreMassimo(int m) const { return Risultati(m).ValoreMassimo; }
    float ValorePiccoPicco(int m) const { return Risultati(m).ValorePiccoPicco; }
    float ValoreMisurato(int m) const { return Risultati(m).ValoreMisurato; }
    float ForzaCheckPoint(int m, int k) const;  // k = 1 .. NumeroMassimoCheckPoint
    // Point p (from 0) of the last curve received, in force and position units.
    float CurvaForza(int m, int p) const;
    float CurvaQuota(int m, int p) const;

    // Selects a measure for acquisition: clears its acquisition state and reads its current operation.
    bool SelezionaMisura(int misura);
    std::optional<int> LeggiOperazioneCorrente(int misura);
    int OperazioneCorrente(int misura) const;
    // Command 4: whether a piece is being worked on the measure.
    bool LeggiPezzoInLavorazione(int misura, bool& inLavorazione);

    // ---- Status polling ----
    bool StartPolling();
    void StopPolling() { TimerStatus.Enabled = false; }
    bool InPolling() const { return TimerStatus.Enabled; }
    void TimerStatus_Timer();

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
    // PRAM transfers of any length under the same rule as the configuration's: blocks, proven
    // against single bytes once per session while the instrument is in update mode.
    bool ScriviPRam(std::uint32_t address, std::span<const std::uint8_t> data);
    bool LeggiPRam(std::uint32_t address, std::span<std::uint8_t> data);
    // Forces the single-byte transfers of the instrument's loader for every session of this link.
    void ForzaSingoloByte(bool singoloByte) { singoloByte_ = singoloByte; }
    bool SingoloByte() const { return singoloByte_; }
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

    // ---- Works and phases: the editable copy of each measure's current work, and its transfer ----
    // Measures 1..6, phases and works from 1, points from 1. A getter outside those ranges gives
    // 0 (false, ""); a setter outside them changes nothing and returns false.
    const std::string& NomeLavoro(int misura) const;
    bool SetNomeLavoro(int misura, const std::string& nome);  // leading and trailing blanks removed
    bool LavoroStrutturaModificata(int misura) const;
    int NumeroMassimoFasi(int misura) const;
    void SvuotaBufferLavoro(int misura);
    ScalaMisura Scala(int misura) const;
    float usecAcquisizione(int misura, int fase) const;

    std::string NomeFase(int m, int f) const { return Campo(m, f, &FaseLavoro::NomeFase); }
    bool SetNomeFase(int m, int f, std::string v) { return Imposta(m, f, &FaseLavoro::NomeFase, std::move(v)); }
    bool FaseAbilitata(int m, int f) const { return Bit(m, f, &FaseLavoro::Flags, FaseLavoro::kAbilitata); }
    bool SetFaseAbilitata(int m, int f, bool v) { return ImpostaBit(m, f, &FaseLavoro::Flags, FaseLavoro::kAbilitata, v); }
    bool QuoteRelative(int m, int f) const { return Bit(m, f, &FaseLavoro::Flags, FaseLavoro::kQuoteRelative); }
    bool SetQuoteRelative(int m, int f, bool v) { return ImpostaBit(m, f, &FaseLavoro::Flags, FaseLavoro::kQuoteRelative, v); }
    bool ArrestoQInizioMinima(int m, int f) const { return Arresto(m, f, FaseLavoro::kArrestoQInizioMinima); }
    bool SetArrestoQInizioMinima(int m, int f, bool v) { return SetArresto(m, f, FaseLavoro::kArrestoQInizioMinima, v); }
    bool ArrestoPkPkMassimo(int m, int f) const { return Arresto(m, f, FaseLavoro::kArrestoPkPkMassimo); }
    bool SetArrestoPkPkMassimo(int m, int f, bool v) { return SetArresto(m, f, FaseLavoro::kArrestoPkPkMassimo, v); }
    bool ArrestoQInizioMassima(int m, int f) const { return Arresto(m, f, FaseLavoro::kArrestoPkPkMassimo); }
    bool SetArrestoQInizioMassima(int m, int f, bool v) { return SetArresto(m, f, FaseLavoro::kArrestoPkPkMassimo, v); }
    bool ArrestoValoreMinimo(int m, int f) const { return Arresto(m, f, FaseLavoro::kArrestoValoreMinimo); }
    bool SetArrestoValoreMinimo(int m, int f, bool v) { return SetArresto(m, f, FaseLavoro::kArrestoValoreMinimo, v); }
    bool ArrestoForzaBassa(int m, int f) const { return Arresto(m, f, FaseLavoro::kArrestoValoreMinimo); }
    bool SetArrestoForzaBassa(int m, int f, bool v) { return SetArresto(m, f, FaseLavoro::kArrestoValoreMinimo, v); }
    bool ArrestoValoreMassimo(int m, int f) const { return Arresto(m, f, FaseLavoro::kArrestoValoreMassimo); }
    bool SetArrestoValoreMassimo(int m, int f, bool v) { return SetArresto(m, f, FaseLavoro::kArrestoValoreMassimo, v); }
    bool ArrestoForzaAlta(int m, int f) const { return Arresto(m, f, FaseLavoro::kArrestoValoreMassimo); }
    bool SetArrestoForzaAlta(int m, int f, bool v) { return SetArresto(m, f, FaseLavoro::kArrestoValoreMassimo, v); }
    bool ArrestoTimeOut(int m, int f) const { return Arresto(m, f, FaseLavoro::kArrestoTimeOut); }
    bool SetArrestoTimeOut(int m, int f, bool v) { return SetArresto(m, f, FaseLavoro::kArrestoTimeOut, v); }
    static constexpr bool ContaDopoReazione(int, int) { return false; }
    std::int16_t AcqPrescaler(int m, int f) const { return Campo(m, f, &FaseLavoro::AcqPrescaler); }
    bool SetAcqPrescaler(int m, int f, std::int16_t v) { return Imposta(m, f, &FaseLavoro::AcqPrescaler, v); }
    std::int16_t MaxPuntiCoda(int m, int f) const { return Campo(m, f, &FaseLavoro::MaxPuntiCoda); }
    bool SetMaxPuntiCoda(int m, int f, std::int16_t v) { return Imposta(m, f, &FaseLavoro::MaxPuntiCoda, v); }
#define ZEM_PARAMETRO_FASE(Nome)                                                                  \
    float Nome(int m, int f) const { return Campo(m, f, &FaseLavoro::Nome); }                     \
    bool Set##Nome(int m, int f, float v) { return Imposta(m, f, &FaseLavoro::Nome, v); }
    ZEM_PARAMETRO_FASE(TempoStart)
    ZEM_PARAMETRO_FASE(TempoStop)
    ZEM_PARAMETRO_FASE(LimiteMin)
    ZEM_PARAMETRO_FASE(LimiteMax)
    ZEM_PARAMETRO_FASE(LimitePkPkMin)
    ZEM_PARAMETRO_FASE(LimitePkPkMax)
    ZEM_PARAMETRO_FASE(LimiteMediaMin)
    ZEM_PARAMETRO_FASE(LimiteMediaMax)
    ZEM_PARAMETRO_FASE(ForzaStop)
    ZEM_PARAMETRO_FASE(LimiteForzaMin)
    ZEM_PARAMETRO_FASE(LimiteForzaMax)
    ZEM_PARAMETRO_FASE(ForzaZero)
    ZEM_PARAMETRO_FASE(QuotaStop)
    ZEM_PARAMETRO_FASE(LimiteQuotaMin)
    ZEM_PARAMETRO_FASE(LimiteQuotaMax)
    ZEM_PARAMETRO_FASE(QuotaInizioMin)
    ZEM_PARAMETRO_FASE(QuotaInizioMax)
    ZEM_PARAMETRO_FASE(QuotaFreno)
    ZEM_PARAMETRO_FASE(QuotaOrigineGrafico)
    ZEM_PARAMETRO_FASE(QuotaFondoScalaGrafico)
    ZEM_PARAMETRO_FASE(ForzaFondoScalaGrafico)
    ZEM_PARAMETRO_FASE(TempoOrigineGrafico)
    ZEM_PARAMETRO_FASE(TempoFondoScalaGrafico)
    ZEM_PARAMETRO_FASE(ValoreOrigineGrafico)
    ZEM_PARAMETRO_FASE(ValoreFondoScalaGrafico)
    ZEM_PARAMETRO_FASE(StopDelay)
#undef ZEM_PARAMETRO_FASE

    // Check points 1 .. NumeroMassimoCheckPoint of a press or test-cylinder phase.
    float CheckPointQuota(int m, int f, int p) const { return PuntoDiControllo(m, f, p, &CheckPoint::Quota); }
    bool SetCheckPointQuota(int m, int f, int p, float v) { return ImpostaPuntoDiControllo(m, f, p, &CheckPoint::Quota, v); }
    float CheckPointForzaMinima(int m, int f, int p) const { return PuntoDiControllo(m, f, p, &CheckPoint::ForzaMinima); }
    bool SetCheckPointForzaMinima(int m, int f, int p, float v) { return ImpostaPuntoDiControllo(m, f, p, &CheckPoint::ForzaMinima, v); }
    float CheckPointForzaMassima(int m, int f, int p) const { return PuntoDiControllo(m, f, p, &CheckPoint::ForzaMassima); }
    bool SetCheckPointForzaMassima(int m, int f, int p, float v) { return ImpostaPuntoDiControllo(m, f, p, &CheckPoint::ForzaMassima, v); }
    bool EliminaCheckPoint(int m, int f);

    // The envelope: at most NumeroMassimoPuntiFascia points a border; a point beyond is refused.
    int PuntiBordoInferiore(int m, int f) const;
    int PuntiBordoSuperiore(int m, int f) const;
    float ForzaBordoInferiore(int m, int f, int p) const { return PuntoBordo(m, f, p, true).Forza; }
    float QuotaBordoInferiore(int m, int f, int p) const { return PuntoBordo(m, f, p, true).Quota; }
    float ForzaBordoSuperiore(int m, int f, int p) const { return PuntoBordo(m, f, p, false).Forza; }
    float QuotaBordoSuperiore(int m, int f, int p) const { return PuntoBordo(m, f, p, false).Quota; }
    bool AddPuntoInferiore(int m, int f, float quota, float forza) { return AggiungiPunto(m, f, true, quota, forza); }
    bool AddPuntoSuperiore(int m, int f, float quota, float forza) { return AggiungiPunto(m, f, false, quota, forza); }
    bool ClearFascia(int m, int f);

    // The works stored in the instrument.
    int TotaleLavori(int misura) const;
    bool LavoriSelezionabili(int misura) const;
    std::optional<std::string> LeggiNomeLavoro(int misura, int nLavoro);
    std::optional<int> LeggiNumeroLavoroCorrente(int misura);
    // Bit k-1 set for each enabled phase k (phases 1..32), as the instrument holds them.
    std::optional<std::uint32_t> LeggiFasiAbilitate(int misura, int nLavoro);
    bool CambiaLavoro(int misura, int nLavoro);
    bool LeggiInfoMisure(bool& valido);
    bool LeggiLavoro(int misura, int nLavoro);
    bool ScriviLavoro(int misura, int nLavoro);
    bool WriteOperazione(int misura, int fase, int record, std::uint8_t offsetFasi);
    bool ResetModificaRemota(int misura);
    // Configuration address of work record n of the measure, when the measure has it.
    std::optional<std::uint32_t> IndirizzoRecordLavoro(int misura, int n) const;
    // PRAM address of the curve status of a phase (of the work, for a plain measure).
    std::optional<std::uint32_t> IndirizzoStatoCurva(int misura, int fase) const;

private:
    // Calibration records within a group.
    static constexpr int kEncoder = 0, kADC010 = 1, kCella = 2;
    RecordTaratura* RecordGruppo(int g, int tipo);
    const RecordTaratura* RecordGruppo(int g, int tipo) const;
    template <typename T>
    T CampoTaratura(int g, int tipo, T RecordTaratura::*campo) const
    {
        const RecordTaratura* r = RecordGruppo(g, tipo);
        return r != nullptr ? r->*campo : T{};
    }
    template <typename T>
    bool ImpostaTaratura(int g, int tipo, T RecordTaratura::*campo, T v)
    {
        RecordTaratura* r = RecordGruppo(g, tipo);
        if (r == nullptr) return false;
        r->*campo = v;
        return true;
    }
    template <typename T>
    bool ImpostaCodice(int g, int tipo, T RecordTaratura::*campo, T v)
    {
        return v >= 0 && v <= 4 && ImpostaTaratura(g, tipo, campo, v);
    }
    bool ImpostaOffset(int g, int tipo, std::int32_t v)
    {
        return v >= -32768 && v <= 32767 && ImpostaTaratura(g, tipo, &RecordTaratura::offset, static_cast<std::int16_t>(v));
    }
    bool ScriviTabellaTaratura();
    bool ComandoUscitaAux(int misura, int uscita, bool accendi, std::uint8_t azione, bool conMaschera);
    const AcquisizioneMisura& Acquisizione(int misura) const;
    void AzzeraAcquisizione(int misura);
    bool InviaArresto(int misura);
    void InviaArrestiSospesi();  // at the end of a curve reception
    bool CurvaInMemoria(int misura, int fase, bool& memorizzata);

    LavoroMisura* LavoroDi(int misura);
    const LavoroMisura* LavoroDi(int misura) const;
    FaseLavoro* FaseDi(int misura, int fase);
    const FaseLavoro* FaseDi(int misura, int fase) const;
    template <typename T>
    T Campo(int m, int f, T FaseLavoro::*campo) const
    {
        const FaseLavoro* p = FaseDi(m, f);
        return p != nullptr ? p->*campo : T{};
    }
    template <typename T>
    bool Imposta(int m, int f, T FaseLavoro::*campo, T v)
    {
        FaseLavoro* p = FaseDi(m, f);
        if (p == nullptr) return false;
        p->*campo = std::move(v);
        return true;
    }
    bool Bit(int m, int f, std::int16_t FaseLavoro::*parola, std::int16_t bit) const;
    bool ImpostaBit(int m, int f, std::int16_t FaseLavoro::*parola, std::int16_t bit, bool v);
    bool Arresto(int m, int f, std::int16_t bit) const { return Bit(m, f, &FaseLavoro::FlagsArresto, bit); }
    bool SetArresto(int m, int f, std::int16_t bit, bool v) { return ImpostaBit(m, f, &FaseLavoro::FlagsArresto, bit, v); }
    float PuntoDiControllo(int m, int f, int p, float CheckPoint::*campo) const;
    bool ImpostaPuntoDiControllo(int m, int f, int p, float CheckPoint::*campo, float v);
    PuntoFascia PuntoBordo(int m, int f, int p, bool inferiore) const;
    bool AggiungiPunto(int m, int f, bool inferiore, float quota, float forza);
    FormatoRecord FormatoLavoro(int misura) const;
    bool ScriviRecordLavoro(int misura, int fase, int record);
    bool ScriviFase(int misura, int fase, int record, std::uint8_t offsetFasi, bool annullaPrima);
    bool LeggiRecordLavoro(int misura, int fase, int record);
    bool LeggiTabellaCurve(int misura);
    bool SelezionaLavoro(int misura, int nLavoro);

    std::array<LavoroMisura, kMisure> lavori_{};

public:
    // ---- Events ----
    std::function<void()> Noise;
    std::function<void(bool& retry)> ErroreComunicazione;
    std::function<void(int misura, std::int32_t punti)> NuovaCurva;
    std::function<void(int misura, std::int32_t primo, std::int32_t quanti)> NuoviPunti;
    std::function<void(int misura, bool ok)> FineCurva;
    std::function<void()> Comunica;
    std::function<void(int misura)> PezzoCompletato;
    // The command-28 poll's notice: reply byte 3 and byte 2 (or 0, 0).
    std::function<void(int byte3, int byte2)> MessaggioStrumento;
    // While the instrument restarts, after every look for it: the seconds waited and the most it may take.
    std::function<void(double trascorsi, double limite)> AttesaRiavvio;

private:
    LinkTransport& Canale() { return *canale_; }
    void AggiungiChecksum();
    // One send and reply of the prepared frame; `attesa` above 0 bounds each wait instead of the channel.
    bool Tentativo(std::size_t n, double attesa = 0);
    bool VerificaRisposta(std::size_t r);
    bool RisincronizzaLinea();
    // After a failed attempt: the line recovered and the rest of the attempt dropped.
    bool RecuperaTentativo();
    bool ProvaIdentita();
    // Command 1 once, each wait at most `attesa`, with no retry and no resynchronisation.
    bool SondaIdentita(double attesa);
    void DecodificaIdentita();
    bool ApriConfigurazione(bool portaAperta);
    // Whether the request standing in the transmit buffer may go out under SolaLettura.
    bool RichiestaDiLettura() const;
    bool LeggiIntestazione(std::array<std::int16_t, 2>& errore);
    bool LeggiMisureFormato5(const std::vector<std::uint8_t>& h);
    bool LeggiMisureFormato4(const std::vector<std::uint8_t>& h, std::size_t p);
    void CopiaScaleTaratura(MisuraStrumento& m) const;
    bool Interrogazione28();
    void AzzeraImmagine();
    // Waits for a running reception, builds `code, args...` and runs the exchange.
    bool Richiesta(std::uint8_t code, std::span<const std::uint8_t> args);
    bool ScriviPaginaMailbox(std::uint32_t address, std::span<const std::uint8_t> data);
    bool ScriviConfigBlocchi(std::uint32_t address, std::span<const std::uint8_t> data);
    bool LeggiConfigMailbox(std::uint32_t address, std::span<std::uint8_t> data);
    // Block and single-byte transfers of one memory, and the session's proof of the blocks.
    using ScritturaBlocchi = bool (UCZEM2::*)(std::uint32_t, std::span<const std::uint8_t>);
    using LetturaBlocchi = bool (UCZEM2::*)(std::uint32_t, std::span<std::uint8_t>);
    using LetturaByte = std::optional<std::uint8_t> (UCZEM2::*)(std::uint32_t);
    // A block write is proven by reading it back the way the loader is known to read: single
    // PRAM bytes, or the mailbox's own read requests.
    bool ScriviProvato(std::uint32_t address, std::span<const std::uint8_t> data, ScritturaBlocchi blocchi,
                       LetturaBlocchi rilettura);
    bool LeggiProvato(std::uint32_t address, std::span<std::uint8_t> data, LetturaBlocchi blocchi, LetturaByte singolo);
    bool LeggiSingoli(std::uint32_t address, std::span<std::uint8_t> data, LetturaByte singolo);
    bool LeggiPRamSingoli(std::uint32_t address, std::span<std::uint8_t> data);
    void NotaLetturaConfig(std::uint32_t address, std::span<const std::uint8_t> data);
    void NotaScritturaConfig(std::uint32_t address, std::size_t n);
    bool DecodificaTaratura(std::span<const std::uint8_t> intestazione, std::int16_t& invalido);
    void AzzeraIdentita();
    void ChiudiCanale();        // closes the channel; the identity and version stay as reported
    bool ChiudiBloccoFlash();   // programs and checks the pending block
    // Command 13, echo only; true once the instrument answers again in update mode or not as `updateMode`.
    bool RiavviaStrumento(bool updateMode);
    bool AttendiRitorno(bool updateMode);
    // The memory layout an earlier normal-mode reply on the same channel reported, and that channel's name.
    void ApplicaLayout(const LayoutMemoria& layout);
    std::string NomeCanale() const;

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
    void RiceviAsincrono(LinkTransport& canale);

    Clock& clock_;
    SocketMessagePump& pump_;
    UsbTransport usbCanale_;
    UdpTransport ethCanale_;
    // Chosen when a channel is opened or adopted, never from the handle in mid-session: a bridge
    // lost during a resynchronisation must not send the rest of a session to the socket's host.
    LinkTransport* canale_ = &ethCanale_;

    bool collegato_ = false;
    bool solaLettura_ = false;
    bool aperturaSenzaRisposta_ = false;
    std::uint64_t transazioniFallite_ = 0;
    std::string serialNumber_;
    std::string nome_;
    int protocollo_ = 0;
    int estensioni_ = 0;
    bool mailbox_ = false;
    bool memoryError_ = false;
    bool updateMode_ = false;
    // What the loader answering in update mode was found to accept this session; nothing until
    // the first transfer of more than one byte has tried it.
    std::optional<bool> scrittureBlocco_, lettureBlocco_;
    bool singoloByte_ = false;
    // Configuration byte 4, whose bit 7 selects update mode at restart: its value when this link
    // last read it, forgotten at every write over it, restart and opening.
    static constexpr std::uint32_t kByteModo = 4;
    std::optional<std::uint8_t> byteModo_;

    Buffer bufferTX_{};
    Buffer bufferRX_{};
    double versioneCPU_ = 0, versioneEncoder_ = 0, versioneADC_ = 0;
    int configurazioneAnalogica_ = 0;
    int formato_ = 0;
    int livelloLayout_ = 1;
    int baseTempo_ = 0;
    std::uint8_t opzione60_ = 0, opzione61_ = 0, opzione77_ = 0;
    int numeroMisure_ = 0;
    std::array<MisuraStrumento, kMisure> misure_{};
    std::array<int, kMisure> operazioneCorrente_{};
    std::array<int, 8> funzioniIngresso_{}, funzioniUscita_{}, maschereIngresso_{}, maschereUscita_{};
    std::array<RecordTaratura, 6> taratura_{};
    IngressiUscite ultimiIngressiUscite_{};
    std::array<AcquisizioneMisura, kMisure> acquisizione_{};
    bool arrestoTotaleInSospeso_ = false;
    std::array<RisultatiMisura, kMisure> risultati_{};
    std::array<std::uint32_t, kMisure> indirizzoRisultati_{};
    std::array<double, 5> fattoriForza_{1, 1, 1, 1, 1}, fattoriQuota_{1, 1, 1, 1, 1}, fattoriTempo_{1, 1, 1, 1, 1};
    std::array<std::uint8_t, 2> statoPrecedente_{};
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

    std::array<RicezioneCurva, kMisure> curve_{};
    int misuraInRicezione_ = 0;  // 1..6, 0 = none
    double ultimaRicezione_ = 0.0;
    int tentativo_ = 0;
    std::uint8_t sequenzaAttesa_ = 0;
    std::vector<std::uint8_t> flussoCurva_;  // bytes of an incomplete block
};

} // namespace zem
