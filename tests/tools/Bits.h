#pragma once
// Expected bytes written as the bit fields a reader of the file format would see them:
// "01111 000" packs most significant bit first; spaces are for the eye; the last byte is
// padded with zeros.
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

inline std::vector<uint8_t> bits(std::string_view text) {
    std::vector<uint8_t> out;
    int filled = 0;
    for (char c : text) {
        if (c != '0' && c != '1') continue;
        if (filled % 8 == 0) out.push_back(0);
        if (c == '1') out.back() |= static_cast<uint8_t>(0x80 >> (filled % 8));
        ++filled;
    }
    return out;
}

inline std::vector<uint8_t> concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

using Bytes = std::vector<uint8_t>;
