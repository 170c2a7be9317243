#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zem::ui {

struct FileFilterEntry {
    std::string description;            // "ZEM profile file"
    std::vector<std::string> patterns;  // {"*.zemp"}
};

// Splits "description|pattern;pattern|description|pattern" into its entries. A description
// without a pattern after it is dropped, and so are empty patterns.
std::vector<FileFilterEntry> ParseFileFilter(std::string_view filter);

} // namespace zem::ui
