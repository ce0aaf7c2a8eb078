#include "Movie.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "Compression.h"
#include "JpegEncoder.h"
#include "Records.h"
#include "ShapeEncoding.h"

namespace swfw {

Movie::Movie(uint8_t version, const swf::Rect& stage, double frameRate)
    : version_(version), stage_(stage), frameRate_(frameRate) {
    if (version < 1) throw std::invalid_argument("SWF version must be 1 or later");
    if (!(frameRate >= 0 && frameRate < 256)) throw std::invalid_argument("frame rate must be 0..255.99");
}

Movie Movie::pixels(uint8_t version, int width, int height, double frameRate) {
    return Movie(version, swf::Rect{0, width * swf::kTwipsPerPixel, 0, height * swf::kTwipsPerPixel}, frameRate);
}

uint16_t Movie::reserveId() {
    if (nextId_ == 0xFFFF) throw std::length_error("no character ids left");
    return nextId_++;
}

uint16_t Movie::define(TagCode code, const std::function<std::vector<uint8_t>(uint16_t)>& encode) {
    if (nextId_ == 0xFFFF) throw std::length_error("no character ids left");
    add(Tag(code, encode(nextId_)));
    return nextId_++;
}

Movie& Movie::fileAttributes(const FileAttributes& a) {
    Writer w;
    w.ub(0, 1);
    w.flag(a.useDirectBlit);
    w.flag(a.useGpu);
    w.flag(a.hasMetadata);
    w.flag(a.actionScript3);
    w.ub(0, 2);
    w.flag(a.useNetwork);
    w.ub(0, 24);
    fileAttributes_ = Tag(TagCode::FileAttributes, w.take());
    return *this;
}

Movie& Movie::metadata(const std::string& xml) {
    Writer w;
    w.string(xml);
    add(Tag(TagCode::Metadata, w.take()));
    return *this;
}

Movie& Movie::backgroundColor(swf::Rgba color) {
    Writer w;
    writeRgb(w, color);
    add(Tag(TagCode::SetBackgroundColor, w.take()));
    return *this;
}

Movie& Movie::protect(const std::optional<std::string>& passwordHash) {
    Writer w;
    if (passwordHash) {
        w.u16(0);
        w.string(*passwordHash);
    }
    add(Tag(TagCode::Protect, w.take()));
    return *this;
}

Movie& Movie::exportAssets(const std::vector<std::pair<uint16_t, std::string>>& assets) {
    if (assets.size() > 0xFFFF) throw std::length_error("too many exported assets");
    Writer w;
    w.u16(static_cast<uint16_t>(assets.size()));
    for (const auto& [id, name] : assets) {
        w.u16(id);
        w.string(name);
    }
    add(Tag(TagCode::ExportAssets, w.take()));
    return *this;
}

Movie& Movie::jpegTables(const std::vector<uint8_t>& tables) {
    add(Tag(TagCode::JpegTables, tables));
    jpegTablesWritten_ = tables;
    return *this;
}

uint16_t Movie::defineShape(const ShapeBuilder& shape, int shapeVersion) {
    static constexpr TagCode kCodes[] = {TagCode::DefineShape, TagCode::DefineShape2, TagCode::DefineShape3, TagCode::DefineShape4};
    if (shapeVersion < 0 || shapeVersion > 4) throw std::invalid_argument("shape version must be 1..4, or 0 for automatic");
    if (shapeVersion != 0)
        return define(kCodes[shapeVersion - 1], [&](uint16_t id) { return encodeDefineShape(id, shape, shapeVersion); });
    // The oldest version that holds the shape: each encoder refuses what its version lacks.
    for (int v = 1;; ++v) {
        try {
            return define(kCodes[v - 1], [&](uint16_t id) { return encodeDefineShape(id, shape, v); });
        } catch (const std::invalid_argument&) {
            if (v == 4) throw;
        } catch (const std::length_error&) {
            if (v == 4) throw;
        }
    }
}

uint16_t Movie::defineMorphShape(const MorphShape& morph, int version) {
    return define(version == 2 ? TagCode::DefineMorphShape2 : TagCode::DefineMorphShape,
                  [&](uint16_t id) { return encodeDefineMorphShape(id, morph, version); });
}

uint16_t Movie::defineBitsLossless(const Image& image, int version, LosslessFormat format) {
    return define(version == 2 ? TagCode::DefineBitsLossless2 : TagCode::DefineBitsLossless,
                  [&](uint16_t id) { return encodeDefineBitsLossless(id, image, version, format); });
}

uint16_t Movie::defineBitsJpeg2(const Image& image, int quality) {
    if (!image.opaque()) throw std::invalid_argument("DefineBitsJPEG2 has no alpha; use DefineBitsJPEG3");
    return define(TagCode::DefineBitsJpeg2, [&](uint16_t id) { return encodeDefineBitsJpeg2(id, encodeJpeg(image, quality)); });
}

uint16_t Movie::defineBitsJpeg3(const Image& image, int quality) {
    return define(TagCode::DefineBitsJpeg3,
                  [&](uint16_t id) { return encodeDefineBitsJpeg3(id, encodeJpeg(image, quality), alphaPlane(image)); });
}

uint16_t Movie::defineBits(const Image& image, int quality) {
    if (!image.opaque()) throw std::invalid_argument("DefineBits has no alpha; use DefineBitsJPEG3");
    AbbreviatedJpeg jpeg = encodeJpegAbbreviated(image, quality);
    // A movie has one table set; libjpeg makes the same tables for the same quality.
    if (jpegTablesWritten_ && *jpegTablesWritten_ != jpeg.tables)
        throw std::invalid_argument("DefineBits images of one movie must share its JPEG tables (use one quality)");
    if (!jpegTablesWritten_) jpegTables(jpeg.tables);
    return define(TagCode::DefineBits, [&](uint16_t id) { return encodeDefineBits(id, jpeg.image); });
}

uint16_t Movie::defineFont(const Font& font) {
    bool wide = version_ >= 6;  // from SWF 6 text is Unicode
    for (const Glyph& g : font.glyphs) wide = wide || g.code > 0xFF;
    // Both tags are encoded before either is added, so a refused font adds neither.
    std::vector<uint8_t> info = encodeDefineFontInfo(nextId_, font, wide);
    uint16_t id = define(TagCode::DefineFont, [&](uint16_t fontId) { return encodeDefineFont(fontId, font); });
    add(Tag(TagCode::DefineFontInfo, std::move(info)));
    return id;
}

uint16_t Movie::defineFont2(const Font& font, int version) {
    return define(version == 3 ? TagCode::DefineFont3 : TagCode::DefineFont2,
                  [&](uint16_t id) { return encodeDefineFont2(id, font, version); });
}

uint16_t Movie::defineText(const StaticText& text, int version) {
    return define(version == 2 ? TagCode::DefineText2 : TagCode::DefineText,
                  [&](uint16_t id) { return encodeDefineText(id, text, version); });
}

uint16_t Movie::defineEditText(const EditText& field) {
    return define(TagCode::DefineEditText, [&](uint16_t id) { return encodeDefineEditText(id, field); });
}

uint16_t Movie::defineButton(const Button& button) {
    return define(TagCode::DefineButton, [&](uint16_t id) { return encodeDefineButton(id, button); });
}

uint16_t Movie::defineButton2(const Button& button) {
    return define(TagCode::DefineButton2, [&](uint16_t id) { return encodeDefineButton2(id, button); });
}

Movie& Movie::buttonColorTransform(uint16_t button, const swf::ColorTransform& transform) {
    add(Tag(TagCode::DefineButtonCxform, encodeDefineButtonCxform(button, transform)));
    return *this;
}

uint16_t Movie::defineSprite(const Sprite& sprite) {
    return define(TagCode::DefineSprite, [&](uint16_t id) {
        Writer w;
        w.u16(id);
        w.u16(sprite.frameCount());
        for (const Tag& t : sprite.tags()) writeTag(w, t);
        writeTag(w, Tag(TagCode::End, {}));
        return w.take();
    });
}

std::vector<uint8_t> Movie::bytes(Compression compression) const {
    Writer body;
    writeRect(body, stage_);
    body.u16(static_cast<uint16_t>(std::lround(frameRate_ * 256)));
    body.u16(frameCountOverride_ ? *frameCountOverride_ : frameCount());
    if (fileAttributes_) writeTag(body, *fileAttributes_);
    for (const Tag& t : tags()) writeTag(body, t);
    writeTag(body, Tag(TagCode::End, {}));
    std::vector<uint8_t> rest = body.take();

    Writer file;
    file.u8(compression == Compression::Zlib ? 'C' : 'F');
    file.u8('W');
    file.u8('S');
    file.u8(version_);
    if (rest.size() + 8 > 0xFFFFFFFFu) throw std::length_error("movie larger than 4 GB");
    file.u32(static_cast<uint32_t>(rest.size() + 8));  // the uncompressed length, header included
    file.bytes(compression == Compression::Zlib ? zlibCompress(rest) : rest);
    return file.take();
}

void Movie::save(const std::filesystem::path& path, Compression compression) const {
    std::vector<uint8_t> data = bytes(compression);
    std::filesystem::path temporary = path;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    std::filesystem::rename(temporary, path);
}

}  // namespace swfw
