// fuzz_seeds FOLDER: writes the seed movies for the fuzzers. Small, uncompressed movies
// that each hold a few kinds of tag, so mutations reach every reader quickly, plus the
// sample collection as it ships.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "Movie.h"
#include "SampleCollection.h"

using namespace swfw;

namespace {

void write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

ShapeBuilder square(swf::Rgba color) {
    ShapeBuilder s;
    s.fill1(s.addSolidFill(color)).line(s.addSolidLine(20, {0, 0, 0, 255})).rectangle(0, 0, 400, 400);
    return s;
}

Movie shapesAndGradients() {
    Movie m = Movie::pixels(8, 40, 40, 24);
    ShapeBuilder s;
    swf::FillStyle g;
    g.kind = swf::FillKind::FocalGradient;
    g.gradient.stops = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 128}}};
    g.gradient.focalPoint = 0.5f;
    g.matrix = swf::Matrix::scale(0.02, 0.02);
    swf::LineStyle l;
    l.width = 40;
    l.join = swf::JoinStyle::Miter;
    l.endCap = swf::CapStyle::Square;
    s.fill0(s.addFill(g)).line(s.addLine(l)).moveTo(0, 0).curveTo(400, 0, 400, 400).lineTo(0, 400).lineTo(0, 0);
    s.newStyles();
    s.fill1(s.addSolidFill({0, 255, 0, 255})).ellipse(400, 400, 200, 100);
    m.place({.depth = 1, .character = m.defineShape(s), .matrix = swf::Matrix{}});
    m.showFrame();
    return m;
}

Movie morphAndSprite() {
    Movie m = Movie::pixels(6, 40, 40, 24);
    MorphShape morph;
    swf::FillStyle a, b;
    a.color = {255, 0, 0, 255};
    b.color = {0, 0, 255, 255};
    morph.start().fill0(morph.addFill(a, b)).moveTo(0, 0).lineTo(400, 0).lineTo(0, 400).lineTo(0, 0);
    morph.end().moveTo(0, 0).lineTo(800, 0).curveTo(400, 400, 0, 800).lineTo(0, 0);
    uint16_t morphId = m.defineMorphShape(morph);
    Sprite sprite;
    sprite.place({.depth = 1, .character = morphId, .ratio = 0}).showFrame();
    sprite.place({.depth = 1, .ratio = 40000, .move = true}).showFrame();
    m.place({.depth = 1, .character = m.defineSprite(sprite), .name = "s"});
    m.showFrame().showFrame();
    return m;
}

Movie bitmaps() {
    Movie m = Movie::pixels(8, 40, 40, 24);
    Image image(4, 4, {200, 100, 50, 255});
    image.at(1, 1) = {0, 0, 0, 0};
    uint16_t ids[] = {m.defineBitsLossless(image, 2, LosslessFormat::ColorMapped8), m.defineBitsJpeg3(image, 50),
                      m.defineBits(Image(4, 4, {1, 2, 3, 255}), 50)};
    uint16_t depth = 1;
    for (uint16_t id : ids) {
        ShapeBuilder s;
        swf::FillStyle f;
        f.kind = swf::FillKind::RepeatingBitmap;
        f.bitmapId = id;
        f.matrix = swf::Matrix::scale(20, 20);
        s.fill1(s.addFill(f)).rectangle(0, 0, 300, 300);
        m.place({.depth = depth++, .character = m.defineShape(s), .matrix = swf::Matrix::translate(depth * 100, 0)});
    }
    m.showFrame();
    return m;
}

Movie textAndButtons() {
    Movie m = Movie::pixels(6, 40, 40, 24);
    Font font;
    font.name = "f";
    Glyph g{U'A', Glyph::newOutline(), 512};
    g.outline.fill1(1).rectangle(0, -512, 400, 512);
    font.glyphs.push_back(g);
    uint16_t fontId = m.defineFont2(font);
    StaticText text;
    text.bounds = {0, 400, -400, 0};
    text.runs.push_back({.fontId = fontId, .height = 400, .color = swf::Rgba{0, 0, 0, 255}, .x = 0, .y = 400,
                         .glyphs = layoutGlyphs(font, "AAA", 400)});
    uint16_t textId = m.defineText(text, 2);
    EditText field;
    field.bounds = {0, 800, 0, 400};
    field.fontId = fontId;
    field.initialText = "AA";
    field.variableName = "v";
    field.useOutlines = true;
    uint16_t fieldId = m.defineEditText(field);
    Button b;
    b.records.push_back({.up = true, .over = true, .down = true, .hitTest = true, .character = textId, .depth = 1});
    b.actions.push_back({ButtonCondition::OverDownToOverUp, Actions().gotoFrame(1).play()});
    b.actions.push_back({ButtonCondition::IdleToOverUp, Actions().fsCommand("quit", "")});
    m.place({.depth = 1, .character = m.defineButton2(b)});
    m.place({.depth = 2, .character = fieldId, .matrix = swf::Matrix::translate(0, 400)});
    m.doAction(Actions().stop()).showFrame();
    m.frameLabel("two").doAction(Actions().gotoLabel("two").pushString("x").trace()).showFrame();
    return m;
}

Movie oldStyle() {
    Movie m = Movie::pixels(3, 40, 40, 12);
    uint16_t id = m.defineShape(square({10, 20, 30, 255}), 1);
    Button b;
    b.records.push_back({.up = true, .hitTest = true, .character = id, .depth = 1});
    b.onRelease.getUrl("http://example.invalid/", "_blank");
    uint16_t button = m.defineButton(b);
    m.buttonColorTransform(button, swf::ColorTransform{.rAdd = 10});
    m.placeObject(id, 1).placeObject(button, 2).showFrame();
    m.removeObject(id, 1).showFrame();
    return m;
}

// Damaged movies, so the error paths are in the corpus from the start.
std::vector<uint8_t> truncated() {
    std::vector<uint8_t> bytes = textAndButtons().bytes();
    bytes.resize(bytes.size() / 2);
    return bytes;
}

Movie lyingLengths() {
    Movie m = Movie::pixels(6, 40, 40, 24);
    m.overrideFrameCount(500);
    m.raw(Tag(2, {0x01, 0x00, 0x00}, true));           // DefineShape cut short after its id
    m.raw(Tag(39, {0x02, 0x00, 0x05, 0x00, 0x3F, 0x09, 0x00}));  // sprite holding a nested sprite header
    m.raw(Tag(26, {0xFF, 0x01}));                       // PlaceObject2 with every flag and no fields
    m.raw(Tag(12, {0x96, 0xFF, 0xFF, 0x00}));           // push with a length past the end
    m.showFrame();
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    std::filesystem::path folder = argv[1];
    try {
        std::filesystem::create_directories(folder);
        write(folder / "shapes.swf", shapesAndGradients().bytes());
        write(folder / "morph-sprite.swf", morphAndSprite().bytes());
        write(folder / "bitmaps.swf", bitmaps().bytes());
        write(folder / "text-buttons.swf", textAndButtons().bytes());
        write(folder / "old-style.swf", oldStyle().bytes());
        write(folder / "compressed.swf", textAndButtons().bytes(Compression::Zlib));
        write(folder / "truncated.swf", truncated());
        write(folder / "lying-lengths.swf", lyingLengths().bytes());
        int n = 0;
        for (const mksamples::Sample& s : mksamples::sampleCollection())
            write(folder / ("sample-" + std::to_string(n++) + ".swf"), s.build().bytes(Compression::None));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fuzz_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
