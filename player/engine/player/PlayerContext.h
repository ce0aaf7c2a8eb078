#pragma once
// State every instance of one playing movie shares: the definition, the host, the queue of
// frame actions waiting to run, and the counters that give instances their identity.
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <map>
#include <set>
#include <string_view>
#include <vector>

#include "avm1/Value.h"
#include "model/Movie.h"
#include "player/ActionInterpreter.h"
#include "player/FocusManager.h"
#include "player/Host.h"
#include "player/TextCommand.h"

namespace swf::avm1 {
class Object;
class Vm;
}

namespace swf {

class DisplayObject;
class EditTextInstance;
class MovieClip;

// The code a button's key condition names for a key: 1-19 for the keys that type nothing
// (arrows, Home, Tab, Escape...), else the character typed; 0 when the key has none.
uint8_t buttonKeyCode(uint8_t code, uint16_t ascii);

class PlayerContext final : public ActionServices {
public:
    PlayerContext(std::shared_ptr<const MovieDef> movie, Host& host);
    ~PlayerContext() override;

    const MovieDef& movie() const { return *movie_; }
    // The dictionary of the movie whose character is being built now (the main movie's
    // outside instantiate()).
    const Dictionary& dictionary() const { return building_movies_.empty() ? movie_->dictionary : building_movies_.back()->dictionary; }

    // A new instance of a character of `movie`, or nullptr for an id that names nothing
    // displayable, or for one that is being built right now further out: a sprite or button
    // that holds itself would otherwise build forever (and a button's two sets of children
    // make that growth exponential).
    std::shared_ptr<DisplayObject> instantiate(uint16_t characterId, const MovieDef& movie);
    std::shared_ptr<DisplayObject> instantiate(uint16_t characterId) { return instantiate(characterId, dictionaryOwner()); }

    // Levels: _level0 is the main movie's root; loadMovieNum adds the others.
    using Levels = std::map<int32_t, std::shared_ptr<MovieClip>>;
    const Levels& levels() const { return levels_; }
    void setLevel(int32_t number, std::shared_ptr<MovieClip> clip);
    bool isLevel(const MovieClip* clip) const;
    // "_level3" (any case) names level 3 when it is loaded.
    MovieClip* levelByName(std::string_view name) const override;
    void loadMovie(const std::string& url, UrlMethod method, MovieClip* target, int32_t level, avm1::Object* loader) override;
    // What _root means for scripts of `clip`: the nearest movie root above it that locks
    // its root (_lockroot), else the level it stands on.
    MovieClip* scriptRoot(MovieClip& clip) const override;
    DisplayObject* focus() override {
        focus_.deliverLoss();
        return focus_.current();
    }
    bool setFocus(DisplayObject* instance) override;
    FocusManager& focusManager() { return focus_; }
    // Dragging (Dragging.cpp): the dragged instance moves with the pointer and each frame.
    void startDrag(DisplayObject& instance, bool lockCenter, std::optional<DragBounds> bounds) override;
    void stopDrag() override;
    void updateDrag();
    // A key went down or up (KeyInput.cpp): clip events, Key's listeners, the focused
    // instance's handler, buttons' key conditions (`buttonKey`, 0 for none) and, for Tab, the
    // focus moving on. Runs what it causes.
    void keyEvent(bool down, uint8_t code, uint16_t ascii, uint8_t buttonKey);
    // A character typed (TextInput.cpp): a button whose key condition names it takes it,
    // else the focused input field does (then its onChanged runs). Runs what it causes.
    void textInput(char32_t character);
    void textCommand(TextCommand command);
    // Calls the script handler `name` of a clip, button or text field at once, if it has one.
    void callHandler(DisplayObject& instance, const char* name, std::vector<avm1::Value> args);
    // The same after the scripts queued before it (a clip's, button's or text field's handler).
    void queueHandler(DisplayObject& instance, const char* name);
    void callHandlerIfOnStage(DisplayObject& instance, const char* name);

    // A movie (or image) to load into a clip or a level once the frame's scripts are done;
    // an empty URL unloads. `loader` is the MovieClipLoader to tell of progress, if any.
    struct MovieLoad {
        std::string url;
        UrlMethod method = UrlMethod::Get;
        std::weak_ptr<DisplayObject> target;  // a clip, or empty for a level
        int32_t level = -1;
        avm1::Object* loader = nullptr;
        bool startOnly = false;  // cancelled: the loader only hears that it started
    };
    void requestMovieLoad(MovieLoad load);
    // Asks the host for each file the main movie imports assets from, as the runtime does
    // before the first frame. What arrives is not brought in: no imported asset is used yet.
    void requestImports();
    // Bytes of loaded movies alive at once and loads per frame: a movie that loads itself
    // into new levels, or loads in a loop, is refused past these instead of growing.
    static constexpr size_t kMaxLoadedBytes = 64u << 20;
    static constexpr size_t kMaxLoadedMovies = 256;
    static constexpr size_t kMaxMovieLoadsPerFrame = 64;
    uint64_t movieLoadsRefused = 0;

    // Held while an instance of `characterId` builds its children.
    class BuildScope {
    public:
        BuildScope(PlayerContext& c, uint16_t characterId) : context_(c) { context_.building_.push_back(characterId); }
        ~BuildScope() { context_.building_.pop_back(); }
        BuildScope(const BuildScope&) = delete;
        BuildScope& operator=(const BuildScope&) = delete;

    private:
        PlayerContext& context_;
    };
    // How deep clips may nest on the stage (a sprite placing itself adds a level per frame).
    static constexpr int kMaxNesting = 64;
    // Instances refused because they would contain themselves (for diagnostics).
    uint64_t instancesRefused = 0;

    // Frame and button actions wait here until the frame's display changes are done.
    void queueActions(MovieClip& clip, SharedBytes actions);
    // The clip's onEnterFrame, when a script gave it one, runs with the queued actions.
    void queueEnterFrame(MovieClip& clip);
    // A clip its parent's timeline just placed: a class linked to its symbol is constructed,
    // then its frame actions and onLoad follow in the queue.
    void clipPlaced(MovieClip& clip);
    void queueClipEvent(MovieClip& clip, const char* name) override;
    // Whether a clip its parent's timeline just placed will hear onLoad: only through a
    // handler it has by then (its class's, MovieClip.prototype's). One the parent's frame
    // script gives it afterwards comes too late (tab_ordering_events).
    bool hearsPlacedLoad(MovieClip& clip);
    // The clip's onClipEvent actions for any of `events` join the queue.
    void queueClipActions(MovieClip& clip, uint32_t events);
    // A clip leaves the stage: its unload actions and onUnload, and those of the clips
    // inside it, still run (after the current block, on the departed clips).
    void clipLeaving(MovieClip& clip);
    // A mouse event (onMouseMove, onMouseDown, onMouseUp): every clip's handler, children
    // before their parent and the highest depth first, then the Mouse object's listeners.
    void mouseEvent(const char* name);
    // A sprite's initialisation actions (where class definitions live) run once per movie,
    // the first time a frame holding them is reached.
    void queueInitActions(MovieClip& clip, uint16_t spriteId, SharedBytes actions);
    // Runs the queue until it is empty. Actions may queue more (a goto queues the target
    // frame's actions); a movie that keeps doing so forever is cut off after a fixed budget,
    // as the Flash runtime stops a script that runs too long.
    void runQueuedActions();
    // Calls the scripts' timers (setInterval, setTimeout) that are due by the host's clock.
    void runTimers();
    // Reordering what a frame queued by the tags that caused it (MovieClip::TagOrder): each
    // segment of the ordinary queue, from `begin` to the next one, moves as a whole to the
    // place of its tag; stable, so what one tag caused keeps its own order.
    struct QueueSegment {
        int tag;
        size_t begin;
    };
    static constexpr int kUntagged = 1 << 30;
    size_t normalQueueSize() const { return queue_.size(); }
    void orderQueued(size_t start, std::vector<QueueSegment> segments);
    size_t pendingActionBlocks() const { return queue_.size() + early_[0].size() + early_[1].size(); }
    // Runs a block at once (the Call action runs another frame's actions inside a script).
    void runActionsNow(MovieClip& clip, const SharedBytes& actions);
    avm1::Vm& scriptMachine() { return *vm_; }

    void startSound(uint16_t soundId, const SoundInfo& info);

    // ActionServices
    Host& host() override { return host_; }
    void toggleQuality() override { qualityToggled = !qualityToggled; }
    void stopAllSounds() override { host_.stopAllSounds(); }
    void pointer(double& x, double& y) const override {
        x = pointerX;
        y = pointerY;
    }
    double pointerX = 0, pointerY = 0;  // stage twips, kept by the player

    uint64_t nextSerial = 1;
    uint64_t unnamedInstances = 0;
    uint64_t tick = 0;
    MovieClip* root = nullptr;
    // The furthest frame of the main timeline played so far (exports become usable there).
    uint32_t rootFrameReached = 0;
    std::optional<Rgba> background;
    bool qualityToggled = false;
    // Blocks of actions dropped because a movie exceeded the budget (for diagnostics).
    uint64_t actionBlocksCutOff = 0;

    // Action blocks one frame may run. Real movies run a few hundred at most; frames whose
    // actions go to each other would otherwise ping-pong through the whole budget every frame
    // (20000 blocks cost 30 ms a frame, and seconds with the sanitizers).
    static constexpr size_t kActionBlockBudget = 4000;
    // Rounds of delivering loads (and running what they cause) within one frame.
    static constexpr int kLoadRoundsPerFrame = 4;

private:
    struct Pending {
        std::shared_ptr<DisplayObject> keepAlive;
        MovieClip* clip;
        SharedBytes actions;
        const char* handler = nullptr;  // a clip event handler to call instead of actions
        enum class Special { None, Construct, BroadcastMouse, LoadInit, InstanceHandler } special = Special::None;
        avm1::Object* loader = nullptr;  // LoadInit: the MovieClipLoader to tell
        bool offStage = false;           // runs on a clip that has left the stage (unload)
    };
    void runQueue(size_t& budget);
    // Initialisation actions and initialize events, then construct events and the classes of
    // placed clips, run ahead of everything else queued: a frame's constructors run before
    // its scripts, whichever tag comes first (ruffle-shumway doactionorder, timeline_as2).
    enum class Tier { Initialize, Construct };
    void queueEarly(Tier tier, Pending pending);
    bool popNext(Pending& out);
    const MovieDef& dictionaryOwner() const { return building_movies_.empty() ? *movie_ : *building_movies_.back(); }
    bool completeMovieLoads();
    void deliverMovieLoad(MovieLoad& load, std::vector<std::pair<std::shared_ptr<DisplayObject>, avm1::Object*>>& inits);
    void unloadTarget(MovieLoad& load);
    MovieClip* loadTarget(const MovieLoad& load, bool create);
    // Runs `fn` as the script machine of `clip`'s movie: its version's rules, its _root.
    void enterMovieOf(MovieClip* clip);
    // The first shown button with a key condition for `buttonKey` runs its actions; false
    // when none has one.
    bool pressButtonKey(uint8_t buttonKey);
    // After a user changed a field's text: its variable, then its onChanged.
    void fieldChangedByUser(EditTextInstance& field);
    void broadcastLoader(avm1::Object* loader, const char* event, MovieClip* clip, std::vector<avm1::Value> extra = {});

    std::shared_ptr<const MovieDef> movie_;
    Host& host_;
    std::unique_ptr<avm1::Vm> vm_;
    std::deque<Pending> queue_;
    std::deque<Pending> early_[2];  // by Tier
    bool running_ = false;
    std::vector<uint16_t> building_;
    std::vector<const MovieDef*> building_movies_;
    Levels levels_;
    std::vector<MovieLoad> movieLoads_;
    std::vector<MovieLoad> deliveringLoads_;
    std::vector<std::pair<std::shared_ptr<DisplayObject>, avm1::Object*>> loadInits_;
    std::vector<std::weak_ptr<const MovieDef>> loadedMovies_;
    FocusManager focus_{*this};
    struct Drag {
        std::weak_ptr<DisplayObject> instance;
        double offsetX = 0, offsetY = 0;  // from the pointer to the origin, parent twips
        std::optional<DragBounds> bounds;
    };
    std::optional<Drag> drag_;
    std::set<std::pair<uint64_t, uint16_t>> initActionsRun_;  // (load serial, sprite)  // characters whose instances are building their children
};

}  // namespace swf
