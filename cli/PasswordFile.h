#pragma once

#include <optional>
#include <string>

namespace zem::cli {

// The access password from the first line of `path` (a trailing CR dropped). Nothing when the file
// cannot be read or holds no line, with `error` naming the file and the cause.
std::optional<std::string> ReadPasswordFile(const std::string& path, std::string& error);

} // namespace zem::cli
