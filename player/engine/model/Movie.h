#pragma once
// The immutable definition of a decoded movie: header, dictionary of characters and the
// main timeline. Shared between every instance that plays it.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "model/Bitmap.h"
#include "model/Button.h"
#include "model/ControlTags.h"
#include "model/Font.h"
#include "model/MorphShape.h"
#include "model/Shape.h"
#include "model/Sound.h"
#include "model/Text.h"

namespace swf {

enum class Compression : uint8_t { None, Zlib, Lzma };

struct MovieHeader {
    Compression compression = Compression::None;
    uint8_t version = 0;
    uint32_t fileLength = 0;  // uncompressed length the header declares, header included
    Rect frameSize;           // twips
    uint16_t frameRate88 = 0; // frames per second, 8.8 fixed
    uint16_t frameCount = 0;
    double frameRate() const { return frameRate88 / 256.0; }
};

struct FileAttributes {
    bool useDirectBlit = false, useGpu = false, hasMetadata = false, actionScript3 = false;
    bool noCrossDomainCache = false, useNetwork = false;
};

struct ScriptLimits {
    uint16_t maxRecursionDepth = 256;
    uint16_t timeoutSeconds = 15;
};

struct ImportAssets {
    std::string url;
    std::vector<std::pair<uint16_t, std::string>> assets;  // local id, exported name
};

using CharacterDef = std::variant<std::shared_ptr<const ShapeDef>, std::shared_ptr<const MorphShapeDef>,
                                  std::shared_ptr<const BitmapDef>, std::shared_ptr<const FontDef>,
                                  std::shared_ptr<const TextDef>, std::shared_ptr<const EditTextDef>,
                                  std::shared_ptr<const ButtonDef>, std::shared_ptr<const SpriteDef>,
                                  std::shared_ptr<const SoundDef>, std::shared_ptr<const VideoStreamDef>>;

class Dictionary {
public:
    const CharacterDef* find(uint16_t id) const {
        auto it = characters_.find(id);
        return it == characters_.end() ? nullptr : &it->second;
    }
    // The character of kind T with this id, or nullptr (absent or of another kind).
    template <class T>
    const T* get(uint16_t id) const {
        const CharacterDef* c = find(id);
        if (!c) return nullptr;
        auto* p = std::get_if<std::shared_ptr<const T>>(c);
        return p ? p->get() : nullptr;
    }
    template <class T>
    std::shared_ptr<const T> share(uint16_t id) const {
        const CharacterDef* c = find(id);
        if (!c) return nullptr;
        auto* p = std::get_if<std::shared_ptr<const T>>(c);
        return p ? *p : nullptr;
    }
    size_t size() const { return characters_.size(); }
    const std::unordered_map<uint16_t, CharacterDef>& all() const { return characters_; }

    // A second definition of an id is ignored, as players do; returns whether it was added.
    bool add(uint16_t id, CharacterDef def) { return characters_.emplace(id, std::move(def)).second; }

private:
    std::unordered_map<uint16_t, CharacterDef> characters_;
};

// Something the decoder could not read and skipped; the rest of the movie is still there.
struct DecodeWarning {
    size_t offset = 0;  // of the tag in the uncompressed file
    uint16_t tagCode = 0;
    std::string message;
};

struct MovieDef {
    MovieHeader header;
    std::optional<FileAttributes> fileAttributes;
    Dictionary dictionary;
    Timeline timeline;
    std::optional<Rgba> backgroundColor;  // the first SetBackgroundColor, for hosts that paint before playing
    std::map<std::string, uint16_t> exports;  // ExportAssets: name -> id
    // The main timeline's 0-based frame holding each export: scripts can attach a symbol only
    // once that frame has played.
    std::map<std::string, uint32_t> exportFrames;
    std::vector<ImportAssets> imports;
    std::unordered_map<uint16_t, Rect> scalingGrids;  // DefineScalingGrid: character id -> centre
    std::unordered_map<uint16_t, TextRenderSettings> textSettings;  // CSMTextSettings: text id
    std::string metadata;
    bool isProtected = false;
    std::optional<std::string> debuggerPasswordHash;
    std::optional<ScriptLimits> scriptLimits;

    // SWF 9+ with the ActionScript 3 flag: the AVM2 tags were skipped; the timeline can play
    // without scripts.
    bool actionScript3 = false;
    // Made by the player around a JPEG, PNG or GIF a script loaded into a clip: one frame
    // showing the picture, no scripts (getSWFVersion reads -1).
    bool loadedImage = false;
    // The file ended early (or its compressed stream did): what arrived is here.
    bool truncated = false;
    std::vector<DecodeWarning> warnings;
};

}  // namespace swf
