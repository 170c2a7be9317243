#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zem {

// A text as the instrument and the profile files hold it: one byte a character, Windows-1252.
// It stays in those bytes everywhere inside the tool; it is turned into UTF-8 only where a person
// or a JSON reader meets it, and typed UTF-8 is turned back here, so lengths and limits count the
// instrument's characters.
class InstrumentText {
public:
    InstrumentText() = default;
    explicit InstrumentText(std::string bytes) : bytes_(std::move(bytes)) {}

    // Nothing when `utf8` holds a character Windows-1252 has no code for (or is not UTF-8);
    // `refused` then names that character.
    static std::optional<InstrumentText> FromUtf8(std::string_view utf8, std::string* refused = nullptr);

    const std::string& Bytes() const { return bytes_; }
    std::string Utf8() const;
    std::size_t Length() const { return bytes_.size(); }

    // A text that may join the program's words, a file path (UTF-8) and an instrument's name, for
    // a person: as it is when it is UTF-8, else read as the instrument's characters.
    static std::string Readable(const std::string& text);

    // The technician's message for a character the instrument cannot hold.
    static std::string RefusalMessage(const std::string& character);

private:
    std::string bytes_;
};

} // namespace zem
