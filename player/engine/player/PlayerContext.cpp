#include "player/PlayerContext.h"

#include <algorithm>
#include <cctype>

#include "avm1/ClassRegistry.h"
#include "avm1/Vm.h"
#include "player/ButtonInstance.h"
#include "player/EditTextInstance.h"
#include "player/MorphInstance.h"
#include "player/MovieClip.h"
#include "player/ShapeInstance.h"
#include "player/TextInstance.h"
#include "player/VideoInstance.h"

namespace swf {

namespace {
void clipsForMouseEvents(MovieClip& clip, std::vector<MovieClip*>& out);
// One instance kind per definition kind.
struct Factory {
    PlayerContext& ctx;
    uint16_t id;
    std::shared_ptr<DisplayObject> operator()(const std::shared_ptr<const ShapeDef>& d) {
        return std::make_shared<ShapeInstance>(ctx, id, d);
    }
    std::shared_ptr<DisplayObject> operator()(const std::shared_ptr<const MorphShapeDef>& d) {
        return std::make_shared<MorphInstance>(ctx, id, d);
    }
    std::shared_ptr<DisplayObject> operator()(const std::shared_ptr<const BitmapDef>& d) {
        return ShapeInstance::forBitmap(ctx, id, *d);
    }
    std::shared_ptr<DisplayObject> operator()(const std::shared_ptr<const TextDef>& d) {
        return std::make_shared<TextInstance>(ctx, id, d);
    }
    std::shared_ptr<DisplayObject> operator()(const std::shared_ptr<const EditTextDef>& d) {
        return std::make_shared<EditTextInstance>(ctx, id, d);
    }
    std::shared_ptr<DisplayObject> operator()(const std::shared_ptr<const ButtonDef>& d) {
        return std::make_shared<ButtonInstance>(ctx, id, d);
    }
    std::shared_ptr<DisplayObject> operator()(const std::shared_ptr<const SpriteDef>& d) {
        return std::make_shared<MovieClip>(ctx, id, d->timeline);
    }
    std::shared_ptr<DisplayObject> operator()(const std::shared_ptr<const VideoStreamDef>& d) {
        return std::make_shared<VideoInstance>(ctx, id, d);
    }
    // Fonts and sounds are not displayable.
    template <class Other>
    std::shared_ptr<DisplayObject> operator()(const Other&) { return nullptr; }
};
}  // namespace

PlayerContext::PlayerContext(std::shared_ptr<const MovieDef> movie, Host& host)
    : movie_(std::move(movie)), host_(host), vm_(std::make_unique<avm1::Vm>(host, movie_->header.version)) {
    vm_->services = this;
    vm_->playerRoots = [this](std::vector<avm1::Object*>& out) {
        for (const MovieLoad& load : movieLoads_) out.push_back(load.loader);
        for (const MovieLoad& load : deliveringLoads_) out.push_back(load.loader);
        for (const auto& [clip, loader] : loadInits_) out.push_back(loader);
        for (const Pending& p : queue_) out.push_back(p.loader);
        for (const auto& tier : early_)
            for (const Pending& p : tier) out.push_back(p.loader);
    };
    if (movie_->fileAttributes && movie_->fileAttributes->useNetwork) vm_->sandboxType = "localWithNetwork";
    // The movie's ScriptLimits tag sets the recursion depth and the time a frame's scripts
    // may take (the machine-stack budget still guards deep recursion).
    if (movie_->scriptLimits) {
        avm1::Limits limits = vm_->limits();
        if (movie_->scriptLimits->maxRecursionDepth > 0) limits.maxCallDepth = movie_->scriptLimits->maxRecursionDepth;
        if (movie_->scriptLimits->timeoutSeconds > 0) limits.maxMillis = movie_->scriptLimits->timeoutSeconds * 1000ull;
        vm_->setLimits(limits);
    }
}

PlayerContext::~PlayerContext() = default;

std::shared_ptr<DisplayObject> PlayerContext::instantiate(uint16_t id, const MovieDef& movie) {
    const CharacterDef* def = movie.dictionary.find(id);
    if (!def) return nullptr;
    if (std::find(building_.begin(), building_.end(), id) != building_.end()) {
        ++instancesRefused;
        return nullptr;
    }
    BuildScope scope(*this, id);
    building_movies_.push_back(&movie);
    struct Pop {
        std::vector<const MovieDef*>& stack;
        ~Pop() { stack.pop_back(); }
    } pop{building_movies_};
    return std::visit(Factory{*this, id}, *def);
}

void PlayerContext::setLevel(int32_t number, std::shared_ptr<MovieClip> clip) {
    if (!clip) {
        if (auto it = levels_.find(number); it != levels_.end()) {
            std::shared_ptr<MovieClip> gone = std::move(it->second);
            levels_.erase(it);
            gone->removed();
        }
        return;
    }
    clip->level = number;
    clip->depth = number;
    if (number == 0) root = clip.get();
    levels_[number] = std::move(clip);
}

bool PlayerContext::isLevel(const MovieClip* clip) const {
    if (!clip || clip->level < 0) return false;
    auto it = levels_.find(clip->level);
    return it != levels_.end() && it->second.get() == clip;
}

MovieClip* PlayerContext::levelByName(std::string_view name) const {
    if (name.size() < 7) return nullptr;
    for (size_t i = 0; i < 6; ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != "_level"[i]) return nullptr;
    int64_t number = 0;
    for (char ch : name.substr(6)) {
        if (ch < '0' || ch > '9' || number > (1 << 24)) return nullptr;
        number = number * 10 + (ch - '0');
    }
    auto it = levels_.find(static_cast<int32_t>(number));
    return it == levels_.end() ? nullptr : it->second.get();
}

MovieClip* PlayerContext::scriptRoot(MovieClip& clip) const {
    MovieClip* top = &clip;
    for (MovieClip* c = &clip; c; c = c->parent) {
        if (c->lockRoot && c->ownMovie()) return c;
        top = c;
    }
    return top;
}

namespace {
// An ActionScript 3 movie loaded by this one plays, but its stray ActionScript 1 blocks do
// not run.
bool scriptsSilenced(const MovieClip& clip, const MovieDef& main) {
    const MovieDef& movie = clip.movie();
    return movie.actionScript3 && &movie != &main;
}
}  // namespace

void PlayerContext::queueActions(MovieClip& clip, SharedBytes actions) {
    if (scriptsSilenced(clip, *movie_)) return;
    queue_.push_back({clip.shared_from_this(), &clip, std::move(actions)});
}

void PlayerContext::queueClipActions(MovieClip& clip, uint32_t events) {
    for (const ClipAction& action : clip.clipActions) {
        if (!(action.events & events)) continue;
        Pending pending{clip.shared_from_this(), &clip, action.actions};
        // A handler for several events runs in the earliest tier among those asked for.
        if (action.events & events & ClipInitialize) queueEarly(Tier::Initialize, std::move(pending));
        else if (action.events & events & ClipConstruct) queueEarly(Tier::Construct, std::move(pending));
        else queue_.push_back(std::move(pending));
    }
}

void PlayerContext::queueEarly(Tier tier, Pending pending) {
    early_[static_cast<int>(tier)].push_back(std::move(pending));
}

bool PlayerContext::popNext(Pending& out) {
    for (auto& tier : early_)
        if (!tier.empty()) {
            out = std::move(tier.front());
            tier.pop_front();
            return true;
        }
    if (queue_.empty()) return false;
    out = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

void PlayerContext::clipLeaving(MovieClip& clip) {
    auto queueUnload = [&](MovieClip& c) {
        for (const ClipAction& action : c.clipActions)
            if (action.events & ClipUnload) {
                queue_.push_back({c.shared_from_this(), &c, action.actions});
                queue_.back().offStage = true;
            }
        if (vm_->clipHasHandler(&c, "onUnload")) {
            queue_.push_back({c.shared_from_this(), &c, SharedBytes(), "onUnload"});
            queue_.back().offStage = true;
        }
    };
    // The clips inside hear it first, as they do mouse events (clip_events).
    std::vector<MovieClip*> inner;
    clipsForMouseEvents(clip, inner);
    for (MovieClip* c : inner) queueUnload(*c);
}

void PlayerContext::queueEnterFrame(MovieClip& clip) {
    queueClipActions(clip, ClipEnterFrame);
    if (vm_->clipHasHandler(&clip, "onEnterFrame"))
        queue_.push_back({clip.shared_from_this(), &clip, SharedBytes(), "onEnterFrame"});
}

void PlayerContext::clipPlaced(MovieClip& clip) {
    queueEarly(Tier::Construct, {clip.shared_from_this(), &clip, SharedBytes(), nullptr, Pending::Special::Construct});
}

bool PlayerContext::hearsPlacedLoad(MovieClip& clip) {
    if (avm1::registeredClassOf(*vm_, clip)) return true;
    bool inherited = false;
    vm_->runGuardedAction([&] { inherited = vm_->clipProto && vm_->has(vm_->clipProto, "onLoad"); });
    return inherited;
}

void PlayerContext::queueClipEvent(MovieClip& clip, const char* name) {
    queue_.push_back({clip.shared_from_this(), &clip, SharedBytes(), name});
}

namespace {
// Children before their parent, the highest depth first.
void clipsForMouseEvents(MovieClip& clip, std::vector<MovieClip*>& out) {
    const auto& children = clip.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (MovieClip* child = it->second->asClip()) clipsForMouseEvents(*child, out);
    out.push_back(&clip);
}
}  // namespace

void PlayerContext::mouseEvent(const char* name) {
    if (!root) return;
    // Every level's clips, the highest level first.
    std::vector<MovieClip*> clips;
    for (auto it = levels_.rbegin(); it != levels_.rend(); ++it) clipsForMouseEvents(*it->second, clips);
    uint32_t events = std::string_view(name) == "onMouseMove" ? uint32_t{ClipMouseMove}
                      : std::string_view(name) == "onMouseDown" ? ClipMouseDown
                      : std::string_view(name) == "onMouseUp"   ? ClipMouseUp
                                                                : 0u;
    for (MovieClip* clip : clips) {
        queueClipActions(*clip, events);
        if (vm_->clipHasHandler(clip, name)) queueClipEvent(*clip, name);
    }
    queue_.push_back({root->shared_from_this(), root, SharedBytes(), name, Pending::Special::BroadcastMouse});
    runQueuedActions();
}

void PlayerContext::queueInitActions(MovieClip& clip, uint16_t spriteId, SharedBytes actions) {
    if (scriptsSilenced(clip, *movie_) || !initActionsRun_.insert({clip.movieLoadSerial(), spriteId}).second) return;
    queueEarly(Tier::Initialize, {clip.shared_from_this(), &clip, std::move(actions)});
}

void PlayerContext::orderQueued(size_t start, std::vector<QueueSegment> segments) {
    // Nothing may have left the queue meanwhile; if something did, the order stays as queued.
    if (segments.empty() || start > queue_.size() || segments.front().begin < start) return;
    size_t end = queue_.size();
    std::vector<std::pair<int, std::pair<size_t, size_t>>> ranges;  // tag, [begin, end)
    if (segments.front().begin > start) ranges.push_back({-1, {start, segments.front().begin}});
    for (size_t i = 0; i < segments.size(); ++i) {
        size_t begin = std::min(segments[i].begin, end);
        size_t stop = i + 1 < segments.size() ? std::min(segments[i + 1].begin, end) : end;
        if (begin < stop) ranges.push_back({segments[i].tag, {begin, stop}});
    }
    std::stable_sort(ranges.begin(), ranges.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Pending> ordered;
    ordered.reserve(end - start);
    for (const auto& [tag, range] : ranges)
        for (size_t i = range.first; i < range.second; ++i) ordered.push_back(std::move(queue_[i]));
    std::move(ordered.begin(), ordered.end(), queue_.begin() + static_cast<std::ptrdiff_t>(start));
}

void PlayerContext::runQueuedActions() {
    if (running_) return;  // a block that causes more actions leaves them to the outer loop
    running_ = true;
    vm_->holdBudget();
    size_t budget = kActionBlockBudget;
    // Loads the scripts asked for arrive once the queue is empty; what they run may queue
    // more actions and loads (a few rounds a frame, the rest waits for the next one).
    for (int round = 0; round < kLoadRoundsPerFrame; ++round) {
        runQueue(budget);
        vm_->rootClip = root;
        vm_->setVersion(movie_->header.version);
        bool textLoads = vm_->completeLoads();
        bool movieLoads = completeMovieLoads();
        if (!textLoads && !movieLoads) break;
    }
    runQueue(budget);
    // A focus lost to a removal no script asked about yet still reaches Selection's listeners.
    focus_.deliverLoss();
    runQueue(budget);
    vm_->releaseBudget();
    running_ = false;
}

void PlayerContext::runTimers() {
    vm_->rootClip = root;
    // All the timers of a frame share one script budget, as a frame's queued blocks do.
    vm_->holdBudget();
    vm_->runTimers();
    vm_->releaseBudget();
    runQueuedActions();  // what the timers queued
}

void PlayerContext::runQueue(size_t& budget) {
    Pending next;
    while (popNext(next)) {
        if (budget == 0) {
            ++actionBlocksCutOff;
            continue;
        }
        --budget;
        if (next.offStage || next.clip->onStage()) {
            enterMovieOf(next.clip);
            if (next.special == Pending::Special::Construct) {
                vm_->constructRegisteredClip(next.clip);
                // Its onLoad was queued when it was placed, ahead of knowing whether a class
                // would give it one (the frame's initialisation actions register classes).
                if (!hearsPlacedLoad(*next.clip))
                    std::erase_if(queue_, [&](const Pending& p) {
                        return p.clip == next.clip && p.handler && std::string_view(p.handler) == "onLoad" &&
                               p.special == Pending::Special::None;
                    });
            }
            else if (next.special == Pending::Special::LoadInit) broadcastLoader(next.loader, "onLoadInit", next.clip);
            else if (next.special == Pending::Special::BroadcastMouse) vm_->broadcast("Mouse", next.handler);
            else if (next.special == Pending::Special::InstanceHandler) callHandlerIfOnStage(*next.keepAlive, next.handler);
            else if (next.handler) vm_->runClipHandler(next.clip, next.handler);
            else vm_->runBlock(next.actions, next.clip);
        }
    }
}

void PlayerContext::runActionsNow(MovieClip& clip, const SharedBytes& actions) {
    // A Call from another movie's script: its version and _root come back afterwards.
    int version = vm_->version();
    MovieClip* callerRoot = vm_->rootClip;
    enterMovieOf(&clip);
    vm_->runBlock(actions, &clip);
    vm_->setVersion(version);
    vm_->rootClip = callerRoot;
}

void PlayerContext::enterMovieOf(MovieClip* clip) {
    const MovieDef& movie = clip->movie();
    vm_->setVersion(movie.loadedImage ? movie_->header.version : movie.header.version);
    vm_->rootClip = scriptRoot(*clip);
    // A movie fetched over the network plays in the remote sandbox; one from a file in the
    // local sandbox the main movie's attributes choose.
    const MovieClip* root = clip->movieRoot();
    const std::string& url = root ? root->movieUrl() : std::string();
    auto startsWith = [&](std::string_view scheme) {
        return url.size() >= scheme.size() && std::equal(scheme.begin(), scheme.end(), url.begin(), [](char a, char b) {
                   return a == std::tolower(static_cast<unsigned char>(b));
               });
    };
    if (startsWith("http://") || startsWith("https://")) vm_->sandboxType = "remote";
    else vm_->sandboxType = movie_->fileAttributes && movie_->fileAttributes->useNetwork ? "localWithNetwork" : "localWithFile";
}

void PlayerContext::startSound(uint16_t soundId, const SoundInfo& info) {
    SoundStart request;
    request.soundId = soundId;
    request.stop = info.syncStop;
    request.noMultiple = info.syncNoMultiple;
    request.loopCount = info.loopCount;
    host_.startSound(request);
}

}  // namespace swf
