#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zem::cli {

// A command's own arguments: the plain ones in order, and flags that take one value each.
struct CommandArguments {
    std::vector<std::string> plain;
    std::map<std::string, std::string, std::less<>> values;

    // Nothing for a flag that is not in `flags`, given twice or given without its value.
    static std::optional<CommandArguments> Parse(const std::vector<std::string>& arguments,
                                                 std::initializer_list<std::string_view> flags);

    std::optional<std::string> Value(std::string_view flag) const;
};

} // namespace zem::cli
