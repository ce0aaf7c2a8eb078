#include "player/Player.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>

#include "avm1/Vm.h"
#include "player/ButtonInstance.h"
#include "player/FilterPainter.h"
#include "player/LayerCompositor.h"
#include "player/MovieClip.h"
#include "player/PlayerContext.h"

namespace swf {

using render::PixelRect;

namespace {

// A pixel count from a double that may be huge or not a number (damaged files, absurd zoom).
int toPixels(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int>(std::clamp(v, -1e9, 1e9));
}

PixelRect grow(const PixelRect& r, int by) {
    if (r.empty()) return r;
    by = std::clamp(by, 0, 1 << 20);
    return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

}  // namespace

Player::Player(std::shared_ptr<const MovieDef> movie, Host& host, const avm1::Limits* scriptLimits, std::string url)
    : Player(Unstarted{}, std::move(movie), host, scriptLimits, std::move(url)) {
    start();
}

Player::Player(Unstarted, std::shared_ptr<const MovieDef> movie, Host& host, const avm1::Limits* scriptLimits,
               std::string url)
    : context_(std::make_unique<PlayerContext>(movie, host)) {
    if (scriptLimits) context_->scriptMachine().setLimits(*scriptLimits);
    root_ = std::make_shared<MovieClip>(*context_, std::move(movie), std::move(url));
    context_->setLevel(0, root_);
    mainDictionary_ = &context_->movie().dictionary;
    drawingDictionary_ = mainDictionary_;
    // Bitmap fills come from the dictionary of the movie the item being drawn belongs to.
    bitmaps_ = [this](uint16_t id) -> render::BitmapView {
        const BitmapDef* bitmap = drawingPicture_ ? nullptr : drawingDictionary_->get<BitmapDef>(id);
        const Image* image = drawingPicture_ ? drawingPicture_ : bitmap ? bitmap->image() : nullptr;
        if (!image || image->pixels.empty()) return {};
        return {static_cast<int>(image->width), static_cast<int>(image->height), static_cast<int>(image->width),
                image->pixels.data()};
    };
}

void Player::start() {
    if (started_) return;
    started_ = true;
    context_->requestImports();
    root_->start();
    context_->runQueuedActions();
}

Player::~Player() {
    endMovie();
    for (const auto& [number, level] : context_->levels()) level->removed();
}

void Player::endMovie() {
    if (std::exchange(movieEnded_, true)) return;
    context_->scriptMachine().endMovie();
}

const MovieDef& Player::movie() const { return context_->movie(); }
MovieClip& Player::root() { return *root_; }
const MovieClip& Player::root() const { return *root_; }

void Player::settle() {
    context_->runQueuedActions();
}

void Player::advance() {
    context_->runTimers();
    ++context_->tick;
    // Loaded levels play too; a script may load or unload one while they do.
    std::vector<std::shared_ptr<MovieClip>> levels;
    for (const auto& [number, level] : context_->levels()) levels.push_back(level);
    for (const auto& level : levels)
        if (context_->isLevel(level.get())) level->tickLevel();
    settle();
    context_->updateDrag();
    // The stage moved under a still pointer: buttons may now be entered or left.
    updatePointer();
}

void Player::gotoFrame(uint32_t frame) {
    root_->gotoFrame(frame);
    settle();
    updatePointer();
}

avm1::Vm& Player::scriptMachine() { return context_->scriptMachine(); }

uint64_t Player::actionBlocksCutOff() const { return context_->actionBlocksCutOff; }

// ---- drawing -----------------------------------------------------------------------------

Rgba Player::backgroundColor() const {
    if (context_->background) return *context_->background;
    return movie().backgroundColor.value_or(Rgba{255, 255, 255, 255});
}

render::Quality Player::effectiveQuality(render::Quality requested) const {
    if (!context_->qualityToggled) return requested;
    return requested == render::Quality::High ? render::Quality::Low : render::Quality::High;
}

DrawList Player::drawList() const {
    DrawListBuilder builder;
    for (const auto& [number, level] : context_->levels()) level->emit(builder, level->matrix, level->colorTransform);
    return builder.take();
}

void Player::render(const render::Target& target, const Matrix& stageToPixel, render::Quality quality, bool opaque) {
    renderer_.setTarget(target);
    const render::Target base = renderer_.target();
    const PixelRect clip = base.clip.intersected({0, 0, base.width, base.height});
    Rgba background = backgroundColor();
    if (opaque) renderer_.fillRect(clip, premultiply({background.r, background.g, background.b, 255}));
    render::DrawParams params;
    params.bitmaps = &bitmaps_;
    params.quality = effectiveQuality(quality);
    // Target pixels per stage pixel.
    const double stageScale = std::sqrt(std::abs(stageToPixel.determinant())) * kTwipsPerPixel;
    params.stageScale = stageScale;

    // Groups being drawn into buffers of their own, innermost last.
    struct OpenLayer {
        PixelPlane plane;
        PixelRect drawn;
        BlendMode mode = BlendMode::Normal;
        const FilterList* filters = nullptr;
    };
    std::vector<OpenLayer> layers;
    auto planeBelow = [&]() -> PixelPlane {
        return layers.empty() ? PixelPlane{base.pixels, base.strideBytes} : layers.back().plane;
    };
    auto noteDrawn = [&](const PixelRect& r) {
        if (!layers.empty()) layers.back().drawn = layers.back().drawn.united(r.intersected(clip));
    };

    DrawList list = drawList();
    std::vector<Drawn> drawn;
    drawn.reserve(list.size());
    for (const DrawItem& item : list) {
        switch (item.op) {
            case DrawItem::Op::Shape: {
                drawingDictionary_ = item.dictionary ? item.dictionary : mainDictionary_;
                drawingPicture_ = item.picture;
                params.matrix = stageToPixel * item.matrix;
                params.colorTransform = item.colorTransform;
                params.colorOverride = item.colorOverride;
                renderer_.drawShape(*item.shape, params);
                PixelRect bounds = render::Renderer::bounds(*item.shape, params.matrix);
                if (item.filterMargin > 0) bounds = grow(bounds, toPixels(std::ceil(item.filterMargin * stageScale)));
                drawn.push_back({item, bounds});
                noteDrawn(bounds);
                break;
            }
            case DrawItem::Op::BeginMask: renderer_.beginMask(); break;
            case DrawItem::Op::EndMask: renderer_.endMask(); break;
            case DrawItem::Op::PopMask: renderer_.popMask(); break;
            case DrawItem::Op::BeginLayer: {
                OpenLayer layer;
                layer.mode = item.blend;
                layer.filters = item.filters;
                if (layerPool_.size() <= layers.size()) layerPool_.emplace_back();
                std::vector<Pixel>& buffer = layerPool_[layers.size()];
                buffer.assign(size_t(base.width) * base.height, 0);
                layer.plane = {buffer.data(), base.width * 4};
                // Redirecting keeps the clip layers in force: a group inside a mask is masked
                // as it is drawn, then blended and filtered like any other.
                renderer_.redirect({buffer.data(), base.width, base.height, base.width * 4, clip});
                layers.push_back(layer);
                break;
            }
            case DrawItem::Op::EndLayer: {
                if (layers.empty()) break;
                OpenLayer layer = layers.back();
                layers.pop_back();
                PixelRect area = layer.drawn;
                if (layer.filters && !layer.filters->empty() && !area.empty()) {
                    int margin = toPixels(std::ceil(DrawListBuilder::filterMargin(*layer.filters) * stageScale));
                    area = grow(area, margin).intersected(clip);
                    applyFilters(*layer.filters, layer.plane, area, stageScale);
                }
                PixelPlane below = planeBelow();
                if (!area.empty()) compositeLayer(layer.plane, below, area, layer.mode, !layers.empty());
                renderer_.redirect({below.pixels, base.width, base.height, below.strideBytes, clip});
                noteDrawn(area);
                break;
            }
        }
    }
    if (!layers.empty()) renderer_.setTarget(base);  // an unbalanced list: never leave a layer target behind
    lastDrawn_ = std::move(drawn);
    lastStageToPixel_ = stageToPixel;
    lastBackground_ = background;
    rendered_ = true;
}

PixelRect Player::stagePixels(const Matrix& m) const {
    const Rect& s = movie().header.frameSize;
    double xs[4], ys[4];
    m.apply(s.xMin, s.yMin, xs[0], ys[0]);
    m.apply(s.xMax, s.yMin, xs[1], ys[1]);
    m.apply(s.xMin, s.yMax, xs[2], ys[2]);
    m.apply(s.xMax, s.yMax, xs[3], ys[3]);
    return {toPixels(std::floor(*std::min_element(xs, xs + 4))), toPixels(std::floor(*std::min_element(ys, ys + 4))),
            toPixels(std::ceil(*std::max_element(xs, xs + 4))), toPixels(std::ceil(*std::max_element(ys, ys + 4)))};
}

PixelRect Player::changedRect(const Matrix& stageToPixel) const {
    DrawList now = drawList();
    std::vector<Drawn> current;
    current.reserve(now.size());
    for (const DrawItem& item : now)
        if (item.op == DrawItem::Op::Shape)
            current.push_back({item, grow(render::Renderer::bounds(*item.shape, stageToPixel * item.matrix),
                                          toPixels(std::ceil(item.filterMargin * std::sqrt(std::abs(stageToPixel.determinant())) * kTwipsPerPixel)))});

    PixelRect changed;
    if (!rendered_ || !(stageToPixel == lastStageToPixel_) || !(backgroundColor() == lastBackground_)) {
        changed = stagePixels(stageToPixel);
        for (const Drawn& d : current) changed = changed.united(d.bounds);
        for (const Drawn& d : lastDrawn_) changed = changed.united(d.bounds);
        return changed;
    }
    std::unordered_map<uint64_t, const Drawn*> before;
    before.reserve(lastDrawn_.size());
    for (const Drawn& d : lastDrawn_) before.emplace(d.item.key, &d);
    for (const Drawn& d : current) {
        auto it = before.find(d.item.key);
        if (it != before.end() && it->second->item == d.item) {
            before.erase(it);
            continue;
        }
        changed = changed.united(d.bounds);
        if (it != before.end()) {
            changed = changed.united(it->second->bounds);
            before.erase(it);
        }
    }
    for (const auto& [key, d] : before) changed = changed.united(d->bounds);  // gone since
    return changed;
}

Matrix Player::showAll(const Rect& stage, int width, int height) {
    double sw = std::max(1, stage.width()), sh = std::max(1, stage.height());
    double scale = std::min(width / sw, height / sh);
    double tx = (width - sw * scale) / 2 - stage.xMin * scale;
    double ty = (height - sh * scale) / 2 - stage.yMin * scale;
    return {scale, 0, 0, scale, tx, ty};
}

}  // namespace swf
