#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zem {

// One envelope point in engineering units.
struct PuntoFascia {
    float Forza = 0;
    float Quota = 0;
    friend bool operator==(const PuntoFascia&, const PuntoFascia&) = default;
};

// One check point: at a position the force must lie between a minimum and a maximum.
struct CheckPoint {
    float Quota = 0;
    float ForzaMinima = 0;
    float ForzaMassima = 0;
    friend bool operator==(const CheckPoint&, const CheckPoint&) = default;
};

// One phase of a work, in engineering units (times in seconds).
struct FaseLavoro {
    // Phase flag bits.
    static constexpr std::int16_t kAbilitata = 0x01;
    static constexpr std::int16_t kQuoteRelative = 0x02;
    // Stop flag bits; one word for every measure type, named by the type that uses it.
    static constexpr std::int16_t kArrestoQInizioMinima = 0x01;
    static constexpr std::int16_t kArrestoPkPkMassimo = 0x02;   // also QInizioMassima
    static constexpr std::int16_t kArrestoValoreMinimo = 0x04;  // also ForzaBassa
    static constexpr std::int16_t kArrestoValoreMassimo = 0x08; // also ForzaAlta
    static constexpr std::int16_t kArrestoTimeOut = 0x80;

    std::string NomeFase;
    float TempoStart = 0;
    float TempoStop = 0;
    std::int16_t ByteAusiliario = 0;  // stored at phase data + 72 of types 1 and 4
    float LimiteMin = 0, LimiteMax = 0;
    float LimitePkPkMin = 0, LimitePkPkMax = 0;
    float LimiteMediaMin = 0, LimiteMediaMax = 0;
    float ForzaStop = 0, LimiteForzaMin = 0, LimiteForzaMax = 0, ForzaZero = 0;
    float QuotaStop = 0, LimiteQuotaMin = 0, LimiteQuotaMax = 0, QuotaInizioMin = 0, QuotaInizioMax = 0,
          QuotaFreno = 0;
    float QuotaOrigineGrafico = 0, QuotaFondoScalaGrafico = 0, ForzaFondoScalaGrafico = 0;
    float TempoOrigineGrafico = 0, TempoFondoScalaGrafico = 0, ValoreOrigineGrafico = 0,
          ValoreFondoScalaGrafico = 0;
    std::vector<PuntoFascia> BordoInferiore;
    std::vector<PuntoFascia> BordoSuperiore;
    std::vector<CheckPoint> CheckPoints;  // index 0 unused, as the points are numbered from 1
    std::int16_t Flags = 0;
    std::int16_t FlagsArresto = 0;
    std::int16_t Ausiliario = 0;
    bool RichiestaCurva = false;
    std::int16_t AcqPrescaler = 0;
    std::int16_t MaxPuntiCoda = 0;
    std::int16_t MarcatoreRecord = 0;
    float StopDelay = 0;

    friend bool operator==(const FaseLavoro&, const FaseLavoro&) = default;
};

// The editable copy of one measure's current work.
struct LavoroMisura {
    bool LavoroStrutturaModificata = false;  // the next write rebuilds the records whole
    std::string NomeLavoro;
    std::vector<FaseLavoro> Fasi;  // numbered from 1; element 0 is kept but never sent
};

} // namespace zem
