#pragma once
// A server played from a script instead of a network: the corpus's socket.json lists, in
// order, what the movie must send ("Receive" with the expected bytes), what the server sends
// ("Send" with a payload), and when the server hangs up ("Disconnect") or waits for the movie
// to hang up ("WaitForDisconnect"). The steps run as far as they can each time the player
// polls the connection; a movie that sends something else ends the conversation.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "player/Host.h"

namespace swf::tools {

struct SocketStep {
    enum class Kind { Receive, Send, Disconnect, WaitForDisconnect } kind = Kind::Send;
    std::vector<uint8_t> bytes;  // expected from the movie (Receive) or sent to it (Send)
};

// Reads a socket script; `error` says what is wrong with it (nothing is returned then).
std::vector<SocketStep> readSocketScript(const std::filesystem::path& file, std::string& error);

class ScriptedSocket final : public SocketConnection {
public:
    // `failure` is told why the server hung up early (the movie sent what the script did
    // not expect), if it did; it outlives the connection.
    ScriptedSocket(std::vector<SocketStep> steps, std::string& failure) : steps_(std::move(steps)), failure_(failure) {}

    State state() override;
    void send(const std::vector<uint8_t>& bytes) override;
    std::vector<uint8_t> receive() override;
    void close() override;

private:
    void run();

    std::vector<SocketStep> steps_;
    size_t next_ = 0;
    std::vector<uint8_t> fromMovie_;  // sent by the movie, not yet matched
    std::vector<uint8_t> toMovie_;    // sent by the server, not yet received
    bool serverClosed_ = false;
    bool movieClosed_ = false;
    std::string& failure_;
};

}  // namespace swf::tools
