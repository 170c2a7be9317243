#include "record/StatisticsCsv.h"

#include "diagnosis/CurveCsv.h"

namespace zem {

namespace {

// A text field, quoted when it holds a separator, a quote or a line end.
std::string Field(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string Maybe(const std::optional<double>& v, int decimals)
{
    return v ? CurveCsv::Number(*v, decimals) : std::string();
}

} // namespace

std::string StatisticsCsv::Text(const std::vector<MeasureStatistics>& measures)
{
    std::string out = "instrument,measure,pieces,good,rejected,reject rate,value,unit,count,mean,sd,min,max,lower,upper,cp,cpk\r\n";
    for (const MeasureStatistics& m : measures) {
        const std::string head = Field(m.instrument) + "," + std::to_string(m.measure) + "," + std::to_string(m.pieces) + ","
            + std::to_string(m.good) + "," + std::to_string(m.rejected) + "," + CurveCsv::Number(m.rejectRate, 4) + ",";
        if (m.values.empty()) out += head + ",,,,,,,,,,\r\n";
        for (const ValueStatistics& v : m.values) {
            // Mean and spread carry two more decimals than the values they sum up.
            out += head + Field(v.name) + "," + Field(v.unit) + "," + std::to_string(v.count) + ","
                + CurveCsv::Number(v.mean, v.decimals + 2) + "," + CurveCsv::Number(v.sd, v.decimals + 2) + ","
                + CurveCsv::Number(v.min, v.decimals) + "," + CurveCsv::Number(v.max, v.decimals) + ","
                + Maybe(v.lower, v.decimals) + "," + Maybe(v.upper, v.decimals) + "," + Maybe(v.cp, 3) + ","
                + Maybe(v.cpk, 3) + "\r\n";
        }
    }
    return out;
}

} // namespace zem
