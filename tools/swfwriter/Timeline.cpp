#include "Timeline.h"

#include <stdexcept>

#include "Records.h"

namespace swfw {
namespace {

void writePlaceObject2Flags(Writer& w, const Placement& p) {
    w.flag(false);  // clip actions: only through a raw tag
    w.flag(p.clipDepth.has_value());
    w.flag(p.name.has_value());
    w.flag(p.ratio.has_value());
    w.flag(p.colorTransform.has_value());
    w.flag(p.matrix.has_value());
    w.flag(p.character.has_value());
    w.flag(p.move);
}

void writePlacementFields(Writer& w, const Placement& p) {
    if (p.character) w.u16(*p.character);
    if (p.matrix) writeMatrix(w, *p.matrix);
    if (p.colorTransform) writeColorTransform(w, *p.colorTransform, true);
    if (p.ratio) w.u16(*p.ratio);
    if (p.name) w.string(*p.name);
    if (p.clipDepth) w.u16(*p.clipDepth);
}

}  // namespace

Timeline& Timeline::placeObject(uint16_t character, uint16_t depth, const swf::Matrix& matrix,
                                const std::optional<swf::ColorTransform>& colorTransform) {
    Writer w;
    w.u16(character);
    w.u16(depth);
    writeMatrix(w, matrix);
    if (colorTransform) writeColorTransform(w, *colorTransform, false);
    add(Tag(TagCode::PlaceObject, w.take()));
    return *this;
}

Timeline& Timeline::place(const Placement& p) {
    if (p.className || p.blendMode || p.cacheAsBitmap)
        throw std::invalid_argument("class names, blend modes and bitmap caching need PlaceObject3");
    Writer w;
    writePlaceObject2Flags(w, p);
    w.u16(p.depth);
    writePlacementFields(w, p);
    add(Tag(TagCode::PlaceObject2, w.take()));
    return *this;
}

Timeline& Timeline::place3(const Placement& p) {
    Writer w;
    writePlaceObject2Flags(w, p);
    w.ub(0, 3);
    w.flag(false);  // image
    w.flag(p.className.has_value());
    w.flag(p.cacheAsBitmap.has_value());
    w.flag(p.blendMode.has_value());
    w.flag(false);  // filters: only through a raw tag
    w.u16(p.depth);
    if (p.className) w.string(*p.className);
    writePlacementFields(w, p);
    if (p.blendMode) w.u8(*p.blendMode);
    if (p.cacheAsBitmap) w.u8(*p.cacheAsBitmap);
    add(Tag(TagCode::PlaceObject3, w.take()));
    return *this;
}

Timeline& Timeline::removeObject(uint16_t character, uint16_t depth) {
    Writer w;
    w.u16(character);
    w.u16(depth);
    add(Tag(TagCode::RemoveObject, w.take()));
    return *this;
}

Timeline& Timeline::remove(uint16_t depth) {
    Writer w;
    w.u16(depth);
    add(Tag(TagCode::RemoveObject2, w.take()));
    return *this;
}

Timeline& Timeline::showFrame() {
    add(Tag(TagCode::ShowFrame, {}));
    return *this;
}

Timeline& Timeline::frameLabel(const std::string& label, bool namedAnchor) {
    Writer w;
    w.string(label);
    if (namedAnchor) w.u8(1);
    add(Tag(TagCode::FrameLabel, w.take()));
    return *this;
}

Timeline& Timeline::doAction(const Actions& actions) {
    add(Tag(TagCode::DoAction, actions.bytes()));
    return *this;
}

Timeline& Timeline::raw(Tag tag) {
    add(std::move(tag));
    return *this;
}

uint16_t Timeline::frameCount() const {
    size_t frames = 0;
    for (const Tag& t : tags_) frames += t.code == static_cast<uint16_t>(TagCode::ShowFrame);
    if (frames > 0xFFFF) throw std::length_error("more than 65535 frames");
    return static_cast<uint16_t>(frames);
}

}  // namespace swfw
