#include "player/MovieClip.h"

#include "player/ShapeHitTest.h"

#include <algorithm>
#include <cctype>

#include "player/ButtonInstance.h"
#include "player/EditTextInstance.h"
#include "player/PlayerContext.h"
#include "player/ShapeHitTest.h"

namespace swf {

namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Splits "a/b/../c" or "a.b" into its names; ".." stays one name.
std::vector<std::string_view> pathSegments(std::string_view path) {
    std::vector<std::string_view> out;
    auto split = [](std::string_view text, char separator, auto&& each) {
        size_t start = 0;
        for (size_t i = 0; i <= text.size(); ++i) {
            if (i < text.size() && text[i] != separator) continue;
            if (i > start) each(text.substr(start, i - start));
            start = i + 1;
        }
    };
    split(path, '/', [&](std::string_view segment) {
        if (segment == "..") out.push_back(segment);
        else split(segment, '.', [&](std::string_view name) { out.push_back(name); });
    });
    return out;
}

}  // namespace

MovieClip::MovieClip(PlayerContext& context, uint16_t characterId, const Timeline& timeline)
    : DisplayObject(context, characterId), timeline_(&timeline) {}

MovieClip::MovieClip(PlayerContext& context, std::shared_ptr<const MovieDef> movie, std::string url)
    : DisplayObject(context, 0),
      timeline_(&movie->timeline),
      ownMovie_(std::move(movie)),
      movieLoadSerial_(context.nextSerial++),
      movieUrl_(std::move(url)) {}

uint64_t MovieClip::movieLoadSerial() const {
    for (const MovieClip* clip = this; clip; clip = clip->parent)
        if (clip->ownMovie_) return clip->movieLoadSerial_;
    return 0;
}

const MovieDef& MovieClip::movie() const {
    for (const MovieClip* clip = this; clip; clip = clip->parent)
        if (clip->ownMovie_) return *clip->ownMovie_;
    return context_.movie();
}

MovieClip* MovieClip::movieRoot() {
    MovieClip* clip = this;
    while (!clip->ownMovie_ && clip->parent) clip = clip->parent;
    return clip;
}

void MovieClip::replaceMovie(std::shared_ptr<const MovieDef> movie, std::string url) {
    clearContent();
    ownMovie_ = std::move(movie);
    movieLoadSerial_ = context_.nextSerial++;
    movieUrl_ = std::move(url);
    timeline_ = &ownMovie_->timeline;
    movieFrameReached = 0;
    playing_ = true;
    start();
}

void MovieClip::clearContent() {
    auto keepAlive = shared_from_this();
    removed();
    timeline_ = &emptyTimeline();
    started_ = false;
    current_ = 0;
    playing_ = true;
}

uint32_t MovieClip::frameCount() const { return std::max<uint32_t>(1, loadedFrameCount()); }

void MovieClip::start() {
    if (started_) return;
    PlayerContext::BuildScope scope(context_, characterId());
    started_ = true;
    current_ = 0;
    if (timeline_->frames.empty()) return;
    Plan plan;
    applyFrameTags(0, plan);
    enterFrame(0, plan, false);
}

DisplayObject* MovieClip::childAt(int32_t depth) const {
    auto it = children_.find(depth);
    return it == children_.end() ? nullptr : it->second.get();
}

MovieClip* MovieClip::clipByName(std::string_view name) const {
    for (const auto& [depth, child] : children_)
        if (equalsNoCase(child->name, name))
            if (MovieClip* clip = child->asClip()) return clip;
    return nullptr;
}

DisplayObject* MovieClip::childByName(std::string_view name) const {
    for (const auto& [depth, child] : children_)
        if (equalsNoCase(child->name, name)) return child.get();
    return nullptr;
}

bool MovieClip::onStage() const {
    const MovieClip* clip = this;
    while (clip->parent) clip = clip->parent;
    return context_.isLevel(clip);
}

// ---- placement plan ------------------------------------------------------------------

MovieClip::Plan MovieClip::currentPlan() const {
    Plan plan;
    for (const auto& [depth, child] : children_) {
        if (child->scripted) continue;
        Slot s;
        s.characterId = child->characterId();
        s.placedFrame = child->placedFrame;
        s.matrix = child->matrix;
        s.colorTransform = child->colorTransform;
        s.ratio = child->ratio;
        s.clipDepth = child->clipDepth;
        s.name = child->name;
        s.visible = child->visible;
        s.blendMode = child->blendMode;
        s.filters = child->filters;
        plan.emplace(depth, std::move(s));
    }
    return plan;
}

void MovieClip::applyPlace(const PlaceObject& place, uint32_t frame, Plan& plan) {
    auto it = plan.find(place.depth);
    // PlaceObject 1 and a non-move PlaceObject 2/3 put a new character at the depth; a move
    // onto an empty depth that names a character does the same, as players accept it.
    bool fresh = place.version == 1 || !place.move || it == plan.end();
    if (fresh) {
        if (!place.characterId) return;  // nothing to place and nothing to modify
        Slot s;
        s.characterId = *place.characterId;
        s.placedFrame = frame;
        s.clipActions = place.clipActions;
        it = plan.insert_or_assign(place.depth, std::move(s)).first;
    } else if (place.characterId && *place.characterId != it->second.characterId) {
        // Replacing the character keeps the transform, name and clip depth of the old one.
        it->second.characterId = *place.characterId;
    }
    Slot& slot = it->second;
    if (place.matrix) slot.matrix = *place.matrix;
    if (place.colorTransform) slot.colorTransform = *place.colorTransform;
    if (place.ratio) slot.ratio = *place.ratio;
    if (place.name) slot.name = *place.name;
    if (place.clipDepth) slot.clipDepth = *place.clipDepth;
    if (place.visible) slot.visible = *place.visible;
    if (place.blendMode) slot.blendMode = *place.blendMode;
    if (place.filters) slot.filters = *place.filters;
}

void MovieClip::applyFrameTags(uint32_t frame, Plan& plan) {
    if (frame >= timeline_->frames.size()) return;
    for (const ControlTag& tag : timeline_->frames[frame].tags) {
        if (auto* place = std::get_if<PlaceObject>(&tag)) {
            applyPlace(*place, frame, plan);
        } else if (auto* remove = std::get_if<RemoveObject>(&tag)) {
            plan.erase(remove->depth);
        } else if (auto* bg = std::get_if<SetBackgroundColor>(&tag)) {
            if (this == context_.root && ownMovie_) context_.background = bg->color;
        }
    }
}

void MovieClip::removeChild(Children::iterator it) {
    std::shared_ptr<DisplayObject> child = std::move(it->second);
    children_.erase(it);
    if (MovieClip* clip = child->asClip()) context_.clipLeaving(*clip);
    context_.focusManager().instanceLeaving(*child);
    child->removed();
    child->parent = nullptr;
}

// The scripts one frame queues run in the order of the frame's tags: a DoAction standing
// before a PlaceObject runs before the placed clip's first frame, one after it after it, and
// a removal's unload handlers before the actions that follow it (ruffle-shumway
// doactionorder, clip_events). What no tag of the frame caused (a jump replaying earlier
// frames) follows the frame's own actions.
class MovieClip::TagOrder {
public:
    TagOrder(MovieClip& clip, uint32_t frame) : context_(clip.context_), start_(context_.normalQueueSize()) {
        if (frame >= clip.timeline_->frames.size()) return;
        const auto& tags = clip.timeline_->frames[frame].tags;
        for (size_t i = 0; i < tags.size(); ++i) {
            if (auto* place = std::get_if<PlaceObject>(&tags[i])) placed_[place->depth] = static_cast<int>(i);
            else if (auto* remove = std::get_if<RemoveObject>(&tags[i])) removed_.try_emplace(remove->depth, static_cast<int>(i));
        }
    }
    ~TagOrder() { context_.orderQueued(start_, std::move(segments_)); }
    TagOrder(const TagOrder&) = delete;
    TagOrder& operator=(const TagOrder&) = delete;

    // What is queued from now on stands at the frame's tag `index`.
    void at(int index) { segments_.push_back({index, context_.normalQueueSize()}); }
    void atPlacement(int32_t depth) { at(find(placed_, depth)); }
    void atRemoval(int32_t depth) { at(find(removed_, depth)); }

private:
    static int find(const std::map<int32_t, int>& tags, int32_t depth) {
        auto it = tags.find(depth);
        return it == tags.end() ? PlayerContext::kUntagged : it->second;
    }
    PlayerContext& context_;
    size_t start_;
    std::map<int32_t, int> placed_, removed_;
    std::vector<PlayerContext::QueueSegment> segments_;
};

void MovieClip::enterFrame(uint32_t frame, const Plan& plan, bool rewinding) {
    TagOrder order(*this, frame);
    queueFrameActions(frame, order);
    reconcile(plan, order, rewinding);
}

void MovieClip::reconcile(const Plan& plan, TagOrder& order, bool rewinding) {
    for (auto it = children_.begin(); it != children_.end();) {
        auto slot = plan.find(it->first);
        // Going back clears the timeline's depths of whatever a script put or moved there,
        // while what a script moved above them stays (rewind_depth, duplicateMovieClip's
        // dontremove).
        bool scriptedStays = it->second->scripted && !(rewinding && it->first < kScriptDepthOffset);
        bool keep = scriptedStays ||
                    (slot != plan.end() && slot->second.characterId == it->second->characterId() &&
                     slot->second.placedFrame == it->second->placedFrame);
        if (keep) {
            ++it;
        } else {
            auto next = std::next(it);
            order.atRemoval(it->first);
            removeChild(it);
            it = next;
        }
    }
    int nesting = 0;
    for (const MovieClip* p = this; p; p = p->parent) ++nesting;
    for (const auto& [depth, slot] : plan) {
        auto existing = children_.find(depth);
        if (existing != children_.end() && existing->second->scripted) continue;  // a script's now
        std::shared_ptr<DisplayObject>& child = children_[depth];
        bool created = false;
        if (!child) {
            // A sprite that places itself nests deeper every frame; the tree stops growing here.
            if (nesting < PlayerContext::kMaxNesting) child = context_.instantiate(slot.characterId, movie());
            if (!child) {
                children_.erase(depth);  // an id that names nothing displayable is skipped
                continue;
            }
            child->depth = depth;
            child->parent = this;
            child->placedFrame = slot.placedFrame;
            created = true;
        }
        bool changed = created || child->ratio != slot.ratio;
        child->matrix = slot.matrix;
        child->colorTransform = slot.colorTransform;
        child->ratio = slot.ratio;
        child->clipDepth = slot.clipDepth;
        // Unnamed instances get the runtime's "instanceN" names, which scripts can see.
        if (!slot.name.empty()) child->name = slot.name;
        else if (created && child->scriptable()) child->name = "instance" + std::to_string(++context_.unnamedInstances);
        child->visible = slot.visible;
        if (child->blendMode != slot.blendMode || child->filters != slot.filters) {
            child->blendMode = slot.blendMode;
            child->filters = slot.filters;
            ++child->layerVersion;
        }
        if (changed) child->placementChanged();
        if (created)
            if (MovieClip* clip = child->asClip()) {
                order.atPlacement(depth);
                clip->clipActions = slot.clipActions;
                context_.queueClipActions(*clip, ClipInitialize | ClipConstruct);
                context_.clipPlaced(*clip);
                context_.queueClipActions(*clip, ClipLoad);
                context_.queueClipEvent(*clip, "onLoad");
                clip->start();
            }
    }
}

void MovieClip::queueFrameActions(uint32_t frame, TagOrder& order) {
    if (frame >= timeline_->frames.size()) return;
    // A frame's initialisation actions (class definitions) run before its other actions,
    // wherever they stand among the frame's tags.
    const auto& tags = timeline_->frames[frame].tags;
    for (const ControlTag& tag : tags)
        if (auto* init = std::get_if<DoInitAction>(&tag)) context_.queueInitActions(*this, init->spriteId, init->actions);
    for (size_t i = 0; i < tags.size(); ++i) {
        if (auto* action = std::get_if<DoAction>(&tags[i])) {
            order.at(static_cast<int>(i));
            context_.queueActions(*this, action->actions);
        } else if (auto* sound = std::get_if<StartSound>(&tags[i])) {
            context_.startSound(sound->soundId, sound->info);
        }
    }
}

void MovieClip::runFrameActionsNow(uint32_t frame) {
    if (frame >= timeline_->frames.size()) return;
    auto keepAlive = shared_from_this();
    for (const ControlTag& tag : timeline_->frames[frame].tags)
        if (auto* action = std::get_if<DoAction>(&tag)) context_.runActionsNow(*this, action->actions);
}

void MovieClip::seek(uint32_t target) {
    if (target >= frameCount()) target = frameCount() - 1;
    Plan plan;
    uint32_t from = 0;
    bool rewinding = started_ && target <= current_;
    if (started_ && target > current_) {
        plan = currentPlan();
        from = current_ + 1;
    }
    for (uint32_t f = from; f <= target; ++f) applyFrameTags(f, plan);
    started_ = true;
    current_ = target;
    if (ownMovie_) movieFrameReached = std::max(movieFrameReached, target);
    enterFrame(target, plan, rewinding);
}

// ---- changes by scripts -------------------------------------------------------------------

const Timeline& MovieClip::emptyTimeline() {
    static const Timeline empty;
    return empty;
}

void MovieClip::placeScripted(std::shared_ptr<DisplayObject> child, const std::string& name, int32_t depth) {
    if (auto it = children_.find(depth); it != children_.end()) removeChild(it);
    child->depth = depth;
    child->parent = this;
    child->name = name;
    child->scripted = true;
    children_[depth] = child;
    if (MovieClip* clip = child->asClip()) clip->start();
}

MovieClip* MovieClip::createEmptyClip(const std::string& name, int32_t depth) {
    auto clip = std::make_shared<MovieClip>(context_, 0, emptyTimeline());
    MovieClip* raw = clip.get();
    placeScripted(std::move(clip), name, depth);
    return raw;
}

const SoundDef* MovieClip::exportedSound(const std::string& name) const {
    uint16_t id = exportedCharacter(name);
    return id ? context_.movie().dictionary.get<SoundDef>(id) : nullptr;
}

uint16_t MovieClip::exportedCharacter(const std::string& name) const {
    MovieClip* root = const_cast<MovieClip*>(this)->movieRoot();
    const MovieDef& movie = root->movie();
    // Only once the frame holding the export has played.
    auto playedYet = [&](const std::string& exported) {
        auto frame = movie.exportFrames.find(exported);
        return frame == movie.exportFrames.end() || frame->second <= root->movieFrameReached;
    };
    if (auto it = movie.exports.find(name); it != movie.exports.end()) return playedYet(it->first) ? it->second : 0;
    for (const auto& [exported, id] : movie.exports)
        if (equalsNoCase(exported, name)) return playedYet(exported) ? id : 0;
    return 0;
}

DisplayObject* MovieClip::createTextField(const std::string& name, int32_t depth, std::shared_ptr<const EditTextDef> def) {
    auto field = std::make_shared<EditTextInstance>(context_, 0, std::move(def));
    DisplayObject* raw = field.get();
    placeScripted(std::move(field), name, depth);
    return raw;
}

DisplayObject* MovieClip::attachCharacter(uint16_t characterId, const std::string& name, int32_t depth) {
    int nesting = 0;
    for (const MovieClip* p = this; p; p = p->parent) ++nesting;
    if (nesting >= PlayerContext::kMaxNesting) return nullptr;
    std::shared_ptr<DisplayObject> child = context_.instantiate(characterId, movie());
    if (!child) return nullptr;
    DisplayObject* raw = child.get();
    placeScripted(std::move(child), name, depth);
    return raw;
}

void MovieClip::swapChildDepth(DisplayObject& child, int32_t depth) {
    auto from = children_.find(child.depth);
    if (from == children_.end() || from->second.get() != &child || child.depth == depth) return;
    std::shared_ptr<DisplayObject> moving = std::move(from->second);
    children_.erase(from);
    if (auto to = children_.find(depth); to != children_.end()) {
        std::shared_ptr<DisplayObject> other = std::move(to->second);
        children_.erase(to);
        other->depth = moving->depth;
        other->scripted = true;
        children_[other->depth] = std::move(other);
    }
    moving->depth = depth;
    moving->scripted = true;
    children_[depth] = std::move(moving);
}

void MovieClip::removeScripted(DisplayObject& child) {
    // A script removing what holds the focus: Selection's listeners hear of it at once, while
    // the object still has its place (and so its path).
    std::shared_ptr<DisplayObject> hold = child.shared_from_this();
    context_.focusManager().instanceLeaving(child);
    context_.focusManager().deliverLoss();
    auto it = children_.find(child.depth);
    if (it != children_.end() && it->second.get() == &child) removeChild(it);
}

int32_t MovieClip::nextHighestDepth() const {
    if (children_.empty()) return kScriptDepthOffset;
    return std::max(kScriptDepthOffset, children_.rbegin()->first + 1);
}

// ---- time ------------------------------------------------------------------------------

namespace {
// Every instance of a level's tree, the parts buttons show included.
void collectInstances(DisplayObject& instance, std::vector<std::shared_ptr<DisplayObject>>& out) {
    out.push_back(instance.shared_from_this());
    if (MovieClip* clip = instance.asClip())
        for (const auto& [depth, child] : clip->children()) collectInstances(*child, out);
    if (ButtonInstance* button = instance.asButton())
        for (DisplayObject* part : button->shownParts()) collectInstances(*part, out);
}
}  // namespace

// The runtime keeps a level's instances in one list that each new instance joins at the
// front, and plays them down that list: the most recently made first. So children advance
// before their parent, clips placed in one frame from the highest depth down, and a clip
// placed later before an older one at a higher depth (ruffle-shumway fuzz movies,
// execution_order2). Instances made while the level plays wait for the next frame.
void MovieClip::tickLevel() {
    std::vector<std::shared_ptr<DisplayObject>> instances;
    collectInstances(*this, instances);
    std::stable_sort(instances.begin(), instances.end(),
                     [](const auto& a, const auto& b) { return a->serial() > b->serial(); });
    for (const auto& instance : instances) {
        MovieClip* clip = instance->asClip();
        bool present = instance.get() == this || (clip ? clip->onStage() : instance->parent != nullptr);
        if (present) instance->tick();
    }
}

void MovieClip::tick() {
    if (bornTick == context_.tick && !context_.isLevel(this)) return;  // shows its first frame this tick
    context_.queueEnterFrame(*this);  // before the actions of the frame it moves to
    if (playing_ && frameCount() > 1 && !waitsForFrames()) seek(current_ + 1 < frameCount() ? current_ + 1 : 0);
}

// A movie whose file ends before its last frame stays on the last frame it has, as it
// would while the rest were still arriving, instead of looping back to the first.
bool MovieClip::waitsForFrames() const {
    if (current_ + 1 < frameCount()) return false;
    return timeline_->stopsAtEnd || (ownMovie_ && ownMovie_->truncated && !fullyLoaded());
}

void MovieClip::removed() {
    for (auto& [depth, child] : children_) {
        child->removed();
        child->parent = nullptr;
    }
    children_.clear();
}

// ---- frame actions ---------------------------------------------------------------------

void MovieClip::gotoFrame(uint32_t frame) {
    playing_ = false;
    uint32_t target = std::min(frame, frameCount() - 1);
    if (started_ && target == current_) return;
    seek(target);
}

int MovieClip::frameOfLabel(std::string_view label) const {
    for (size_t f = 0; f < timeline_->frames.size(); ++f)
        for (const FrameLabel& l : timeline_->frames[f].labels)
            if (equalsNoCase(l.name, label)) return static_cast<int>(f);
    return -1;
}

bool MovieClip::gotoLabel(std::string_view label) {
    int frame = frameOfLabel(label);
    if (frame < 0) return false;
    gotoFrame(static_cast<uint32_t>(frame));
    return true;
}

void MovieClip::nextFrame() {
    if (current_ + 1 < frameCount()) gotoFrame(current_ + 1);
    else playing_ = false;
}

void MovieClip::prevFrame() {
    if (current_ > 0) gotoFrame(current_ - 1);
    else playing_ = false;
}

TimelineControl* MovieClip::resolvePath(std::string_view path) {
    MovieClip* clip = this;
    if (!path.empty() && path.front() == '/') {
        clip = context_.scriptRoot(*this);
        path.remove_prefix(1);
    }
    for (std::string_view segment : pathSegments(path)) {
        if (!clip) return nullptr;
        if (segment == ".." || equalsNoCase(segment, "_parent")) clip = clip->parent;
        else if (equalsNoCase(segment, "_root")) clip = context_.scriptRoot(*clip);
        else if (MovieClip* level = context_.levelByName(segment)) clip = level;
        else clip = clip->clipByName(segment);
    }
    return clip;
}

// ---- drawing and hit testing -------------------------------------------------------------

void MovieClip::emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const {
    // A loaded movie's shapes name bitmaps of its own dictionary.
    const Dictionary* outer = out.dictionary;
    if (ownMovie_ && ownMovie_.get() != &context_.movie()) out.dictionary = &ownMovie_->dictionary;
    struct Restore {
        DrawListBuilder& out;
        const Dictionary* outer;
        ~Restore() { out.dictionary = outer; }
    } restore{out, outer};
    if (!drawing.empty()) out.shape(drawing.shape(), toStage, cx, DrawListBuilder::partKey(serial(), 0), drawing.version());
    std::vector<uint16_t> clipLayers;  // depths up to which a mask is in force
    for (const auto& [depth, child] : children_) {
        while (!clipLayers.empty() && depth > clipLayers.back()) {
            out.popMask();
            clipLayers.pop_back();
        }
        Matrix m = toStage * child->matrix;
        ColorTransform c = cx * child->colorTransform;
        if (child->clipDepth > 0) {
            out.beginMask(child->serial());
            child->emit(out, m, c);
            out.endMask();
            clipLayers.push_back(child->clipDepth);
            continue;
        }
        child->emitPlaced(out, m, c);
    }
    while (!clipLayers.empty()) {
        out.popMask();
        clipLayers.pop_back();
    }
}

Rect MovieClip::localBounds() const {
    Rect out = drawing.empty() ? Rect::none() : drawing.shape().bounds;
    for (const auto& [depth, child] : children_) out = out.united(child->matrix.mapped(child->localBounds()));
    return out;
}

bool MovieClip::hitTestLocal(double x, double y) const {
    if (!drawing.empty() && shapeContains(drawing.shape(), x, y)) return true;
    for (const auto& [depth, child] : children_)
        if (child->clipDepth == 0 && child->hitTest(x, y)) return true;
    return false;
}

}  // namespace swf
