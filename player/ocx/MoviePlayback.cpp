#include "player/ocx/MoviePlayback.h"

#include <algorithm>
#include <exception>

#include "decode/Decoder.h"
#include "player/MovieClip.h"
#include "player/Player.h"
#include "player/ocx/FrameClock.h"
#include "player/ocx/FrameDrawing.h"
#include "player/ocx/MovieText.h"
#include "player/ocx/PlaybackHost.h"
#include "player/ocx/ViewTransform.h"

namespace vm::flash {

namespace {

swf::render::Quality EngineQuality(RenderQuality quality) {
    return quality == RenderQuality::Low || quality == RenderQuality::AutoLow ? swf::render::Quality::Low
                                                                              : swf::render::Quality::High;
}

void FillClip(const swf::render::Target& target, swf::Pixel color) {
    const swf::render::PixelRect area = target.clip.intersected({0, 0, target.width, target.height});
    for (int y = area.top; y < area.bottom; ++y) {
        auto* row = reinterpret_cast<swf::Pixel*>(reinterpret_cast<std::uint8_t*>(target.pixels) +
                                                  static_cast<std::ptrdiff_t>(y) * target.strideBytes);
        std::fill(row + area.left, row + area.right, color);
    }
}

} // namespace

struct MoviePlayback::Impl {
    explicit Impl(PlaybackOwner& owner) : owner(owner), clock([this](int frames) { Tick(frames); }) {}

    PlaybackOwner& owner;
    // The player refers to the host, so the host is declared first and outlives it.
    std::unique_ptr<PlaybackHost> host;
    std::unique_ptr<swf::Player> player;
    std::string loadError;

    // The owner may load or unload a movie from inside a call into the player (an FSCommand
    // handler does). The player being called then stays alive until the call is over.
    struct Retired {
        std::unique_ptr<PlaybackHost> host;
        std::unique_ptr<swf::Player> player;
    };
    std::vector<Retired> retired;
    int callsIntoPlayer = 0;
    class InPlayer {
    public:
        explicit InPlayer(Impl& impl) : impl_(impl) { ++impl_.callsIntoPlayer; }
        ~InPlayer() {
            if (--impl_.callsIntoPlayer == 0) impl_.retired.clear();
        }
        InPlayer(const InPlayer&) = delete;
        InPlayer& operator=(const InPlayer&) = delete;
    private:
        Impl& impl_;
    };
    // The old movie's scripts finish first (they may call the owner, which may load another
    // movie: that one stands). Its player goes before its host, as Retired declares them.
    void DropMovie() {
        Retired old{std::move(host), std::move(player)};
        if (old.player) {
            InPlayer guard(*this);
            old.player->endMovie();
        }
        if (callsIntoPlayer > 0) retired.push_back(std::move(old));
    }

    ViewTransform view;
    ScaleMode scale = ScaleMode::ShowAll;
    int align = 0;
    RenderQuality quality = RenderQuality::High;
    int background = -1;
    bool transparent = false;
    bool loop = true;
    bool playWhenLoaded = true;

    FrameClock clock;
    std::uint64_t framesAdvanced = 0;
    FrameDrawing drawing;

    swf::MovieClip* Root() const { return player ? &player->root() : nullptr; }
    int Frame() const { return player ? static_cast<int>(player->root().currentFrame()) : -1; }
    int Total() const { return player ? static_cast<int>(player->root().frameCount()) : 0; }
    bool RootPlaying() const { return player ? player->root().playing() : playWhenLoaded; }
    bool AtLastFrame() const { return player && Frame() + 1 >= Total(); }

    // Without looping the main timeline halts on its last frame (clips inside it play on).
    void HaltAtEndUnlessLooping() {
        if (!loop && player && player->root().playing() && AtLastFrame()) player->root().stop();
    }

    void Tick(int frames) {
        // A handler inside the player that runs a message loop (a message box on an
        // FSCommand) must not advance the movie under the frame being played.
        if (!player || callsIntoPlayer > 0) return;
        InPlayer guard(*this);
        const int frameBefore = Frame();
        const bool playingBefore = RootPlaying();
        for (int i = 0; i < frames && player; ++i) {
            player->advance();
            ++framesAdvanced;
            HaltAtEndUnlessLooping();
        }
        InvalidateChanged();
        if (Frame() != frameBefore || RootPlaying() != playingBefore) owner.StateChanged();
    }

    // Tells the owner exactly which part of the view the last calls changed.
    void InvalidateChanged() {
        if (!player) return;
        const swf::render::PixelRect changed =
            player->changedRect(view.StageToView()).intersected({0, 0, view.ViewWidth(), view.ViewHeight()});
        if (changed.empty()) return;
        const RECT rect{changed.left, changed.top, changed.right, changed.bottom};
        owner.Invalidate(&rect);
    }

    void ViewChanged() {
        if (player) owner.Invalidate(nullptr);
    }

    // A timeline command from the control: the frame and the play state may change.
    template <class Command> void Timeline(Command command) {
        if (!player) return;
        InPlayer guard(*this);
        const int frameBefore = Frame();
        const bool playingBefore = RootPlaying();
        command(*player);
        InvalidateChanged();
        if (Frame() != frameBefore || RootPlaying() != playingBefore) owner.StateChanged();
    }

    void StageToPixelsAt(int x, int y, double& sx, double& sy) const {
        double tx, ty;
        view.StageToView().inverted().apply(x, y, tx, ty);
        sx = tx / swf::kTwipsPerPixel;
        sy = ty / swf::kTwipsPerPixel;
    }

    template <class Input> bool Pointer(Input input) {
        if (!player) return false;
        InPlayer guard(*this);
        const bool activeBefore = player->activeButton() != nullptr;
        const int frameBefore = Frame();
        const bool playingBefore = RootPlaying();
        input(*player);
        InvalidateChanged();
        if (Frame() != frameBefore || RootPlaying() != playingBefore) owner.StateChanged();
        return activeBefore || (player && player->activeButton() != nullptr);
    }
};

MoviePlayback::MoviePlayback(PlaybackOwner& owner) : impl_(std::make_unique<Impl>(owner)) {
    impl_->view.SetScale(impl_->scale);
}

MoviePlayback::~MoviePlayback() {
    impl_->clock.Stop();
    impl_->player.reset();
}

bool MoviePlayback::Load(std::span<const std::uint8_t> bytes, std::string& error, const std::string& url) {
    Impl& p = *impl_;
    Unload();
    try {
        swf::DecodeResult decoded = swf::decodeMovie(bytes);
        if (!decoded) {
            p.loadError = decoded.error.message.empty() ? "The movie cannot be read." : decoded.error.message;
            error = p.loadError;
            return false;
        }
        p.view.SetStage(decoded.movie->header.frameSize);
        // The movie is the playback's before its first frame's actions run: they may call the
        // owner, which may call into the movie or load another one (the old player then
        // stays alive, retired, until the guard ends).
        Impl::InPlayer guard(p);
        p.host = std::make_unique<PlaybackHost>(p.owner, decoded.movie->header.version);
        p.player = std::make_unique<swf::Player>(swf::Player::Unstarted{}, decoded.movie, *p.host, nullptr, url);
        swf::Player* loading = p.player.get();
        loading->start();
        if (p.player.get() != loading) {  // a movie loaded from inside this one's first frame won
            error = p.loadError;
            return true;
        }
    } catch (const std::exception& e) {
        p.DropMovie();
        p.loadError = std::string("The movie cannot be played: ") + e.what();
        error = p.loadError;
        return false;
    }
    p.loadError.clear();
    error.clear();
    p.framesAdvanced = 0;
    if (!p.playWhenLoaded) p.player->root().stop();
    p.HaltAtEndUnlessLooping();
    p.clock.Start(p.player->movie().header.frameRate());
    p.owner.Invalidate(nullptr);
    p.owner.StateChanged();
    return true;
}

void MoviePlayback::Unload() {
    Impl& p = *impl_;
    if (!p.player) return;
    p.clock.Stop();
    p.DropMovie();
    p.framesAdvanced = 0;
    p.owner.Invalidate(nullptr);
    p.owner.StateChanged();
}

bool MoviePlayback::HasMovie() const { return impl_->player != nullptr; }
const std::string& MoviePlayback::LoadError() const { return impl_->loadError; }

void MoviePlayback::SetViewSize(int width, int height) {
    if (width == impl_->view.ViewWidth() && height == impl_->view.ViewHeight()) return;
    impl_->view.SetViewSize(width, height);
    impl_->ViewChanged();
}

// ---- timeline ----------------------------------------------------------------------------

void MoviePlayback::Play() { SetPlaying(true); }
void MoviePlayback::Stop() { SetPlaying(false); }
bool MoviePlayback::Playing() const { return impl_->RootPlaying(); }

void MoviePlayback::SetPlaying(bool playing) {
    Impl& p = *impl_;
    p.playWhenLoaded = playing;
    if (!p.player) return;
    p.Timeline([playing](swf::Player& player) {
        if (playing) player.root().play();
        else player.root().stop();
    });
}

bool MoviePlayback::Loop() const { return impl_->loop; }

void MoviePlayback::SetLoop(bool loop) {
    impl_->loop = loop;
    impl_->Timeline([this](swf::Player&) { impl_->HaltAtEndUnlessLooping(); });
}

void MoviePlayback::Rewind() { GotoFrame(0); }

void MoviePlayback::Back() {
    const int frame = FrameNum();
    if (frame > 0) GotoFrame(frame - 1);
    else Stop();
}

void MoviePlayback::Forward() {
    const int frame = FrameNum();
    if (frame >= 0 && frame + 1 < TotalFrames()) GotoFrame(frame + 1);
    else Stop();
}

void MoviePlayback::GotoFrame(int frame) {
    const int last = std::max(0, TotalFrames() - 1);
    const auto target = static_cast<std::uint32_t>(std::clamp(frame, 0, last));
    impl_->Timeline([target](swf::Player& player) { player.gotoFrame(target); });
}

int MoviePlayback::FrameNum() const { return impl_->Frame(); }
int MoviePlayback::TotalFrames() const { return impl_->Total(); }
double MoviePlayback::FrameRate() const { return impl_->player ? impl_->player->movie().header.frameRate() : 0; }

bool MoviePlayback::StageSize(long& width, long& height) const {
    if (!impl_->player) return false;
    const swf::Rect& stage = impl_->player->movie().header.frameSize;
    width = static_cast<long>((stage.xMax - stage.xMin) / 20);
    height = static_cast<long>((stage.yMax - stage.yMin) / 20);
    return width > 0 && height > 0;
}

// ---- view --------------------------------------------------------------------------------

ScaleMode MoviePlayback::Scale() const { return impl_->scale; }

void MoviePlayback::SetScale(ScaleMode mode) {
    if (mode != ScaleMode::ShowAll && mode != ScaleMode::NoBorder && mode != ScaleMode::ExactFit &&
        mode != ScaleMode::NoScale)
        return;
    impl_->scale = mode;
    impl_->view.SetScale(mode);
    impl_->ViewChanged();
}

int MoviePlayback::AlignMode() const { return impl_->align; }

void MoviePlayback::SetAlignMode(int bits) {
    impl_->align = bits & (alignLeft | alignRight | alignTop | alignBottom);
    impl_->view.SetAlign(impl_->align);
    impl_->ViewChanged();
}

void MoviePlayback::Zoom(int percent) {
    impl_->view.Zoom(percent);
    impl_->ViewChanged();
}

void MoviePlayback::Pan(int x, int y, int mode) {
    double dx = x, dy = y;
    if (mode == 1) {
        dx = x * impl_->view.ViewWidth() / 100.0;
        dy = y * impl_->view.ViewHeight() / 100.0;
    } else if (mode != 0) {
        return;
    }
    impl_->view.Pan(dx, dy);
    impl_->ViewChanged();
}

RenderQuality MoviePlayback::Quality() const { return impl_->quality; }

void MoviePlayback::SetQuality(RenderQuality quality) {
    if (static_cast<int>(quality) < 0 || static_cast<int>(quality) > static_cast<int>(RenderQuality::Best)) return;
    impl_->quality = quality;
    impl_->ViewChanged();
}

int MoviePlayback::BackgroundColor() const { return impl_->background; }

void MoviePlayback::SetBackgroundColor(int rgb) {
    impl_->background = rgb < 0 ? -1 : (rgb & 0xFFFFFF);
    impl_->ViewChanged();
}

bool MoviePlayback::Transparent() const { return impl_->transparent; }

void MoviePlayback::SetTransparent(bool transparent) {
    impl_->transparent = transparent;
    impl_->ViewChanged();
}

// ---- drawing -----------------------------------------------------------------------------

bool MoviePlayback::Draw(HDC dc, const RECT& bounds) {
    Impl& p = *impl_;
    if (!p.player) return false;
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    // Drawing at the view's own size keeps the transform changedRect() compares against.
    const swf::Matrix stageToPixel = width == p.view.ViewWidth() && height == p.view.ViewHeight()
                                         ? p.view.StageToView()
                                         : p.view.StageToView(width, height);
    // The movie's own background is painted by the engine; a colour of the control's by us.
    const bool ownColour = !p.transparent && p.background >= 0;
    const swf::Pixel background = swf::premultiply({static_cast<std::uint8_t>(p.background >> 16),
                                                    static_cast<std::uint8_t>(p.background >> 8),
                                                    static_cast<std::uint8_t>(p.background), 255});
    const swf::render::Quality quality = EngineQuality(p.quality);
    return p.drawing.Draw(dc, bounds, [&](const swf::render::Target& target) {
        if (ownColour) FillClip(target, background);
        p.player->render(target, stageToPixel, quality, !p.transparent && !ownColour);
    });
}

// ---- input -------------------------------------------------------------------------------

bool MoviePlayback::MouseMove(int x, int y) {
    return impl_->Pointer([&](swf::Player& player) {
        double sx, sy;
        impl_->StageToPixelsAt(x, y, sx, sy);
        player.mouseMove(sx, sy);
    });
}

bool MoviePlayback::MouseDown(int x, int y) {
    return impl_->Pointer([&](swf::Player& player) {
        double sx, sy;
        impl_->StageToPixelsAt(x, y, sx, sy);
        player.mouseDown(sx, sy);
    });
}

bool MoviePlayback::MouseUp(int x, int y) {
    return impl_->Pointer([&](swf::Player& player) {
        double sx, sy;
        impl_->StageToPixelsAt(x, y, sx, sy);
        player.mouseUp(sx, sy);
    });
}

void MoviePlayback::MouseLeave() {
    impl_->Pointer([](swf::Player& player) { player.mouseLeave(); });
}

namespace {
// Key.getAscii reads a UTF-16 unit; a character beyond it types nothing a key can report.
std::uint16_t AsciiOf(char32_t character) { return character < 0x10000 ? static_cast<std::uint16_t>(character) : 0; }
} // namespace

void MoviePlayback::KeyDown(std::uint8_t code, char32_t character) {
    impl_->Pointer([&](swf::Player& player) { player.keyDown(code, AsciiOf(character)); });
}

void MoviePlayback::KeyUp(std::uint8_t code, char32_t character) {
    impl_->Pointer([&](swf::Player& player) { player.keyUp(code, AsciiOf(character)); });
}

void MoviePlayback::TypeCharacter(char32_t character) {
    impl_->Pointer([&](swf::Player& player) { player.textInput(character); });
}

void MoviePlayback::EditText(swf::TextCommand command) {
    impl_->Pointer([&](swf::Player& player) { player.textCommand(command); });
}

void MoviePlayback::FocusLost() {
    impl_->Pointer([](swf::Player& player) { player.focusLost(); });
}

bool MoviePlayback::HandCursor() const { return impl_->player && impl_->player->activeButton() != nullptr; }

std::uint64_t MoviePlayback::FramesAdvanced() const { return impl_->framesAdvanced; }

void MoviePlayback::AdvanceFrames(int frames) {
    if (frames > 0) impl_->Tick(frames);
}

// ---- the container's calls into the movie -----------------------------------------------------

bool MoviePlayback::SetVariable(const std::wstring& name, const std::wstring& value) {
    Impl& p = *impl_;
    if (!p.player) return false;
    const std::uint8_t version = p.player->movie().header.version;
    p.Timeline([&](swf::Player& player) {
        player.setVariable(WideToMovieText(name, version), WideToMovieText(value, version));
    });
    return true;
}

std::optional<std::wstring> MoviePlayback::GetVariable(const std::wstring& name) {
    Impl& p = *impl_;
    if (!p.player) return std::nullopt;
    const std::uint8_t version = p.player->movie().header.version;
    std::optional<std::string> text;
    // A getter the movie defined runs here, and may change what is shown.
    p.Timeline([&](swf::Player& player) { text = player.getVariable(WideToMovieText(name, version)); });
    if (!text) return std::nullopt;
    return MovieTextToWide(*text, version);
}

std::optional<std::wstring> MoviePlayback::CallFunction(const std::wstring& request) {
    Impl& p = *impl_;
    if (!p.player) return std::nullopt;
    std::optional<std::string> answer;
    // The call format is XML, in UTF-8 whatever the movie's version.
    p.Timeline([&](swf::Player& player) { answer = player.callFunction(WideToMovieText(request, kUtf8Version)); });
    if (!answer) return std::nullopt;
    return MovieTextToWide(*answer, kUtf8Version);
}

} // namespace vm::flash
