#include "decode/DisplayListReader.h"

#include "decode/FilterReader.h"
#include "decode/Primitives.h"

namespace swf {
namespace {

// Event flags are 16 bits up to SWF 5 and 32 from SWF 6; both start with the same two bytes.
uint32_t readClipEvents(ByteReader& r, int swfVersion) {
    auto b = r.bytes(swfVersion >= 6 ? 4 : 2);
    struct Bit { int byte, bit; ClipEvent event; };
    static constexpr Bit map[] = {
        {0, 7, ClipKeyUp}, {0, 6, ClipKeyDown}, {0, 5, ClipMouseUp}, {0, 4, ClipMouseDown},
        {0, 3, ClipMouseMove}, {0, 2, ClipUnload}, {0, 1, ClipEnterFrame}, {0, 0, ClipLoad},
        {1, 7, ClipDragOver}, {1, 6, ClipRollOut}, {1, 5, ClipRollOver}, {1, 4, ClipReleaseOutside},
        {1, 3, ClipRelease}, {1, 2, ClipPress}, {1, 1, ClipInitialize}, {1, 0, ClipData},
        {2, 2, ClipConstruct}, {2, 1, ClipKeyPress}, {2, 0, ClipDragOut},
    };
    uint32_t events = 0;
    for (const Bit& m : map)
        if (m.byte < static_cast<int>(b.size()) && (b[m.byte] >> m.bit) & 1) events |= m.event;
    return events;
}

std::vector<ClipAction> readClipActions(ByteReader& r, const TagContext& ctx) {
    r.u16();                            // reserved
    readClipEvents(r, ctx.swfVersion);  // union of all events: derived, not kept
    std::vector<ClipAction> actions;
    for (;;) {
        // Some writers end the list early with the tag; that is no error.
        if (r.remaining() < (ctx.swfVersion >= 6 ? 4u : 2u)) break;
        uint32_t events = readClipEvents(r, ctx.swfVersion);
        if (events == 0) break;
        uint32_t size = r.u32();
        ClipAction action;
        action.events = events;
        if (events & ClipKeyPress) {
            if (size == 0) fail("clip action with a key code but no room for it");
            action.keyCode = r.u8();
            --size;
        }
        if (size > r.remaining()) fail("clip action of " + std::to_string(size) + " bytes runs past the tag");
        action.actions = ctx.share(r.bytes(size));
        actions.push_back(std::move(action));
    }
    return actions;
}

}  // namespace

PlaceObject readPlaceObject(ByteReader& r, int placeVersion, const TagContext& ctx) {
    PlaceObject p;
    p.version = static_cast<uint8_t>(placeVersion);
    if (placeVersion == 1) {
        p.characterId = r.u16();
        p.depth = r.u16();
        p.matrix = readMatrix(r);
        if (!r.atEnd()) p.colorTransform = readColorTransform(r);
        return p;
    }
    uint8_t flags = r.u8();
    uint8_t flags2 = placeVersion >= 3 ? r.u8() : 0;
    bool hasClipActions = flags & 0x80, hasClipDepth = flags & 0x40, hasName = flags & 0x20, hasRatio = flags & 0x10;
    bool hasCxform = flags & 0x08, hasMatrix = flags & 0x04, hasCharacter = flags & 0x02;
    p.move = flags & 0x01;
    bool hasOpaqueBackground = flags2 & 0x40, hasVisible = flags2 & 0x20, hasImage = flags2 & 0x10;
    bool hasClassName = flags2 & 0x08, hasCacheAsBitmap = flags2 & 0x04, hasBlendMode = flags2 & 0x02;
    bool hasFilters = flags2 & 0x01;

    p.depth = r.u16();
    if (hasClassName || (hasImage && hasCharacter && placeVersion >= 3)) p.className = r.string();
    if (hasCharacter) p.characterId = r.u16();
    if (hasMatrix) p.matrix = readMatrix(r);
    if (hasCxform) p.colorTransform = readColorTransformWithAlpha(r);
    if (hasRatio) p.ratio = r.u16();
    if (hasName) p.name = r.string();
    if (hasClipDepth) p.clipDepth = r.u16();
    if (hasFilters) p.filters = readFilterList(r);
    if (hasBlendMode) p.blendMode = blendModeFrom(r.u8());
    // Some writers flag cache-as-bitmap and end the tag before its byte: the flag alone turns it on.
    if (hasCacheAsBitmap) p.cacheAsBitmap = r.atEnd() ? true : r.u8() != 0;
    if (hasVisible) p.visible = r.u8() != 0;
    if (hasOpaqueBackground) p.backgroundColor = readRgba(r);
    if (hasClipActions) p.clipActions = readClipActions(r, ctx);
    return p;
}

RemoveObject readRemoveObject(ByteReader& r, int removeVersion) {
    RemoveObject o;
    if (removeVersion == 1) o.characterId = r.u16();
    o.depth = r.u16();
    return o;
}

}  // namespace swf
