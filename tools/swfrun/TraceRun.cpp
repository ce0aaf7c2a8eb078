#include "TraceRun.h"

#include <fstream>
#include <sstream>

#include "Json.h"
#include "decode/Decoder.h"
#include "player/Host.h"
#include "player/Player.h"

namespace swf::tools {

namespace {

class TraceHost final : public Host {
public:
    TraceHost(TraceRunResult& result, std::filesystem::path folder) : result_(result), folder_(std::move(folder)) {}
    // Relative URLs name files beside the movie (a query is ignored); there is no network.
    std::optional<std::vector<uint8_t>> fetch(const UrlRequest& request) override {
        std::string path = request.url.substr(0, request.url.find('?'));
        if (path.empty() || path.find("://") != std::string::npos || path.front() == '/') return std::nullopt;
        for (const auto& part : std::filesystem::path(path))
            if (part == "..") return std::nullopt;  // nothing outside the movie's folder
        std::ifstream in(folder_ / path, std::ios::binary);
        if (!in) return std::nullopt;
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    void trace(const std::string& line) override {
        // One output line per line of text: a traced string may hold line breaks, and a lone
        // carriage return (what text fields hold) is one too, as in the runtime's log.
        std::string current;
        for (size_t i = 0; i < line.size(); ++i) {
            char c = line[i];
            if (c == '\r' && i + 1 < line.size() && line[i + 1] == '\n') continue;
            if (c == '\n' || c == '\r') {
                result_.lines.push_back(current);
                current.clear();
            } else {
                current += c;
            }
        }
        result_.lines.push_back(current);
    }
    void fsCommand(const std::string& command, const std::string&) override {
        if (command == "quit") result_.quit = true;
    }
    void scriptAborted(const std::string&) override { ++result_.scriptsAborted; }
    uint64_t milliseconds() override { return now; }
    uint64_t now = 0;

private:
    TraceRunResult& result_;
    std::filesystem::path folder_;
};

InputStep::Kind kindOf(const std::string& type) {
    if (type == "MouseMove") return InputStep::Kind::MouseMove;
    if (type == "MouseDown") return InputStep::Kind::MouseDown;
    if (type == "MouseUp") return InputStep::Kind::MouseUp;
    if (type == "Wait") return InputStep::Kind::Wait;
    return InputStep::Kind::Other;
}

}  // namespace

std::vector<InputStep> readInputFile(const std::filesystem::path& file, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot read " + file.string();
        return {};
    }
    std::stringstream text;
    text << in.rdbuf();
    Json json = Json::parse(text.str(), error);
    std::vector<InputStep> steps;
    if (!error.empty()) return steps;
    for (const Json& e : json.array()) {
        InputStep step;
        step.kind = kindOf(e["type"].string());
        const auto& pos = e["pos"].array();
        if (pos.size() == 2) {
            step.x = pos[0].number();
            step.y = pos[1].number();
        }
        steps.push_back(step);
    }
    return steps;
}

TraceRunResult runForTraces(const std::filesystem::path& moviePath, const TraceRunOptions& options) {
    TraceRunResult result;
    std::ifstream in(moviePath, std::ios::binary);
    if (!in) {
        result.error = "cannot read " + moviePath.string();
        return result;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto decoded = decodeMovie(bytes);
    if (!decoded.movie) {
        result.error = decoded.error.message.empty() ? "not a movie" : decoded.error.message;
        return result;
    }
    TraceHost host(result, moviePath.parent_path());
    double frameMillis = decoded.movie->header.frameRate() > 0 ? 1000.0 / decoded.movie->header.frameRate() : 1000.0 / 12;
    Player player(decoded.movie, host);
    size_t nextInput = 0;
    // Input up to the next Wait happens before the next frame.
    auto feedInput = [&] {
        while (nextInput < options.input.size()) {
            const InputStep& step = options.input[nextInput++];
            if (step.kind == InputStep::Kind::Wait) break;
            if (step.kind == InputStep::Kind::MouseMove) player.mouseMove(step.x, step.y);
            else if (step.kind == InputStep::Kind::MouseDown) player.mouseDown(step.x, step.y);
            else if (step.kind == InputStep::Kind::MouseUp) player.mouseUp(step.x, step.y);
        }
    };
    for (int frame = 1; frame < options.frames && !result.quit; ++frame) {
        feedInput();
        host.now = static_cast<uint64_t>(frame * frameMillis);
        player.advance();
    }
    // Events after the last Wait still reach the movie, after its last frame.
    if (!result.quit) feedInput();
    return result;
}

}  // namespace swf::tools
