#pragma once
// Plays a movie headless for a number of frames, feeding scripted input, and collects what
// its scripts trace. Shared by swfrun and the script-test runner.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ScriptedSocket.h"
#include "player/TextCommand.h"

namespace swf::tools {

struct InputStep {
    enum class Kind { MouseMove, MouseDown, MouseUp, KeyDown, KeyUp, TextInput, TextControl, SetClipboard, Wait, FocusLost, Other } kind =
        Kind::Other;
    double x = 0, y = 0;
    std::string button = "Left";  // MouseDown, MouseUp: "Left", "Right" or "Middle"
    // Keys: the code scripts see (Key.getCode) and the character typed (0 for none).
    uint8_t keyCode = 0;
    uint16_t ascii = 0;
    char32_t character = 0;                         // TextInput
    TextCommand command = TextCommand::Paste;       // TextControl
    std::string text;                               // SetClipboard
};

struct TraceRunOptions {
    int frames = 1;  // frames shown, the first included
    std::vector<InputStep> input;
    // The calendar clock at the first frame and its zone: fixed, so that runs repeat. The
    // default is the reference machine the corpus's outputs were recorded on (2001-02-03
    // 04:05:06 local time, 5 h 45 min east of UTC).
    int64_t startEpochMillis = 981152406000;
    int utcOffsetMinutes = 345;
    // Every fetch and every page the movie opens in a browser goes into the lines too, in the
    // form the corpus's tests that ask for it ("log_fetch") expect.
    bool logRequests = false;
    // The server the movie's first XMLSocket reaches, played from a script; without one every
    // connection is refused, as with no server listening.
    bool hasSocketScript = false;
    std::vector<SocketStep> socketScript;
};

struct TraceRunResult {
    std::vector<std::string> lines;
    bool quit = false;            // fscommand("quit") ended the run
    uint64_t scriptsAborted = 0;  // scripts stopped by a limit
    std::string error;            // the movie could not be decoded
    std::string socketFailure;    // the scripted server hung up because the movie sent other bytes
};

// A key as the corpus names it ("Tab", {"Char": "a"}) as (code, character); false if unknown.
bool keyFromName(const std::string& name, bool isChar, uint8_t& code, uint16_t& ascii);

// Reads the corpus's input.json event list; `error` says why it could not.
std::vector<InputStep> readInputFile(const std::filesystem::path& file, std::string& error);
TraceRunResult runForTraces(const std::filesystem::path& movie, const TraceRunOptions& options);

}  // namespace swf::tools
