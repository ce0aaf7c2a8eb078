#include "TraceRun.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "Json.h"
#include "avm1/Strings.h"
#include "decode/Decoder.h"
#include "player/Host.h"
#include "player/Player.h"

namespace swf::tools {

namespace {

// "http://localhost:8000/a.swf" -> "localhost/a.swf"; any other URL as it is.
std::string localServerPath(const std::string& url) {
    for (const char* scheme : {"http://localhost", "https://localhost"}) {
        const std::string prefix = scheme;
        if (url.rfind(prefix, 0) != 0) continue;
        size_t slash = url.find('/', prefix.size());
        std::string hostRest = url.substr(prefix.size(), slash == std::string::npos ? std::string::npos : slash - prefix.size());
        if (!hostRest.empty() && hostRest[0] != ':') continue;  // another host ("localhostile")
        return slash == std::string::npos ? std::string() : "localhost" + url.substr(slash);
    }
    return url;
}

// A body of text as it is; binary data (AMF) as the list of its bytes in hex, "[00, 0A]".
std::string bodyForLog(const std::string& body) {
    bool text = true;
    for (unsigned char c : body)
        if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') text = false;
    if (text) return body;
    std::string list = "[";
    char hex[4];
    for (size_t i = 0; i < body.size(); ++i) {
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(body[i]));
        if (i) list += ", ";
        list += hex;
    }
    return list + "]";
}

class TraceHost final : public Host {
public:
    TraceHost(TraceRunResult& result, std::filesystem::path folder) : result_(result), folder_(std::move(folder)) {}
    // Relative URLs name files beside the movie (a query is ignored). There is no network:
    // a movie's "localhost" folder stands for the local web server, whatever its port.
    std::optional<std::vector<uint8_t>> fetch(const UrlRequest& request) override {
        if (logRequests) {
            const bool post = request.method == UrlMethod::Post;
            result_.lines.push_back("Navigator::fetch:");
            result_.lines.push_back("  URL: " + request.url);
            result_.lines.push_back(post ? "  Method: POST" : "  Method: GET");
            if (post) {
                result_.lines.push_back("  Mime-Type: " + request.contentType);
                result_.lines.push_back("  Body: " + bodyForLog(request.body));
            }
        }
        std::string path = localServerPath(request.url.substr(0, request.url.find('?')));
        if (path.empty() || path.find("://") != std::string::npos || path.front() == '/') return std::nullopt;
        for (const auto& part : std::filesystem::path(path))
            if (part == "..") return std::nullopt;  // nothing outside the movie's folder
        std::error_code error;
        if (!std::filesystem::is_regular_file(folder_ / path, error)) return std::nullopt;
        std::ifstream in(folder_ / path, std::ios::binary);
        if (!in) return std::nullopt;
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    void trace(const std::string& line) override {
        // One output line per line of text: a traced string may hold line breaks, and the
        // runtime's log ends a line at every CR and every LF ("a\r\nb" is three lines).
        std::string current;
        for (char c : line) {
            if (c == '\r' || c == '\n') {
                result_.lines.push_back(current);
                current.clear();
            } else {
                current += c;
            }
        }
        result_.lines.push_back(current);
    }
    void getUrl(const std::string& url, const std::string& target, UrlMethod) override {
        if (!logRequests) return;
        result_.lines.push_back("Navigator::navigate_to_url:");
        result_.lines.push_back("  URL: " + url);
        result_.lines.push_back("  Target: " + target);
    }
    void fsCommand(const std::string& command, const std::string&) override {
        if (command == "quit") result_.quit = true;
    }
    void scriptAborted(const std::string&) override { ++result_.scriptsAborted; }
    std::unique_ptr<SocketConnection> connectSocket(const std::string&, uint16_t) override {
        if (!socketScript) return nullptr;
        auto peer = std::make_unique<ScriptedSocket>(std::move(*socketScript), result_.socketFailure);
        socketScript.reset();  // one conversation: later connections are refused
        return peer;
    }
    std::optional<std::vector<SocketStep>> socketScript;
    std::string clipboardText() override { return clipboard; }
    void setClipboardText(const std::string& text) override { clipboard = text; }
    std::string clipboard;
    uint64_t milliseconds() override { return now; }
    WallClock wallClock() override { return {calendarStart + static_cast<int64_t>(now), utcOffsetMinutes}; }
    uint64_t now = 0;
    bool logRequests = false;  // the corpus's log of fetches and browser navigations
    int64_t calendarStart = 0;
    int utcOffsetMinutes = 0;
    // Shared objects live as long as the run: a movie reads back what it flushed.
    std::optional<std::vector<uint8_t>> readLocalData(const std::string& key) override {
        auto it = localData_.find(key);
        if (it == localData_.end()) return std::nullopt;
        return it->second;
    }
    bool writeLocalData(const std::string& key, const std::vector<uint8_t>& file) override {
        if (file.empty()) localData_.erase(key);
        else localData_[key] = file;
        return true;
    }

private:
    std::map<std::string, std::vector<uint8_t>> localData_;
    TraceRunResult& result_;
    std::filesystem::path folder_;
};

InputStep::Kind kindOf(const std::string& type) {
    if (type == "MouseMove") return InputStep::Kind::MouseMove;
    if (type == "MouseDown") return InputStep::Kind::MouseDown;
    if (type == "MouseUp") return InputStep::Kind::MouseUp;
    if (type == "KeyDown") return InputStep::Kind::KeyDown;
    if (type == "KeyUp") return InputStep::Kind::KeyUp;
    if (type == "TextInput") return InputStep::Kind::TextInput;
    if (type == "TextControl") return InputStep::Kind::TextControl;
    if (type == "SetClipboardText") return InputStep::Kind::SetClipboard;
    if (type == "Wait") return InputStep::Kind::Wait;
    if (type == "FocusLost") return InputStep::Kind::FocusLost;
    return InputStep::Kind::Other;
}

}  // namespace

bool keyFromName(const std::string& name, bool isChar, uint8_t& code, uint16_t& ascii) {
    if (isChar) {
        if (name.size() != 1) return false;
        char c = name[0];
        ascii = static_cast<uint8_t>(c);
        if (c >= 'a' && c <= 'z') code = static_cast<uint8_t>(c - 'a' + 'A');
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') code = static_cast<uint8_t>(c);
        else {
            // Punctuation: the code of the key that types it on a US layout.
            static constexpr std::pair<const char*, uint8_t> kKeys[] = {
                {";:", 186}, {"=+", 187}, {",<", 188}, {"-_", 189}, {".>", 190}, {"/?", 191},
                {"`~", 192}, {"[{", 219}, {"\\|", 220}, {"]}", 221}, {"'\"", 222},
            };
            code = 0;
            for (const auto& [chars, keyCode] : kKeys)
                if (std::string_view(chars).find(c) != std::string_view::npos) code = keyCode;
            if (!code) return false;
        }
        return true;
    }
    static constexpr struct {
        const char* name;
        uint8_t code;
        uint16_t ascii;
    } kNamed[] = {
        {"Backspace", 8, 8}, {"Tab", 9, 9},       {"Enter", 13, 13},     {"LeftShift", 16, 0}, {"RightShift", 16, 0},
        {"LeftControl", 17, 0}, {"RightControl", 17, 0}, {"LeftAlt", 18, 0}, {"RightAlt", 18, 0},
        {"CapsLock", 20, 0}, {"Escape", 27, 27},   {"Space", 32, 32},     {"PageUp", 33, 0},    {"PageDown", 34, 0},
        {"End", 35, 0},      {"Home", 36, 0},     {"Left", 37, 0},       {"Up", 38, 0},        {"Right", 39, 0},
        {"Down", 40, 0},     {"Insert", 45, 0},   {"Delete", 46, 127},
    };
    for (const auto& key : kNamed)
        if (name == key.name) {
            code = key.code;
            ascii = key.ascii;
            return true;
        }
    return false;
}

std::vector<InputStep> readInputFile(const std::filesystem::path& file, std::string& error) {
    Json json = Json::parseFile(file, error);
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
        if (e["btn"].isString()) step.button = e["btn"].string();
        if (step.kind == InputStep::Kind::KeyDown || step.kind == InputStep::Kind::KeyUp) {
            const Json& key = e["key"];
            bool isChar = key.isObject();
            const std::string& name = isChar ? key["Char"].string() : key.string();
            if (!keyFromName(name, isChar, step.keyCode, step.ascii)) step.kind = InputStep::Kind::Other;
        }
        if (step.kind == InputStep::Kind::TextInput) {
            // One character; an empty one (Space typed with a modifier) types nothing.
            const std::string& typed = e["codepoint"].string();
            if (typed.empty()) step.kind = InputStep::Kind::Other;
            else {
                const std::u16string units = swf::avm1::toUtf16(typed);
                step.character = units[0];
                if (units.size() > 1 && units[0] >= 0xD800 && units[0] < 0xDC00)
                    step.character = 0x10000 + ((units[0] - 0xD800) << 10) + (units[1] - 0xDC00);
            }
        }
        if (step.kind == InputStep::Kind::TextControl) {
            static constexpr std::pair<const char*, TextCommand> kCommands[] = {
                {"Paste", TextCommand::Paste},         {"Copy", TextCommand::Copy},
                {"Cut", TextCommand::Cut},             {"SelectAll", TextCommand::SelectAll},
                {"Enter", TextCommand::Enter},         {"MoveLeft", TextCommand::MoveLeft},
                {"MoveRight", TextCommand::MoveRight}, {"Backspace", TextCommand::Backspace},
                {"Delete", TextCommand::Delete},
            };
            step.kind = InputStep::Kind::Other;
            for (const auto& [name, command] : kCommands)
                if (e["code"].string() == name) {
                    step.kind = InputStep::Kind::TextControl;
                    step.command = command;
                }
        }
        if (step.kind == InputStep::Kind::SetClipboard) step.text = e["text"].string();
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
    host.logRequests = options.logRequests;
    host.calendarStart = options.startEpochMillis;
    host.utcOffsetMinutes = options.utcOffsetMinutes;
    if (options.hasSocketScript) host.socketScript = options.socketScript;
    double frameMillis = decoded.movie->header.frameRate() > 0 ? 1000.0 / decoded.movie->header.frameRate() : 1000.0 / 12;
    Player player(decoded.movie, host);
    size_t nextInput = 0;
    // Input up to the next Wait happens before the next frame.
    auto feedInput = [&] {
        while (nextInput < options.input.size()) {
            const InputStep& step = options.input[nextInput++];
            if (step.kind == InputStep::Kind::Wait) break;
            const Player::MouseButton button = step.button == "Right"    ? Player::MouseButton::Right
                                               : step.button == "Middle" ? Player::MouseButton::Middle
                                                                         : Player::MouseButton::Left;
            if (step.kind == InputStep::Kind::MouseMove) player.mouseMove(step.x, step.y);
            else if (step.kind == InputStep::Kind::MouseDown) player.mouseDown(step.x, step.y, button);
            else if (step.kind == InputStep::Kind::MouseUp) player.mouseUp(step.x, step.y, button);
            else if (step.kind == InputStep::Kind::FocusLost) player.focusLost();
            else if (step.kind == InputStep::Kind::KeyDown) player.keyDown(step.keyCode, step.ascii);
            else if (step.kind == InputStep::Kind::KeyUp) player.keyUp(step.keyCode, step.ascii);
            else if (step.kind == InputStep::Kind::TextInput) player.textInput(step.character);
            else if (step.kind == InputStep::Kind::TextControl) player.textCommand(step.command);
            else if (step.kind == InputStep::Kind::SetClipboard) host.setClipboardText(step.text);
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
