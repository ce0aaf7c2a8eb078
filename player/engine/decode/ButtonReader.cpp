#include "decode/ButtonReader.h"

#include "decode/FilterReader.h"
#include "decode/Primitives.h"
#include "decode/SoundReader.h"

namespace swf {
namespace {

// Records up to the zero end flag; false if the list ended without it (the tag ran out).
void readRecords(ByteReader& r, int buttonVersion, std::vector<ButtonRecord>& records) {
    for (;;) {
        uint8_t flags = r.u8();
        if (flags == 0) return;
        ButtonRecord rec;
        rec.states = flags & 0x0F;
        rec.characterId = r.u16();
        rec.depth = r.u16();
        rec.matrix = readMatrix(r);
        if (buttonVersion >= 2) {
            rec.colorTransform = readColorTransformWithAlpha(r);
            if (flags & 0x10) rec.filters = readFilterList(r);
            if (flags & 0x20) rec.blendMode = blendModeFrom(r.u8());
        }
        records.push_back(std::move(rec));
    }
}

uint16_t conditionsFrom(uint16_t raw) {
    // First byte, high bit first: IdleToOverDown, OutDownToIdle, OutDownToOverDown, OverDownToOutDown,
    // OverDownToOverUp, OverUpToOverDown, OverUpToIdle, IdleToOverUp; last bit: OverDownToIdle.
    uint8_t b = raw & 0xFF;
    uint16_t c = 0;
    if (b & 0x80) c |= IdleToOverDown;
    if (b & 0x40) c |= OutDownToIdle;
    if (b & 0x20) c |= OutDownToOverDown;
    if (b & 0x10) c |= OverDownToOutDown;
    if (b & 0x08) c |= OverDownToOverUp;
    if (b & 0x04) c |= OverUpToOverDown;
    if (b & 0x02) c |= OverUpToIdle;
    if (b & 0x01) c |= IdleToOverUp;
    if (raw & 0x0100) c |= OverDownToIdle;
    return c;
}

}  // namespace

ButtonDef readDefineButton(ByteReader& r, int buttonVersion, const TagContext& ctx) {
    ButtonDef b;
    b.version = static_cast<uint8_t>(buttonVersion);
    if (buttonVersion == 1) {
        readRecords(r, 1, b.records);
        b.actions.push_back(ButtonAction{OverDownToOverUp, 0, ctx.share(r.rest())});
        return b;
    }
    b.trackAsMenu = r.u8() & 1;
    size_t offsetField = r.position();
    uint16_t actionOffset = r.u16();
    readRecords(r, 2, b.records);
    if (actionOffset == 0) return b;
    if (actionOffset > r.size() - offsetField) fail("button action offset points past the tag");
    ByteReader actions(r.data().subspan(offsetField + actionOffset));
    for (;;) {
        uint16_t size = actions.u16();
        uint16_t raw = actions.u16();
        ButtonAction a;
        a.conditions = conditionsFrom(raw);
        a.keyCode = static_cast<uint8_t>(raw >> 9);
        if (size != 0 && size < 4) fail("button action record of " + std::to_string(size) + " bytes");
        a.actions = ctx.share(size == 0 ? actions.rest() : actions.bytes(size - 4));
        b.actions.push_back(std::move(a));
        if (size == 0) break;
    }
    return b;
}

void readButtonColorTransform(ByteReader& r, ButtonDef& button) {
    ColorTransform cx = readColorTransform(r);
    for (auto& rec : button.records) rec.colorTransform = cx;
}

void readButtonSounds(ByteReader& r, ButtonDef& button) {
    for (auto& slot : button.sounds) {
        if (r.atEnd()) break;
        uint16_t id = r.u16();
        if (id != 0) slot = ButtonSound{id, readSoundInfo(r)};
    }
}

}  // namespace swf
