#pragma once
// The control tags of a timeline (the main movie's or a sprite's): placing and removing
// characters, frame ends, labels and frame actions, in file order.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Actions.h"
#include "Tag.h"
#include "core/Geometry.h"

namespace swfw {

// One PlaceObject2/3: every optional field that is set gets its flag.
struct Placement {
    uint16_t depth = 1;
    std::optional<uint16_t> character;
    std::optional<swf::Matrix> matrix;
    std::optional<swf::ColorTransform> colorTransform;
    std::optional<uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<uint16_t> clipDepth;
    bool move = false;  // modify the character already at `depth`
    // PlaceObject3 only
    std::optional<std::string> className;
    std::optional<uint8_t> blendMode;
    std::optional<uint8_t> cacheAsBitmap;
};

class Timeline {
public:
    // PlaceObject: character, depth, matrix and an optional colour transform without alpha.
    Timeline& placeObject(uint16_t character, uint16_t depth, const swf::Matrix& matrix = {},
                          const std::optional<swf::ColorTransform>& colorTransform = std::nullopt);
    Timeline& place(const Placement& p);   // PlaceObject2
    Timeline& place3(const Placement& p);  // PlaceObject3
    Timeline& removeObject(uint16_t character, uint16_t depth);  // RemoveObject
    Timeline& remove(uint16_t depth);                              // RemoveObject2
    Timeline& showFrame();
    Timeline& frameLabel(const std::string& label, bool namedAnchor = false);
    Timeline& doAction(const Actions& actions);
    Timeline& raw(Tag tag);

    // Frames are what ShowFrame tags end, raw ones included.
    uint16_t frameCount() const;
    const std::vector<Tag>& tags() const { return tags_; }

protected:
    void add(Tag tag) { tags_.push_back(std::move(tag)); }

private:
    std::vector<Tag> tags_;
};

}  // namespace swfw
