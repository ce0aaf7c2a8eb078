// What the writer produces, read back by the engine's decoder: the two sides were written
// independently, so agreement here checks both against the file format.
#include <gtest/gtest.h>

#include "Movie.h"
#include "decode/Decoder.h"

using namespace swfw;

namespace {

const swf::Rgba kRed{255, 0, 0, 255};
const swf::Rgba kBlue{0, 0, 255, 255};

std::shared_ptr<const swf::MovieDef> decode(const Movie& movie, Compression compression = Compression::None) {
    std::vector<uint8_t> bytes = movie.bytes(compression);
    swf::DecodeResult result = swf::decodeMovie(bytes);
    EXPECT_TRUE(result) << result.error.message;
    if (result.movie) {
        for (const auto& w : result.movie->warnings) ADD_FAILURE() << "decoder warning at tag " << w.tagCode << ": " << w.message;
    }
    return result.movie;
}

const swf::PlaceObject* placeAt(const swf::MovieDef& def, size_t frame, size_t index) {
    if (frame >= def.timeline.frames.size() || index >= def.timeline.frames[frame].tags.size()) return nullptr;
    return std::get_if<swf::PlaceObject>(&def.timeline.frames[frame].tags[index]);
}

}  // namespace

TEST(RoundTrip, HeaderFramesLabelsAndPlacementsSurviveBothCompressions) {
    Movie movie(7, {0, 8000, 0, 6000}, 29.97);
    movie.backgroundColor({1, 2, 3, 255});
    ShapeBuilder s;
    s.fill1(s.addSolidFill(kRed)).rectangle(0, 0, 400, 400);
    uint16_t id = movie.defineShape(s);
    swf::ColorTransform tint;
    tint.aMult = 128;
    tint.rAdd = -20;
    swf::Matrix m{1.5, 0.25, -0.25, 0.75, 123, -456};
    movie.frameLabel("start").place({.depth = 3, .character = id, .matrix = m, .colorTransform = tint, .name = "box"});
    movie.showFrame();
    movie.place({.depth = 3, .ratio = 7, .move = true}).showFrame();
    for (Compression c : {Compression::None, Compression::Zlib}) {
        auto def = decode(movie, c);
        ASSERT_TRUE(def);
        EXPECT_EQ(def->header.version, 7);
        EXPECT_EQ(def->header.frameSize, (swf::Rect{0, 8000, 0, 6000}));
        EXPECT_EQ(def->header.frameRate88, 7672);  // 29.97 * 256 rounded
        EXPECT_EQ(def->header.frameCount, 2);
        ASSERT_EQ(def->timeline.frames.size(), 2u);
        ASSERT_EQ(def->timeline.frames[0].labels.size(), 1u);
        EXPECT_EQ(def->timeline.frames[0].labels[0].name, "start");
        const swf::PlaceObject* p = placeAt(*def, 0, 1);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->depth, 3);
        EXPECT_EQ(p->characterId, id);
        EXPECT_EQ(p->name, "box");
        ASSERT_TRUE(p->matrix);
        EXPECT_NEAR(p->matrix->a, 1.5, 1e-4);
        EXPECT_NEAR(p->matrix->b, 0.25, 1e-4);
        EXPECT_NEAR(p->matrix->c, -0.25, 1e-4);
        EXPECT_NEAR(p->matrix->d, 0.75, 1e-4);
        EXPECT_EQ(p->matrix->tx, 123);
        EXPECT_EQ(p->matrix->ty, -456);
        EXPECT_EQ(p->colorTransform, tint);
        const swf::PlaceObject* moved = placeAt(*def, 1, 0);
        ASSERT_NE(moved, nullptr);
        EXPECT_TRUE(moved->move);
        EXPECT_EQ(moved->ratio, 7);
    }
}

TEST(RoundTrip, ShapesKeepStylesAndEdges) {
    Movie movie = Movie::pixels(8, 100, 100, 24);
    ShapeBuilder s;
    swf::FillStyle gradient;
    gradient.kind = swf::FillKind::FocalGradient;
    gradient.matrix = swf::Matrix::scale(0.5, 0.5);
    gradient.gradient.spread = swf::SpreadMode::Reflect;
    gradient.gradient.stops = {{0, kRed}, {128, {0, 255, 0, 128}}, {255, kBlue}};
    gradient.gradient.focalPoint = -0.5f;
    swf::LineStyle line;
    line.width = 60;
    line.color = {9, 8, 7, 6};
    line.join = swf::JoinStyle::Miter;
    line.miterLimit = 4;
    line.startCap = swf::CapStyle::None;
    line.endCap = swf::CapStyle::Square;
    s.fill0(s.addFill(gradient)).line(s.addLine(line)).moveTo(-100, -100).lineTo(300, -100).curveTo(400, 100, 300, 300).lineTo(-100, -100);
    uint16_t id = movie.defineShape(s);
    auto def = decode(movie);
    ASSERT_TRUE(def);
    const swf::ShapeDef* shape = def->dictionary.get<swf::ShapeDef>(id);
    ASSERT_NE(shape, nullptr);
    ASSERT_EQ(shape->fills.size(), 1u);
    EXPECT_EQ(shape->fills[0].kind, swf::FillKind::FocalGradient);
    EXPECT_EQ(shape->fills[0].gradient.stops, gradient.gradient.stops);
    EXPECT_EQ(shape->fills[0].gradient.spread, swf::SpreadMode::Reflect);
    EXPECT_FLOAT_EQ(shape->fills[0].gradient.focalPoint, -0.5f);
    ASSERT_EQ(shape->lines.size(), 1u);
    EXPECT_EQ(shape->lines[0].width, 60);
    EXPECT_EQ(shape->lines[0].color, line.color);
    EXPECT_EQ(shape->lines[0].join, swf::JoinStyle::Miter);
    EXPECT_FLOAT_EQ(shape->lines[0].miterLimit, 4);
    EXPECT_EQ(shape->lines[0].startCap, swf::CapStyle::None);
    EXPECT_EQ(shape->lines[0].endCap, swf::CapStyle::Square);
    EXPECT_EQ(shape->edgeBounds, s.edgeBounds());
    EXPECT_EQ(shape->bounds, s.strokeBounds());
    ASSERT_EQ(shape->paths.size(), 1u);
    const swf::Path& path = shape->paths[0];
    EXPECT_EQ(path.fill0, 1u);
    EXPECT_EQ(path.line, 1u);
    EXPECT_EQ(path.start, (swf::Point{-100, -100}));
    ASSERT_EQ(path.segments.size(), 3u);
    EXPECT_EQ(path.segments[1].curved, true);
    EXPECT_EQ(path.segments[1].control, (swf::Point{400, 100}));
    EXPECT_EQ(path.segments[1].to, (swf::Point{300, 300}));
    EXPECT_EQ(path.segments[2].to, (swf::Point{-100, -100}));
}

TEST(RoundTrip, NewStyleGroupsRenumberStyles) {
    Movie movie = Movie::pixels(6, 100, 100, 24);
    ShapeBuilder s;
    s.fill1(s.addSolidFill(kRed)).rectangle(0, 0, 100, 100);
    s.newStyles();
    s.fill1(s.addSolidFill(kBlue)).rectangle(200, 0, 100, 100);
    uint16_t id = movie.defineShape(s);
    auto def = decode(movie);
    ASSERT_TRUE(def);
    const swf::ShapeDef* shape = def->dictionary.get<swf::ShapeDef>(id);
    ASSERT_NE(shape, nullptr);
    ASSERT_EQ(shape->fills.size(), 2u);  // flattened into one list
    ASSERT_EQ(shape->paths.size(), 2u);
    EXPECT_EQ(shape->fills[shape->paths[0].fill1 - 1].color, kRed);
    EXPECT_EQ(shape->fills[shape->paths[1].fill1 - 1].color, kBlue);
    EXPECT_EQ(shape->paths[1].start, (swf::Point{200, 0}));
}

TEST(RoundTrip, BitmapsDecodeToTheirPixels) {
    Movie movie = Movie::pixels(8, 100, 100, 24);
    Image image(3, 2, kRed);
    image.at(1, 0) = kBlue;
    image.at(2, 1) = {0, 255, 0, 255};
    uint16_t lossless = movie.defineBitsLossless(image, 1, LosslessFormat::Rgb32);
    uint16_t mapped = movie.defineBitsLossless(image, 2, LosslessFormat::ColorMapped8);
    Image translucent(2, 1, {200, 100, 50, 128});
    uint16_t alpha = movie.defineBitsLossless(translucent, 2, LosslessFormat::Rgb32);
    Image flat(16, 16, {30, 160, 220, 255});
    uint16_t jpeg2 = movie.defineBitsJpeg2(flat);
    uint16_t jpegTables = movie.defineBits(flat);
    Image halfClear(16, 16, {30, 160, 220, 255});
    for (int x = 0; x < 16; ++x) halfClear.at(x, 0).a = 0;
    uint16_t jpeg3 = movie.defineBitsJpeg3(halfClear);
    auto def = decode(movie);
    ASSERT_TRUE(def);
    auto pixel = [&](uint16_t id, int x, int y) -> swf::Pixel {
        const swf::BitmapDef* b = def->dictionary.get<swf::BitmapDef>(id);
        if (!b || !b->image()) {
            ADD_FAILURE() << "bitmap " << id << " did not decode: " << (b ? b->error() : "missing");
            return 0;
        }
        return b->image()->pixels.at(y * b->image()->width + x);
    };
    for (uint16_t id : {lossless, mapped}) {
        EXPECT_EQ(pixel(id, 0, 0), 0xFFFF0000u) << id;
        EXPECT_EQ(pixel(id, 1, 0), 0xFF0000FFu) << id;
        EXPECT_EQ(pixel(id, 2, 1), 0xFF00FF00u) << id;
    }
    EXPECT_EQ(pixel(alpha, 1, 0), swf::premultiply({200, 100, 50, 128}));
    for (uint16_t id : {jpeg2, jpegTables}) {
        swf::Pixel p = pixel(id, 8, 8);
        EXPECT_NEAR(static_cast<int>(p >> 16 & 0xFF), 30, 6) << id;
        EXPECT_NEAR(static_cast<int>(p >> 8 & 0xFF), 160, 6) << id;
        EXPECT_NEAR(static_cast<int>(p & 0xFF), 220, 6) << id;
    }
    EXPECT_EQ(pixel(jpeg3, 4, 0) >> 24, 0u);
    EXPECT_EQ(pixel(jpeg3, 4, 8) >> 24, 255u);
}

TEST(RoundTrip, FontsAndTexts) {
    Movie movie = Movie::pixels(6, 100, 100, 24);
    Font font;
    font.name = "Caf\xC3\xA9";
    font.bold = true;
    font.ascent = 800;
    font.descent = 200;
    Glyph a{U'A', Glyph::newOutline(), 600};
    a.outline.fill1(1).rectangle(0, -700, 500, 700);
    Glyph e{U'\u00E9', Glyph::newOutline(), 550};
    e.outline.fill1(1).rectangle(0, -500, 450, 500);
    font.glyphs = {a, e};
    uint16_t font2 = movie.defineFont2(font);
    uint16_t font1 = movie.defineFont(font);
    StaticText text;
    text.bounds = {0, 1000, -300, 0};
    TextRun run;
    run.fontId = font2;
    run.height = 400;
    run.color = swf::Rgba{10, 20, 30, 40};
    run.x = 5;
    run.glyphs = layoutGlyphs(font, "A\xC3\xA9" "A", 400);
    text.runs = {run};
    uint16_t textId = movie.defineText(text, 2);
    EditText field;
    field.bounds = {0, 2000, 0, 400};
    field.fontId = font1;
    field.fontHeight = 300;
    field.multiline = true;
    field.html = true;
    field.maxLength = 12;
    field.layout = EditText::Layout{.align = 2, .leftMargin = 40, .leading = -20};
    field.variableName = "_root.v";
    field.initialText = "<b>hi</b>";
    uint16_t fieldId = movie.defineEditText(field);

    auto def = decode(movie);
    ASSERT_TRUE(def);
    for (uint16_t id : {font2, font1}) {
        const swf::FontDef* f = def->dictionary.get<swf::FontDef>(id);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->name, font.name);
        EXPECT_TRUE(f->bold);
        ASSERT_EQ(f->glyphs.size(), 2u);
        EXPECT_EQ(f->glyphIndex(0xE9), 1);
        EXPECT_EQ(f->glyphs[0].paths.size(), 1u);
    }
    const swf::FontDef* f2 = def->dictionary.get<swf::FontDef>(font2);
    ASSERT_TRUE(f2->layout);
    EXPECT_EQ(f2->layout->ascent, 800);
    EXPECT_EQ(f2->layout->advances, (std::vector<int16_t>{600, 550}));

    const swf::TextDef* t = def->dictionary.get<swf::TextDef>(textId);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->records.size(), 1u);
    EXPECT_EQ(t->records[0].color, run.color);
    EXPECT_EQ(t->records[0].xOffset, 5);
    EXPECT_EQ(t->records[0].height, 400);
    ASSERT_EQ(t->records[0].glyphs.size(), 3u);
    EXPECT_EQ(t->records[0].glyphs[1].index, 1u);
    EXPECT_EQ(t->records[0].glyphs[1].advance, 215);  // 550 * 400 / 1024, rounded

    const swf::EditTextDef* ed = def->dictionary.get<swf::EditTextDef>(fieldId);
    ASSERT_NE(ed, nullptr);
    EXPECT_TRUE(ed->multiline);
    EXPECT_TRUE(ed->html);
    EXPECT_FALSE(ed->readOnly);
    EXPECT_EQ(ed->height, 300);
    EXPECT_EQ(ed->maxLength, 12);
    ASSERT_TRUE(ed->layout);
    EXPECT_EQ(ed->layout->align, swf::TextAlign::Center);
    EXPECT_EQ(ed->layout->leftMargin, 40);
    EXPECT_EQ(ed->layout->leading, -20);
    EXPECT_EQ(ed->variableName, "_root.v");
    EXPECT_EQ(ed->initialText, "<b>hi</b>");
}

TEST(RoundTrip, ButtonsSpritesAndMorphs) {
    Movie movie = Movie::pixels(6, 100, 100, 24);
    ShapeBuilder s;
    s.fill1(s.addSolidFill(kRed)).rectangle(0, 0, 100, 100);
    uint16_t shape = movie.defineShape(s);
    Button b2;
    swf::ColorTransform tint;
    tint.gAdd = 40;
    b2.records.push_back({.up = true, .hitTest = true, .character = shape, .depth = 2, .matrix = swf::Matrix::translate(20, 0), .colorTransform = tint});
    b2.actions.push_back({swfw::ButtonCondition::OverUpToOverDown, Actions().play()});
    b2.actions.push_back({swfw::ButtonCondition::keyPress(13), Actions().stop()});
    uint16_t button2 = movie.defineButton2(b2);
    Button b1;
    b1.records.push_back({.down = true, .character = shape, .depth = 1});
    b1.onRelease.stop();
    uint16_t button1 = movie.defineButton(b1);
    movie.buttonColorTransform(button1, tint);

    Sprite sprite;
    sprite.place({.depth = 1, .character = shape}).showFrame().remove(1).showFrame().showFrame();
    uint16_t spriteId = movie.defineSprite(sprite);

    MorphShape morph;
    swf::FillStyle from, to;
    from.color = kRed;
    to.color = kBlue;
    morph.start().fill0(morph.addFill(from, to)).moveTo(0, 0).lineTo(100, 0).lineTo(0, 100).lineTo(0, 0);
    morph.end().moveTo(10, 10).lineTo(300, 0).curveTo(100, 100, 0, 300).lineTo(10, 10);
    uint16_t morphId = movie.defineMorphShape(morph);

    auto def = decode(movie);
    ASSERT_TRUE(def);
    const swf::ButtonDef* d2 = def->dictionary.get<swf::ButtonDef>(button2);
    ASSERT_NE(d2, nullptr);
    ASSERT_EQ(d2->records.size(), 1u);
    EXPECT_EQ(d2->records[0].states, swf::ButtonUp | swf::ButtonHitTest);
    EXPECT_EQ(d2->records[0].depth, 2);
    EXPECT_EQ(d2->records[0].colorTransform, tint);
    ASSERT_EQ(d2->actions.size(), 2u);
    EXPECT_EQ(d2->actions[0].conditions, swf::OverUpToOverDown);
    EXPECT_EQ(d2->actions[1].keyCode, 13);
    const swf::ButtonDef* d1 = def->dictionary.get<swf::ButtonDef>(button1);
    ASSERT_NE(d1, nullptr);
    EXPECT_EQ(d1->records[0].states, swf::ButtonDown);
    EXPECT_EQ(d1->records[0].colorTransform, tint);
    ASSERT_EQ(d1->actions.size(), 1u);

    const swf::SpriteDef* sp = def->dictionary.get<swf::SpriteDef>(spriteId);
    ASSERT_NE(sp, nullptr);
    EXPECT_EQ(sp->timeline.declaredFrameCount, 3);
    EXPECT_EQ(sp->timeline.frames.size(), 3u);

    const swf::MorphShapeDef* m = def->dictionary.get<swf::MorphShapeDef>(morphId);
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->start.fills.size(), 1u);
    EXPECT_EQ(m->end.fills[0].color, kBlue);
    ASSERT_EQ(m->end.paths.size(), 1u);
    EXPECT_EQ(m->end.paths[0].start, (swf::Point{10, 10}));
    EXPECT_EQ(m->end.paths[0].segments.at(1).control, (swf::Point{100, 100}));
}

TEST(RoundTrip, LargeFontSwitchesToWideOffsets) {
    Movie movie = Movie::pixels(6, 100, 100, 24);
    Font font;
    font.name = "big";
    for (char32_t c = 0x100; c < 0x100 + 3000; ++c) {
        Glyph g{c, Glyph::newOutline(), 500};
        g.outline.fill1(1).rectangle(0, -700, 500, 700).rectangle(100, -600, 300, 500);
        font.glyphs.push_back(std::move(g));
    }
    std::vector<uint8_t> body = encodeDefineFont2(1, font, 2);
    ASSERT_GT(body.size(), 65536u);
    EXPECT_EQ(body[2] & 0x08, 0x08);  // wide offsets flag
    uint16_t id = movie.defineFont2(font);
    auto def = decode(movie);
    ASSERT_TRUE(def);
    const swf::FontDef* f = def->dictionary.get<swf::FontDef>(id);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->glyphs.size(), 3000u);
    EXPECT_EQ(f->glyphIndex(0x100 + 2999), 2999);
    EXPECT_EQ(f->glyphs[2999].paths.size(), 2u);
    EXPECT_EQ(f->glyphs[2999].paths[1].start, (swf::Point{100, -600}));
}

TEST(RoundTrip, MovieLevelTagsActionsAndPlaceObject3) {
    Movie movie = Movie::pixels(8, 100, 100, 24);
    movie.fileAttributes({.hasMetadata = true});
    movie.metadata("<rdf:RDF/>");
    movie.protect();
    ShapeBuilder s;
    s.fill1(s.addSolidFill(kRed)).rectangle(0, 0, 100, 100);
    uint16_t id = movie.defineShape(s);
    movie.exportAssets({{id, "square"}});
    Actions code = Actions().gotoFrame(1).fsCommand("fullscreen", "true").stop();
    movie.place3({.depth = 2, .character = id, .className = "Square", .blendMode = 3, .cacheAsBitmap = 1});
    movie.doAction(code).showFrame();

    auto def = decode(movie);
    ASSERT_TRUE(def);
    ASSERT_TRUE(def->fileAttributes);
    EXPECT_TRUE(def->fileAttributes->hasMetadata);
    EXPECT_EQ(def->metadata, "<rdf:RDF/>");
    EXPECT_TRUE(def->isProtected);
    EXPECT_EQ(def->exports.at("square"), id);
    ASSERT_EQ(def->timeline.frames.size(), 1u);
    const auto& tags = def->timeline.frames[0].tags;
    ASSERT_EQ(tags.size(), 2u);
    const auto* p = std::get_if<swf::PlaceObject>(&tags[0]);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->version, 3);
    EXPECT_EQ(p->characterId, id);
    EXPECT_EQ(p->className, "Square");
    EXPECT_EQ(p->blendMode, swf::BlendMode::Multiply);
    EXPECT_EQ(p->cacheAsBitmap, true);
    const auto* action = std::get_if<swf::DoAction>(&tags[1]);
    ASSERT_NE(action, nullptr);
    std::vector<uint8_t> expected = code.bytes();
    EXPECT_EQ(std::vector<uint8_t>(action->actions.span().begin(), action->actions.span().end()), expected);
}

TEST(RoundTrip, MorphShape2KeepsStrokeDetails) {
    Movie movie = Movie::pixels(8, 100, 100, 24);
    MorphShape morph;
    swf::LineStyle from, to;
    from.width = 20;
    from.color = kRed;
    from.join = swf::JoinStyle::Bevel;
    from.endCap = swf::CapStyle::Square;
    from.noHScale = true;
    to = from;
    to.width = 100;
    to.color = kBlue;
    morph.start().line(morph.addLine(from, to)).moveTo(0, 0).lineTo(200, 0);
    morph.end().moveTo(0, 0).lineTo(0, 200);
    uint16_t id = movie.defineMorphShape(morph, 2);
    auto def = decode(movie);
    ASSERT_TRUE(def);
    const swf::MorphShapeDef* m = def->dictionary.get<swf::MorphShapeDef>(id);
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->start.lines.size(), 1u);
    EXPECT_EQ(m->start.lines[0].width, 20);
    EXPECT_EQ(m->end.lines[0].width, 100);
    EXPECT_EQ(m->end.lines[0].color, kBlue);
    EXPECT_EQ(m->start.lines[0].join, swf::JoinStyle::Bevel);
    EXPECT_EQ(m->start.lines[0].endCap, swf::CapStyle::Square);
    EXPECT_TRUE(m->start.lines[0].noHScale);
    EXPECT_EQ(m->end.paths.at(0).segments.at(0).to, (swf::Point{0, 200}));
    swf::ShapeDef half = m->shapeAt(32768);
    EXPECT_NEAR(half.lines.at(0).width, 60, 1);

    EXPECT_THROW(encodeDefineMorphShape(1, morph, 1), std::invalid_argument);  // joins need version 2
}
