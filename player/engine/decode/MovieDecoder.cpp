// The tag loop: reads the header, unpacks the body and hands every tag to its reader, building
// the dictionary and the timelines. A tag that fails to read is skipped with a warning; only a
// file that is not a movie at all is an error.
#include <algorithm>
#include <cstring>
#include <sstream>

#include "core/Inflate.h"
#include "decode/BitmapReader.h"
#include "decode/ButtonReader.h"
#include "decode/Decoder.h"
#include "decode/DisplayListReader.h"
#include "decode/FontReader.h"
#include "decode/Primitives.h"
#include "decode/ShapeReader.h"
#include "decode/SoundReader.h"
#include "decode/TagContext.h"
#include "decode/TextReader.h"

namespace swf {
namespace {

// The most decompressed bytes we accept: a movie bigger than this is a bomb or a mistake,
// and a 32-bit process could not hold its bitmaps anyway.
constexpr size_t kMaxMovieBytes = size_t{256} << 20;

enum Tag : uint16_t {
    End = 0, ShowFrame = 1, DefineShape = 2, PlaceObject1 = 4, RemoveObject1 = 5, DefineBits = 6, DefineButton = 7,
    JpegTables = 8, SetBackgroundColorTag = 9, DefineFont = 10, DefineText = 11, DoActionTag = 12,
    DefineFontInfo = 13, DefineSound = 14, StartSoundTag = 15, DefineButtonSound = 17, SoundStreamHeadTag = 18,
    SoundStreamBlockTag = 19, DefineBitsLossless = 20, DefineBitsJpeg2 = 21, DefineShape2 = 22,
    DefineButtonCxform = 23, Protect = 24, PlaceObject2 = 26, RemoveObject2 = 28, DefineShape3 = 32,
    DefineText2 = 33, DefineButton2 = 34, DefineBitsJpeg3 = 35, DefineBitsLossless2 = 36, DefineEditText = 37,
    DefineSprite = 39, FrameLabelTag = 43, SoundStreamHead2 = 45, DefineMorphShape = 46, DefineFont2 = 48,
    ExportAssets = 56, ImportAssets1 = 57, EnableDebugger = 58, DoInitActionTag = 59, DefineVideoStream = 60,
    VideoFrameTag = 61, DefineFontInfo2 = 62, EnableDebugger2 = 64, ScriptLimitsTag = 65, SetTabIndexTag = 66,
    FileAttributesTag = 69, PlaceObject3 = 70, ImportAssets2 = 71, DoAbcDefine = 72, DefineFontAlignZones = 73,
    CsmTextSettings = 74, DefineFont3 = 75, SymbolClass = 76, Metadata = 77, DefineScalingGrid = 78, DoAbc = 82,
    DefineShape4 = 83, DefineMorphShape2 = 84, DefineSceneAndFrameLabelData = 86, DefineBinaryData = 87,
    DefineFontName = 88, StartSound2 = 89, DefineBitsJpeg4 = 90, DefineFont4 = 91,
};

bool isAvm2Tag(uint16_t code) {
    return code == DoAbc || code == DoAbcDefine || code == SymbolClass || code == DefineSceneAndFrameLabelData ||
           code == DefineBinaryData || code == DefineFont4;
}

// Tags a sprite's own timeline may hold; anything else inside a sprite is ignored, as players do.
bool allowedInSprite(uint16_t code) {
    switch (code) {
    case End: case ShowFrame: case PlaceObject1: case PlaceObject2: case PlaceObject3: case RemoveObject1:
    case RemoveObject2: case StartSoundTag: case StartSound2: case FrameLabelTag: case SoundStreamHeadTag:
    case SoundStreamHead2: case SoundStreamBlockTag: case DoActionTag: case VideoFrameTag: case SetTabIndexTag:
        return true;
    default:
        return false;
    }
}

// Key fields of a tag for observers; costs nothing when no one listens.
class Summary {
public:
    explicit Summary(bool enabled) : enabled_(enabled) {}
    template <class... Args>
    void add(const Args&... args) {
        if (!enabled_) return;
        if (!text_.empty()) text_ += ' ';
        std::ostringstream s;
        (s << ... << args);
        text_ += s.str();
    }
    const std::string& text() const { return text_; }
    void set(std::string t) { if (enabled_) text_ = std::move(t); }

private:
    bool enabled_;
    std::string text_;
};

class MovieBuilder {
public:
    MovieBuilder(MovieDef& movie, TagContext ctx, const DecodeOptions& options)
        : movie_(movie), ctx_(std::move(ctx)), options_(options) {}

    // Reads tags into `timeline` until End or the end of the data.
    void decodeTimeline(ByteReader& r, Timeline& timeline, int nesting) {
        Frame pending;
        bool ended = false;
        while (!r.atEnd()) {
            size_t offset = r.position() + baseOffset_;
            if (r.remaining() < 2) {
                if (nesting == 0) truncate(offset, 0, "a tag header is cut off");
                break;
            }
            uint16_t header = r.u16();
            uint16_t code = header >> 6;
            uint32_t length = header & 0x3F;
            if (length == 0x3F) {
                if (r.remaining() < 4) {
                    if (nesting == 0) truncate(offset, code, "a tag header is cut off");
                    break;
                }
                length = r.u32();
            }
            if (length > r.remaining()) {
                std::string what = std::string(tagName(code)) + " declares " + std::to_string(length) + " bytes, " +
                                   std::to_string(r.remaining()) + " remain";
                // Inside a sprite the sprite's own length is at fault, not the file's end.
                if (nesting > 0)
                    movie_.warnings.push_back({offset, code, "tag runs past its sprite: " + what});
                else
                    truncate(offset, code, what);
                break;
            }
            size_t bodyStart = r.position();
            ByteReader body = r.sub(length);
            Summary summary(static_cast<bool>(options_.onTag));
            bool failed = false;
            if (code == End) {
                ended = true;
            } else if (nesting > 0 && !allowedInSprite(code)) {
                summary.add("(ignored inside a sprite)");
            } else {
                try {
                    decodeTag(code, body, offset, bodyStart, timeline, pending, nesting, summary);
                } catch (const DecodeFailure& e) {
                    failed = true;
                    movie_.warnings.push_back({offset, code, std::string(tagName(code)) + ": " + e.what()});
                    summary.set(e.what());
                }
            }
            // A sprite announces itself before its own tags; only a failure before that is reported here.
            bool announced = code == DefineSprite && spriteAnnounced_;
            spriteAnnounced_ = false;
            if (options_.onTag && !announced)
                options_.onTag(TagEvent{nesting, code, offset, length, tagName(code), summary.text(), failed});
            if (ended) break;
        }
        bool complete = ended || !movie_.truncated;
        bool partFrame = !pending.tags.empty() || !pending.labels.empty();
        if (complete && partFrame) timeline.frames.push_back(std::move(pending));
        // A sprite whose tags stop without End, or with a frame that no ShowFrame closes, plays
        // its frames once and stays on the last, as one still arriving would.
        if (nesting > 0 && (!ended || partFrame)) timeline.stopsAtEnd = true;
    }

    void setBaseOffset(size_t base) { baseOffset_ = base; }

private:
    void truncate(size_t offset, uint16_t code, std::string message) {
        movie_.truncated = true;
        movie_.warnings.push_back({offset, code, "file ends early: " + message});
    }

    void define(uint16_t id, CharacterDef def, Summary& summary) {
        summary.add("id=", id);
        if (!movie_.dictionary.add(id, std::move(def))) summary.add("(id already defined: ignored)");
    }

    template <class T>
    T* findMutable(std::unordered_map<uint16_t, std::shared_ptr<T>>& map, uint16_t id, const char* what) {
        auto it = map.find(id);
        if (it == map.end()) fail(std::string("no ") + what + " with id " + std::to_string(id));
        return it->second.get();
    }

    void decodeTag(uint16_t code, ByteReader& r, size_t tagOffset, size_t bodyStart, Timeline& timeline, Frame& pending,
                   int nesting, Summary& s) {
        switch (code) {
        case ShowFrame:
            timeline.frames.push_back(std::move(pending));
            pending = {};
            s.add("frame ", timeline.frames.size());
            break;

        case DefineShape: case DefineShape2: case DefineShape3: case DefineShape4: {
            int version = code == DefineShape ? 1 : code == DefineShape2 ? 2 : code == DefineShape3 ? 3 : 4;
            uint16_t id = r.u16();
            auto shape = std::make_shared<ShapeDef>(readShapeDefinition(r, version));
            s.add("fills=", shape->fills.size(), " lines=", shape->lines.size(), " paths=", shape->paths.size());
            define(id, std::shared_ptr<const ShapeDef>(shape), s);
            break;
        }
        case DefineMorphShape: case DefineMorphShape2: {
            uint16_t id = r.u16();
            auto morph = std::make_shared<MorphShapeDef>(readMorphShapeDefinition(r, code == DefineMorphShape ? 1 : 2));
            s.add("fills=", morph->start.fills.size(), " lines=", morph->start.lines.size(), " paths=", morph->start.paths.size());
            define(id, std::shared_ptr<const MorphShapeDef>(morph), s);
            break;
        }

        case JpegTables:
            jpegTables_ = ctx_.share(r.rest());
            s.add(jpegTables_.size(), " bytes");
            break;
        case DefineBits: case DefineBitsJpeg2: case DefineBitsJpeg3: case DefineBitsJpeg4:
        case DefineBitsLossless: case DefineBitsLossless2: {
            uint16_t id = r.u16();
            std::shared_ptr<BitmapDef> bitmap =
                code == DefineBits            ? readDefineBits(r, jpegTables_, ctx_)
                : code == DefineBitsLossless  ? readDefineBitsLossless(r, 1, ctx_)
                : code == DefineBitsLossless2 ? readDefineBitsLossless(r, 2, ctx_)
                : readDefineBitsJpeg(r, code == DefineBitsJpeg2 ? 2 : code == DefineBitsJpeg3 ? 3 : 4, ctx_);
            static constexpr const char* formats[] = {"jpeg", "png", "gif", "lossless"};
            s.add(formats[static_cast<int>(bitmap->format())], " ", bitmap->width(), "x", bitmap->height());
            define(id, std::shared_ptr<const BitmapDef>(bitmap), s);
            break;
        }

        case DefineFont: case DefineFont2: case DefineFont3: {
            uint16_t id = r.u16();
            auto font = std::make_shared<FontDef>(code == DefineFont ? readDefineFont(r) : readDefineFont2(r, code == DefineFont2 ? 2 : 3));
            s.add("\"", font->name, "\" glyphs=", font->glyphs.size());
            fonts_[id] = font;
            define(id, std::shared_ptr<const FontDef>(font), s);
            break;
        }
        case DefineFontInfo: case DefineFontInfo2: {
            uint16_t id = r.u16();
            FontDef* font = findMutable(fonts_, id, "font");
            readFontInfo(r, code == DefineFontInfo ? 1 : 2, *font);
            s.add("font=", id, " \"", font->name, "\" codes=", font->codes.size());
            break;
        }
        case DefineFontAlignZones: {
            uint16_t id = r.u16();
            readFontAlignZones(r, *findMutable(fonts_, id, "font"));
            s.add("font=", id);
            break;
        }
        case DefineFontName: {
            uint16_t id = r.u16();
            FontDef* font = findMutable(fonts_, id, "font");
            readFontName(r, *font);
            s.add("font=", id, " \"", font->fullName, "\"");
            break;
        }
        case DefineText: case DefineText2: {
            uint16_t id = r.u16();
            auto text = std::make_shared<TextDef>(readDefineText(r, code == DefineText ? 1 : 2));
            s.add("records=", text->records.size());
            define(id, std::shared_ptr<const TextDef>(text), s);
            break;
        }
        case DefineEditText: {
            uint16_t id = r.u16();
            auto edit = std::make_shared<EditTextDef>(readDefineEditText(r));
            s.add("var=\"", edit->variableName, "\"");
            define(id, std::shared_ptr<const EditTextDef>(edit), s);
            break;
        }
        case CsmTextSettings: {
            uint16_t id = r.u16();
            movie_.textSettings[id] = readTextSettings(r);
            s.add("text=", id);
            break;
        }

        case DefineButton: case DefineButton2: {
            uint16_t id = r.u16();
            auto button = std::make_shared<ButtonDef>(readDefineButton(r, code == DefineButton ? 1 : 2, ctx_));
            s.add("records=", button->records.size(), " actions=", button->actions.size());
            buttons_[id] = button;
            define(id, std::shared_ptr<const ButtonDef>(button), s);
            break;
        }
        case DefineButtonCxform: {
            uint16_t id = r.u16();
            readButtonColorTransform(r, *findMutable(buttons_, id, "button"));
            s.add("button=", id);
            break;
        }
        case DefineButtonSound: {
            uint16_t id = r.u16();
            readButtonSounds(r, *findMutable(buttons_, id, "button"));
            s.add("button=", id);
            break;
        }

        case DefineSprite: {
            uint16_t id = r.u16();
            auto sprite = std::make_shared<SpriteDef>();
            sprite->timeline.declaredFrameCount = r.u16();
            s.add("frames=", sprite->timeline.declaredFrameCount);
            define(id, std::shared_ptr<const SpriteDef>(sprite), s);
            if (options_.onTag) options_.onTag(TagEvent{nesting, code, tagOffset, r.size(), tagName(code), s.text(), false});
            ByteReader inner = r.sub(r.remaining());
            size_t savedBase = baseOffset_;
            baseOffset_ += bodyStart + 4;
            decodeTimeline(inner, sprite->timeline, nesting + 1);
            baseOffset_ = savedBase;
            spriteAnnounced_ = true;
            break;
        }

        case DefineSound: {
            uint16_t id = r.u16();
            auto sound = std::make_shared<SoundDef>(readDefineSound(r, ctx_));
            s.add("codec=", int(sound->format.codec), " rate=", sound->format.sampleRate(), " samples=", sound->sampleCount);
            define(id, std::shared_ptr<const SoundDef>(sound), s);
            break;
        }
        case DefineVideoStream: {
            uint16_t id = r.u16();
            auto video = std::make_shared<VideoStreamDef>(readDefineVideoStream(r));
            s.add(video->width, "x", video->height, " frames=", video->frameCount, " codec=", int(video->codec));
            define(id, std::shared_ptr<const VideoStreamDef>(video), s);
            break;
        }

        // ---- control tags ----
        case PlaceObject1: case PlaceObject2: case PlaceObject3: {
            PlaceObject p = readPlaceObject(r, code == PlaceObject1 ? 1 : code == PlaceObject2 ? 2 : 3, ctx_);
            s.add("depth=", p.depth);
            if (p.characterId) s.add("id=", *p.characterId);
            if (p.move) s.add("move");
            if (p.name) s.add("name=\"", *p.name, "\"");
            if (p.clipDepth) s.add("clip=", *p.clipDepth);
            if (!p.clipActions.empty()) s.add("clipactions=", p.clipActions.size());
            pending.tags.push_back(std::move(p));
            break;
        }
        case RemoveObject1: case RemoveObject2: {
            RemoveObject o = readRemoveObject(r, code == RemoveObject1 ? 1 : 2);
            s.add("depth=", o.depth);
            pending.tags.push_back(o);
            break;
        }
        case DoActionTag:
            s.add(r.remaining(), " bytes");
            pending.tags.push_back(DoAction{ctx_.share(r.rest())});
            break;
        case DoInitActionTag: {
            uint16_t sprite = r.u16();
            s.add("sprite=", sprite, " ", r.remaining(), " bytes");
            pending.tags.push_back(DoInitAction{sprite, ctx_.share(r.rest())});
            break;
        }
        case StartSoundTag: case StartSound2: {
            StartSound st = readStartSound(r, code == StartSoundTag ? 1 : 2);
            s.add("sound=", st.soundId);
            pending.tags.push_back(std::move(st));
            break;
        }
        case SoundStreamHeadTag: case SoundStreamHead2: {
            SoundStreamHead h = readSoundStreamHead(r, code == SoundStreamHeadTag ? 1 : 2);
            s.add("codec=", int(h.stream.codec), " rate=", h.stream.sampleRate(), " samples/frame=", h.samplesPerFrame);
            pending.tags.push_back(h);
            break;
        }
        case SoundStreamBlockTag:
            s.add(r.remaining(), " bytes");
            pending.tags.push_back(SoundStreamBlock{ctx_.share(r.rest())});
            break;
        case VideoFrameTag: {
            VideoFrame v;
            v.streamId = r.u16();
            v.frameNumber = r.u16();
            v.data = ctx_.share(r.rest());
            s.add("stream=", v.streamId, " frame=", v.frameNumber);
            pending.tags.push_back(std::move(v));
            break;
        }
        case SetBackgroundColorTag: {
            Rgba c = readRgb(r);
            if (!movie_.backgroundColor && nesting == 0) movie_.backgroundColor = c;
            s.add("#", std::hex, (c.r << 16 | c.g << 8 | c.b));
            pending.tags.push_back(SetBackgroundColor{c});
            break;
        }
        case SetTabIndexTag: {
            SetTabIndex t;
            t.depth = r.u16();
            t.tabIndex = r.u16();
            s.add("depth=", t.depth, " index=", t.tabIndex);
            pending.tags.push_back(t);
            break;
        }
        case FrameLabelTag: {
            FrameLabel label;
            label.name = r.string();
            label.anchor = !r.atEnd() && r.u8() == 1;
            s.add("\"", label.name, "\"", label.anchor ? " anchor" : "");
            pending.labels.push_back(std::move(label));
            break;
        }

        // ---- movie-wide facts ----
        case FileAttributesTag: {
            uint8_t flags = r.u8();
            FileAttributes a;
            a.useDirectBlit = flags & 0x40;
            a.useGpu = flags & 0x20;
            a.hasMetadata = flags & 0x10;
            a.actionScript3 = flags & 0x08;
            a.noCrossDomainCache = flags & 0x04;
            a.useNetwork = flags & 0x01;
            movie_.fileAttributes = a;
            if (a.actionScript3 && ctx_.swfVersion >= 9) movie_.actionScript3 = true;
            s.add(a.actionScript3 ? "as3" : "as1/2", a.useNetwork ? " network" : "", a.hasMetadata ? " metadata" : "");
            break;
        }
        case Metadata:
            movie_.metadata = r.string();
            s.add(movie_.metadata.size(), " bytes");
            break;
        case Protect:
            movie_.isProtected = true;
            break;
        case EnableDebugger: case EnableDebugger2:
            if (code == EnableDebugger2) r.u16();
            movie_.debuggerPasswordHash = r.atEnd() ? std::string{} : r.string();
            break;
        case ScriptLimitsTag: {
            ScriptLimits l;
            l.maxRecursionDepth = r.u16();
            l.timeoutSeconds = r.u16();
            movie_.scriptLimits = l;
            s.add("recursion=", l.maxRecursionDepth, " timeout=", l.timeoutSeconds);
            break;
        }
        case ExportAssets: {
            uint16_t count = r.u16();
            for (uint16_t i = 0; i < count; ++i) {
                uint16_t id = r.u16();
                std::string name = r.string();
                s.add(id, "=\"", name, "\"");
                // A name exported again names the later character (attachMovie finds that one).
                movie_.exportFrames.insert_or_assign(name, static_cast<uint32_t>(timeline.frames.size()));
                movie_.exports.insert_or_assign(std::move(name), id);
            }
            break;
        }
        case ImportAssets1: case ImportAssets2: {
            ImportAssets imports;
            imports.url = r.string();
            if (code == ImportAssets2) r.u16();  // two reserved bytes
            uint16_t count = r.u16();
            for (uint16_t i = 0; i < count; ++i) {
                uint16_t id = r.u16();
                imports.assets.emplace_back(id, r.string());
            }
            s.add("\"", imports.url, "\" assets=", imports.assets.size());
            movie_.imports.push_back(std::move(imports));
            break;
        }
        case DefineScalingGrid: {
            uint16_t id = r.u16();
            movie_.scalingGrids[id] = readRect(r);
            s.add("id=", id);
            break;
        }

        default:
            if (isAvm2Tag(code)) {
                if (ctx_.swfVersion >= 9) movie_.actionScript3 = true;
                s.add("(ActionScript 3: skipped)");
            } else {
                s.add("(skipped)");
            }
            break;
        }
    }

    MovieDef& movie_;
    TagContext ctx_;
    const DecodeOptions& options_;
    size_t baseOffset_ = 0;
    bool spriteAnnounced_ = false;
    SharedBytes jpegTables_;
    std::unordered_map<uint16_t, std::shared_ptr<FontDef>> fonts_;
    std::unordered_map<uint16_t, std::shared_ptr<ButtonDef>> buttons_;
};

DecodeResult failure(DecodeErrorKind kind, std::string message) {
    DecodeResult result;
    result.error = {kind, std::move(message)};
    return result;
}

}  // namespace

DecodeResult decodeMovie(std::span<const uint8_t> bytes, const DecodeOptions& options) {
    if (bytes.size() < 3 || std::memcmp(bytes.data() + 1, "WS", 2) != 0 ||
        (bytes[0] != 'F' && bytes[0] != 'C' && bytes[0] != 'Z'))
        return failure(DecodeErrorKind::NotSwf, "not a Flash movie (no FWS/CWS signature)");
    if (bytes[0] == 'Z') return failure(DecodeErrorKind::Unsupported, "LZMA-compressed movies (ZWS) are not supported");
    if (bytes.size() < 8) return failure(DecodeErrorKind::Truncated, "the movie ends inside its header");

    auto movie = std::make_shared<MovieDef>();
    MovieHeader& h = movie->header;
    h.compression = bytes[0] == 'C' ? Compression::Zlib : Compression::None;
    h.version = bytes[3];
    h.fileLength = uint32_t{bytes[4]} | uint32_t{bytes[5]} << 8 | uint32_t{bytes[6]} << 16 | uint32_t{bytes[7]} << 24;

    // One buffer with the file as if it were uncompressed, so offsets match the file's own.
    std::vector<uint8_t> file;
    if (h.compression == Compression::Zlib) {
        size_t expected = h.fileLength > 8 ? h.fileLength - 8 : 0;
        InflateResult body = inflateZlib(bytes.subspan(8), expected, kMaxMovieBytes);
        if (body.data.empty() && !body.complete) {
            if (body.inputEnded) return failure(DecodeErrorKind::Truncated, "the movie ends inside its header");
            return failure(DecodeErrorKind::Corrupt, "the compressed movie cannot be read: " + body.error);
        }
        if (!body.complete) {
            movie->truncated = true;
            movie->warnings.push_back({8, 0, "compressed stream ends early: " + body.error});
        }
        // Exactly the room it needs: the movie keeps this buffer as long as it is shown.
        file.reserve(8 + body.data.size());
        file.assign(bytes.begin(), bytes.begin() + 8);
        file.insert(file.end(), body.data.begin(), body.data.end());
    } else {
        file.assign(bytes.begin(), bytes.end());
        if (bytes.size() < h.fileLength) {
            movie->truncated = true;
            movie->warnings.push_back({bytes.size(), 0, "file ends early: " + std::to_string(bytes.size()) + " of " +
                                                            std::to_string(h.fileLength) + " bytes"});
        }
    }
    size_t headerEnd = 0;
    try {
        ByteReader header(file);
        header.skip(8);
        h.frameSize = readRect(header);
        h.frameRate88 = header.u16();
        h.frameCount = header.u16();
        headerEnd = header.position();
    } catch (const DecodeFailure&) {
        return failure(DecodeErrorKind::Truncated, "the movie ends inside its header");
    }
    // The runtime reads no tag past the length the header declares, however many bytes the
    // file holds: a header declaring too little leaves the later frames unloaded for good
    // (one declaring less than the header itself, every frame).
    bool cutByHeader = file.size() > h.fileLength;
    if (cutByHeader) file.resize(std::max<size_t>(h.fileLength, headerEnd));
    auto buffer = std::make_shared<const std::vector<uint8_t>>(std::move(file));
    ByteReader r(*buffer);
    r.skip(headerEnd);
    movie->timeline.declaredFrameCount = h.frameCount;

    TagContext ctx{h.version, buffer};
    MovieBuilder builder(*movie, ctx, options);
    try {
        builder.decodeTimeline(r, movie->timeline, 0);
    } catch (const std::bad_alloc&) {
        return failure(DecodeErrorKind::Corrupt, "not enough memory to decode the movie");
    }

    // Cut between two tags, the frames left out are still missing: the movie waits for them.
    if (cutByHeader && !movie->truncated && movie->timeline.frames.size() < h.frameCount) {
        movie->truncated = true;
        movie->warnings.push_back({h.fileLength, 0, "the header's length leaves out frames the movie declares"});
    }

    DecodeResult result;
    result.movie = std::move(movie);
    return result;
}

}  // namespace swf
