#include <gtest/gtest.h>

#include "decode/Decoder.h"
#include "support/Fixtures.h"

namespace swf {
namespace {

using test::BitWriter;
using test::concat;
using test::tag;

std::vector<uint8_t> showFrame() { return tag(1, {}); }
std::vector<uint8_t> end() { return tag(0, {}); }
std::vector<uint8_t> place2(uint16_t depth, uint16_t id) { return tag(26, BitWriter().u8(0x02).u16(depth).u16(id).bytes()); }
std::vector<uint8_t> doAction(std::vector<uint8_t> actions) { return tag(12, actions); }
std::vector<uint8_t> label(const std::string& name, bool anchor = false) {
    BitWriter w;
    w.str(name);
    if (anchor) w.u8(1);
    return tag(43, w.bytes());
}

// A one-edge DefineShape with the given id.
std::vector<uint8_t> shape(uint16_t id) {
    BitWriter w;
    w.u16(id).rect(0, 20, 0, 20).u8(0).u8(0).ub(0, 4).ub(0, 4);
    w.ub(1, 1).ub(1, 1).ub(14, 4).ub(0, 1).ub(0, 1).sb(20, 16);  // horizontal line
    w.ub(0, 6);
    return tag(2, w.bytes());
}

TEST(MovieDecoder, ReadsTheHeaderOfPlainAndCompressedMovies) {
    auto fws = test::movie(concat({shape(1), place2(1, 1), showFrame(), end()}), 7, 1);
    for (const auto& bytes : {fws, test::compressed(fws)}) {
        DecodeResult r = decodeMovie(bytes);
        ASSERT_TRUE(r) << r.error.message;
        const MovieDef& m = *r.movie;
        EXPECT_EQ(m.header.compression, bytes[0] == 'C' ? Compression::Zlib : Compression::None);
        EXPECT_EQ(m.header.version, 7);
        EXPECT_EQ(m.header.fileLength, fws.size());
        EXPECT_EQ(m.header.frameSize, (Rect{0, 11000, 0, 8000}));
        EXPECT_DOUBLE_EQ(m.header.frameRate(), 24.0);
        EXPECT_EQ(m.header.frameCount, 1);
        EXPECT_FALSE(m.truncated);
        EXPECT_TRUE(m.warnings.empty());
        ASSERT_EQ(m.timeline.frames.size(), 1u);
        EXPECT_NE(m.dictionary.get<ShapeDef>(1), nullptr);
        EXPECT_EQ(m.dictionary.get<SpriteDef>(1), nullptr);  // wrong kind
    }
}

TEST(MovieDecoder, RefusesWhatIsNotAPlayableMovieWithTypedErrors) {
    auto err = [](std::vector<uint8_t> b) { return decodeMovie(b).error; };
    EXPECT_EQ(err({}).kind, DecodeErrorKind::NotSwf);
    EXPECT_EQ(err({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0}).kind, DecodeErrorKind::NotSwf);
    DecodeError lzma = err({'Z', 'W', 'S', 13, 100, 0, 0, 0, 5, 0, 0, 0});
    EXPECT_EQ(lzma.kind, DecodeErrorKind::Unsupported);
    EXPECT_NE(lzma.message.find("LZMA"), std::string::npos);
    EXPECT_EQ(err({'F', 'W', 'S', 8, 30}).kind, DecodeErrorKind::Truncated);
    EXPECT_EQ(err({'F', 'W', 'S', 8, 30, 0, 0, 0, 0x78}).kind, DecodeErrorKind::Truncated);  // rect cut
    EXPECT_EQ(err({'C', 'W', 'S', 8, 30, 0, 0, 0, 1, 2, 3, 4}).kind, DecodeErrorKind::Corrupt);
    auto cws = test::compressed(test::movie(concat({showFrame(), end()})));
    EXPECT_EQ(err(std::vector<uint8_t>(cws.begin(), cws.begin() + 10)).kind, DecodeErrorKind::Truncated);
    for (const auto& e : {err({}), lzma}) EXPECT_EQ(e.message.find('\n'), std::string::npos);
}

TEST(MovieDecoder, TruncatedMoviesKeepTheFramesThatArrived) {
    auto full = test::movie(concat({shape(1), place2(1, 1), showFrame(), place2(2, 1), showFrame(), doAction({7, 0}), showFrame(), end()}), 8, 3);
    // Cut inside the last DoAction.
    std::vector<uint8_t> cut(full.begin(), full.end() - 5);
    DecodeResult r = decodeMovie(cut);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r.movie->truncated);
    EXPECT_EQ(r.movie->timeline.frames.size(), 2u);
    EXPECT_EQ(r.movie->timeline.declaredFrameCount, 3);
    EXPECT_FALSE(r.movie->warnings.empty());

    // The same with a compressed stream that stops early.
    auto cws = test::compressed(full);
    std::vector<uint8_t> cwsCut(cws.begin(), cws.begin() + cws.size() - 8);
    DecodeResult c = decodeMovie(cwsCut);
    ASSERT_TRUE(c) << c.error.message;
    EXPECT_TRUE(c.movie->truncated);
    EXPECT_GE(c.movie->timeline.frames.size(), 2u);
    EXPECT_NE(c.movie->dictionary.get<ShapeDef>(1), nullptr);
}

// The header's length bounds the movie: bytes past it are not read, so a header declaring
// too little leaves the later frames out, and one declaring less than the header itself
// leaves a stage with nothing on it.
TEST(MovieDecoder, TheHeadersLengthBoundsWhatIsRead) {
    auto withLength = [](std::vector<uint8_t> bytes, uint32_t length) {
        for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<uint8_t>(length >> (8 * i));
        return bytes;
    };
    auto firstFrame = concat({shape(1), place2(1, 1), showFrame()});
    auto full = test::movie(concat({firstFrame, doAction({7, 0}), showFrame(), end()}), 8, 2);
    auto firstFrameEnd = static_cast<uint32_t>(test::movie({}, 8, 2).size() + firstFrame.size());
    for (const auto& bytes : {withLength(full, firstFrameEnd), test::compressed(withLength(full, firstFrameEnd))}) {
        DecodeResult r = decodeMovie(bytes);
        ASSERT_TRUE(r) << r.error.message;
        EXPECT_TRUE(r.movie->truncated);
        EXPECT_EQ(r.movie->timeline.frames.size(), 1u);
        EXPECT_EQ(r.movie->timeline.declaredFrameCount, 2);
    }
    // A longer declared length than the file holds still reads the whole file.
    DecodeResult longer = decodeMovie(withLength(full, static_cast<uint32_t>(full.size() + 100)));
    ASSERT_TRUE(longer);
    EXPECT_EQ(longer.movie->timeline.frames.size(), 2u);

    for (uint32_t tooShort : {0u, 8u, 12u}) {
        DecodeResult none = decodeMovie(withLength(full, tooShort));
        ASSERT_TRUE(none) << tooShort;
        EXPECT_EQ(none.movie->header.frameSize, (Rect{0, 11000, 0, 8000}));
        EXPECT_TRUE(none.movie->timeline.frames.empty());
        EXPECT_TRUE(none.movie->truncated);
        EXPECT_EQ(none.movie->dictionary.find(1), nullptr);
    }
}

TEST(MovieDecoder, ABadTagCostsOnlyThatTag) {
    auto badShape = tag(2, {9, 0, 0xFF});  // id 9, then a rect that runs out
    auto m = test::movie(concat({badShape, shape(1), place2(1, 1), showFrame(), end()}));
    DecodeResult r = decodeMovie(m);
    ASSERT_TRUE(r);
    ASSERT_EQ(r.movie->warnings.size(), 1u);
    EXPECT_EQ(r.movie->warnings[0].tagCode, 2);
    EXPECT_EQ(r.movie->warnings[0].offset, 21u);  // the first tag follows a 21-byte header
    EXPECT_EQ(r.movie->dictionary.find(9), nullptr);
    EXPECT_NE(r.movie->dictionary.get<ShapeDef>(1), nullptr);
    EXPECT_EQ(r.movie->timeline.frames.size(), 1u);
    EXPECT_FALSE(r.movie->truncated);
}

TEST(MovieDecoder, FramesHoldControlTagsInFileOrderWithLabels) {
    auto m = test::movie(concat({label("intro"), shape(1), place2(1, 1), doAction({7, 0}), showFrame(),
                                 label("loop", true), tag(28, BitWriter().u16(1).bytes()), showFrame(),
                                 tag(9, {1, 2, 3}), end()}),
                         6, 3);
    DecodeResult r = decodeMovie(m);
    ASSERT_TRUE(r);
    const Timeline& t = r.movie->timeline;
    ASSERT_EQ(t.frames.size(), 3u);  // the tags after the last ShowFrame make a final frame
    ASSERT_EQ(t.frames[0].labels.size(), 1u);
    EXPECT_EQ(t.frames[0].labels[0].name, "intro");
    EXPECT_FALSE(t.frames[0].labels[0].anchor);
    ASSERT_EQ(t.frames[0].tags.size(), 2u);
    EXPECT_TRUE(std::holds_alternative<PlaceObject>(t.frames[0].tags[0]));
    ASSERT_TRUE(std::holds_alternative<DoAction>(t.frames[0].tags[1]));
    EXPECT_EQ(std::get<DoAction>(t.frames[0].tags[1]).actions.size(), 2u);
    EXPECT_TRUE(t.frames[1].labels.at(0).anchor);
    EXPECT_EQ(std::get<RemoveObject>(t.frames[1].tags.at(0)).depth, 1);
    EXPECT_EQ(std::get<SetBackgroundColor>(t.frames[2].tags.at(0)).color, (Rgba{1, 2, 3, 255}));
    EXPECT_EQ(r.movie->backgroundColor, (Rgba{1, 2, 3, 255}));
}

TEST(MovieDecoder, SpritesHaveTheirOwnTimelineAndIgnoreDefinitions) {
    auto inner = concat({place2(1, 1), showFrame(), shape(5), label("b"), showFrame(), end()});
    auto sprite = tag(39, concat({BitWriter().u16(2).u16(2).bytes(), inner}));
    auto m = test::movie(concat({shape(1), sprite, place2(1, 2), showFrame(), end()}));
    std::vector<TagEvent> events;
    std::vector<std::string> names, summaries;
    DecodeOptions options;
    options.onTag = [&](const TagEvent& e) {
        events.push_back(e);
        names.push_back(std::string(e.name));
        summaries.push_back(std::string(e.summary));  // the view lives only during the call
    };
    DecodeResult r = decodeMovie(m, options);
    ASSERT_TRUE(r);
    const SpriteDef* s = r.movie->dictionary.get<SpriteDef>(2);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->timeline.declaredFrameCount, 2);
    ASSERT_EQ(s->timeline.frames.size(), 2u);
    EXPECT_EQ(s->timeline.frames[1].labels.at(0).name, "b");
    EXPECT_EQ(r.movie->dictionary.find(5), nullptr);  // definitions inside sprites are ignored
    EXPECT_EQ(names, (std::vector<std::string>{"DefineShape", "DefineSprite", "PlaceObject2", "ShowFrame", "DefineShape",
                                                "FrameLabel", "ShowFrame", "End", "PlaceObject2", "ShowFrame", "End"}));
    EXPECT_EQ(events[2].nesting, 1);
    EXPECT_EQ(events[8].nesting, 0);
    // Offsets of nested tags are file offsets: the sprite's first tag follows its 4 header fields.
    EXPECT_EQ(events[2].offset, events[1].offset + 2 + 4);
    EXPECT_NE(summaries[4].find("ignored"), std::string::npos);
}

TEST(MovieDecoder, ATagOverrunningItsSpriteIsAWarningNotATruncatedFile) {
    // The sprite's last tag claims 40 bytes that the sprite does not have.
    auto inner = concat({place2(1, 1), showFrame(), BitWriter().u16(12 << 6 | 40).bytes()});
    auto sprite = tag(39, concat({BitWriter().u16(2).u16(1).bytes(), inner}));
    DecodeResult r = decodeMovie(test::movie(concat({shape(1), sprite, place2(1, 2), showFrame(), end()})));
    ASSERT_TRUE(r);
    EXPECT_FALSE(r.movie->truncated);
    EXPECT_EQ(r.movie->warnings.size(), 1u);
    EXPECT_EQ(r.movie->dictionary.get<SpriteDef>(2)->timeline.frames.size(), 1u);
    EXPECT_EQ(r.movie->timeline.frames.size(), 1u);
}

TEST(MovieDecoder, ASpriteWithoutEndOrWithAnUnclosedFrameStopsAtItsEnd) {
    auto spriteOf = [](uint16_t id, std::vector<uint8_t> inner) {
        return tag(39, concat({BitWriter().u16(id).u16(1).bytes(), inner}));
    };
    auto doAction = tag(12, {0x07, 0x00});  // stop
    auto m = test::movie(concat({
        spriteOf(2, concat({showFrame(), showFrame(), end()})),                 // complete: loops
        spriteOf(3, concat({showFrame(), showFrame()})),                        // no End
        spriteOf(4, concat({showFrame(), doAction, end()})),                    // a frame no ShowFrame closes
        showFrame(), end()}));
    DecodeResult r = decodeMovie(m);
    ASSERT_TRUE(r);
    EXPECT_FALSE(r.movie->dictionary.get<SpriteDef>(2)->timeline.stopsAtEnd);
    EXPECT_TRUE(r.movie->dictionary.get<SpriteDef>(3)->timeline.stopsAtEnd);
    const Timeline& unclosed = r.movie->dictionary.get<SpriteDef>(4)->timeline;
    EXPECT_TRUE(unclosed.stopsAtEnd);
    EXPECT_EQ(unclosed.frames.size(), 2u);  // its actions still make a frame
    EXPECT_FALSE(r.movie->timeline.stopsAtEnd);
}

TEST(MovieDecoder, ActionScript3MoviesAreMarkedAndTheirAvm2TagsSkipped) {
    auto attrs = tag(69, {0x08, 0, 0, 0});
    auto abc = tag(82, {1, 0, 0, 0, 0, 1, 2, 3});
    auto m = test::movie(concat({attrs, abc, shape(1), showFrame(), end()}), 10);
    DecodeResult r = decodeMovie(m);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r.movie->actionScript3);
    EXPECT_TRUE(r.movie->fileAttributes->actionScript3);
    EXPECT_TRUE(r.movie->warnings.empty());
    EXPECT_NE(r.movie->dictionary.get<ShapeDef>(1), nullptr);
    // The flag means nothing before SWF 9.
    DecodeResult old = decodeMovie(test::movie(concat({attrs, showFrame(), end()}), 8));
    EXPECT_FALSE(old.movie->actionScript3);
}

TEST(MovieDecoder, FirstDefinitionOfAnIdWinsAndLongTagHeadersWork) {
    auto second = shape(1);
    auto m = test::movie(concat({shape(1), tag(14, concat({BitWriter().u16(1).u8(0x2E).u32(10).bytes(), {1, 2}}), true), showFrame(), end()}));
    DecodeResult r = decodeMovie(m);
    ASSERT_TRUE(r);
    EXPECT_NE(r.movie->dictionary.get<ShapeDef>(1), nullptr);
    EXPECT_EQ(r.movie->dictionary.get<SoundDef>(1), nullptr);
}

TEST(MovieDecoder, ANameExportedAgainNamesTheLaterCharacter) {
    auto m = test::movie(concat({shape(1), tag(56, BitWriter().u16(1).u16(1).str("thing").bytes()), showFrame(),
                                 shape(2), tag(56, BitWriter().u16(1).u16(2).str("thing").bytes()), showFrame(), end()}),
                         8, 2);
    DecodeResult r = decodeMovie(m);
    ASSERT_TRUE(r);
    EXPECT_EQ(r.movie->exports.at("thing"), 2);
    EXPECT_EQ(r.movie->exportFrames.at("thing"), 1u);  // usable once the second frame has played
}

TEST(MovieDecoder, MovieWideTags) {
    auto m = test::movie(concat({
        tag(77, BitWriter().str("<rdf/>").bytes()),
        tag(24, {}),
        tag(64, BitWriter().u16(0).str("hash").bytes()),
        tag(65, BitWriter().u16(1000).u16(60).bytes()),
        tag(56, BitWriter().u16(2).u16(1).str("a").u16(2).str("b").bytes()),
        tag(71, BitWriter().str("lib.swf").u8(1).u8(0).u16(1).u16(7).str("Thing").bytes()),
        tag(78, BitWriter().u16(1).rect(10, 20, 30, 40).bytes()),
        tag(66, BitWriter().u16(3).u16(9).bytes()),
        showFrame(), end()}));
    DecodeResult r = decodeMovie(m);
    ASSERT_TRUE(r);
    const MovieDef& d = *r.movie;
    EXPECT_TRUE(d.warnings.empty()) << d.warnings[0].message;
    EXPECT_EQ(d.metadata, "<rdf/>");
    EXPECT_TRUE(d.isProtected);
    EXPECT_EQ(d.debuggerPasswordHash, "hash");
    EXPECT_EQ(d.scriptLimits->maxRecursionDepth, 1000);
    EXPECT_EQ(d.exports.at("b"), 2);
    EXPECT_EQ(d.exports.at("a"), 1);
    ASSERT_EQ(d.imports.size(), 1u);
    EXPECT_EQ(d.imports[0].url, "lib.swf");
    EXPECT_EQ(d.imports[0].assets.at(0), (std::pair<uint16_t, std::string>{7, "Thing"}));
    EXPECT_EQ(d.scalingGrids.at(1), (Rect{10, 20, 30, 40}));
    EXPECT_EQ(std::get<SetTabIndex>(d.timeline.frames[0].tags.at(0)).tabIndex, 9);
}

TEST(MovieDecoder, TagNamesCoverTheFormat) {
    EXPECT_EQ(tagName(39), "DefineSprite");
    EXPECT_EQ(tagName(70), "PlaceObject3");
    EXPECT_EQ(tagName(3), "Unknown");
}

}  // namespace
}  // namespace swf
