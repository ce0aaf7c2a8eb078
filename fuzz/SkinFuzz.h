#pragma once
// What the skin fuzz targets do with one input, shared with the regression replay test. Each
// returns false when the code under test contradicts itself; the targets abort on that.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ColourValue.h"
#include "Lzh.h"
#include "LzhEncoder.h"
#include "SkinArchive.h"
#include "SkinArchiveStored.h"
#include "SkinArchiveWriter.h"
#include "SkinRead.h"
#include "WinSkinIni.h"

namespace velmora::skin::fuzzing {

// The input as a stored skin, then as data to pack: the packer must give every byte back.
inline bool lzhufInput(std::span<const uint8_t> input) {
    try {
        const std::vector<uint8_t> unpacked = unpackStoredSkin(input);
        const uint32_t declared = uint32_t(input[0]) | uint32_t(input[1]) << 8 | uint32_t(input[2]) << 16 |
                                  uint32_t(input[3]) << 24;
        if (unpacked.size() != declared) return false;
    } catch (const SkinArchiveError&) {
    }
    return unpackLzh(packLzh(input), input.size()) == std::vector<uint8_t>(input.begin(), input.end());
}

// The input as an unpacked archive: read directly and through a stored skin, members checked
// against the bytes they claim, and rewritten by our writer when their names allow it.
inline bool skinArchiveInput(std::span<const uint8_t> input) {
    SkinArchiveLayout layout;
    try {
        layout = parseSkinArchive(input);
    } catch (const SkinArchiveError&) {
        TSkinReader reader;
        return !reader.ReadArchive(packStoredSkin(input)) && !reader.Error().empty();
    }
    TSkinReader reader;
    if (!reader.ReadArchive(packStoredSkin(input)) || reader.Members().size() != layout.members.size()) return false;
    std::vector<SkinArchiveEntry> entries;
    for (const SkinArchiveMember& m : layout.members) {
        if (m.offset > input.size() || m.size > input.size() - m.offset) return false;
        const std::vector<uint8_t> slice(input.begin() + static_cast<std::ptrdiff_t>(m.offset),
                                         input.begin() + static_cast<std::ptrdiff_t>(m.offset + m.size));
        entries.push_back({m.name, slice});
        // By name gives the first member of that name; by part, one whose name holds the text.
        const auto first = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.name == m.name; });
        if (reader.ExtractByName(m.name) != first->data) return false;
        const TSkinReader::Found found = reader.ExtractByPartialName(m.name);
        if (found.name.find(m.name) == std::string::npos || found.data.size() > input.size()) return false;
    }
    try {
        const SkinArchiveLayout again = parseSkinArchive(writeSkinArchive(entries));
        if (again.members.size() != entries.size()) return false;
    } catch (const SkinArchiveError&) {
        // Names our writer refuses (empty, repeated): nothing to compare.
    }
    return true;
}

// The input as a skin description: every line's key read back every way the skin loader reads.
inline bool skinIniInput(std::span<const uint8_t> input) {
    TQuickIni ini;
    ini.Load(input);
    std::vector<std::string> sections;
    ini.ReadSections(&sections);
    const std::string text(reinterpret_cast<const char*>(input.data()), input.size());
    for (const std::string& section : sections) {
        for (const char* key : {"Image", "Frame", "Color", "LeftWidth", "Trans", ""}) {
            const std::string value = ini.ReadString(section, key, "\x01");
            if (value.empty()) return false;  // an empty value must give the default
            const int32_t n = ini.ReadInteger(section, key, 0);
            int32_t parsed = 0;
            if (value != "\x01" && parseIniInteger(value, parsed) && parsed != n) return false;
            (void)readColourValue(ini, section, key, -1);
            (void)parseColourValue(value, -1);
        }
    }
    (void)parseColourValue(text, -1);
    return true;
}

}  // namespace velmora::skin::fuzzing
