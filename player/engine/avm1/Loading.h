#pragma once
// Data a movie's scripts load (XML.load, LoadVars, loadVariables): requested while a script
// runs, fetched from the host once the frame's scripts are done and handed to the object
// that asked, as the runtime delivers a load after the script that started it. The text
// helpers turn the bytes into script strings and form-encoded variables both ways.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "player/Host.h"

namespace swf::avm1 {

class Object;
class Vm;

struct PendingLoad {
    enum class Kind {
        Data,       // the target's onData(text) runs (XML, LoadVars); undefined when it failed
        Variables,  // the variables are set on the target (a clip's loadVariables)
        Sound,      // an MP3 file for the target Sound object (SoundClass.cpp)
        Remoting,   // the calls the target NetConnection made this frame (NetConnectionClass.cpp)
        FileDialog, // the target FileReference(List) asked the user for files (nothing to fetch)
        Stream,     // a video file the target NetStream plays (NetStreamClass.cpp)
    };
    Kind kind = Kind::Data;
    Object* target = nullptr;
    UrlRequest request;
};

// Sound.loadSound's file arrived (or not: no bytes) for the Sound object `sound`.
void deliverLoadedSound(Vm& vm, Object* sound, const std::optional<std::vector<uint8_t>>& bytes);

// The request carrying the remoting calls `connection` made since its last one (no URL when
// none are left to send), and what to do with the server's answer (no bytes: it failed).
UrlRequest remotingRequest(Vm& vm, Object* connection);
void deliverRemotingReplies(Vm& vm, Object* connection, const std::optional<std::vector<uint8_t>>& bytes);

// A NetStream's file arrived (or not: no bytes).
void deliverStreamFile(Vm& vm, Object* stream, const std::optional<std::vector<uint8_t>>& bytes);

// The host's file dialog for the FileReference(List) `ref` that browsed, and its answer.
void deliverFileChoice(Vm& vm, Object* ref);

// %XX for everything but ASCII letters and digits, as escape() writes.
std::string urlEscape(const std::string& text);
// %XX back to bytes; '+' stays (unescape() leaves it).
std::string urlUnescape(const std::string& text);
// "a=1&b=x%20y" onto `target`'s variables, in order ('+' is a space here).
void decodeVariables(Vm& vm, Object* target, const std::string& text);
// The object's enumerable variables as "name=value&..." (most recent first, as enumerated).
std::string encodeVariables(Vm& vm, Object* source);
// Loaded bytes as script text: a byte-order mark decides UTF-8 or UTF-16; otherwise UTF-8,
// or the Windows-1252 code page for version 5 movies and when System.useCodepage is set (a
// byte that is no UTF-8 is read that way too).
std::string decodeLoadedText(const std::vector<uint8_t>& bytes, bool codepage);

}  // namespace swf::avm1
