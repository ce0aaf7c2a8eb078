#include "SampleMovies.h"

#include <cmath>
#include <cstdint>

#include "Paint.h"
#include "PixelFont.h"

namespace mksamples {

using swf::Matrix;
using swf::Rgba;
using swfw::Movie;
using swfw::ShapeBuilder;

namespace {

constexpr double kPi = 3.14159265358979323846;

Matrix at(double x, double y) { return Matrix::translate(px(x), px(y)); }

Matrix rotatedAt(double x, double y, double radians, double scale = 1) {
    double c = std::cos(radians) * scale, s = std::sin(radians) * scale;
    return {c, s, -s, c, static_cast<double>(px(x)), static_cast<double>(px(y))};
}

Matrix scaledAt(double x, double y, double sx, double sy) {
    return {sx, 0, 0, sy, static_cast<double>(px(x)), static_cast<double>(px(y))};
}

swf::ColorTransform alpha(double a) {
    swf::ColorTransform t;
    t.aMult = static_cast<int16_t>(std::lround(256 * a));
    return t;
}

swf::ColorTransform brightness(double factor) {
    swf::ColorTransform t;
    t.rMult = t.gMult = t.bMult = static_cast<int16_t>(std::lround(256 * factor));
    return t;
}

// Places on the first frame, moves afterwards: the usual way an animation is stored.
swfw::Placement follow(int frame, uint16_t depth, uint16_t character, Matrix m) {
    swfw::Placement p{.depth = depth, .matrix = m};
    if (frame == 0)
        p.character = character;
    else
        p.move = true;
    return p;
}

uint16_t rectangleShape(Movie& movie, const swf::FillStyle& fill, double x, double y, double w, double h) {
    ShapeBuilder s;
    s.fill1(s.addFill(fill)).rectangle(px(x), px(y), px(w), px(h));
    return movie.defineShape(s);
}

// Static text in the pixel font with its baseline at y = 0 of the text's own space.
uint16_t textShape(Movie& movie, const swfw::Font& font, uint16_t fontId, const char* utf8, double heightPx, Rgba color,
                   int version) {
    swfw::TextRun run;
    run.fontId = fontId;
    run.height = static_cast<uint16_t>(px(heightPx));
    run.color = color;
    run.x = 0;
    run.y = 0;
    run.glyphs = swfw::layoutGlyphs(font, utf8, run.height);
    swfw::StaticText text;
    text.bounds = {0, swfw::advanceWidth(run.glyphs), -run.height * 7 / 8, 0};
    text.runs.push_back(run);
    return movie.defineText(text, version);
}

}  // namespace

Movie bouncingBall() {
    Movie movie = Movie::pixels(6, 400, 300, 24);
    movie.backgroundColor({135, 206, 235, 255});
    uint16_t ground = rectangleShape(movie, linear({{0, {110, 190, 90, 255}}, {255, {50, 120, 40, 255}}}, 0, 250, 0, 300), 0, 250, 400, 50);

    ShapeBuilder ball;
    ball.fill1(ball.addFill(radial({{0, {255, 255, 255, 255}}, {70, {255, 90, 70, 255}}, {255, {140, 20, 20, 255}}}, -10, -12, 48)));
    circle(ball, 0, 0, 30);
    uint16_t ballId = movie.defineShape(ball);

    ShapeBuilder shadow;
    shadow.fill1(shadow.addSolidFill({0, 0, 0, 90}));
    shadow.ellipse(0, 0, px(32), px(7));
    uint16_t shadowId = movie.defineShape(shadow);

    movie.place({.depth = 1, .character = ground, .matrix = Matrix{}});
    const int frames = 24;
    for (int f = 0; f < frames; ++f) {
        double t = static_cast<double>(f) / frames;
        double lift = std::sin(kPi * t);           // 0 on the ground, 1 at the top
        double x = 200 + 130 * std::sin(2 * kPi * t);
        bool squashed = lift < 0.15;
        double sx = squashed ? 1.2 : 1, sy = squashed ? 0.8 : 1;
        double y = 250 - 30 * sy - 170 * lift;
        swfw::Placement shadowPlace = follow(f, 2, shadowId, scaledAt(x, 252, 1 - 0.5 * lift, 1 - 0.5 * lift));
        shadowPlace.colorTransform = alpha(1 - 0.6 * lift);
        movie.place(shadowPlace);
        movie.place(follow(f, 3, ballId, scaledAt(x, y, sx, sy)));
        movie.showFrame();
    }
    return movie;
}

Movie sunset() {
    Movie movie = Movie::pixels(8, 480, 270, 25);
    movie.fileAttributes({});
    movie.backgroundColor({20, 10, 40, 255});
    uint16_t sky = rectangleShape(movie, linear({{0, {40, 20, 90, 255}}, {150, {230, 90, 60, 255}}, {255, {255, 200, 90, 255}}}, 0, 0, 0, 180),
                                  0, 0, 480, 180);

    ShapeBuilder sun;
    sun.fill1(sun.addFill(radial({{0, {255, 255, 220, 255}}, {110, {255, 210, 80, 255}}, {200, {255, 150, 40, 200}}, {255, {255, 120, 40, 0}}},
                                 0, 0, 70, 0.35f)));
    circle(sun, 0, 0, 70);
    uint16_t sunId = movie.defineShape(sun);

    uint16_t sea = rectangleShape(movie, linear({{0, {40, 70, 130, 255}}, {255, {10, 20, 50, 255}}}, 0, 180, 0, 270), 0, 180, 480, 90);

    ShapeBuilder horizon;
    swf::LineStyle glow = stroke(2, {255, 220, 150, 200});
    glow.startCap = glow.endCap = swf::CapStyle::Square;
    horizon.line(horizon.addLine(glow)).moveTo(0, px(180)).lineTo(px(480), px(180));
    uint16_t horizonId = movie.defineShape(horizon);

    const int frames = 50;
    for (int f = 0; f < frames; ++f) {
        double t = static_cast<double>(f) / (frames - 1);
        swfw::Placement skyPlace = follow(f, 1, sky, Matrix{});
        skyPlace.colorTransform = brightness(1 - 0.45 * t);
        movie.place(skyPlace);
        movie.place(follow(f, 2, sunId, at(300 - 60 * t, 70 + 160 * t)));
        if (f == 0) {
            movie.place({.depth = 3, .character = sea, .matrix = Matrix{}});
            movie.place({.depth = 4, .character = horizonId, .matrix = Matrix{}});
        }
        movie.showFrame();
    }
    return movie;
}

Movie spinningStar() {
    Movie movie = Movie::pixels(5, 320, 320, 30);
    movie.backgroundColor({20, 30, 70, 255});

    ShapeBuilder frame;
    frame.line(frame.addSolidLine(static_cast<uint16_t>(px(4)), {255, 255, 255, 255})).rectangle(px(10), px(10), px(300), px(300));
    uint16_t frameId = movie.defineShape(frame, 1);

    ShapeBuilder starShape;
    starShape.fill1(starShape.addSolidFill({255, 200, 40, 255}));
    starShape.line(starShape.addSolidLine(static_cast<uint16_t>(px(3)), {200, 90, 20, 255}));
    star(starShape, 0, 0, 120, 48, 5);
    starShape.newStyles();  // a second style group for the centre (DefineShape2)
    starShape.fill1(starShape.addSolidFill({220, 40, 40, 255}));
    circle(starShape, 0, 0, 22);
    uint16_t starId = movie.defineShape(starShape);

    movie.placeObject(frameId, 1);
    const int frames = 36;
    for (int f = 0; f < frames; ++f) {
        double a = 2 * kPi * f / frames;
        swfw::Placement p = follow(f, 2, starId, rotatedAt(160, 160, a / 5 * 2, 1));
        swf::ColorTransform tint;
        tint.rAdd = static_cast<int16_t>(std::lround(-40 + 40 * std::sin(a)));
        tint.gAdd = static_cast<int16_t>(std::lround(30 * std::sin(a + 2)));
        tint.bAdd = static_cast<int16_t>(std::lround(60 + 60 * std::sin(a + 4)));
        p.colorTransform = tint;
        movie.place(p);
        movie.showFrame();
    }
    return movie;
}

Movie shapeShifter() {
    Movie movie = Movie::pixels(6, 400, 300, 24);
    movie.backgroundColor({245, 240, 230, 255});

    swfw::MorphShape morph;
    morph.start().fill1(morph.addFill(solid({230, 50, 50, 255}), solid({50, 90, 230, 255})));
    morph.start().line(morph.addLine(stroke(4, {90, 20, 20, 255}), stroke(10, {20, 30, 90, 255})));
    // Eight edges each, in the same order: the square's half sides turn into the circle's arcs.
    const int s = px(80);
    morph.start().moveTo(s, 0).lineTo(s, s).lineTo(0, s).lineTo(-s, s).lineTo(-s, 0).lineTo(-s, -s).lineTo(0, -s).lineTo(s, -s).lineTo(s, 0);
    morph.end().ellipse(0, 0, px(95), px(95));
    uint16_t morphId = movie.defineMorphShape(morph);

    const int frames = 48;
    for (int f = 0; f < frames; ++f) {
        double t = f < frames / 2 ? f / (frames / 2.0 - 1) : (frames - 1 - f) / (frames / 2.0 - 1);
        double eased = (1 - std::cos(kPi * t)) / 2;
        swfw::Placement p = follow(f, 1, morphId, rotatedAt(200, 150, eased * kPi / 4));
        p.ratio = static_cast<uint16_t>(std::lround(eased * 65535));
        movie.place(p);
        movie.showFrame();
    }
    return movie;
}

Movie clickMe() {
    Movie movie = Movie::pixels(6, 400, 300, 24);
    movie.backgroundColor({235, 240, 250, 255});
    swfw::Font font = pixelFont("Velmora Dots");
    uint16_t fontId = movie.defineFont2(font);

    ShapeBuilder off;
    off.fill1(off.addFill(radial({{0, {200, 200, 200, 255}}, {255, {110, 110, 120, 255}}}, -8, -10, 50)));
    circle(off, 0, 0, 40);
    uint16_t offId = movie.defineShape(off);
    ShapeBuilder on;
    on.fill1(on.addFill(radial({{0, {255, 255, 230, 255}}, {120, {255, 230, 80, 255}}, {255, {240, 160, 20, 255}}}, -8, -10, 50)));
    circle(on, 0, 0, 40);
    uint16_t onId = movie.defineShape(on);

    swfw::Sprite bulb;  // frame 1 off, frame 2 on; "play" flips between them
    bulb.place({.depth = 1, .character = offId, .matrix = Matrix{}}).doAction(swfw::Actions().stop()).showFrame();
    bulb.remove(1).place({.depth = 1, .character = onId, .matrix = Matrix{}}).doAction(swfw::Actions().stop()).showFrame();
    uint16_t bulbId = movie.defineSprite(bulb);

    ShapeBuilder dot;
    dot.fill1(dot.addSolidFill({60, 120, 220, 255}));
    circle(dot, 0, -30, 6);
    uint16_t dotId = movie.defineShape(dot);
    swfw::Sprite spinner;  // eight dots chasing round
    const int steps = 12;
    for (int f = 0; f < steps; ++f) {
        for (int d = 0; d < 8; ++d) {
            double a = 2 * kPi * (d / 8.0 + static_cast<double>(f) / steps);
            swfw::Placement p = follow(f, static_cast<uint16_t>(d + 1), dotId, rotatedAt(0, 0, a));
            p.colorTransform = alpha(0.2 + 0.1 * d);
            spinner.place(p);
        }
        spinner.showFrame();
    }
    uint16_t spinnerId = movie.defineSprite(spinner);

    auto face = [&](Rgba color, double offset) {
        ShapeBuilder b;
        b.fill1(b.addSolidFill(color));
        b.line(b.addSolidLine(static_cast<uint16_t>(px(2)), {20, 40, 90, 255}));
        roundRect(b, -80 + offset, -25 + offset, 160, 50, 12);
        return movie.defineShape(b);
    };
    uint16_t up = face({60, 120, 220, 255}, 0), over = face({100, 160, 250, 255}, 0), down = face({30, 80, 170, 255}, 2);
    uint16_t label = textShape(movie, font, fontId, "CLICK ME", 20, {255, 255, 255, 255}, 1);
    swfw::Button button;
    button.records.push_back({.up = true, .character = up, .depth = 1});
    button.records.push_back({.over = true, .character = over, .depth = 1});
    button.records.push_back({.down = true, .hitTest = true, .character = down, .depth = 1});
    button.records.push_back({.up = true, .over = true, .down = true, .character = label, .depth = 2, .matrix = at(-48, 8)});
    button.actions.push_back({swfw::ButtonCondition::OverDownToOverUp, swfw::Actions().setTarget("bulb").play().setTarget("")});
    uint16_t buttonId = movie.defineButton2(button);

    movie.place({.depth = 1, .character = bulbId, .matrix = at(200, 90), .name = "bulb"});
    movie.place({.depth = 2, .character = buttonId, .matrix = at(200, 210)});
    movie.place({.depth = 3, .character = spinnerId, .matrix = at(350, 50)});
    movie.doAction(swfw::Actions().stop());
    movie.showFrame();
    return movie;
}

Movie trafficLight() {
    Movie movie = Movie::pixels(5, 240, 400, 24);
    movie.backgroundColor({200, 220, 200, 255});

    ShapeBuilder housing;
    housing.fill1(housing.addSolidFill({40, 40, 45, 255}));
    roundRect(housing, 20, 20, 120, 350, 20);
    uint16_t housingId = movie.defineShape(housing);

    const Rgba lit[3] = {{240, 40, 30, 255}, {250, 200, 30, 255}, {40, 220, 70, 255}};
    const double lampY[3] = {80, 195, 310};
    ShapeBuilder dark;
    dark.fill1(dark.addSolidFill({70, 70, 75, 255}));
    for (double y : lampY) circle(dark, 80, y, 42);
    uint16_t darkId = movie.defineShape(dark);
    uint16_t lamps[3];
    for (int i = 0; i < 3; ++i) {
        ShapeBuilder b;
        b.fill1(b.addFill(radial({{0, {255, 255, 255, 255}}, {90, lit[i]}, {255, {lit[i].r, lit[i].g, lit[i].b, 255}}}, -10, -10, 55)));
        circle(b, 0, 0, 42);
        lamps[i] = movie.defineShape(b);
    }

    const char* labels[3] = {"red", "yellow", "green"};
    uint16_t buttons[3];
    for (int i = 0; i < 3; ++i) {
        ShapeBuilder key;
        key.fill1(key.addSolidFill(lit[i]));
        key.line(key.addSolidLine(static_cast<uint16_t>(px(2)), {30, 30, 30, 255}));
        roundRect(key, -22, -22, 44, 44, 8);
        uint16_t keyId = movie.defineShape(key);
        swfw::Button button;
        button.records.push_back({.up = true, .over = true, .hitTest = true, .character = keyId, .depth = 1});
        button.records.push_back({.down = true, .character = keyId, .depth = 1, .matrix = at(1, 1)});
        button.onRelease.gotoLabel(labels[i]).play();
        buttons[i] = movie.defineButton(button);
    }
    swf::ColorTransform paler;  // the keys look printed, not lit
    paler.rMult = paler.gMult = paler.bMult = 200;
    paler.rAdd = paler.gAdd = paler.bAdd = 40;
    for (uint16_t b : buttons) movie.buttonColorTransform(b, paler);

    movie.place({.depth = 1, .character = housingId, .matrix = Matrix{}});
    movie.place({.depth = 2, .character = darkId, .matrix = Matrix{}});
    for (int i = 0; i < 3; ++i) movie.place({.depth = static_cast<uint16_t>(20 + i), .character = buttons[i], .matrix = at(195, lampY[i])});
    // red 36 frames, yellow 12 frames blinking, green 36 frames; then round again
    const int lengths[3] = {36, 12, 36};
    for (int phase = 0; phase < 3; ++phase) {
        movie.frameLabel(labels[phase]);
        for (int f = 0; f < lengths[phase]; ++f) {
            bool shown = phase != 1 || (f / 3) % 2 == 0;
            if (f == 0 || phase == 1) movie.remove(10);
            if (shown && (f == 0 || phase == 1)) movie.place({.depth = 10, .character = lamps[phase], .matrix = at(80, lampY[phase])});
            movie.showFrame();
        }
    }
    return movie;
}

namespace {

swfw::Image checker() {
    swfw::Image image(16, 16);
    const Rgba colours[4] = {{250, 245, 230, 255}, {230, 120, 60, 255}, {60, 130, 180, 255}, {240, 200, 70, 255}};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) image.at(x, y) = colours[((x / 8) + (y / 8)) % 2 * 2 + ((x + y) % 8 == 0)];
    return image;
}

swfw::Image plasma(uint16_t w, uint16_t h, double phase) {
    swfw::Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double v = std::sin(x / 9.0 + phase) + std::sin(y / 7.0) + std::sin((x + y) / 13.0);
            auto c = [&](double shift) { return static_cast<uint8_t>(std::lround(127.5 + 127.5 * std::sin(v * 1.4 + shift))); };
            image.at(x, y) = {c(0), c(2.1), c(4.2), 255};
        }
    return image;
}

swfw::Image disc(uint16_t size, Rgba color, bool soft) {
    swfw::Image image(size, size);
    double r = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double d = std::hypot(x + 0.5 - r, y + 0.5 - r) / r;
            double a = soft ? std::max(0.0, 1 - d * d) : (d <= 1 ? 1.0 : 0.0);
            image.at(x, y) = {color.r, color.g, color.b, static_cast<uint8_t>(std::lround(255 * a))};
        }
    return image;
}

uint16_t bitmapRect(Movie& movie, uint16_t bitmap, swf::FillKind kind, double w, double h, double scale) {
    ShapeBuilder s;
    s.fill1(s.addFill(bitmapFill(bitmap, kind, -w / 2, -h / 2, scale)));
    s.rectangle(px(-w / 2), px(-h / 2), px(w), px(h));
    return movie.defineShape(s);
}

}  // namespace

Movie bitmapTiles() {
    Movie movie = Movie::pixels(8, 480, 360, 30);
    movie.backgroundColor({255, 255, 255, 255});

    uint16_t checkerId = movie.defineBitsLossless(checker(), 1, swfw::LosslessFormat::ColorMapped8);
    ShapeBuilder floor;
    floor.fill1(floor.addFill(bitmapFill(checkerId, swf::FillKind::RepeatingBitmapHard, 0, 0, 4)));
    floor.rectangle(px(-64), px(-64), px(480 + 128), px(360 + 128));
    uint16_t floorId = movie.defineShape(floor);

    uint16_t photo = movie.defineBitsJpeg2(plasma(128, 96, 0), 85);
    uint16_t photoShape = bitmapRect(movie, photo, swf::FillKind::ClippedBitmap, 192, 144, 1.5);
    swfw::Image frameImage(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) frameImage.at(x, y) = {static_cast<uint8_t>(x * 8), static_cast<uint8_t>(y * 8), 160, 255};
    uint16_t rgb15 = movie.defineBitsLossless(frameImage, 1, swfw::LosslessFormat::Rgb15);
    uint16_t rgb15Shape = bitmapRect(movie, rgb15, swf::FillKind::ClippedBitmap, 64, 64, 2);
    uint16_t glow = movie.defineBitsLossless(disc(64, {255, 255, 200, 255}, true), 2, swfw::LosslessFormat::Rgb32);
    uint16_t glowShape = bitmapRect(movie, glow, swf::FillKind::ClippedBitmap, 64, 64, 1);
    uint16_t stamp = movie.defineBits(plasma(48, 48, 2), 80);
    uint16_t stampShape = bitmapRect(movie, stamp, swf::FillKind::ClippedBitmapHard, 72, 72, 1.5);
    uint16_t badge = movie.defineBitsJpeg3(disc(48, {40, 160, 90, 255}, false), 85);
    uint16_t badgeShape = bitmapRect(movie, badge, swf::FillKind::ClippedBitmap, 48, 48, 1);

    const int frames = 64;
    for (int f = 0; f < frames; ++f) {
        double shift = (f * 2) % 64;  // one 64-pixel tile every 32 frames: the loop is seamless
        double a = 2 * kPi * f / frames;
        movie.place(follow(f, 1, floorId, at(-shift, -shift)));
        movie.place(follow(f, 2, photoShape, rotatedAt(240, 180, 0.2 * std::sin(a))));
        movie.place(follow(f, 3, glowShape, at(240 + 90 * std::cos(a), 180 + 60 * std::sin(a))));
        if (f == 0) {
            movie.place({.depth = 4, .character = rgb15Shape, .matrix = at(50, 50)});
            movie.place({.depth = 5, .character = stampShape, .matrix = at(60, 300)});
            movie.place({.depth = 6, .character = badgeShape, .matrix = at(430, 310)});
        }
        movie.showFrame();
    }
    return movie;
}

Movie helloText() {
    Movie movie = Movie::pixels(6, 480, 200, 24);
    movie.backgroundColor({25, 25, 40, 255});
    uint16_t band = rectangleShape(movie, linear({{0, {60, 40, 120, 255}}, {255, {20, 90, 140, 255}}}, 0, 0, 480, 0), 0, 60, 480, 70);

    swfw::Font big = pixelFont("Velmora Dots");
    uint16_t bigFont = movie.defineFont2(big);
    uint16_t hello = textShape(movie, big, bigFont, "HELLO, VELMORA!", 36, {255, 255, 255, 255}, 1);

    swfw::Font small = pixelFont("Velmora Dots Small");
    uint16_t smallFont = movie.defineFont(small);
    uint16_t subtitle = textShape(movie, small, smallFont, "EMBEDDED FONTS", 18, {255, 220, 90, 200}, 2);

    swfw::EditText field;
    field.bounds = {0, px(300), 0, px(24)};
    field.fontId = bigFont;
    field.fontHeight = static_cast<uint16_t>(px(16));
    field.color = Rgba{120, 230, 255, 255};
    field.readOnly = true;
    field.noSelect = true;
    field.useOutlines = true;
    field.initialText = "FRAME BY FRAME";
    field.variableName = "caption";
    uint16_t fieldId = movie.defineEditText(field);

    movie.place({.depth = 1, .character = band, .matrix = Matrix{}});
    const int frames = 48;
    for (int f = 0; f < frames; ++f) {
        double t = std::min(1.0, f / 20.0);
        double eased = 1 - (1 - t) * (1 - t);
        swfw::Placement title = follow(f, 2, hello, at(480 - 450 * eased, 112));
        swf::ColorTransform cycle;
        double a = 2 * kPi * f / frames;
        cycle.rMult = static_cast<int16_t>(std::lround(200 + 56 * std::sin(a)));
        cycle.gMult = static_cast<int16_t>(std::lround(200 + 56 * std::sin(a + 2.1)));
        cycle.bMult = static_cast<int16_t>(std::lround(200 + 56 * std::sin(a + 4.2)));
        title.colorTransform = cycle;
        movie.place(title);
        swfw::Placement sub = follow(f, 3, subtitle, at(30, 160));
        sub.colorTransform = alpha(std::min(1.0, f / 30.0));
        movie.place(sub);
        if (f == 0) movie.place({.depth = 4, .character = fieldId, .matrix = at(30, 20)});
        movie.showFrame();
    }
    return movie;
}

Movie windmill() {
    Movie movie = Movie::pixels(6, 400, 400, 24);
    movie.backgroundColor({160, 210, 250, 255});
    uint16_t sky = rectangleShape(movie, linear({{0, {90, 150, 230, 255}}, {255, {200, 230, 250, 255}}}, 0, 0, 0, 300), 0, 0, 400, 300);

    ShapeBuilder hill;
    hill.fill1(hill.addFill(linear({{0, {120, 200, 90, 255}}, {255, {60, 130, 50, 255}}}, 0, 260, 0, 400)));
    hill.moveTo(0, px(300)).curveTo(px(200), px(200), px(400), px(300)).lineTo(px(400), px(400)).lineTo(0, px(400)).lineTo(0, px(300));
    uint16_t hillId = movie.defineShape(hill);

    ShapeBuilder tower;
    tower.fill1(tower.addSolidFill({150, 100, 70, 255}));
    tower.line(tower.addSolidLine(static_cast<uint16_t>(px(2)), {90, 60, 40, 255}));
    tower.moveTo(px(180), px(150)).lineTo(px(220), px(150)).lineTo(px(240), px(290)).lineTo(px(160), px(290)).lineTo(px(180), px(150));
    uint16_t towerId = movie.defineShape(tower);

    ShapeBuilder blade;
    blade.fill1(blade.addSolidFill({250, 250, 245, 255}));
    blade.line(blade.addSolidLine(static_cast<uint16_t>(px(1.5)), {120, 120, 120, 255}));
    for (int i = 0; i < 4; ++i) {
        double a = i * kPi / 2;
        auto p = [&](double along, double across) {
            return swf::Point{px(along * std::cos(a) - across * std::sin(a)), px(along * std::sin(a) + across * std::cos(a))};
        };
        swf::Point p0 = p(8, -4), p1 = p(110, -14), p2 = p(110, 10), p3 = p(8, 4);
        blade.moveTo(p0.x, p0.y).lineTo(p1.x, p1.y).lineTo(p2.x, p2.y).lineTo(p3.x, p3.y).lineTo(p0.x, p0.y);
    }
    circle(blade, 0, 0, 9);
    uint16_t bladeId = movie.defineShape(blade);

    swfw::Sprite rotor;  // 12 frames turn the four blades a quarter turn: a seamless loop
    for (int f = 0; f < 12; ++f) {
        rotor.place(follow(f, 1, bladeId, rotatedAt(0, 0, f * (kPi / 2) / 12)));
        rotor.showFrame();
    }
    uint16_t rotorId = movie.defineSprite(rotor);

    ShapeBuilder cloud;
    cloud.fill1(cloud.addSolidFill({255, 255, 255, 220}));
    circle(cloud, 0, 0, 28);
    cloud.newStyles();
    cloud.fill1(cloud.addSolidFill({255, 255, 255, 220}));
    circle(cloud, 30, 8, 22);
    circle(cloud, -30, 10, 20);
    uint16_t cloudId = movie.defineShape(cloud);

    movie.place({.depth = 1, .character = sky, .matrix = Matrix{}});
    movie.place({.depth = 3, .character = hillId, .matrix = Matrix{}});
    movie.place({.depth = 4, .character = towerId, .matrix = Matrix{}});
    movie.place({.depth = 5, .character = rotorId, .matrix = at(200, 150), .name = "rotor"});
    const int frames = 48;
    for (int f = 0; f < frames; ++f) {
        movie.place(follow(f, 2, cloudId, at(-60 + 520.0 * f / frames, 70)));
        movie.showFrame();
    }
    return movie;
}

Movie cremeBrulee() {
    Movie movie = Movie::pixels(7, 320, 240, 24);
    movie.backgroundColor({250, 240, 225, 255});
    uint16_t table = rectangleShape(movie, linear({{0, {150, 100, 60, 255}}, {255, {90, 55, 30, 255}}}, 0, 170, 0, 240), 0, 170, 320, 70);

    ShapeBuilder dish;
    dish.fill1(dish.addFill(linear({{0, {255, 255, 255, 255}}, {255, {215, 210, 200, 255}}}, 80, 0, 240, 0)));
    dish.line(dish.addSolidLine(static_cast<uint16_t>(px(2)), {170, 160, 150, 255}));
    dish.moveTo(px(80), px(140)).lineTo(px(90), px(190)).curveTo(px(160), px(205), px(230), px(190)).lineTo(px(240), px(140)).lineTo(px(80), px(140));
    uint16_t dishId = movie.defineShape(dish);

    ShapeBuilder top;
    top.fill1(top.addFill(linear({{0, {190, 120, 40, 255}}, {128, {235, 175, 75, 255}}, {255, {200, 130, 45, 255}}}, 80, 140, 240, 140)));
    top.ellipse(px(160), px(140), px(80), px(14));
    uint16_t topId = movie.defineShape(top);

    ShapeBuilder wisp;
    swf::LineStyle steam = stroke(5, {255, 255, 255, 170});
    wisp.line(wisp.addLine(steam)).moveTo(0, 0).curveTo(px(12), px(-12), 0, px(-24)).curveTo(px(-12), px(-36), 0, px(-48));
    uint16_t wispId = movie.defineShape(wisp);

    swfw::Font font = pixelFont("Velmora Dots", 20480);
    uint16_t fontId = movie.defineFont2(font, 3);
    uint16_t title = textShape(movie, font, fontId, "CAF\xC3\x89", 28, {110, 60, 30, 255}, 2);

    movie.place({.depth = 1, .character = table, .matrix = Matrix{}});
    movie.place({.depth = 2, .character = dishId, .matrix = Matrix{}});
    movie.place({.depth = 3, .character = topId, .matrix = Matrix{}});
    movie.place({.depth = 10, .character = title, .matrix = at(110, 50)});
    const int frames = 36;
    for (int f = 0; f < frames; ++f) {
        for (int w = 0; w < 3; ++w) {
            double t = std::fmod(static_cast<double>(f) / frames + w / 3.0, 1.0);  // three wisps a third apart
            swfw::Placement p = follow(f, static_cast<uint16_t>(4 + w), wispId, at(125 + 35 * w, 130 - 50 * t));
            p.colorTransform = alpha(std::sin(kPi * t));
            movie.place(p);
        }
        movie.showFrame();
    }
    return movie;
}

Movie nightSky() {
    Movie movie = Movie::pixels(5, 400, 300, 24);
    movie.backgroundColor({10, 15, 40, 255});

    ShapeBuilder moon;
    moon.fill1(moon.addFill(radial({{0, {255, 255, 230, 255}}, {255, {230, 225, 180, 255}}}, 0, 0, 40)));
    circle(moon, 0, 0, 36);
    uint16_t moonId = movie.defineShape(moon);
    ShapeBuilder bite;  // the night eating into the moon
    bite.fill1(bite.addSolidFill({10, 15, 40, 255}));
    circle(bite, 0, 0, 34);
    uint16_t biteId = movie.defineShape(bite);

    ShapeBuilder twinkle;
    twinkle.fill1(twinkle.addSolidFill({255, 255, 240, 255}));
    star(twinkle, 0, 0, 6, 2, 4);
    uint16_t starId = movie.defineShape(twinkle);

    ShapeBuilder meteor;
    meteor.fill1(meteor.addFill(linear({{0, {255, 255, 255, 0}}, {255, {255, 255, 255, 255}}}, -80, 0, 0, 0)));
    meteor.moveTo(px(-80), 0).lineTo(0, px(-2)).lineTo(0, px(2)).lineTo(px(-80), 0);
    uint16_t meteorId = movie.defineShape(meteor);

    movie.place({.depth = 1, .character = moonId, .matrix = at(310, 70)});
    movie.place({.depth = 2, .character = biteId, .matrix = at(296, 62)});
    // Star positions from a fixed linear congruential sequence, so every run writes the same file.
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    struct Twinkler {
        double x, y, phase, scale;
    };
    std::vector<Twinkler> stars;
    for (int i = 0; i < 24; ++i)
        stars.push_back({static_cast<double>(10 + next() % 380), static_cast<double>(10 + next() % 230), (next() % 628) / 100.0, 0.6 + (next() % 80) / 100.0});

    const int frames = 48;
    for (int f = 0; f < frames; ++f) {
        for (size_t i = 0; i < stars.size(); ++i) {
            const Twinkler& s = stars[i];
            swfw::Placement p = follow(f, static_cast<uint16_t>(10 + i), starId, scaledAt(s.x, s.y, s.scale, s.scale));
            p.colorTransform = alpha(0.55 + 0.45 * std::sin(s.phase + 2 * kPi * f / frames));
            movie.place(p);
        }
        if (f == 12) movie.place({.depth = 50, .character = meteorId, .matrix = rotatedAt(60, 40, 0.5)});
        if (f > 12 && f < 24) movie.place({.depth = 50, .matrix = rotatedAt(60 + 25 * (f - 12), 40 + 13 * (f - 12), 0.5), .move = true});
        if (f == 24) movie.remove(50);
        movie.showFrame();
    }
    return movie;
}

}  // namespace mksamples
