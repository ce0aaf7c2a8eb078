#include "Actions.h"

#include <stdexcept>

#include "Writer.h"

namespace swfw {

Actions& Actions::raw(uint8_t code, const std::vector<uint8_t>& payload) {
    if (code == 0) throw std::invalid_argument("action code 0 is the end marker");
    if (code < 0x80 && !payload.empty()) throw std::invalid_argument("actions below 0x80 carry no payload");
    if (payload.size() > 0xFFFF) throw std::length_error("action payload above 65535 bytes");
    code_.push_back(code);
    if (code >= 0x80) {
        code_.push_back(static_cast<uint8_t>(payload.size()));
        code_.push_back(static_cast<uint8_t>(payload.size() >> 8));
        code_.insert(code_.end(), payload.begin(), payload.end());
    }
    return *this;
}

Actions& Actions::gotoFrame(uint16_t frame) {
    Writer w;
    w.u16(frame);
    return raw(0x81, w.take());
}

Actions& Actions::getUrl(std::string_view url, std::string_view target) {
    Writer w;
    w.string(url);
    w.string(target);
    return raw(0x83, w.take());
}

Actions& Actions::waitForFrame(uint16_t frame, uint8_t skipCount) {
    Writer w;
    w.u16(frame);
    w.u8(skipCount);
    return raw(0x8A, w.take());
}

Actions& Actions::setTarget(std::string_view target) {
    Writer w;
    w.string(target);
    return raw(0x8B, w.take());
}

Actions& Actions::gotoLabel(std::string_view label) {
    Writer w;
    w.string(label);
    return raw(0x8C, w.take());
}

Actions& Actions::pushString(std::string_view s) {
    Writer w;
    w.u8(0);  // push type 0: string
    w.string(s);
    return raw(0x96, w.take());
}

std::vector<uint8_t> Actions::bytes() const {
    std::vector<uint8_t> out = code_;
    out.push_back(0);
    return out;
}

}  // namespace swfw
