#pragma once
// TQuickIni: the reader of skin descriptions. It keeps the meaningful lines of an INI text
// and answers lookups by scanning them, the first match winning.
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::skin {

class TQuickIni {
public:
    // Replaces the text with `bytes` up to the first NUL. Lines end at CR, LF or CR LF; each is
    // trimmed of blanks and control characters; empty lines and ";" comments are dropped.
    void Load(std::span<const uint8_t> bytes);
    void Load(std::string_view text);

    // Every section name in file order, replacing the list's content. The list must exist:
    // a null list throws std::invalid_argument.
    void ReadSections(std::vector<std::string>* strings) const;

    // Section and key match without regard to ASCII case; the first match wins; a missing
    // section or key, or an empty value, gives `defaultValue`.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;

    // Decimal, "$" hex, or "0x"/"0X" hex when longer than two characters; anything else, or a
    // number beyond 32 bits, gives `defaultValue`. Hex takes its 32 bits as they stand, so
    // 0xFFFFFFFF reads as -1.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;

private:
    // Index in lines_ of the value's line, or npos.
    size_t findKey(std::string_view section, std::string_view key) const;

    std::vector<std::string> lines_;
    std::vector<size_t> sectionLines_;  // indices into lines_
};

inline constexpr const char* kStringsUnassigned = "The parameter Strings is unassigned!";

// The integer a value spells as TQuickIni::ReadInteger reads it.
bool parseIniInteger(std::string_view value, int32_t& result);

}  // namespace velmora::skin
