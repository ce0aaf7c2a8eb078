#include "BmpDecoder.h"

#include <bit>
#include <vector>

namespace velmora::skin {

namespace {

// Thrown inside the decoder only; decodeBmp turns it into the result's reason.
struct Refusal {
    std::string reason;
};

[[noreturn]] void refuse(std::string reason) { throw Refusal{std::move(reason)}; }

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

class Bytes {
public:
    explicit Bytes(std::span<const uint8_t> data) : data_(data) {}
    size_t size() const { return data_.size(); }
    uint8_t u8(size_t at) const {
        need(at, 1);
        return data_[at];
    }
    uint16_t u16(size_t at) const {
        need(at, 2);
        return static_cast<uint16_t>(data_[at] | data_[at + 1] << 8);
    }
    uint32_t u32(size_t at) const {
        need(at, 4);
        return static_cast<uint32_t>(data_[at]) | static_cast<uint32_t>(data_[at + 1]) << 8 |
               static_cast<uint32_t>(data_[at + 2]) << 16 | static_cast<uint32_t>(data_[at + 3]) << 24;
    }
    int32_t i32(size_t at) const { return static_cast<int32_t>(u32(at)); }
    const uint8_t* at(size_t offset) const { return data_.data() + offset; }

private:
    void need(size_t at, size_t n) const {
        if (at > data_.size() || data_.size() - at < n) refuse("the file ends inside its headers");
    }
    std::span<const uint8_t> data_;
};

// One colour channel held by a bit-field mask, scaled to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t maximum = 0;  // largest value of the field; 0 for an empty mask

    static Channel of(uint32_t mask) {
        Channel c;
        c.mask = mask;
        if (mask == 0) return c;
        c.shift = std::countr_zero(mask);
        const uint32_t field = mask >> c.shift;
        if ((field & (field + 1)) != 0) refuse("a colour mask's bits are not contiguous");
        c.maximum = field;
        return c;
    }
    uint32_t value(uint32_t pixel) const {
        if (maximum == 0) return 0;
        return static_cast<uint32_t>((uint64_t{(pixel & mask) >> shift} * 255 + maximum / 2) / maximum);
    }
};

struct Layout {
    int width = 0, height = 0;  // height positive; topDown says which way rows run
    bool topDown = false;
    int bits = 0;
    uint32_t compression = kRgb;
    size_t dataOffset = 0;
    std::vector<Pixel> palette;
    Channel red, green, blue;
};

Layout readLayout(const Bytes& file) {
    if (file.size() < 26) refuse("not a bitmap file: only " + std::to_string(file.size()) + " bytes");
    if (file.u8(0) != 'B' || file.u8(1) != 'M') refuse("not a bitmap file: no BM signature");
    Layout l;
    l.dataOffset = file.u32(10);
    const uint32_t headerSize = file.u32(14);
    size_t headerEnd = 14 + size_t{headerSize};
    size_t paletteEntry = 4;
    uint32_t coloursUsed = 0;
    int64_t height = 0;
    int planes = 0;
    if (headerSize == 12) {
        l.width = file.u16(18);
        height = file.u16(20);
        planes = file.u16(22);
        l.bits = file.u16(24);
        paletteEntry = 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        const int32_t width = file.i32(18);
        if (width <= 0) refuse("bitmap width " + std::to_string(width) + " is not positive");
        l.width = width;
        height = file.i32(22);
        planes = file.u16(26);
        l.bits = file.u16(28);
        l.compression = file.u32(30);
        coloursUsed = file.u32(46);
        if (l.compression == kBitFields) {
            const size_t masksAt = 54;
            if (headerSize == 40) headerEnd += 12;  // the three masks follow the short header
            l.red = Channel::of(file.u32(masksAt));
            l.green = Channel::of(file.u32(masksAt + 4));
            l.blue = Channel::of(file.u32(masksAt + 8));
        }
    } else {
        refuse("unsupported bitmap header of " + std::to_string(headerSize) + " bytes");
    }
    if (planes != 1) refuse("bitmap has " + std::to_string(planes) + " planes, not 1");
    if (height == 0 || l.width == 0) refuse("bitmap has no pixels");
    l.topDown = height < 0;
    if (l.topDown) height = -height;
    if (l.width > kMaxImageSide || height > kMaxImageSide || int64_t{l.width} * height > kMaxImagePixels)
        refuse("bitmap of " + std::to_string(l.width) + "x" + std::to_string(height) + " pixels is too large");
    l.height = static_cast<int>(height);

    const bool known = (l.compression == kRgb && (l.bits == 1 || l.bits == 4 || l.bits == 8 || l.bits == 16 ||
                                                  l.bits == 24 || l.bits == 32)) ||
                       (l.compression == kRle8 && l.bits == 8) || (l.compression == kRle4 && l.bits == 4) ||
                       (l.compression == kBitFields && (l.bits == 16 || l.bits == 32));
    if (!known)
        refuse("unsupported bitmap: " + std::to_string(l.bits) + " bits per pixel with compression " +
               std::to_string(l.compression));
    if ((l.compression == kRle8 || l.compression == kRle4) && l.topDown)
        refuse("a run-length encoded bitmap cannot be top-down");
    if (l.compression == kRgb && l.bits == 16) {
        l.red = Channel::of(0x7C00);
        l.green = Channel::of(0x03E0);
        l.blue = Channel::of(0x001F);
    }

    if (l.bits <= 8) {
        const uint32_t most = 1u << l.bits;
        const uint32_t count = coloursUsed == 0 || coloursUsed > most ? most : coloursUsed;
        if (headerEnd > file.size() || (file.size() - headerEnd) / paletteEntry < count)
            refuse("the colour table runs past the end of the file");
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* e = file.at(headerEnd + i * paletteEntry);
            l.palette.push_back(kOpaqueBlack | uint32_t{e[2]} << 16 | uint32_t{e[1]} << 8 | e[0]);
        }
    }
    if (l.dataOffset < 14 + size_t{headerSize} || l.dataOffset >= file.size())
        refuse("pixel data offset " + std::to_string(l.dataOffset) + " lies outside the file");
    return l;
}

Pixel paletteColour(const Layout& l, uint32_t index) {
    if (index >= l.palette.size())
        refuse("pixel index " + std::to_string(index) + " is beyond the " + std::to_string(l.palette.size()) +
               "-colour table");
    return l.palette[index];
}

Pixel fieldColour(const Layout& l, uint32_t value) {
    return kOpaqueBlack | l.red.value(value) << 16 | l.green.value(value) << 8 | l.blue.value(value);
}

void decodeRows(const Bytes& file, const Layout& l, PixelImage& image) {
    const uint64_t stride = (uint64_t{static_cast<uint32_t>(l.width)} * static_cast<uint32_t>(l.bits) + 31) / 32 * 4;
    const uint64_t needed = stride * static_cast<uint32_t>(l.height);
    if (needed > file.size() - l.dataOffset)
        refuse("pixel data truncated: " + std::to_string(needed) + " bytes needed, " +
               std::to_string(file.size() - l.dataOffset) + " present");
    for (int r = 0; r < l.height; ++r) {
        const uint8_t* src = file.at(l.dataOffset + static_cast<size_t>(stride * static_cast<uint32_t>(r)));
        Pixel* out = image.row(l.topDown ? r : l.height - 1 - r);
        for (int x = 0; x < l.width; ++x) {
            switch (l.bits) {
            case 1: out[x] = paletteColour(l, (src[x >> 3] >> (7 - (x & 7))) & 1u); break;
            case 4: out[x] = paletteColour(l, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu); break;
            case 8: out[x] = paletteColour(l, src[x]); break;
            case 16: out[x] = fieldColour(l, static_cast<uint32_t>(src[2 * x] | src[2 * x + 1] << 8)); break;
            case 24: out[x] = kOpaqueBlack | uint32_t{src[3 * x + 2]} << 16 | uint32_t{src[3 * x + 1]} << 8 | src[3 * x]; break;
            case 32: {
                const uint8_t* p = src + 4 * x;
                if (l.compression == kBitFields)
                    out[x] = fieldColour(l, uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
                else  // the fourth byte of a plain 32-bit bitmap is unused
                    out[x] = kOpaqueBlack | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
                break;
            }
            }
        }
    }
}

// Run-length data: pixels it never reaches stay black, as the format leaves them undefined.
void decodeRunLength(const Bytes& file, const Layout& l, PixelImage& image) {
    const bool four = l.compression == kRle4;
    size_t at = l.dataOffset;
    int x = 0, y = 0;  // y counts rows from the bottom, as the data does
    auto next = [&]() -> uint8_t {
        if (at >= file.size()) refuse("run-length data ends before its end-of-bitmap mark");
        return file.u8(at++);
    };
    auto place = [&](int count) {
        if (y >= l.height) refuse("run-length data runs past the last row");
        if (count > l.width - x) refuse("a run passes the end of its row");
    };
    auto put = [&](uint32_t index) { image.at(x++, l.height - 1 - y) = paletteColour(l, index); };
    for (;;) {
        const int count = next();
        const uint8_t value = next();
        if (count > 0) {
            place(count);
            for (int i = 0; i < count; ++i) put(four ? (i & 1 ? value & 0xFu : value >> 4) : value);
            continue;
        }
        switch (value) {
        case 0: x = 0, ++y; break;
        case 1: return;
        case 2: {
            const int dx = next(), dy = next();
            x += dx;
            y += dy;
            if (x > l.width || y > l.height) refuse("a run-length jump leaves the bitmap");
            break;
        }
        default: {
            const int n = value;
            place(n);
            const int bytes = four ? (n + 1) / 2 : n;
            uint8_t pair = 0;
            for (int i = 0; i < n; ++i) {
                if (!four) {
                    put(next());
                } else {
                    if ((i & 1) == 0) pair = next();
                    put(i & 1 ? pair & 0xFu : pair >> 4);
                }
            }
            if (bytes & 1) next();  // absolute runs are padded to a 16-bit boundary
        }
        }
    }
}

}  // namespace

BmpDecodeResult decodeBmp(std::span<const uint8_t> data) {
    BmpDecodeResult result;
    try {
        const Bytes file(data);
        const Layout layout = readLayout(file);
        PixelImage image(layout.width, layout.height);
        if (layout.compression == kRle8 || layout.compression == kRle4)
            decodeRunLength(file, layout, image);
        else
            decodeRows(file, layout, image);
        result.image = std::move(image);
    } catch (const Refusal& refusal) {
        result.error = refusal.reason;
    }
    return result;
}

}  // namespace velmora::skin
