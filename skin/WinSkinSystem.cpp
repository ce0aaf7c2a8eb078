#include "WinSkinSystem.h"

#include <cstring>
#include <string>
#include <vector>

#include "BmpDecoder.h"

namespace vm {

using velmora::skin::Colour;
using velmora::skin::PixelImage;

Colour TWinSkinSystem::systemColour(int index) const { return static_cast<Colour>(GetSysColor(index)); }

int TWinSkinSystem::horizontalScrollArrowWidth() const { return GetSystemMetrics(SM_CXHSCROLL); }

std::vector<uint8_t> BitmapResourceFile(HINSTANCE module, const char* name) {
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(2));  // RT_BITMAP
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const auto* data = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!data || size < sizeof(BITMAPINFOHEADER)) return {};
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    // Where the pixels start: after the header, the colour masks of a 40-byte bit-field header
    // and the colour table.
    DWORD offset = header.biSize;
    if (header.biSize == sizeof(BITMAPINFOHEADER) && header.biCompression == BI_BITFIELDS) offset += 12;
    if (header.biBitCount <= 8) {
        const DWORD colours = header.biClrUsed ? header.biClrUsed : (1u << header.biBitCount);
        offset += 4 * colours;
    }
    std::vector<uint8_t> file(14 + size);
    const DWORD fileSize = static_cast<DWORD>(file.size()), dataOffset = 14 + offset;
    file[0] = 'B';
    file[1] = 'M';
    std::memcpy(&file[2], &fileSize, 4);
    std::memcpy(&file[10], &dataOffset, 4);
    std::memcpy(&file[14], data, size);
    return file;
}

PixelImage TWinSkinSystem::builtInBitmap(std::string_view name) const {
    const std::vector<uint8_t> file = BitmapResourceFile(module_, std::string(name).c_str());
    if (file.empty()) return {};
    return velmora::skin::decodeBmp(file).image;  // a damaged resource gives no fallback picture
}

}  // namespace vm
