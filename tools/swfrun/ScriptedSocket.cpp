#include "ScriptedSocket.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <utility>

#include "Json.h"

namespace swf::tools {

namespace {

// A script's byte list: numbers from 0 to 255 only.
bool readBytes(const Json& list, std::vector<uint8_t>& out) {
    if (!list.isArray()) return false;
    for (const Json& b : list.array()) {
        double v = b.number(-1);
        if (!b.isNumber() || v < 0 || v > 255 || v != static_cast<int>(v)) return false;
        out.push_back(static_cast<uint8_t>(v));
    }
    return true;
}

}  // namespace

std::vector<SocketStep> readSocketScript(const std::filesystem::path& file, std::string& error) {
    Json json = Json::parseFile(file, error);
    if (!error.empty()) return {};
    if (!json.isArray()) {
        error = "a socket script is a list of steps";
        return {};
    }
    std::vector<SocketStep> steps;
    for (size_t i = 0; i < json.array().size(); ++i) {
        const Json& e = json.array()[i];
        const std::string& type = e["type"].string();
        SocketStep step;
        bool ok = true;
        if (type == "Receive") {
            step.kind = SocketStep::Kind::Receive;
            ok = readBytes(e["expected"], step.bytes);
        } else if (type == "Send") {
            step.kind = SocketStep::Kind::Send;
            ok = readBytes(e["payload"], step.bytes);
        } else if (type == "Disconnect") {
            step.kind = SocketStep::Kind::Disconnect;
        } else if (type == "WaitForDisconnect") {
            step.kind = SocketStep::Kind::WaitForDisconnect;
        } else {
            error = "step " + std::to_string(i + 1) + ": unknown type \"" + type + "\"";
            return {};
        }
        if (!ok) {
            error = "step " + std::to_string(i + 1) + ": bytes must be a list of numbers from 0 to 255";
            return {};
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

void ScriptedSocket::run() {
    while (next_ < steps_.size() && !serverClosed_) {
        const SocketStep& step = steps_[next_];
        switch (step.kind) {
            case SocketStep::Kind::Receive: {
                if (movieClosed_) return;
                size_t n = std::min(fromMovie_.size(), step.bytes.size());
                if (!std::equal(fromMovie_.begin(), fromMovie_.begin() + long(n), step.bytes.begin())) {
                    failure_ = "the movie sent other bytes than step " + std::to_string(next_ + 1) + " expects";
                    serverClosed_ = true;
                    return;
                }
                if (n < step.bytes.size()) return;  // the rest is still to come
                fromMovie_.erase(fromMovie_.begin(), fromMovie_.begin() + long(n));
                break;
            }
            case SocketStep::Kind::Send:
                toMovie_.insert(toMovie_.end(), step.bytes.begin(), step.bytes.end());
                break;
            case SocketStep::Kind::Disconnect:
                serverClosed_ = true;
                break;
            case SocketStep::Kind::WaitForDisconnect:
                if (!movieClosed_) return;
                break;
        }
        ++next_;
    }
}

SocketConnection::State ScriptedSocket::state() {
    run();
    if (movieClosed_ || serverClosed_) return State::Closed;
    return State::Open;
}

void ScriptedSocket::send(const std::vector<uint8_t>& bytes) {
    if (movieClosed_ || serverClosed_) return;
    fromMovie_.insert(fromMovie_.end(), bytes.begin(), bytes.end());
    run();
}

std::vector<uint8_t> ScriptedSocket::receive() {
    run();
    if (movieClosed_) return {};
    return std::exchange(toMovie_, {});
}

void ScriptedSocket::close() {
    movieClosed_ = true;
    run();
}

}  // namespace swf::tools
