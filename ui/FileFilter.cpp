#include "ui/FileFilter.h"

namespace zem::ui {

namespace {

std::vector<std::string> Split(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::vector<FileFilterEntry> ParseFileFilter(std::string_view filter)
{
    std::vector<FileFilterEntry> entries;
    if (filter.empty()) return entries;
    const auto fields = Split(filter, '|');
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        FileFilterEntry entry{fields[i], {}};
        for (const auto& pattern : Split(fields[i + 1], ';')) {
            auto p = Trimmed(pattern);
            if (!p.empty()) entry.patterns.push_back(std::move(p));
        }
        if (!entry.patterns.empty()) entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace zem::ui
