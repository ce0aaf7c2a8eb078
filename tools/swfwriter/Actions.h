#pragma once
// A list of action records (the byte code of DoAction and of button actions), built by
// chaining calls: Actions().stop().gotoFrame(2). Frame numbers are 0-based, as stored.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace swfw {

class Actions {
public:
    Actions& nextFrame() { return simple(0x04); }
    Actions& previousFrame() { return simple(0x05); }
    Actions& play() { return simple(0x06); }
    Actions& stop() { return simple(0x07); }
    Actions& toggleQuality() { return simple(0x08); }
    Actions& stopSounds() { return simple(0x09); }
    Actions& gotoFrame(uint16_t frame);
    Actions& getUrl(std::string_view url, std::string_view target);
    // The host receives "FSCommand:<command>" URLs as commands with the target as argument.
    Actions& fsCommand(std::string_view command, std::string_view args) {
        return getUrl(std::string("FSCommand:").append(command), args);
    }
    Actions& waitForFrame(uint16_t frame, uint8_t skipCount);
    Actions& setTarget(std::string_view target);
    Actions& gotoLabel(std::string_view label);
    // SWF 4 stack actions, enough for trace-based tests.
    Actions& pushString(std::string_view s);
    Actions& trace() { return simple(0x26); }
    // Any action: codes from 0x80 carry a length and a payload, lower codes must not.
    Actions& raw(uint8_t code, const std::vector<uint8_t>& payload = {});
    // Records assembled elsewhere (ActionAssembler), appended as they are.
    Actions& records(const std::vector<uint8_t>& code) {
        code_.insert(code_.end(), code.begin(), code.end());
        return *this;
    }

    bool empty() const { return code_.empty(); }
    // The records followed by the end-of-actions byte.
    std::vector<uint8_t> bytes() const;

private:
    Actions& simple(uint8_t code) { return raw(code); }
    std::vector<uint8_t> code_;
};

}  // namespace swfw
