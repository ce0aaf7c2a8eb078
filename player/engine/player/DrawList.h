#pragma once
// The stage flattened into drawing commands, front to back order reversed (first drawn
// first). Rendering and changed-area tracking both walk this one list, so whatever is drawn
// is exactly what is compared between two frames.
#include <cstdint>
#include <optional>
#include <vector>

#include "core/Geometry.h"
#include "model/Filters.h"
#include "model/Shape.h"

namespace swf {

class Dictionary;
struct Image;

struct DrawItem {
    // BeginLayer..EndLayer draw into a group of their own, composited with a blend mode
    // and bitmap filters when it ends.
    enum class Op : uint8_t { Shape, BeginMask, EndMask, PopMask, BeginLayer, EndLayer };
    Op op = Op::Shape;
    const ShapeDef* shape = nullptr;
    Matrix matrix;  // shape twips -> stage twips
    ColorTransform colorTransform;
    std::optional<Rgba> colorOverride;
    // Identity of what is drawn: the instance's serial and the part of it (glyph number...).
    uint64_t key = 0;
    // Changes whenever the instance draws a different shape under the same key (morph ratio,
    // button state, text contents).
    uint64_t version = 0;
    // Which masks and layers enclose this item; an item whose enclosures change is redrawn
    // even if it did not move.
    uint64_t maskContext = 0;
    // BeginLayer only.
    BlendMode blend = BlendMode::Normal;
    const FilterList* filters = nullptr;  // owned by the display object; null or empty: none
    // How far (in stage pixels) enclosing filters spread this item's pixels.
    int16_t filterMargin = 0;
    // Where the shape's bitmap fills are defined: a movie loaded into a clip numbers its
    // characters on its own. Null: the main movie.
    const Dictionary* dictionary = nullptr;
    // A script's picture the shape's bitmap fill shows instead of a dictionary bitmap.
    const Image* picture = nullptr;
    friend bool operator==(const DrawItem&, const DrawItem&) = default;
};

using DrawList = std::vector<DrawItem>;

// Collects a display tree into a DrawList. Clip layers become mask brackets; a clip layer
// inside a mask's own content adds its geometry to that mask (nested masks flatten).
class DrawListBuilder {
public:
    void shape(const ShapeDef& shape, const Matrix& matrix, const ColorTransform& cx, uint64_t key,
               uint64_t version = 0, std::optional<Rgba> colorOverride = std::nullopt);
    // `shape` filled with a script's picture; redrawn whenever the picture's pixels change.
    void picture(const ShapeDef& shape, const Image& picture, const Matrix& matrix, const ColorTransform& cx, uint64_t key);
    void beginMask(uint64_t key);
    void endMask();
    void popMask();
    bool buildingMask() const { return buildingMask_ > 0; }
    // A group composited with `blend` and `filters` (which must outlive the list).
    void beginLayer(uint64_t key, BlendMode blend, const FilterList* filters);
    void endLayer();

    DrawList take() { return std::move(items_); }
    // The dictionary of the movie whose instances are being emitted (null: the main movie's);
    // a movie's root sets it for its children and puts the old one back.
    const Dictionary* dictionary = nullptr;
    const DrawList& items() const { return items_; }

    // Stage pixels a filter list may spread an object's pixels by.
    static int filterMargin(const FilterList& filters);

    static uint64_t partKey(uint64_t serial, uint32_t part) { return (serial << 20) | (part & 0xFFFFF); }

private:
    DrawList items_;
    int buildingMask_ = 0;
    std::vector<uint64_t> masks_;  // keys of the masks in force
    std::vector<uint64_t> pendingMasks_;
    std::vector<int> layerMargins_;  // filter spread of the enclosing layers
};

}  // namespace swf
