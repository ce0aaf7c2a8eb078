#pragma once
// What a frame does when it is reached: the control tags of one frame, in file order.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/SharedBytes.h"
#include "model/Filters.h"
#include "model/Sound.h"

namespace swf {

// Clip event bits of a clip action (our own layout, the same for SWF 5 and 6+ files).
enum ClipEvent : uint32_t {
    ClipLoad = 1u << 0, ClipEnterFrame = 1u << 1, ClipUnload = 1u << 2, ClipMouseMove = 1u << 3,
    ClipMouseDown = 1u << 4, ClipMouseUp = 1u << 5, ClipKeyDown = 1u << 6, ClipKeyUp = 1u << 7,
    ClipData = 1u << 8, ClipInitialize = 1u << 9, ClipPress = 1u << 10, ClipRelease = 1u << 11,
    ClipReleaseOutside = 1u << 12, ClipRollOver = 1u << 13, ClipRollOut = 1u << 14, ClipDragOver = 1u << 15,
    ClipDragOut = 1u << 16, ClipKeyPress = 1u << 17, ClipConstruct = 1u << 18,
};

struct ClipAction {
    uint32_t events = 0;  // ClipEvent bits
    uint8_t keyCode = 0;  // with ClipKeyPress
    SharedBytes actions;
};

struct PlaceObject {
    uint8_t version = 1;  // PlaceObject 1, 2 or 3
    uint16_t depth = 0;
    bool move = false;    // modifies the object at depth (else places a new one)
    std::optional<uint16_t> characterId;
    std::optional<std::string> className;  // PlaceObject3 by class name
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<uint16_t> clipDepth;
    std::optional<FilterList> filters;
    std::optional<BlendMode> blendMode;
    std::optional<bool> cacheAsBitmap;
    std::optional<bool> visible;
    std::optional<Rgba> backgroundColor;  // opaque background of a cached bitmap
    std::vector<ClipAction> clipActions;
};

struct RemoveObject {
    uint16_t depth = 0;
    std::optional<uint16_t> characterId;  // RemoveObject 1 names it
};

struct DoAction { SharedBytes actions; };
struct DoInitAction { uint16_t spriteId = 0; SharedBytes actions; };

struct StartSound {
    uint16_t soundId = 0;
    std::string className;  // StartSound2
    SoundInfo info;
};

struct SoundStreamBlock { SharedBytes data; };
struct SetBackgroundColor { Rgba color; };
struct VideoFrame { uint16_t streamId = 0; uint16_t frameNumber = 0; SharedBytes data; };
struct SetTabIndex { uint16_t depth = 0; uint16_t tabIndex = 0; };

using ControlTag = std::variant<PlaceObject, RemoveObject, DoAction, DoInitAction, StartSound, SoundStreamHead,
                                SoundStreamBlock, SetBackgroundColor, VideoFrame, SetTabIndex>;

struct FrameLabel {
    std::string name;
    bool anchor = false;  // a named anchor (SWF 6+), reachable from the page URL
};

struct Frame {
    std::vector<FrameLabel> labels;
    std::vector<ControlTag> tags;
};

// The frames of the main movie or of a sprite. `frames` has declaredFrameCount entries when
// the file is complete; a truncated file has fewer.
struct Timeline {
    uint16_t declaredFrameCount = 0;
    std::vector<Frame> frames;
    // Reaching the last frame does not loop back to the first.
    bool stopsAtEnd = false;
};

struct SpriteDef {
    Timeline timeline;
};

}  // namespace swf
