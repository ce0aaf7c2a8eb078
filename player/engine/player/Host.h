#pragma once
// What the engine asks of whoever embeds it. The engine never touches a network, a sound
// device, a clock or a console itself: a host does, so the player runs headless in tests
// and the same engine serves the COM control and the command-line tools.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Font.h"

namespace swf {

enum class UrlMethod : uint8_t { None, Get, Post };

// Per-instance sound playback options a movie attaches to a start request (StartSound,
// button sounds). Envelopes and loop counts are passed through untouched.
struct SoundStart {
    uint16_t soundId = 0;
    bool stop = false;         // stop this sound instead of starting it
    bool noMultiple = false;   // do not start it when it is already playing
    uint16_t loopCount = 1;
};

// How loud a movie wants a clip's sounds (or all of them), as Sound.setVolume, setPan and
// setTransform leave it: volume in percent; each output channel takes ll/rl percent of the
// left input and lr/rr percent of the right. Values are kept as scripts gave them (a script
// may set 500 or -20); the sound output clamps what it plays.
struct SoundTransform {
    int32_t volume = 100;
    int32_t ll = 100, lr = 0, rl = 0, rr = 100;
    bool operator==(const SoundTransform&) const = default;
};

// Text whose movie does not carry glyph outlines asks the host for a font of the machine.
struct DeviceFontRequest {
    std::string family;  // "_sans", "_serif", "_typewriter" or a font name from the movie
    bool bold = false, italic = false;
    std::vector<uint16_t> codes;  // the characters the text needs
};

// What a movie asks to read: XML.load, LoadVars, loadVariables. `url` is as the movie gave
// it (relative ones are the host's to resolve against the movie's own location).
struct UrlRequest {
    std::string url;
    UrlMethod method = UrlMethod::Get;
    std::string body;         // the variables or document sent with a POST
    std::string contentType;  // of the body
};

// The calendar time as the machine tells it: what a script's Date reads.
struct WallClock {
    int64_t epochMillis = 0;    // since 1970-01-01 00:00 UTC
    int utcOffsetMinutes = 0;   // local time minus UTC (east is positive)
};

// A connection a movie opens to a server (XMLSocket), kept by the host. The engine polls it
// between frames and never waits on it.
class SocketConnection {
public:
    enum class State { Connecting, Open, Failed, Closed };
    virtual ~SocketConnection() = default;
    // Connecting until the peer answers; Failed when it refused; Closed once the peer hung up
    // (what it sent before that is still received).
    virtual State state() = 0;
    virtual void send(const std::vector<uint8_t>& bytes) = 0;
    // The bytes that arrived since the last call.
    virtual std::vector<uint8_t> receive() = 0;
    // The movie hangs up; nothing is sent or received after this.
    virtual void close() = 0;
};

// What a file dialog a movie opens (FileReference.browse) filters by: "Images" and "*.jpg;*.gif".
struct FileFilter {
    std::string description;
    std::string extensions;
};
// A file the user chose: its name (no folder) and size in bytes.
struct ChosenFile {
    std::string name;
    uint64_t size = 0;
};

class Host {
public:
    virtual ~Host() = default;

    // getURL for anything but an FSCommand: load `url` into `target` (a window name, a
    // "_level" layer or a movie clip path; empty means the current movie's window).
    virtual void getUrl(const std::string& /*url*/, const std::string& /*target*/, UrlMethod /*method*/) {}
    // getURL("FSCommand:<command>", <args>): the command goes to the embedding program.
    virtual void fsCommand(const std::string& /*command*/, const std::string& /*args*/) {}
    virtual void trace(const std::string& /*line*/) {}
    // A script was stopped (it ran too long, recursed too deep or made too many objects);
    // the movie plays on. `reason` is one line for a log.
    virtual void scriptAborted(const std::string& /*reason*/) {}
    // The contents behind a URL, or nothing when they cannot be had (no such file, no network,
    // a request the host refuses): the movie then hears that the load failed. Called between
    // frames, never while a script runs.
    virtual std::optional<std::vector<uint8_t>> fetch(const UrlRequest& /*request*/) { return std::nullopt; }
    virtual void startSound(const SoundStart& /*request*/) {}
    virtual void stopAllSounds() {}
    // A script changed the sound transform of the clip at `clipPath` ("_level0.a"), or of every
    // sound when the path is empty.
    virtual void soundTransformChanged(const std::string& /*clipPath*/, const SoundTransform& /*transform*/) {}
    // Local shared objects: the stored file under `key` ("<movie path>/<name>"), kept per user
    // by the host. Writing an empty file removes it; false when nothing could be stored.
    virtual std::optional<std::vector<uint8_t>> readLocalData(const std::string& /*key*/) { return std::nullopt; }
    virtual bool writeLocalData(const std::string& /*key*/, const std::vector<uint8_t>& /*file*/) { return false; }
    // XMLSocket.connect: a connection to `host` at `port` under way, or null when the host
    // opens none (the movie then hears that the connection failed).
    virtual std::unique_ptr<SocketConnection> connectSocket(const std::string& /*host*/, uint16_t /*port*/) {
        return nullptr;
    }
    // FileReference(List).browse: the files the user chose in an open dialog (one unless
    // `multiple`), or nothing when the dialog was cancelled or cannot be shown. Called between
    // frames, never while a script runs.
    virtual std::optional<std::vector<ChosenFile>> chooseFiles(const std::vector<FileFilter>& /*filters*/,
                                                                bool /*multiple*/) {
        return std::nullopt;
    }
    // The clipboard's text (UTF-8), for pasting into, copying and cutting from text fields.
    virtual std::string clipboardText() { return {}; }
    virtual void setClipboardText(const std::string& /*text*/) {}
    // Milliseconds since an arbitrary origin that never goes backwards.
    virtual uint64_t milliseconds() { return 0; }
    // The machine's calendar clock and time zone.
    virtual WallClock wallClock();
    // A device font as a font definition holding at least the requested characters that the
    // machine's font has: glyph outlines in em-square units (emSquare(), y down, filled under
    // the non-zero rule), advances, ascent, descent and leading in `layout`, kerning if known.
    // Characters the font lacks are left out and take no room. Null when the host has no such
    // font: the text is then not drawn.
    virtual std::shared_ptr<const FontDef> deviceFont(const DeviceFontRequest& /*request*/) { return nullptr; }
    // ExternalInterface: whether a container listens for calls from the movie, and one such
    // call (`request` in the container's XML call format, "<invoke name=...>"). The answer is
    // a value in the same format, or nothing when the container gave none. Made while a
    // script runs: the container may call back into the movie before it answers.
    virtual bool externalCallsAvailable() { return false; }
    virtual std::optional<std::string> externalCall(const std::string& /*request*/) { return std::nullopt; }
};

// A host that does nothing: every request is dropped and the clock stands still.
class NullHost final : public Host {
public:
    WallClock wallClock() override { return {}; }
};

// Splits a getURL request into an FSCommand when its URL says so. Returns false for an
// ordinary URL; the scheme is matched without regard to case, as the Flash runtime does.
bool deliverGetUrl(Host& host, const std::string& url, const std::string& target, UrlMethod method);

}  // namespace swf
