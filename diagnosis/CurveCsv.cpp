#include "diagnosis/CurveCsv.h"

#include "profile/ScritturaAtomica.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>

namespace zem {

std::string CurveCsv::Number(double value, int decimals)
{
    std::array<char, 64> text{};
    const auto r = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed,
                                 std::clamp(decimals, 0, 6));
    std::string s(text.data(), r.ptr);
    // A value that rounds to zero is written without its sign.
    if (s.starts_with('-') && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}

std::string CurveCsv::Text(const CompletedPiece& piece)
{
    std::string out = "position,force,result,peak position,peak force,reject causes,check-point rejects\r\n";
    std::string results = piece.Verdict();
    if (const auto& r = piece.results) {
        results += "," + Number(r->QuotaPicco, piece.positionDecimals) + "," + Number(r->ForzaPicco, piece.forceDecimals)
            + "," + std::to_string(r->CauseScarto) + "," + std::to_string(r->CauseScartoCheckPoint);
    } else {
        results += ",,,,";
    }
    if (!piece.curve || piece.curve->empty()) return out + ",," + results + "\r\n";
    bool first = true;
    for (const auto& p : *piece.curve) {
        out += Number(p.position, piece.positionDecimals) + "," + Number(p.force, piece.forceDecimals) + ","
            + (first ? results : ",,,,") + "\r\n";
        first = false;
    }
    return out;
}

std::optional<std::string> CurveCsv::Write(const std::string& path, const CompletedPiece& piece)
{
    return ScritturaAtomica::Scrivi(path, Text(piece));
}

std::string CurveCsv::Numbered(const std::string& path, int number)
{
    const std::filesystem::path p(path);
    const std::string name = p.stem().string() + "-" + std::to_string(number) + p.extension().string();
    return (p.parent_path() / name).string();
}

} // namespace zem
