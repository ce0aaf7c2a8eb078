#pragma once
// Builds movie definitions in code for player tests: shapes, sprites, buttons and frames of
// control tags, with no file format in between.
#include <memory>
#include <string>
#include <vector>

#include "model/Movie.h"
#include "player/ActionInterpreter.h"
#include "player/Host.h"

namespace swf::testing {

// A solid rectangle of w x h pixels at (x, y) pixels in its own coordinates.
inline std::shared_ptr<const ShapeDef> rectShape(int x, int y, int w, int h, Rgba color) {
    auto s = std::make_shared<ShapeDef>();
    FillStyle fill;
    fill.color = color;
    s->fills.push_back(fill);
    Path p;
    p.fill1 = 1;
    int x0 = x * 20, y0 = y * 20, x1 = (x + w) * 20, y1 = (y + h) * 20;
    p.start = {x0, y0};
    p.segments = {{{}, {x1, y0}}, {{}, {x1, y1}}, {{}, {x0, y1}}, {{}, {x0, y0}}};
    s->paths.push_back(p);
    s->bounds = s->edgeBounds = {x0, x1, y0, y1};
    return s;
}

// A right triangle with corners (x, y), (x + size, y), (x, y + size), in pixels.
inline std::shared_ptr<const ShapeDef> triangleShape(int x, int y, int size, Rgba color) {
    auto s = std::make_shared<ShapeDef>();
    FillStyle fill;
    fill.color = color;
    s->fills.push_back(fill);
    Path p;
    p.fill0 = 1;
    int x0 = x * 20, y0 = y * 20, d = size * 20;
    p.start = {x0, y0};
    p.segments = {{{}, {x0 + d, y0}}, {{}, {x0, y0 + d}}, {{}, {x0, y0}}};
    s->paths.push_back(p);
    s->bounds = s->edgeBounds = {x0, x0 + d, y0, y0 + d};
    return s;
}

inline PlaceObject place(uint16_t depth, uint16_t id, double tx = 0, double ty = 0) {
    PlaceObject p;
    p.version = 2;
    p.depth = depth;
    p.characterId = id;
    p.matrix = Matrix::translate(tx * 20, ty * 20);
    return p;
}

inline PlaceObject moveTo(uint16_t depth, double tx, double ty) {
    PlaceObject p;
    p.version = 2;
    p.depth = depth;
    p.move = true;
    p.matrix = Matrix::translate(tx * 20, ty * 20);
    return p;
}

inline DoAction actions(std::vector<uint8_t> bytes) { return DoAction{SharedBytes(std::move(bytes))}; }

// Action byte helpers.
inline std::vector<uint8_t> withStrings(uint8_t code, std::initializer_list<std::string> strings) {
    std::vector<uint8_t> payload;
    for (const auto& s : strings) {
        payload.insert(payload.end(), s.begin(), s.end());
        payload.push_back(0);
    }
    payload.insert(payload.begin(), {code, static_cast<uint8_t>(payload.size()), static_cast<uint8_t>(payload.size() >> 8)});
    return payload;
}
inline std::vector<uint8_t> gotoFrameBytes(uint16_t frame) {
    return {action::kGotoFrame, 2, 0, static_cast<uint8_t>(frame), static_cast<uint8_t>(frame >> 8)};
}
inline std::vector<uint8_t> fsCommand(const std::string& command, const std::string& args = "") {
    return withStrings(action::kGetUrl, {"FSCommand:" + command, args});
}
inline std::vector<uint8_t> join(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

class MovieBuilder {
public:
    explicit MovieBuilder(int width = 100, int height = 100) {
        movie_ = std::make_shared<MovieDef>();
        movie_->header.version = 3;
        movie_->header.frameSize = {0, width * 20, 0, height * 20};
        movie_->header.frameRate88 = 12 << 8;
    }
    MovieBuilder& define(uint16_t id, CharacterDef def) {
        movie_->dictionary.add(id, std::move(def));
        return *this;
    }
    // Appends a frame to the main timeline.
    MovieBuilder& frame(std::vector<ControlTag> tags, std::vector<std::string> labels = {}) {
        addFrame(movie_->timeline, std::move(tags), std::move(labels));
        return *this;
    }
    static void addFrame(Timeline& t, std::vector<ControlTag> tags, std::vector<std::string> labels = {}) {
        Frame f;
        f.tags = std::move(tags);
        for (auto& l : labels) f.labels.push_back({l, false});
        t.frames.push_back(std::move(f));
        t.declaredFrameCount = static_cast<uint16_t>(t.frames.size());
    }
    std::shared_ptr<const MovieDef> build() {
        movie_->header.frameCount = static_cast<uint16_t>(movie_->timeline.frames.size());
        return movie_;
    }
    MovieDef& def() { return *movie_; }

private:
    std::shared_ptr<MovieDef> movie_;
};

// A host that records what reaches it.
class RecordingHost : public Host {
public:
    void getUrl(const std::string& url, const std::string& target, UrlMethod) override {
        events.push_back("url " + url + " " + target);
    }
    void fsCommand(const std::string& command, const std::string& args) override {
        events.push_back("fs " + command + (args.empty() ? "" : " " + args));
    }
    void startSound(const SoundStart& s) override { events.push_back("sound " + std::to_string(s.soundId)); }
    void stopAllSounds() override { events.push_back("stop sounds"); }
    std::vector<std::string> events;
};

}  // namespace swf::testing
