#pragma once

#include "record/Statistics.h"

#include <string>
#include <vector>

namespace zem {

// Statistics as CSV for a spreadsheet: a header line, then one line per measure and result value
// (a measure without values has one line with the value columns empty); "." as decimal separator
// whatever the locale, lines ended CR LF, a missing Cp, Cpk or limit left empty.
class StatisticsCsv {
public:
    static std::string Text(const std::vector<MeasureStatistics>& measures);
};

} // namespace zem
