#pragma once
// Runs action blocks against timelines. Dispatch is a table indexed by action code, so the
// stack-machine actions of later file versions are added as more table entries; codes with
// no handler are stepped over by their recorded length.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include <string>

#include "player/ActionReader.h"
#include "player/Host.h"

namespace swf::avm1 {
class Object;
}

namespace swf {

class DisplayObject;
class MovieClip;

class Host;

// The timeline operations frame actions drive; a movie clip implements it.
class TimelineControl {
public:
    virtual ~TimelineControl() = default;
    virtual void play() = 0;
    virtual void stop() = 0;
    // 0-based; a frame past the end goes to the last frame. Going to a frame stops the clip.
    virtual void gotoFrame(uint32_t frame) = 0;
    // Returns false (and does nothing) for a label this timeline does not have.
    virtual bool gotoLabel(std::string_view label) = 0;
    virtual void nextFrame() = 0;
    virtual void prevFrame() = 0;
    virtual uint32_t loadedFrameCount() const = 0;
    // A slash path ("/a/b", "a/b", "..", "_root", "_level0") relative to this timeline;
    // nullptr when nothing answers to it.
    virtual TimelineControl* resolvePath(std::string_view path) = 0;
};

// Player-wide services an action may reach.
class ActionServices {
public:
    virtual ~ActionServices() = default;
    virtual Host& host() = 0;
    virtual void toggleQuality() = 0;
    virtual void stopAllSounds() = 0;
    // Queues the clip's handler `name` (onLoad) to run after the current scripts.
    virtual void queueClipEvent(MovieClip& /*clip*/, const char* /*name*/) {}
    // Where the pointer last was, in stage twips.
    virtual void pointer(double& x, double& y) const { x = y = 0; }
    // Loads the movie at `url` into `target`, or into level `level` when target is null, once
    // the frame's scripts are done; an empty URL unloads. `loader` (a MovieClipLoader) hears
    // of the progress.
    virtual void loadMovie(const std::string& /*url*/, UrlMethod /*method*/, MovieClip* /*target*/, int32_t /*level*/,
                           avm1::Object* /*loader*/) {}
    // "_level3" names level 3 while one is loaded there.
    virtual MovieClip* levelByName(std::string_view /*name*/) const { return nullptr; }
    // What _root means for scripts of `clip` (its level, or a clip locking its root).
    virtual MovieClip* scriptRoot(MovieClip& /*clip*/) const { return nullptr; }
    // The instance holding the keyboard focus, or null.
    virtual DisplayObject* focus() { return nullptr; }
    // Gives `instance` (null: nobody) the focus; false when it cannot take it.
    virtual bool setFocus(DisplayObject* /*instance*/) { return false; }
    // startDrag: `instance` follows the pointer from now on (its origin on the pointer with
    // `lockCenter`), inside `bounds` when given; one instance at a time. stopDrag lets go.
    struct DragBounds {
        double left, top, right, bottom;  // twips in the parent's coordinates
    };
    virtual void startDrag(DisplayObject& /*instance*/, bool /*lockCenter*/, std::optional<DragBounds> /*bounds*/) {}
    virtual void stopDrag() {}
};

// State of one running block.
struct ActionFrame {
    TimelineControl& self;     // the clip the block belongs to
    TimelineControl* target;   // where timeline actions go; null after a failed setTarget
    ActionServices& services;
    uint32_t skipActions = 0;  // set by waitForFrame when the frame is not there
};

struct ActionRunResult {
    uint32_t actionsRun = 0;
    bool truncated = false;  // the block ended inside a record
};

class ActionInterpreter {
public:
    using Handler = void (*)(ActionFrame&, const ActionRecord&);

    // An interpreter that knows the frame actions of version 3 files.
    static ActionInterpreter withFrameActions();

    void setHandler(uint8_t code, Handler handler) { handlers_[code] = handler; }
    ActionRunResult run(std::span<const uint8_t> block, TimelineControl& self, ActionServices& services) const;

private:
    std::array<Handler, 256> handlers_{};
};

// Action codes of the version 3 frame actions.
namespace action {
constexpr uint8_t kEnd = 0x00, kNextFrame = 0x04, kPrevFrame = 0x05, kPlay = 0x06, kStop = 0x07,
                  kToggleQuality = 0x08, kStopSounds = 0x09, kGotoFrame = 0x81, kGetUrl = 0x83,
                  kWaitForFrame = 0x8A, kSetTarget = 0x8B, kGotoLabel = 0x8C;
}

}  // namespace swf
