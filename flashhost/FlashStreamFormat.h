#pragma once
// The stored form of one in-memory movie (the binary property "FlashStream"):
//   kind (1 byte): 0 empty, nothing follows; 3 current form; 2 older form
//   name length N (4 bytes, little-endian), name (N bytes, 8-bit)      kinds 2 and 3
//   data size S (4 bytes for kind 3, 8 for kind 2, little-endian), S bytes of movie
// Reading checks every length against the bytes actually stored before taking anything.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {

struct TStoredMovie {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// Kind 3 with name and bytes when there are bytes, else the single byte 0.
std::vector<std::uint8_t> EncodeStoredMovie(const std::string& name, const std::vector<std::uint8_t>& bytes);

// The movie a stored block holds; nothing for kind 0 and any kind other than 2 or 3 (the item
// then stays as it is). Kind 2 keeps the low 32 bits of its 64-bit size. Raises
// EPropertyError when the block is empty or a length runs past the stored bytes.
std::optional<TStoredMovie> DecodeStoredMovie(const std::vector<std::uint8_t>& block);

} // namespace vm
