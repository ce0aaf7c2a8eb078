// Decode conformance against the third-party corpus of tag and primitive byte strings with
// their expected values. Each case is compared on the fields our model keeps; the counts are
// printed, and a floor fails the test if they ever go down.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <sstream>

#include "core/ByteReader.h"
#include "decode/Decoder.h"
#include "decode/FontReader.h"
#include "decode/ButtonReader.h"
#include "decode/Primitives.h"
#include "decode/TextReader.h"
#include "support/Fixtures.h"
#include "support/Json.h"

namespace swf {
namespace {

namespace fs = std::filesystem;
using test::Json;

const fs::path kOpenFlashDb = fs::path(VELMORA_CORPUS) / "open-flash-db";

// What matched when these floors were last raised; raise them as the decoder improves.
constexpr int kTagFloor = 60;
constexpr int kPrimitiveFloor = 58;
constexpr int kMovieFloor = 4;

// Collects the differences of one case; a case matches when there are none.
struct Diff {
    std::vector<std::string> notes;
    template <class A, class B>
    void eq(const std::string& what, const A& actual, const B& expected) {
        if (!(actual == expected)) {
            std::ostringstream s;
            s << what << ": got " << actual << ", expected " << expected;
            notes.push_back(s.str());
        }
    }
    void check(const std::string& what, bool ok) { if (!ok) notes.push_back(what); }
};

std::string hex(std::span<const uint8_t> b) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (uint8_t v : b) { s += digits[v >> 4]; s += digits[v & 15]; }
    return s;
}

void compareRect(Diff& d, const std::string& what, const Rect& r, const Json& j) {
    d.eq(what + ".x_min", r.xMin, j["x_min"].asInt());
    d.eq(what + ".x_max", r.xMax, j["x_max"].asInt());
    d.eq(what + ".y_min", r.yMin, j["y_min"].asInt());
    d.eq(what + ".y_max", r.yMax, j["y_max"].asInt());
}

void compareMatrix(Diff& d, const std::string& what, const Matrix& m, const Json& j) {
    d.eq(what + ".scale_x", std::lround(m.a * 65536), j["scale_x"].asInt());
    d.eq(what + ".scale_y", std::lround(m.d * 65536), j["scale_y"].asInt());
    d.eq(what + ".rotate_skew0", std::lround(m.b * 65536), j["rotate_skew0"].asInt());
    d.eq(what + ".rotate_skew1", std::lround(m.c * 65536), j["rotate_skew1"].asInt());
    d.eq(what + ".translate_x", std::lround(m.tx), j["translate_x"].asInt());
    d.eq(what + ".translate_y", std::lround(m.ty), j["translate_y"].asInt());
}

void compareColor(Diff& d, const std::string& what, const Rgba& c, const Json& j) {
    d.eq(what + ".r", int(c.r), j["r"].asInt());
    d.eq(what + ".g", int(c.g), j["g"].asInt());
    d.eq(what + ".b", int(c.b), j["b"].asInt());
    if (j.has("a")) d.eq(what + ".a", int(c.a), j["a"].asInt());
}

// The absolute end points of every edge, in order, from the expected records.
std::vector<Point> expectedEdgeEnds(const Json& records) {
    std::vector<Point> ends;
    Point pen;
    for (const Json& r : records.items) {
        if (r["type"].string == "StyleChange" && r.has("move_to")) pen = {int32_t(r["move_to"]["x"].asInt()), int32_t(r["move_to"]["y"].asInt())};
        if (r["type"].string != "Edge") continue;
        pen.x += int32_t(r["delta"]["x"].asInt());
        pen.y += int32_t(r["delta"]["y"].asInt());
        ends.push_back(pen);
    }
    return ends;
}

std::vector<Point> edgeEnds(const ShapeDef& s) {
    std::vector<Point> ends;
    for (const Path& p : s.paths)
        for (const Segment& seg : p.segments) ends.push_back(seg.to);
    return ends;
}

void compareShapeRecords(Diff& d, const ShapeDef& shape, const Json& expectedShape) {
    auto expected = expectedEdgeEnds(expectedShape["records"]);
    auto actual = edgeEnds(shape);
    d.eq("edge count", actual.size(), expected.size());
    for (size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
        if (!(actual[i] == expected[i])) {
            d.notes.push_back("edge " + std::to_string(i) + " ends elsewhere");
            break;
        }
    size_t fills = expectedShape["initial_styles"]["fill"].size(), lines = expectedShape["initial_styles"]["line"].size();
    for (const Json& r : expectedShape["records"].items)
        if (r.has("new_styles")) {
            fills += r["new_styles"]["fill"].size();
            lines += r["new_styles"]["line"].size();
        }
    d.eq("fill styles", shape.fills.size(), fills);
    d.eq("line styles", shape.lines.size(), lines);
    const Json& initialFills = expectedShape["initial_styles"]["fill"];
    for (size_t i = 0; i < initialFills.size() && i < shape.fills.size(); ++i)
        if (initialFills[i]["type"].string == "Solid") compareColor(d, "fill " + std::to_string(i), shape.fills[i].color, initialFills[i]["color"]);
}

// A movie of the given version holding this one tag, decoded.
DecodeResult decodeAlone(const std::vector<uint8_t>& tagBytes, uint8_t version) {
    return decodeMovie(test::movie(test::concat({tagBytes, test::tag(0, {})}), version));
}

// The body of a tag given with its header.
std::span<const uint8_t> tagBody(const std::vector<uint8_t>& tagBytes) {
    ByteReader r(tagBytes);
    uint16_t header = r.u16();
    uint32_t length = header & 0x3F;
    if (length == 0x3F) length = r.u32();
    return r.bytes(std::min<size_t>(length, r.remaining()));
}

const ControlTag* firstControlTag(const MovieDef& m) {
    for (const Frame& f : m.timeline.frames)
        if (!f.tags.empty()) return &f.tags.front();
    return nullptr;
}

void compareTag(Diff& d, const std::string& type, const Json& v, const std::vector<uint8_t>& input, uint8_t version) {
    if (type == "RawBody") {
        // Malformed on purpose: the tag must be refused with a warning (unknown codes: skipped).
        DecodeResult r = decodeAlone(input, version);
        d.check("movie decodes", static_cast<bool>(r));
        if (r && tagName(static_cast<uint16_t>(v["code"].asInt())) != "Unknown") d.check("tag refused with a warning", !r.movie->warnings.empty());
        return;
    }
    DecodeResult r = decodeAlone(input, version);
    if (!r) { d.notes.push_back("movie not decoded: " + r.error.message); return; }
    const MovieDef& m = *r.movie;
    for (const auto& w : m.warnings) d.notes.push_back("warning: " + w.message);
    uint16_t id = static_cast<uint16_t>(v["id"].asInt());

    if (type == "DefineShape") {
        const ShapeDef* s = m.dictionary.get<ShapeDef>(id);
        if (!s) return d.notes.push_back("no shape");
        compareRect(d, "bounds", s->bounds, v["bounds"]);
        if (v.has("edge_bounds")) compareRect(d, "edge_bounds", s->edgeBounds, v["edge_bounds"]);
        d.eq("non-zero winding", s->nonZeroWinding, v["has_fill_winding"].boolean);
        compareShapeRecords(d, *s, v["shape"]);
    } else if (type == "DefineMorphShape") {
        const MorphShapeDef* s = m.dictionary.get<MorphShapeDef>(id);
        if (!s) return d.notes.push_back("no morph");
        compareRect(d, "bounds", s->start.bounds, v["bounds"]);
        compareRect(d, "morph_bounds", s->end.bounds, v["morph_bounds"]);
        auto expected = expectedEdgeEnds(v["shape"]["records"]);
        d.eq("edge count", edgeEnds(s->start).size(), expected.size());
        d.eq("end edge count", edgeEnds(s->end).size(), expected.size());
        d.eq("fill styles", s->start.fills.size(), v["shape"]["initial_styles"]["fill"].size());
    } else if (type == "DefineBitmap") {
        const BitmapDef* b = m.dictionary.get<BitmapDef>(id);
        if (!b) return d.notes.push_back("no bitmap");
        d.eq("width", b->width(), uint32_t(v["width"].asInt()));
        d.eq("height", b->height(), uint32_t(v["height"].asInt()));
        d.check("pixels decode: " + b->error(), b->image() != nullptr);
        if (b->image()) d.eq("pixel count", b->image()->pixels.size(), size_t(v["width"].asInt() * v["height"].asInt()));
    } else if (type == "DefineFont") {
        const FontDef* f = m.dictionary.get<FontDef>(id);
        if (!f) return d.notes.push_back("no font");
        d.eq("name", f->name, v["font_name"].string);
        d.eq("em square", f->emSquare(), v["em_square_size"].number);
        d.eq("bold", f->bold, v["is_bold"].boolean);
        d.eq("italic", f->italic, v["is_italic"].boolean);
        if (v.has("glyphs")) d.eq("glyphs", f->glyphs.size(), v["glyphs"].size());
        if (v.has("layout")) d.check("layout", f->layout.has_value());
    } else if (type == "DefineGlyphFont") {
        const FontDef* f = m.dictionary.get<FontDef>(id);
        if (!f) return d.notes.push_back("no font");
        d.eq("glyphs", f->glyphs.size(), v["glyphs"].size());
        for (size_t i = 0; i < f->glyphs.size() && i < v["glyphs"].size(); ++i) {
            auto expected = expectedEdgeEnds(v["glyphs"][i]["records"]);
            if (edgeEnds(f->glyphs[i]) != expected) { d.notes.push_back("glyph " + std::to_string(i) + " edges differ"); break; }
        }
    } else if (type == "DefineText") {
        const TextDef* t = m.dictionary.get<TextDef>(id);
        if (!t) return d.notes.push_back("no text");
        compareRect(d, "bounds", t->bounds, v["bounds"]);
        compareMatrix(d, "matrix", t->matrix, v["matrix"]);
        d.eq("records", t->records.size(), v["records"].size());
        for (size_t i = 0; i < t->records.size() && i < v["records"].size(); ++i) {
            const Json& er = v["records"][i];
            d.eq("record glyphs", t->records[i].glyphs.size(), er["entries"].size());
            if (er.has("font_id")) d.eq("font id", t->records[i].fontId.value_or(0), er["font_id"].asInt());
            for (size_t g = 0; g < t->records[i].glyphs.size() && g < er["entries"].size(); ++g) {
                d.eq("glyph index", int64_t(t->records[i].glyphs[g].index), er["entries"][g]["index"].asInt());
                d.eq("glyph advance", int64_t(t->records[i].glyphs[g].advance), er["entries"][g]["advance"].asInt());
            }
        }
    } else if (type == "DefineDynamicText") {
        const EditTextDef* e = m.dictionary.get<EditTextDef>(id);
        if (!e) return d.notes.push_back("no edit text");
        compareRect(d, "bounds", e->bounds, v["bounds"]);
        d.eq("readonly", e->readOnly, v["readonly"].boolean);
        d.eq("no_select", e->noSelect, v["no_select"].boolean);
        d.eq("html", e->html, v["html"].boolean);
        d.eq("outlines", e->useOutlines, v["use_glyph_font"].boolean);
        if (v.has("font_id")) d.eq("font id", e->fontId.value_or(0), v["font_id"].asInt());
        if (v.has("font_size")) d.eq("height", e->height.value_or(0), v["font_size"].asInt());
        if (v.has("variable_name")) d.eq("variable", e->variableName, v["variable_name"].string);
        if (v.has("text")) d.eq("text", e->initialText.value_or(""), v["text"].string);
    } else if (type == "PlaceObject") {
        const ControlTag* c = firstControlTag(m);
        const PlaceObject* p = c ? std::get_if<PlaceObject>(c) : nullptr;
        if (!p) return d.notes.push_back("no place object");
        d.eq("depth", p->depth, v["depth"].asInt());
        d.eq("move", p->move, v["is_update"].boolean);
        if (v.has("character_id")) d.eq("character", p->characterId.value_or(0), v["character_id"].asInt());
        if (v.has("matrix")) { d.check("matrix", p->matrix.has_value()); if (p->matrix) compareMatrix(d, "matrix", *p->matrix, v["matrix"]); }
        if (v.has("name")) d.eq("name", p->name.value_or(""), v["name"].string);
        if (v.has("ratio")) d.eq("ratio", p->ratio.value_or(0), v["ratio"].asInt());
        if (v.has("clip_depth")) d.eq("clip depth", p->clipDepth.value_or(0), v["clip_depth"].asInt());
        if (v.has("filters")) d.eq("filters", p->filters ? p->filters->size() : 0, v["filters"].size());
        d.eq("clip actions", p->clipActions.size(), v["clip_actions"].size());
        for (size_t i = 0; i < p->clipActions.size() && i < v["clip_actions"].size(); ++i) {
            const Json& ev = v["clip_actions"][i]["events"];
            d.eq("load event", bool(p->clipActions[i].events & ClipLoad), ev["load"].boolean);
            d.eq("enter frame event", bool(p->clipActions[i].events & ClipEnterFrame), ev["enter_frame"].boolean);
            d.eq("press event", bool(p->clipActions[i].events & ClipPress), ev["press"].boolean);
            d.eq("actions", hex(p->clipActions[i].actions.span()), v["clip_actions"][i]["actions"].string);
        }
    } else if (type == "DoAction") {
        const ControlTag* c = firstControlTag(m);
        const DoAction* a = c ? std::get_if<DoAction>(c) : nullptr;
        if (!a) return d.notes.push_back("no action");
        d.eq("actions", hex(a->actions.span()), v["actions"].string);
    } else if (type == "DefineSprite") {
        const SpriteDef* s = m.dictionary.get<SpriteDef>(id);
        if (!s) return d.notes.push_back("no sprite");
        d.eq("frame count", s->timeline.declaredFrameCount, v["frame_count"].asInt());
        size_t showFrames = 0, control = 0;
        for (const Json& t : v["tags"].items) {
            const std::string& tt = t["type"].string;
            if (tt == "ShowFrame") ++showFrames;
            else if (tt != "FrameLabel" && tt != "End") ++control;
        }
        size_t ours = 0;
        for (const Frame& f : s->timeline.frames) ours += f.tags.size();
        d.eq("frames", s->timeline.frames.size(), showFrames);
        d.eq("control tags", ours, control);
    } else if (type == "DefineButton") {
        const ButtonDef* b = m.dictionary.get<ButtonDef>(id);
        if (!b) return d.notes.push_back("no button");
        d.eq("track as menu", b->trackAsMenu, v["track_as_menu"].boolean);
        d.eq("records", b->records.size(), v["records"].size());
        for (size_t i = 0; i < b->records.size() && i < v["records"].size(); ++i) {
            const Json& er = v["records"][i];
            d.eq("character", b->records[i].characterId, er["character_id"].asInt());
            d.eq("depth", b->records[i].depth, er["depth"].asInt());
            d.eq("up", bool(b->records[i].states & ButtonUp), er["state_up"].boolean);
            d.eq("hit", bool(b->records[i].states & ButtonHitTest), er["state_hit_test"].boolean);
        }
        d.eq("actions", b->actions.size(), v["actions"].size());
    } else if (type == "StartSound") {
        const ControlTag* c = firstControlTag(m);
        const StartSound* s = c ? std::get_if<StartSound>(c) : nullptr;
        if (!s) return d.notes.push_back("no start sound");
        d.eq("sound", s->soundId, v["sound_id"].asInt());
        const Json& i = v["sound_info"];
        d.eq("sync stop", s->info.syncStop, i["sync_stop"].boolean);
        d.eq("no multiple", s->info.syncNoMultiple, i["sync_no_multiple"].boolean);
        if (i.has("loop_count")) d.eq("loops", s->info.loopCount, i["loop_count"].asInt());
        d.eq("envelope", s->info.envelope.size(), i["envelope_records"].size());
    } else if (type == "DefineSound") {
        const SoundDef* s = m.dictionary.get<SoundDef>(id);
        if (!s) return d.notes.push_back("no sound");
        d.eq("samples", s->sampleCount, uint32_t(v["sample_count"].asInt()));
        d.eq("stereo", s->format.stereo, v["sound_type"].string == "Stereo");
        d.eq("16 bit", s->format.is16Bit, v["sound_size"].asInt() == 16);
        d.eq("data", hex(s->data.span()), v["data"].string);
    } else if (type == "FrameLabel") {
        if (m.timeline.frames.empty() || m.timeline.frames[0].labels.empty()) return d.notes.push_back("no label");
        d.eq("name", m.timeline.frames[0].labels[0].name, v["name"].string);
        d.eq("anchor", m.timeline.frames[0].labels[0].anchor, v["is_anchor"].boolean);
    } else if (type == "ExportAssets") {
        d.eq("assets", m.exports.size(), v["assets"].size());
        for (const Json& a : v["assets"].items) {
            auto it = m.exports.find(a["name"].string);
            d.check("export " + a["name"].string, it != m.exports.end() && it->second == a["id"].asInt());
        }
    } else if (type == "Protect") {
        d.check("protected", m.isProtected);
    } else if (type == "ShowFrame") {
        d.eq("frames", m.timeline.frames.size(), size_t{1});
    } else if (type == "CsmTextSettings") {
        auto it = m.textSettings.find(static_cast<uint16_t>(v["text_id"].asInt()));
        if (it == m.textSettings.end()) return d.notes.push_back("no settings");
        d.eq("advanced", it->second.advancedAntiAliasing, v["renderer"].string == "Advanced");
        static const std::map<std::string, int> fits = {{"None", 0}, {"Pixel", 1}, {"SubPixel", 2}};
        d.eq("grid fit", int(it->second.gridFit), fits.at(v["fitting"].string));
        d.eq("thickness", it->second.thickness, float(v["thickness"].number));
    } else if (type == "DefineJpegTables") {
        d.check("no warning", m.warnings.empty());
    } else {
        d.notes.push_back("no comparison for " + type);
    }
}

// Tags that add to a character defined earlier: read directly onto an empty definition.
bool compareAdditiveTag(Diff& d, const std::string& type, const Json& v, const std::vector<uint8_t>& input) {
    auto body = tagBody(input);
    ByteReader r(body);
    try {
        if (type == "DefineFontInfo") {
            FontDef f;
            d.eq("font", r.u16(), v["font_id"].asInt());
            uint16_t code = input[0] >> 6 | input[1] << 2;
            readFontInfo(r, code == 62 ? 2 : 1, f);
            d.eq("name", f.name, v["font_name"].string);
            d.eq("bold", f.bold, v["is_bold"].boolean);
            d.eq("shift-jis", f.shiftJis, v["is_shift_jis"].boolean);
            std::vector<uint16_t> codes;
            for (const Json& c : v["code_units"].items) codes.push_back(static_cast<uint16_t>(c.asInt()));
            d.check("code units", f.codes == codes);
            return true;
        }
        if (type == "DefineFontAlignZones") {
            FontDef f;
            d.eq("font", r.u16(), v["font_id"].asInt());
            readFontAlignZones(r, f);
            static const std::map<std::string, int> hints = {{"Thin", 0}, {"Medium", 1}, {"Thick", 2}};
            d.eq("hint", int(f.csmTableHint), hints.at(v["csm_table_hint"].string));
            d.eq("zones", f.alignZones.size(), v["zones"].size());
            for (size_t i = 0; i < f.alignZones.size() && i < v["zones"].size(); ++i) {
                d.eq("zone left", f.alignZones[i].left, float(v["zones"][i]["data"][0]["origin"].number));
                d.eq("zone has x", f.alignZones[i].hasX, v["zones"][i]["has_x"].boolean);
            }
            return true;
        }
        if (type == "DefineFontName") {
            FontDef f;
            d.eq("font", r.u16(), v["font_id"].asInt());
            readFontName(r, f);
            d.eq("name", f.fullName, v["name"].string);
            d.eq("copyright", f.copyright, v["copyright"].string);
            return true;
        }
        if (type == "DefineButtonSound") {
            ButtonDef b;
            d.eq("button", r.u16(), v["button_id"].asInt());
            readButtonSounds(r, b);
            for (int i = 0; i < 4; ++i) {
                static const char* keys[] = {"over_up_to_idle", "idle_to_over_up", "over_up_to_over_down", "over_down_to_over_up"};
                if (v.has(keys[i])) d.eq(keys[i], b.sounds[i] ? b.sounds[i]->soundId : 0, v[keys[i]]["sound_id"].asInt());
                else d.check(std::string("no ") + keys[i], !b.sounds[i]);
            }
            return true;
        }
    } catch (const DecodeFailure& e) {
        d.notes.push_back(std::string("failed: ") + e.what());
        return true;
    }
    return false;
}

TEST(CorpusConformance, TagsMatchTheirExpectedValues) {
    fs::path root = kOpenFlashDb / "tags";
    if (!fs::exists(root)) GTEST_SKIP() << "corpus not found at " << root;
    std::map<std::string, std::pair<int, int>> byType;  // matched, total
    int matched = 0, total = 0, skipped = 0;
    std::vector<std::string> mismatches;
    for (const auto& group : fs::directory_iterator(root)) {
        for (const auto& c : fs::directory_iterator(group.path())) {
            Json v = Json::parse(test::readText((c.path() / "value.json").string()));
            std::string type = v["type"].string;
            if (type == "DoAbc" || type == "SymbolClass") {  // ActionScript 3: skipped by design
                ++skipped;
                continue;
            }
            auto input = test::readFile((c.path() / "input.bytes").string());
            std::smatch m;
            std::string name = c.path().filename().string();
            uint8_t version = std::regex_search(name, m, std::regex("swf(\\d+)")) ? static_cast<uint8_t>(std::stoi(m[1])) : 10;
            Diff d;
            if (!compareAdditiveTag(d, type, v, input)) compareTag(d, type, v, input, version);
            ++total;
            ++byType[type].second;
            if (d.notes.empty()) {
                ++matched;
                ++byType[type].first;
            } else {
                mismatches.push_back(group.path().filename().string() + "/" + name + ": " + d.notes.front());
            }
        }
    }
    for (const auto& [type, counts] : byType) std::printf("  %-22s %d/%d\n", type.c_str(), counts.first, counts.second);
    for (const auto& m : mismatches) std::printf("  mismatch %s\n", m.c_str());
    std::printf("tag conformance: %d of %d cases match (%d AVM2 cases skipped)\n", matched, total, skipped);
    EXPECT_GE(matched, kTagFloor) << "fewer corpus tags match than before";
}

TEST(CorpusConformance, PrimitivesMatchTheirExpectedValues) {
    fs::path root = kOpenFlashDb / "various";
    if (!fs::exists(root)) GTEST_SKIP() << "corpus not found at " << root;
    int matched = 0, total = 0;
    std::vector<std::string> mismatches;
    for (const auto& group : fs::directory_iterator(root)) {
        std::string kind = group.path().filename().string();
        for (const auto& c : fs::directory_iterator(group.path())) {
            Json v = Json::parse(test::readText((c.path() / "value.json").string()));
            auto input = test::readFile((c.path() / "input.bytes").string());
            ByteReader r(input);
            Diff d;
            try {
                if (kind == "rect") compareRect(d, "rect", readRect(r), v);
                else if (kind == "matrix") compareMatrix(d, "matrix", readMatrix(r), v);
                else if (kind == "uint32-leb128") d.eq("value", int64_t(r.encodedU32()), v.asInt());
                else if (kind == "float16-le") d.eq("value", double(r.float16()), v.number);
                else if (kind == "color-transform-with-alpha") {
                    ColorTransform cx = readColorTransformWithAlpha(r);
                    d.eq("red_mult", cx.rMult, v["red_mult"].asInt());
                    d.eq("alpha_mult", cx.aMult, v["alpha_mult"].asInt());
                    d.eq("alpha_add", cx.aAdd, v["alpha_add"].asInt());
                } else if (kind == "header") {
                    compareRect(d, "frame_size", readRect(r), v["frame_size"]);
                    d.eq("rate", r.u16(), v["frame_rate"].asInt());
                    d.eq("frames", r.u16(), v["frame_count"].asInt());
                } else if (kind == "swf-signature") {
                    DecodeResult res = decodeMovie(input);  // only the signature: a clear "ends inside its header"
                    d.check("signature refused as truncated", !res && res.error.kind == DecodeErrorKind::Truncated);
                    d.eq("version", int(input[3]), v["swf_version"].asInt());
                } else {
                    d.notes.push_back("no comparison for " + kind);
                }
            } catch (const DecodeFailure& e) {
                d.notes.push_back(e.what());
            }
            ++total;
            if (d.notes.empty()) ++matched;
            else mismatches.push_back(kind + "/" + c.path().filename().string() + ": " + d.notes.front());
        }
    }
    for (const auto& m : mismatches) std::printf("  mismatch %s\n", m.c_str());
    std::printf("primitive conformance: %d of %d cases match\n", matched, total);
    EXPECT_GE(matched, kPrimitiveFloor) << "fewer corpus primitives match than before";
}

TEST(CorpusConformance, MoviesMatchTheirParseTrees) {
    fs::path root = kOpenFlashDb / "movies";
    if (!fs::exists(root)) GTEST_SKIP() << "corpus not found at " << root;
    int matched = 0, total = 0;
    for (const auto& c : fs::directory_iterator(root)) {
        Json ast = Json::parse(test::readText((c.path() / "ast.json").string()));
        DecodeResult r = decodeMovie(test::readFile((c.path() / "main.swf").string()));
        Diff d;
        if (!r) {
            d.notes.push_back(r.error.message);
        } else {
            const MovieDef& m = *r.movie;
            const Json& h = ast["header"];
            d.eq("version", int(m.header.version), h["swf_version"].asInt());
            compareRect(d, "frame_size", m.header.frameSize, h["frame_size"]);
            d.eq("rate", m.header.frameRate88, h["frame_rate"].asInt());
            d.eq("frame count", m.header.frameCount, h["frame_count"].asInt());
            size_t showFrames = 0, definitions = 0;
            for (const Json& t : ast["tags"].items) {
                if (t["type"].string == "ShowFrame") ++showFrames;
                if (t.has("id") && t["type"].string.rfind("Define", 0) == 0) ++definitions;
            }
            d.eq("frames", m.timeline.frames.size(), showFrames);
            d.eq("characters", m.dictionary.size(), definitions);
            d.check("no warnings", m.warnings.empty());
        }
        ++total;
        if (d.notes.empty()) ++matched;
        else std::printf("  mismatch %s: %s\n", c.path().filename().string().c_str(), d.notes.front().c_str());
    }
    std::printf("movie conformance: %d of %d movies match\n", matched, total);
    EXPECT_GE(matched, kMovieFloor);
}

}  // namespace
}  // namespace swf
