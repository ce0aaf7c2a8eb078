#include "Button.h"

#include <stdexcept>

#include "Records.h"
#include "Writer.h"

namespace swfw {
namespace {

void writeRecords(Writer& w, const Button& button, bool version2) {
    for (const ButtonRecord& r : button.records) {
        if (!(r.up || r.over || r.down || r.hitTest))
            throw std::invalid_argument("a button record in no state would read as the end of the records");
        w.ub(0, 4);  // reserved; blend mode and filters only through a raw tag
        w.flag(r.hitTest);
        w.flag(r.down);
        w.flag(r.over);
        w.flag(r.up);
        w.u16(r.character);
        w.u16(r.depth);
        writeMatrix(w, r.matrix);
        if (version2)
            writeColorTransform(w, r.colorTransform, true);
        else if (!r.colorTransform.isIdentity())
            throw std::invalid_argument("DefineButton records carry no colour transform; use DefineButtonCxform");
    }
    w.u8(0);
}

}  // namespace

std::vector<uint8_t> encodeDefineButton(uint16_t id, const Button& button) {
    if (!button.actions.empty()) throw std::invalid_argument("conditional actions need DefineButton2");
    Writer w;
    w.u16(id);
    writeRecords(w, button, false);
    w.bytes(button.onRelease.bytes());
    return w.take();
}

std::vector<uint8_t> encodeDefineButton2(uint16_t id, const Button& button) {
    if (!button.onRelease.empty()) throw std::invalid_argument("DefineButton2 takes conditional actions only");
    Writer w;
    w.u16(id);
    w.ub(0, 7);
    w.flag(button.trackAsMenu);
    size_t actionOffsetAt = w.size();
    w.u16(0);
    writeRecords(w, button, true);
    if (!button.actions.empty()) {
        size_t offset = w.size() - actionOffsetAt;
        if (offset > 0xFFFF) throw std::length_error("button records too large for the 16-bit action offset");
        w.patchU16(actionOffsetAt, static_cast<uint16_t>(offset));
    }
    for (size_t i = 0; i < button.actions.size(); ++i) {
        std::vector<uint8_t> code = button.actions[i].actions.bytes();
        bool last = i + 1 == button.actions.size();
        size_t size = 4 + code.size();  // this size field, the conditions and the actions
        if (size > 0xFFFF) throw std::length_error("button action larger than 65535 bytes");
        w.u16(last ? 0 : static_cast<uint16_t>(size));
        w.ub(button.actions[i].conditions, 16);
        w.bytes(code);
    }
    return w.take();
}

std::vector<uint8_t> encodeDefineButtonCxform(uint16_t id, const swf::ColorTransform& transform) {
    Writer w;
    w.u16(id);
    writeColorTransform(w, transform, false);
    return w.take();
}

}  // namespace swfw
