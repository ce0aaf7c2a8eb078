#pragma once
// A whole movie: header, definitions and the main timeline, written as an uncompressed
// ("FWS") or zlib-compressed ("CWS") file. Definitions get the next free character id
// and return it; control tags come from Timeline. Tags are written in the order they were
// added, so define a character before placing it.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Bitmaps.h"
#include "Button.h"
#include "Font.h"
#include "MorphShape.h"
#include "ShapeBuilder.h"
#include "Text.h"
#include "Timeline.h"

namespace swfw {

enum class Compression : uint8_t { None, Zlib };

// A sprite's own timeline; becomes a character through Movie::defineSprite.
class Sprite : public Timeline {};

struct FileAttributes {
    bool useNetwork = false, hasMetadata = false, actionScript3 = false, useGpu = false, useDirectBlit = false;
};

class Movie : public Timeline {
public:
    // Stage in twips; frame rate in frames per second (8.8 fixed point in the file).
    Movie(uint8_t version, const swf::Rect& stage, double frameRate);
    // Stage of width x height pixels at the origin.
    static Movie pixels(uint8_t version, int width, int height, double frameRate);

    uint8_t version() const { return version_; }
    // The frame count written in the header; by default the number of ShowFrame tags.
    // Overriding it makes deliberately inconsistent files.
    void overrideFrameCount(uint16_t frames) { frameCountOverride_ = frames; }

    // Written as the first tag, wherever it is set.
    Movie& fileAttributes(const FileAttributes& attributes);
    Movie& metadata(const std::string& xml);
    Movie& backgroundColor(swf::Rgba color);
    // Protect: without a password, or with its MD5-crypt text (SWF 5 and later).
    Movie& protect(const std::optional<std::string>& passwordHash = std::nullopt);
    Movie& exportAssets(const std::vector<std::pair<uint16_t, std::string>>& assets);
    Movie& jpegTables(const std::vector<uint8_t>& tables);

    // Shape version 1..4, or 0 for the oldest that can express the shape.
    uint16_t defineShape(const ShapeBuilder& shape, int shapeVersion = 0);
    uint16_t defineMorphShape(const MorphShape& morph, int version = 1);
    uint16_t defineBitsLossless(const Image& image, int version = 2, LosslessFormat format = LosslessFormat::Rgb32);
    uint16_t defineBitsJpeg2(const Image& image, int quality = 85);
    uint16_t defineBitsJpeg3(const Image& image, int quality = 85);
    // DefineBits with the movie's JPEGTables, which this writes once, before the first use.
    uint16_t defineBits(const Image& image, int quality = 85);
    uint16_t defineFont(const Font& font);  // DefineFont + DefineFontInfo
    uint16_t defineFont2(const Font& font, int version = 2);
    uint16_t defineText(const StaticText& text, int version = 1);
    uint16_t defineEditText(const EditText& field);
    uint16_t defineButton(const Button& button);
    uint16_t defineButton2(const Button& button);
    Movie& buttonColorTransform(uint16_t button, const swf::ColorTransform& transform);
    uint16_t defineSprite(const Sprite& sprite);
    // Reserves an id for a definition written through raw().
    uint16_t reserveId();

    std::vector<uint8_t> bytes(Compression compression = Compression::None) const;
    // Writes through a temporary file and renames it, so a failed write leaves no half file.
    void save(const std::filesystem::path& path, Compression compression = Compression::None) const;

private:
    // Encodes with the next free id and takes the id only when encoding succeeded, so a
    // refused definition leaves the movie as it was.
    uint16_t define(TagCode code, const std::function<std::vector<uint8_t>(uint16_t)>& encode);

    uint8_t version_;
    swf::Rect stage_;
    double frameRate_;
    std::optional<uint16_t> frameCountOverride_;
    std::optional<Tag> fileAttributes_;
    uint16_t nextId_ = 1;
    std::optional<std::vector<uint8_t>> jpegTablesWritten_;
};

}  // namespace swfw
