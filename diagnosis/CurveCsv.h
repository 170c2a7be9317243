#pragma once

#include "diagnosis/CompletedPiece.h"

#include <optional>
#include <string>

namespace zem {

// A piece as a CSV file for quality records: a header line, then one line per curve point with
// position and force in engineering units (decimals of the measure, "." as separator, lines
// ended CR LF); the first line also carries the verdict and the results. A piece without a curve has one line with empty
// position and force.
class CurveCsv {
public:
    static std::string Text(const CompletedPiece& piece);
    // Replaces the file whole; nullopt when written, else why not (an old file then untouched).
    static std::optional<std::string> Write(const std::string& path, const CompletedPiece& piece);
    // "curve.csv" numbered 3 is "curve-3.csv".
    static std::string Numbered(const std::string& path, int number);
    // A value with a fixed number of decimals, whatever the locale.
    static std::string Number(double value, int decimals);
};

} // namespace zem
