#include "cli/CommandArguments.h"

#include <algorithm>

namespace zem::cli {

std::optional<CommandArguments> CommandArguments::Parse(const std::vector<std::string>& arguments,
                                                        std::initializer_list<std::string_view> flags)
{
    CommandArguments parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (!a.starts_with("-")) {
            parsed.plain.push_back(a);
            continue;
        }
        if (std::ranges::find(flags, a) == flags.end() || i + 1 == arguments.size()) return std::nullopt;
        if (!parsed.values.emplace(a, arguments[++i]).second) return std::nullopt;
    }
    return parsed;
}

std::optional<std::string> CommandArguments::Value(std::string_view flag) const
{
    const auto it = values.find(flag);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

} // namespace zem::cli
