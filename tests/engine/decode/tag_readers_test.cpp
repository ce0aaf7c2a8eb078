// Tag families read on their own: display list, buttons, text, fonts, sounds and filters.
#include <gtest/gtest.h>

#include "core/ByteReader.h"
#include "decode/ButtonReader.h"
#include "decode/DisplayListReader.h"
#include "decode/FilterReader.h"
#include "decode/FontReader.h"
#include "decode/SoundReader.h"
#include "decode/TextReader.h"
#include "support/Fixtures.h"

namespace swf {
namespace {

using test::BitWriter;

TEST(PlaceObjectReader, PlaceObject3WithEveryOptionalField) {
    BitWriter w;
    w.u8(0xFF).u8(0x7F);  // every flag of both bytes (opaque background included)
    w.u16(5).str("Widget").u16(12).translate(40, -40);
    w.ub(0, 1).ub(1, 1).ub(10, 4).sb(128, 10).sb(255, 10).sb(0, 10).sb(256, 10);  // mult only
    w.u16(300).str("clip").u16(9);
    w.u8(2).u8(1).u32(0x00040000).u32(0x00020000).u8(0x08);     // blur 4 x 2, one pass
    w.u8(2).u8(10).u8(20).u8(30).u8(40).u32(0x60000).u32(0x60000).u16(0x0200).u8(0xA1);  // glow: inner, composite, 1 pass
    w.u8(3);      // blend: multiply
    w.u8(1);      // cache as bitmap
    w.u8(0);      // invisible
    w.u8(1).u8(2).u8(3).u8(4);  // background
    // clip actions (SWF 6+: 32-bit events)
    w.u16(0).u32(0x00000001);
    w.u8(0x01).u8(0).u8(0).u8(0).u32(3).u8(7).u8(0).u8(0);           // load: 3 action bytes
    w.u8(0).u8(0).u8(0x02).u8(0).u32(2).u8(65).u8(0);                // key press 'A': key + 1 byte
    w.u32(0);
    auto bytes = w.bytes();
    ByteReader r(bytes);
    PlaceObject p = readPlaceObject(r, 3, TagContext{8, nullptr});
    EXPECT_TRUE(r.atEnd());
    EXPECT_TRUE(p.move);
    EXPECT_EQ(p.depth, 5);
    EXPECT_EQ(p.className, "Widget");
    EXPECT_EQ(p.characterId, 12);
    EXPECT_EQ(p.matrix->ty, -40);
    EXPECT_EQ(p.colorTransform->gMult, 255);
    EXPECT_EQ(p.colorTransform->aMult, 256);
    EXPECT_EQ(p.ratio, 300);
    EXPECT_EQ(p.name, "clip");
    EXPECT_EQ(p.clipDepth, 9);
    ASSERT_EQ(p.filters->size(), 2u);
    const auto& blur = std::get<BlurFilter>((*p.filters)[0]);
    EXPECT_DOUBLE_EQ(blur.blurX, 4);
    EXPECT_DOUBLE_EQ(blur.blurY, 2);
    EXPECT_EQ(blur.passes, 1);
    const auto& glow = std::get<GlowFilter>((*p.filters)[1]);
    EXPECT_EQ(glow.color, (Rgba{10, 20, 30, 40}));
    EXPECT_DOUBLE_EQ(glow.p.strength, 2);
    EXPECT_TRUE(glow.p.inner);
    EXPECT_FALSE(glow.p.knockout);
    EXPECT_TRUE(glow.p.compositeSource);
    EXPECT_EQ(glow.p.passes, 1);
    EXPECT_EQ(p.blendMode, BlendMode::Multiply);
    EXPECT_EQ(p.cacheAsBitmap, true);
    EXPECT_EQ(p.visible, false);
    EXPECT_EQ(p.backgroundColor, (Rgba{1, 2, 3, 4}));
    ASSERT_EQ(p.clipActions.size(), 2u);
    EXPECT_EQ(p.clipActions[0].events, uint32_t{ClipLoad});
    EXPECT_EQ(p.clipActions[0].actions.size(), 3u);
    EXPECT_EQ(p.clipActions[1].events, uint32_t{ClipKeyPress});
    EXPECT_EQ(p.clipActions[1].keyCode, 65);
    EXPECT_EQ(p.clipActions[1].actions.size(), 1u);
}

TEST(PlaceObjectReader, Swf5ClipEventsAreSixteenBitsAndActionSizesAreChecked) {
    BitWriter w;
    w.u8(0x82).u16(1).u16(2);  // clip actions + character
    w.u16(0).u16(0x0402);      // reserved, then the union of all events (not kept)
    w.u8(0x02).u8(0x04).u32(1).u8(0);  // enterFrame + press
    w.u16(0);
    auto bytes = w.bytes();
    ByteReader r(bytes);
    PlaceObject p = readPlaceObject(r, 2, TagContext{5, nullptr});
    ASSERT_EQ(p.clipActions.size(), 1u);
    EXPECT_EQ(p.clipActions[0].events, uint32_t{ClipEnterFrame | ClipPress});

    BitWriter bad;
    bad.u8(0x80).u16(1).u16(0).u32(1).u32(1).u32(500).u8(0);  // 500 bytes of actions claimed
    auto badBytes = bad.bytes();
    ByteReader rb(badBytes);
    EXPECT_THROW(readPlaceObject(rb, 2, TagContext{8, nullptr}), DecodeFailure);
}

TEST(PlaceObjectReader, PlaceObject1ColourTransformIsOptional) {
    auto withCx = BitWriter().u16(3).u16(4).translate(1, 2).ub(1, 1).ub(0, 1).ub(6, 4).sb(10, 6).sb(-10, 6).sb(0, 6).bytes();
    ByteReader r(withCx);
    PlaceObject p = readPlaceObject(r, 1, TagContext{});
    EXPECT_EQ(p.characterId, 3);
    EXPECT_EQ(p.depth, 4);
    EXPECT_EQ(p.colorTransform->gAdd, -10);
    auto without = BitWriter().u16(3).u16(4).translate(1, 2).bytes();
    ByteReader r2(without);
    EXPECT_FALSE(readPlaceObject(r2, 1, TagContext{}).colorTransform.has_value());
}

TEST(FilterReader, ShadowBevelGradientConvolutionAndColourMatrix) {
    BitWriter w;
    w.u8(5);
    w.u8(0).u8(0).u8(0).u8(0).u8(255).u32(0x40000).u32(0x40000).u32(0xC90F).u32(0x40000).u16(0x0100).u8(0x61);  // shadow
    w.u8(3).u8(1).u8(1).u8(1).u8(255).u8(2).u8(2).u8(2).u8(255).u32(0x10000).u32(0x10000).u32(0).u32(0x20000).u16(0x0180).u8(0x31);  // bevel
    w.u8(7).u8(2).u8(1).u8(2).u8(3).u8(4).u8(5).u8(6).u8(7).u8(8).u8(0).u8(255).u32(0).u32(0).u32(0).u32(0).u16(0x0100).u8(0x11);
    w.u8(5).u8(3).u8(1).u32(0x3F800000).u32(0);
    for (int i = 0; i < 3; ++i) w.u32(0x40000000);  // 2.0
    w.u8(9).u8(9).u8(9).u8(9).u8(0x02);
    w.u8(6);
    for (int i = 0; i < 20; ++i) w.u32(i == 0 ? 0x3F800000u : 0u);
    auto bytes = w.bytes();
    ByteReader r(bytes);
    FilterList f = readFilterList(r);
    EXPECT_TRUE(r.atEnd());
    ASSERT_EQ(f.size(), 5u);
    const auto& shadow = std::get<DropShadowFilter>(f[0]);
    EXPECT_NEAR(shadow.p.angle, 0.785, 0.001);
    EXPECT_DOUBLE_EQ(shadow.p.distance, 4);
    EXPECT_FALSE(shadow.p.inner);
    EXPECT_TRUE(shadow.p.knockout);
    EXPECT_TRUE(shadow.p.compositeSource);
    EXPECT_EQ(shadow.p.passes, 1);
    const auto& bevel = std::get<BevelFilter>(f[1]);
    EXPECT_EQ(bevel.highlightColor, (Rgba{1, 1, 1, 255}));
    EXPECT_EQ(bevel.shadowColor, (Rgba{2, 2, 2, 255}));
    EXPECT_DOUBLE_EQ(bevel.p.strength, 1.5);
    EXPECT_TRUE(bevel.p.onTop);
    EXPECT_EQ(bevel.p.passes, 1);
    const auto& gb = std::get<GradientBevelFilter>(f[2]);
    ASSERT_EQ(gb.stops.size(), 2u);
    EXPECT_EQ(gb.stops[1], (GradientStop{255, {5, 6, 7, 8}}));
    const auto& conv = std::get<ConvolutionFilter>(f[3]);
    EXPECT_EQ(conv.matrix, (std::vector<float>{2, 2, 2}));
    EXPECT_TRUE(conv.clamp);
    EXPECT_FALSE(conv.preserveAlpha);
    EXPECT_FLOAT_EQ(std::get<ColorMatrixFilter>(f[4]).m[0], 1.0f);

    std::vector<uint8_t> unknown = {1, 9};
    ByteReader ru(unknown);
    EXPECT_THROW(readFilterList(ru), DecodeFailure);
    EXPECT_EQ(blendModeFrom(0), BlendMode::Normal);
    EXPECT_EQ(blendModeFrom(14), BlendMode::HardLight);
    EXPECT_EQ(blendModeFrom(15), BlendMode::Normal);
}

TEST(ButtonReader, Button2RecordsAndConditionActions) {
    BitWriter w;
    w.u8(1);  // track as menu
    BitWriter records;
    records.u8(0x30 | 0x09).u16(4).u16(1).translate(0, 0).ub(0, 1).ub(0, 1).ub(0, 4);  // up + hit, filters + blend
    records.align().u8(1).u8(1).u32(0x10000).u32(0x10000).u8(0x08).u8(4);            // one blur, blend screen
    records.u8(0);
    auto rec = records.bytes();
    w.u16(static_cast<uint16_t>(2 + rec.size())).raw(rec);
    w.u16(7).u16(0x0108).raw({0x07, 0x00, 0x00});         // OverDownToOverUp + OverDownToIdle, 3 bytes
    w.u16(0).u16(static_cast<uint16_t>(65 << 9)).raw({0x06, 0x00});  // key 'A', last record
    auto bytes = w.bytes();
    ByteReader r(bytes);
    ButtonDef b = readDefineButton(r, 2, TagContext{});
    EXPECT_TRUE(b.trackAsMenu);
    ASSERT_EQ(b.records.size(), 1u);
    EXPECT_EQ(b.records[0].states, ButtonUp | ButtonHitTest);
    EXPECT_EQ(b.records[0].characterId, 4);
    EXPECT_EQ(b.records[0].filters.size(), 1u);
    EXPECT_EQ(b.records[0].blendMode, BlendMode::Screen);
    ASSERT_EQ(b.actions.size(), 2u);
    EXPECT_EQ(b.actions[0].conditions, OverDownToOverUp | OverDownToIdle);
    EXPECT_EQ(b.actions[0].actions.size(), 3u);
    EXPECT_EQ(b.actions[1].keyCode, 65);
    EXPECT_EQ(b.actions[1].actions.size(), 2u);

    ButtonSound none;
    BitWriter sounds;
    sounds.u16(0).u16(9).u8(0x04).u16(3).u16(0).u16(0);
    auto sb = sounds.bytes();
    ByteReader rs(sb);
    readButtonSounds(rs, b);
    EXPECT_FALSE(b.sounds[0].has_value());
    EXPECT_EQ(b.sounds[1]->soundId, 9);
    EXPECT_EQ(b.sounds[1]->info.loopCount, 3);
}

TEST(ButtonReader, Button1ActionsAndLaterColourTransform) {
    BitWriter w;
    w.u8(0x01).u16(2).u16(1).translate(0, 0).u8(0).raw({0x07, 0x00});
    auto bytes = w.bytes();
    ByteReader r(bytes);
    ButtonDef b = readDefineButton(r, 1, TagContext{});
    ASSERT_EQ(b.actions.size(), 1u);
    EXPECT_EQ(b.actions[0].conditions, OverDownToOverUp);
    auto cx = BitWriter().ub(1, 1).ub(0, 1).ub(8, 4).sb(-100, 8).sb(0, 8).sb(100, 8).bytes();
    ByteReader rc(cx);
    readButtonColorTransform(rc, b);
    EXPECT_EQ(b.records[0].colorTransform.rAdd, -100);

    auto badOffset = BitWriter().u8(0).u16(200).u8(0).bytes();
    ByteReader rb(badOffset);
    EXPECT_THROW(readDefineButton(rb, 2, TagContext{}), DecodeFailure);
}

TEST(TextReader, RecordsCarryOptionalChangesAndBitPackedGlyphs) {
    BitWriter w;
    w.rect(0, 100, 0, 20).translate(0, 0).u8(5).u8(7);
    w.u8(0x8F).u16(3).u8(255).u8(0).u8(0).u8(128).u16(10).u16(static_cast<uint16_t>(-20)).u16(240);
    w.u8(2).ub(17, 5).sb(-60, 7).ub(31, 5).sb(63, 7);
    w.u8(0x81).u16(5).u8(1).ub(1, 5).sb(0, 7);
    w.u8(0);
    auto bytes = w.bytes();
    ByteReader r(bytes);
    TextDef t = readDefineText(r, 2);
    ASSERT_EQ(t.records.size(), 2u);
    EXPECT_EQ(t.records[0].fontId, 3);
    EXPECT_EQ(t.records[0].color, (Rgba{255, 0, 0, 128}));
    EXPECT_EQ(t.records[0].xOffset, 10);
    EXPECT_EQ(t.records[0].yOffset, -20);
    EXPECT_EQ(t.records[0].height, 240);
    ASSERT_EQ(t.records[0].glyphs.size(), 2u);
    EXPECT_EQ(t.records[0].glyphs[1].index, 31u);
    EXPECT_EQ(t.records[0].glyphs[0].advance, -60);
    EXPECT_FALSE(t.records[1].fontId.has_value());
    EXPECT_EQ(t.records[1].xOffset, 5);

    auto wide = BitWriter().rect(0, 1, 0, 1).translate(0, 0).u8(40).u8(8).bytes();
    ByteReader rw(wide);
    EXPECT_THROW(readDefineText(rw, 1), DecodeFailure);
}

TEST(TextReader, EditTextFieldsAndRenderSettings) {
    BitWriter w;
    w.rect(-40, 2000, -40, 400).u8(0xFF).u8(0xFF);
    w.u16(2).str("Arial").u16(240).u8(1).u8(2).u8(3).u8(4).u16(50);
    w.u8(2).u16(10).u16(20).u16(30).u16(static_cast<uint16_t>(-4));
    w.str("_root.score").str("<b>0</b>");
    auto bytes = w.bytes();
    ByteReader r(bytes);
    EditTextDef e = readDefineEditText(r);
    EXPECT_TRUE(e.wordWrap && e.multiline && e.password && e.readOnly && e.autoSize && e.noSelect && e.border &&
                e.wasStatic && e.html && e.useOutlines);
    EXPECT_EQ(e.fontId, 2);
    EXPECT_EQ(e.fontClass, "Arial");
    EXPECT_EQ(e.height, 240);
    EXPECT_EQ(e.color, (Rgba{1, 2, 3, 4}));
    EXPECT_EQ(e.maxLength, 50);
    EXPECT_EQ(e.layout->align, TextAlign::Center);
    EXPECT_EQ(e.layout->leading, -4);
    EXPECT_EQ(e.variableName, "_root.score");
    EXPECT_EQ(e.initialText, "<b>0</b>");

    auto settings = BitWriter().ub(1, 2).ub(2, 3).ub(0, 3).u32(0x3F800000).u32(0xBF800000).u8(0).bytes();
    ByteReader rs(settings);
    TextRenderSettings s = readTextSettings(rs);
    EXPECT_TRUE(s.advancedAntiAliasing);
    EXPECT_EQ(s.gridFit, 2);
    EXPECT_FLOAT_EQ(s.sharpness, -1.0f);
    auto badFit = BitWriter().ub(1, 2).ub(5, 3).ub(0, 3).u32(0).u32(0).bytes();
    ByteReader rb(badFit);
    EXPECT_THROW(readTextSettings(rb), DecodeFailure);
}

// A glyph: move to (0,0), one line right, end.
std::vector<uint8_t> glyph(int32_t dx) {
    return BitWriter().ub(1, 4).ub(0, 4).ub(0b000011, 6).ub(16, 5).sb(0, 16).sb(0, 16).ub(1, 1)
        .ub(1, 1).ub(1, 1).ub(14, 4).ub(0, 1).ub(0, 1).sb(dx, 16).ub(0, 6).bytes();
}

TEST(FontReader, Font2WithWideCodesLayoutAndKerning) {
    auto g0 = glyph(100), g1 = glyph(200);
    BitWriter w;
    w.u8(0x80 | 0x04 | 0x02).u8(1).u8(4).raw({'S', 'a', 'n', 's'}).u16(2);
    uint16_t tableSize = 2 * 2 + 2;
    w.u16(tableSize).u16(static_cast<uint16_t>(tableSize + g0.size())).u16(static_cast<uint16_t>(tableSize + g0.size() + g1.size()));
    w.raw(g0).raw(g1);
    w.u16('A').u16(0x263A);
    w.u16(900).u16(200).u16(static_cast<uint16_t>(-10)).u16(500).u16(600).rect(0, 1, 0, 1).rect(0, 2, 0, 2);
    w.u16(1).u16('A').u16(0x263A).u16(static_cast<uint16_t>(-30));
    auto bytes = w.bytes();
    ByteReader r(bytes);
    FontDef f = readDefineFont2(r, 3);
    EXPECT_EQ(f.name, "Sans");
    EXPECT_TRUE(f.italic);
    EXPECT_FALSE(f.bold);
    EXPECT_EQ(f.language, 1);
    EXPECT_DOUBLE_EQ(f.emSquare(), 20480);
    ASSERT_EQ(f.glyphs.size(), 2u);
    EXPECT_EQ(f.glyphs[1].paths.at(0).segments.at(0).to, (Point{200, 0}));
    EXPECT_EQ(f.glyphIndex(0x263A), 1);
    EXPECT_EQ(f.glyphIndex('B'), -1);
    ASSERT_TRUE(f.layout.has_value());
    EXPECT_EQ(f.layout->leading, -10);
    EXPECT_EQ(f.layout->advances, (std::vector<int16_t>{500, 600}));
    EXPECT_EQ(f.layout->bounds[1], (Rect{0, 2, 0, 2}));
    ASSERT_EQ(f.layout->kerning.size(), 1u);
    EXPECT_EQ(f.layout->kerning[0].adjustment, -30);
}

TEST(FontReader, Font1OffsetsInfoAndBadOffsets) {
    auto g0 = glyph(50);
    auto body = BitWriter().u16(2).raw(g0).bytes();
    ByteReader r(body);
    FontDef f = readDefineFont(r);
    ASSERT_EQ(f.glyphs.size(), 1u);
    EXPECT_DOUBLE_EQ(f.emSquare(), 1024);
    auto info = BitWriter().u8(5).raw({'S', 'e', 'r', 'i', 'f'}).u8(0x0E).u8('x').bytes();  // ANSI, italic, bold
    ByteReader ri(info);
    readFontInfo(ri, 1, f);
    EXPECT_EQ(f.name, "Serif");
    EXPECT_TRUE(f.ansi && f.italic && f.bold);
    EXPECT_FALSE(f.wideCodes);
    EXPECT_EQ(f.codes, (std::vector<uint16_t>{'x'}));

    auto odd = BitWriter().u16(3).u8(0).bytes();
    ByteReader ro(odd);
    EXPECT_THROW(readDefineFont(ro), DecodeFailure);
    auto past = BitWriter().u8(0).u8(0).u8(0).u16(1).u16(40).u16(50).bytes();
    ByteReader rp(past);
    EXPECT_THROW(readDefineFont2(rp, 2), DecodeFailure);
}

TEST(SoundReader, FormatsInfoAndStreamHeads) {
    auto def = BitWriter().ub(2, 4).ub(3, 2).ub(1, 1).ub(1, 1).u32(4410).u8(9).u8(8).bytes();
    ByteReader r(def);
    SoundDef s = readDefineSound(r, TagContext{});
    EXPECT_EQ(s.format.codec, SoundCodec::Mp3);
    EXPECT_EQ(s.format.sampleRate(), 44100u);
    EXPECT_TRUE(s.format.is16Bit && s.format.stereo);
    EXPECT_EQ(s.sampleCount, 4410u);
    EXPECT_EQ(s.data.size(), 2u);

    auto start = BitWriter().u16(4).u8(0x2F).u32(10).u32(20).u16(2).u8(1).u32(5).u16(100).u16(200).bytes();
    ByteReader rs(start);
    StartSound st = readStartSound(rs, 1);
    EXPECT_TRUE(st.info.syncStop);
    EXPECT_EQ(st.info.inPoint, 10u);
    EXPECT_EQ(st.info.outPoint, 20u);
    EXPECT_EQ(st.info.envelope.at(0).rightLevel, 200);

    auto head = BitWriter().u8(0x0A).ub(2, 4).ub(1, 2).ub(1, 1).ub(0, 1).u16(576).u16(static_cast<uint16_t>(-3)).bytes();
    ByteReader rh(head);
    SoundStreamHead h = readSoundStreamHead(rh, 2);
    EXPECT_EQ(h.stream.codec, SoundCodec::Mp3);
    EXPECT_EQ(h.stream.sampleRate(), 11025u);
    EXPECT_EQ(h.samplesPerFrame, 576);
    EXPECT_EQ(h.latencySeek, -3);
    // The latency field is optional in practice.
    auto shortHead = BitWriter().u8(0x0A).ub(2, 4).ub(1, 2).ub(1, 1).ub(0, 1).u16(576).bytes();
    ByteReader rsh(shortHead);
    EXPECT_EQ(readSoundStreamHead(rsh, 1).latencySeek, 0);
}

}  // namespace
}  // namespace swf
