#pragma once

#include "link/usb/D2xx.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zem {

class Clock;

// One entry of the USB device list.
struct DispositivoUSB {
    std::string Descrizione;  // the bridge's description, or a fault text
    std::string NumeroSerie;  // serial number from the EEPROM, "" when it was not read
    std::string Problema = {};    // why the bridge cannot be used, for the technician; "" when it can
};

// The view of a bridge's EEPROM used by the listing, by the link and by the EEPROM programming.
struct DatiEEPROM {
    std::uint16_t VendorId = 0;
    std::uint16_t ProductId = 0;
    std::string Manufacturer;
    std::string ManufacturerId;
    std::string Description;
    bool FlagEEPROM = false;
    std::string SerialNumber;
};

// Every driver call for the USB bridges goes through here: listing, opening and configuring,
// byte reads and writes with time-outs, reset, and EEPROM read and program.
class GestioneUSB {
public:
    // What every bridge this program programs is: an FT232R of ZEM AUTOMATION.
    static constexpr std::uint16_t kVendorId = 0x0403;
    static constexpr std::uint16_t kProductId = 0x6001;
    static constexpr const char* kManufacturer = "ZEM AUTOMATION";
    static constexpr const char* kManufacturerId = "ZA";

    GestioneUSB(D2xx& driver, Clock& clock);

    // Rebuilds the device list; returns the number of entries.
    int ElencaDispositiviUSB(const std::string& filter);
    // Entries are numbered from 1; an index outside the list gives "".
    std::string DescrizioneDispositivo(int index) const;
    std::string SerialeDispositivo(int index) const;
    std::string ProblemaDispositivo(int index) const;
    const std::vector<DispositivoUSB>& Dispositivi() const { return dispositivi_; }

    FT_STATUS LeggiEEPROM(FT_HANDLE handle, DatiEEPROM& dati);
    std::string LeggiSerialeEEPROM(FT_HANDLE handle, int& tipoChip);
    void ImpostaDatiEEPROM(const std::string& descrizione, const std::string& seriale);
    // Identifiers of 0 keep those the chip holds; texts the chip cannot hold are refused with
    // FT_INVALID_PARAMETER before the driver is asked for anything.
    FT_STATUS ProgrammaEEPROM(FT_HANDLE handle, const DatiEEPROM& dati);
    bool ScriviEEPROM(FT_HANDLE handle);
    const DatiEEPROM& DatiDaProgrammare() const { return daProgrammare_; }
    // Chip type last reported by the driver (below 5: older families).
    int UltimoTipoChip() const { return tipoChip_; }

    FT_HANDLE ApriDispositivoUSB(const std::string& serial);
    bool ImpostaBaudRate(FT_HANDLE handle, std::uint32_t baud);
    bool ChiudiDispositivoUSB(FT_HANDLE& handle);
    bool SvuotaRicezioneUSB(FT_HANDLE handle);
    bool ScriviBloccoUSB(FT_HANDLE handle, std::span<const std::uint8_t> bytes);
    bool ScriviByteUSB(FT_HANDLE handle, std::uint8_t byte);
    bool LeggiBloccoUSB(FT_HANDLE handle, std::span<std::uint8_t> bytes);
    // Reads bytes.size() bytes within 0.7 s.
    bool LeggiBloccoUSBConAttesa(FT_HANDLE handle, std::span<std::uint8_t> bytes);
    bool LeggiByteUSB(FT_HANDLE handle, std::uint8_t& byte);
    std::uint32_t ByteInAttesaUSB(FT_HANDLE handle);
    bool ReimpostaDispositivoUSB(FT_HANDLE& handle, const std::string& serial, std::uint32_t baud);

private:
    D2xx& driver_;
    Clock& clock_;
    std::vector<DispositivoUSB> dispositivi_;  // entry i-1 holds device i
    DatiEEPROM daProgrammare_{kVendorId, kProductId, kManufacturer, kManufacturerId, "", false, ""};
    int tipoChip_ = 0;
};

} // namespace zem
