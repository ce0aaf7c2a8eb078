#pragma once
// Inputs the skin tests share: random bytes, text, runs, and bitmap-like rows.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace velmora::skin::testing {

inline std::vector<uint8_t> randomBytes(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
    return bytes;
}

inline std::vector<uint8_t> englishText(size_t n, uint32_t seed) {
    static const char* const words[] = {"skin", "window", "caption", "the", "button", "frame", "of", "a",
                                        "border", "menu", "colour", "and", "scroll", "bar", "[Personality]",
                                        "LeftWidth=4", "\r\n", "Image=frametop.bmp", "to", "is"};
    std::mt19937 rng(seed);
    std::vector<uint8_t> text;
    while (text.size() < n) {
        const std::string w = words[rng() % (sizeof words / sizeof *words)];
        text.insert(text.end(), w.begin(), w.end());
        text.push_back(' ');
    }
    text.resize(n);
    return text;
}

inline std::vector<uint8_t> runs(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes;
    while (bytes.size() < n) bytes.insert(bytes.end(), 1 + rng() % 300, static_cast<uint8_t>(rng()));
    bytes.resize(n);
    return bytes;
}

}  // namespace velmora::skin::testing
