#include "CorpusCase.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "Json.h"

namespace swf::tools {

namespace {

constexpr int kMaxFrames = 600;  // enough for every case; keeps a bad meta.json from running forever

std::string readText(const std::filesystem::path& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<ToleranceCheck> checksOf(const Json& config) {
    std::vector<ToleranceCheck> checks;
    auto one = [](const Json& c) {
        return ToleranceCheck{static_cast<int>(c["tolerance"].number(0)), static_cast<long>(c["max_outliers"].number(0))};
    };
    if (config["checks"].isArray())
        for (const Json& c : config["checks"].array()) checks.push_back(one(c));
    else
        checks.push_back(one(config));
    return checks;
}

InputEvent::Kind kindOf(const std::string& type) {
    if (type == "MouseMove") return InputEvent::Kind::MouseMove;
    if (type == "MouseDown") return InputEvent::Kind::MouseDown;
    if (type == "MouseUp") return InputEvent::Kind::MouseUp;
    if (type == "Wait") return InputEvent::Kind::Wait;
    return InputEvent::Kind::Other;
}

}  // namespace

std::string loadCorpusCase(const std::filesystem::path& dir, CorpusCase& out) {
    out = CorpusCase{};
    out.dir = dir;
    out.movie = dir / "test.swf";
    bool ok = false;
    std::string error;
    Json meta = Json::parse(readText(dir / "meta.json", ok), error);
    if (!ok) return "cannot read " + (dir / "meta.json").string();
    if (!error.empty()) return (dir / "meta.json").string() + ": " + error;

    out.swfVersion = static_cast<int>(meta["swf"]["version"].number(0));
    out.hasDoAction = meta["do_action_tags"].number(1) > 0;
    const Json& config = meta["config"];
    double frames = config["num_frames"].isNumber() ? config["num_frames"].number() : config["num_ticks"].number(1);
    out.frames = std::clamp(static_cast<int>(frames), 1, kMaxFrames);
    out.lowQuality = config["player_options"]["with_renderer"]["quality"].string() == "low";

    for (const auto& [name, cfg] : config["image_comparisons"].object()) {
        ExpectedImage image;
        image.name = name;
        image.file = dir / (name + ".expected.png");
        if (!std::filesystem::exists(image.file)) continue;
        image.trigger = cfg["trigger"].isNumber() ? static_cast<int>(cfg["trigger"].number()) : 0;
        image.checks = checksOf(cfg);
        image.knownFailure = cfg["known_failure"].boolean(false);
        out.images.push_back(std::move(image));
    }

    if (std::filesystem::exists(dir / "input.json")) {
        Json input = Json::parse(readText(dir / "input.json", ok), error);
        if (!error.empty()) return (dir / "input.json").string() + ": " + error;
        for (const Json& e : input.array()) {
            InputEvent event;
            event.kind = kindOf(e["type"].string());
            const auto& pos = e["pos"].array();
            if (pos.size() == 2) {
                event.x = pos[0].number();
                event.y = pos[1].number();
            }
            if (e["btn"].isString()) event.button = e["btn"].string();
            out.input.push_back(event);
        }
    }
    return {};
}

}  // namespace swf::tools
