#pragma once
// One instance on a display list: a character placed at a depth with its own transform.
// Definitions stay immutable and shared; everything that changes while playing lives here.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/Geometry.h"
#include "model/Filters.h"
#include "player/DrawList.h"

namespace swf::avm1 {
class Object;
}

namespace swf {

class MovieClip;
class ButtonInstance;
class PlayerContext;

class DisplayObject : public std::enable_shared_from_this<DisplayObject> {
public:
    DisplayObject(PlayerContext& context, uint16_t characterId);
    virtual ~DisplayObject() = default;
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    uint16_t characterId() const { return characterId_; }
    uint64_t serial() const { return serial_; }
    PlayerContext& context() const { return context_; }

    // Placement properties, as PlaceObject sets them. Scripts reach depths beyond the
    // timeline's 16 bits (theirs start at 16384 here, 0 as they count).
    int32_t depth = 0;
    Matrix matrix;
    ColorTransform colorTransform;
    uint16_t ratio = 0;
    uint16_t clipDepth = 0;  // > 0: a clip layer masking depths up to this one
    std::string name;
    bool visible = true;
    BlendMode blendMode = BlendMode::Normal;
    FilterList filters;
    // Counts changes of the blend mode and filters, so a redraw notices them.
    uint32_t layerVersion = 0;
    // The frame of the parent's timeline whose PlaceObject created this instance; together
    // with the character it tells whether a rewound timeline may keep the instance.
    uint32_t placedFrame = 0;
    // The tick in which the instance was made: it does not advance in that same tick.
    uint64_t bornTick = 0;
    MovieClip* parent = nullptr;
    // The button whose state shows this instance: its path runs through the button, while
    // `parent` is the button's timeline, where the instance's scripts look for names.
    const DisplayObject* heldByButton = nullptr;
    // The instance that names the next step of this one's path.
    const DisplayObject* pathParent() const;
    // The scale and rotation a script last set, read back exactly as set while the matrix is
    // still the one they made (the matrix holds them only approximately, and loses the sign
    // of a negative scale).
    struct ScriptTransform {
        double xScale = 100, yScale = 100, rotation = 0;
        Matrix madeMatrix;
    };
    std::optional<ScriptTransform> scriptTransform;
    // _focusrect a script gave this instance (none: the levels' setting applies).
    std::optional<bool> focusRect;
    // Made, or moved to another depth, by a script: the parent's timeline leaves it alone.
    bool scripted = false;
    // The object scripts see for this instance, made on first use by the script machine,
    // which owns it and outlives the stage.
    avm1::Object* scriptObject = nullptr;

    // Appends what the instance draws; `toStage` maps its own coordinates to the stage.
    virtual void emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const = 0;
    // The box around what it draws, in its own coordinates (twips); empty when it draws nothing.
    virtual Rect localBounds() const { return Rect::none(); }
    // Exact hit test of a point in the instance's own coordinates (twips).
    virtual bool hitTestLocal(double x, double y) const = 0;
    // One frame of time passes (sprites play; most characters do nothing).
    virtual void tick() {}
    // The ratio or another placement property changed.
    virtual void placementChanged() {}
    // Called once when the instance leaves the display list.
    virtual void removed() {}

    // Clips, buttons and text fields: instances scripts address by name (shapes and static
    // text are not, and take no "instanceN" name).
    virtual bool scriptable() const { return false; }
    virtual MovieClip* asClip() { return nullptr; }
    virtual ButtonInstance* asButton() { return nullptr; }

    // Emits the instance as its parent places it: nothing when hidden, inside a layer of
    // its own when it blends or filters. `toStage` and `cx` already include its own transform.
    void emitPlaced(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const;

    // Whether drawing needs a group of its own (a blend mode other than normal, or filters).
    bool needsLayer() const { return blendMode != BlendMode::Normal || !filters.empty(); }

    // Hit test of a point given in the parent's coordinates.
    bool hitTest(double x, double y) const;

protected:
    PlayerContext& context_;

private:
    uint16_t characterId_;
    uint64_t serial_;
};

}  // namespace swf
