// Movies loaded into clips and levels (loadMovie, loadMovieNum, MovieClipLoader): asked for
// while scripts run, fetched from the host once the frame's scripts are done, then played in
// place of what the target showed. A loader hears onLoadStart, onLoadProgress and
// onLoadComplete as the movie arrives, and onLoadInit once its first frame's actions ran.
#include <algorithm>

#include "avm1/Loading.h"
#include "avm1/Vm.h"
#include "decode/Decoder.h"
#include "decode/GifDecoder.h"
#include "decode/JpegDecoder.h"
#include "decode/PngDecoder.h"
#include "player/MovieClip.h"
#include "player/PlayerContext.h"

namespace swf {

namespace {

// A loaded picture as a movie of one frame that shows it at the clip's origin.
std::shared_ptr<const MovieDef> imageMovie(const std::vector<uint8_t>& bytes) {
    BitmapFormat format;
    ImageResult image;
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8) {
        format = BitmapFormat::Jpeg;
        image = decodeJpeg(bytes);
    } else if (bytes.size() >= 8 && bytes[0] == 0x89 && bytes[1] == 'P' && bytes[2] == 'N' && bytes[3] == 'G') {
        format = BitmapFormat::Png;
        image = decodePng(bytes);
    } else if (bytes.size() >= 6 && bytes[0] == 'G' && bytes[1] == 'I' && bytes[2] == 'F') {
        format = BitmapFormat::Gif;
        image = decodeGif(bytes);
    } else {
        return nullptr;
    }
    if (!image.error.empty()) return nullptr;
    auto movie = std::make_shared<MovieDef>();
    movie->loadedImage = true;
    movie->header.fileLength = static_cast<uint32_t>(bytes.size());
    movie->header.frameCount = 1;
    uint32_t width = image.image.width, height = image.image.height;
    movie->header.frameSize = {0, static_cast<int32_t>(width) * 20, 0, static_cast<int32_t>(height) * 20};
    auto pixels = std::make_shared<ImageResult>(std::move(image));
    movie->dictionary.add(1, std::make_shared<const BitmapDef>(format, width, height, [pixels] { return *pixels; }));
    PlaceObject place;
    place.version = 2;
    place.depth = 1;
    place.characterId = 1;
    Frame frame;
    frame.tags.emplace_back(std::move(place));
    movie->timeline.declaredFrameCount = 1;
    movie->timeline.frames.push_back(std::move(frame));
    return movie;
}

}  // namespace

void PlayerContext::requestMovieLoad(MovieLoad load) {
    // A later request for the same clip or level replaces one not yet delivered (an unload
    // cancels the load).
    // A MovieClipLoader still hears that its cancelled load started.
    std::erase_if(movieLoads_, [&](MovieLoad& earlier) {
        if (earlier.startOnly || earlier.level != load.level) return false;
        if (load.level < 0) {
            auto a = earlier.target.lock(), b = load.target.lock();
            if (!a || a != b) return false;
        }
        if (!earlier.loader || earlier.url.empty()) return true;
        earlier.startOnly = true;
        return false;
    });
    if (movieLoads_.size() >= kMaxMovieLoadsPerFrame) {
        ++movieLoadsRefused;
        host_.scriptAborted("too many movie loads in one frame: " + load.url + " not loaded");
        return;
    }
    movieLoads_.push_back(std::move(load));
}

void PlayerContext::loadMovie(const std::string& url, UrlMethod method, MovieClip* target, int32_t level,
                              avm1::Object* loader) {
    MovieLoad load;
    load.url = url;
    load.method = method == UrlMethod::Post ? UrlMethod::Post : UrlMethod::Get;
    if (target) load.target = target->weak_from_this();
    else load.level = std::max(level, 0);
    load.loader = loader;
    requestMovieLoad(std::move(load));
}

MovieClip* PlayerContext::loadTarget(const MovieLoad& load, bool create) {
    if (load.level < 0) {
        auto target = load.target.lock();
        MovieClip* clip = target ? target->asClip() : nullptr;
        return clip && clip->onStage() ? clip : nullptr;
    }
    if (auto it = levels_.find(load.level); it != levels_.end()) return it->second.get();
    if (!create) return nullptr;
    auto clip = std::make_shared<MovieClip>(*this, 0, MovieClip::emptyTimeline());
    clip->bornTick = tick;
    MovieClip* raw = clip.get();
    setLevel(load.level, std::move(clip));
    return raw;
}

void PlayerContext::broadcastLoader(avm1::Object* loader, const char* event, MovieClip* clip,
                                    std::vector<avm1::Value> extra) {
    if (!loader) return;
    extra.insert(extra.begin(), clip ? avm1::Value(vm_->clipObject(clip)) : avm1::Value());
    vm_->broadcastFrom(loader, event, std::move(extra));
}

void PlayerContext::unloadTarget(MovieLoad& load) {
    MovieClip* clip = loadTarget(load, false);
    if (!clip) return;
    auto keepAlive = clip->shared_from_this();
    if (vm_->clipHasHandler(clip, "onUnload")) {
        enterMovieOf(clip);
        vm_->runClipHandler(clip, "onUnload");
    }
    if (load.level > 0) {
        setLevel(load.level, nullptr);
        return;
    }
    clip->clearContent();
    if (clip->scriptObject) clip->scriptObject->clearProperties();
}

void PlayerContext::deliverMovieLoad(MovieLoad& load,
                                     std::vector<std::pair<std::shared_ptr<DisplayObject>, avm1::Object*>>& inits) {
    if (load.url.empty()) {
        unloadTarget(load);
        return;
    }
    if (load.startOnly) {
        broadcastLoader(load.loader, "onLoadStart", loadTarget(load, false));
        return;
    }
    // A clip removed since the request cancels its load.
    if (load.level < 0 && !loadTarget(load, false)) return;
    std::optional<std::vector<uint8_t>> bytes = host_.fetch({load.url, load.method, {}, {}});

    // Movies loaded and still alive: one that loads itself into new levels every frame must
    // not grow without bound.
    std::erase_if(loadedMovies_, [](const std::weak_ptr<const MovieDef>& m) { return m.expired(); });
    size_t liveBytes = 0;
    for (const auto& weak : loadedMovies_)
        if (auto m = weak.lock()) liveBytes += m->header.fileLength;
    if (bytes && (loadedMovies_.size() >= kMaxLoadedMovies || liveBytes + bytes->size() > kMaxLoadedBytes)) {
        ++movieLoadsRefused;
        host_.scriptAborted("too many loaded movies alive: " + load.url + " not loaded");
        bytes.reset();
    }
    if (!bytes) {
        MovieClip* target = loadTarget(load, false);
        broadcastLoader(load.loader, "onLoadError", target, {avm1::Value("URLNotFound"), avm1::Value(0)});
        return;
    }

    DecodeResult decoded = decodeMovie(*bytes);
    if (!decoded) decoded.movie = imageMovie(*bytes);
    MovieClip* clip = loadTarget(load, true);
    if (!clip) return;
    auto keepAlive = clip->shared_from_this();
    double size = decoded ? static_cast<double>(bytes->size()) : 0;
    // The clip starts afresh before the loader hears of it: its variables go with what it
    // showed, and what the listeners set on it from here on stays.
    if (clip->scriptObject) {
        clip->scriptObject->clearProperties();
        clip->scriptObject->setProto(vm_->clipProto);
    }
    broadcastLoader(load.loader, "onLoadStart", clip);
    broadcastLoader(load.loader, "onLoadProgress", clip, {avm1::Value(size), avm1::Value(size)});
    broadcastLoader(load.loader, "onLoadComplete", clip, {avm1::Value(0)});
    if (!clip->onStage()) return;  // a listener removed it

    if (decoded) {
        loadedMovies_.push_back(decoded.movie);
        clip->replaceMovie(decoded.movie, load.url);
        // Variables in the URL's query become the loaded movie's own, as FlashVars do.
        if (size_t query = load.url.find('?'); query != std::string::npos)
            vm_->runGuardedAction([&] { avm1::decodeVariables(*vm_, vm_->clipObject(clip), load.url.substr(query + 1)); });
    } else {
        clip->clearContent();  // data that is no movie leaves the clip empty
    }
    inits.emplace_back(keepAlive, load.loader);
}

bool PlayerContext::completeMovieLoads() {
    if (movieLoads_.empty()) return false;
    // Kept in members while delivering: the listeners' scripts may collect garbage, and the
    // loaders must stay reachable until they have heard everything.
    deliveringLoads_ = std::move(movieLoads_);
    movieLoads_.clear();
    loadInits_.clear();
    for (MovieLoad& load : deliveringLoads_) deliverMovieLoad(load, loadInits_);
    // onLoadInit follows the first frame's actions of every movie that arrived, the most
    // recent load first.
    for (auto it = loadInits_.rbegin(); it != loadInits_.rend(); ++it) {
        MovieClip* clip = it->first->asClip();
        if (!clip) continue;
        queue_.push_back({it->first, clip, SharedBytes(), nullptr, Pending::Special::LoadInit, it->second});
    }
    deliveringLoads_.clear();
    loadInits_.clear();
    return true;
}

void PlayerContext::requestImports() {
    // Each file once, and no more of them than loads a frame may start.
    std::vector<std::string> asked;
    for (const ImportAssets& import : movie_->imports) {
        if (import.url.empty() || std::find(asked.begin(), asked.end(), import.url) != asked.end()) continue;
        if (asked.size() >= kMaxMovieLoadsPerFrame) break;
        asked.push_back(import.url);
        host_.fetch({import.url, UrlMethod::Get, {}, {}});
    }
}

}  // namespace swf
