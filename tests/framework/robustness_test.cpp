// Damaged input never crashes: thousands of deterministic mutations of good files must either
// load or raise the framework's own error for that kind of input.
#include <gtest/gtest.h>

#include <random>

#include "TestJpeg.h"
#include "framework/Framework.h"

using namespace vm;

namespace {

std::vector<std::uint8_t> SmallJpeg() {
    return vm::test::EncodeTestJpeg(24, 16, [](int x, int y) { return std::uint32_t(x * 10) << 16 | std::uint32_t(y * 15) << 8 | 128; },
                                    {.quality = 75, .progressive = true});
}

std::vector<std::uint8_t> SmallBmp() {
    TBitmap b(5, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) b.SetPixel(x, y, 0xFF000000u | static_cast<std::uint32_t>(x * 50 + y));
    TMemoryStream s;
    b.SaveToStream(s);
    return s.Bytes();
}

// Flips a few bytes, or cuts the file, or both.
template <class Bytes> Bytes Mutate(const Bytes& good, std::mt19937& rng) {
    Bytes bytes = good;
    int flips = static_cast<int>(rng() % 4);
    for (int i = 0; i < flips && !bytes.empty(); ++i)
        bytes[rng() % bytes.size()] = static_cast<typename Bytes::value_type>(rng() & 0xFF);
    if (rng() % 3 == 0 && !bytes.empty()) bytes.resize(rng() % bytes.size());
    return bytes;
}

template <class G> void ExpectOnlyGraphicErrors(const std::vector<std::uint8_t>& good, int rounds) {
    std::mt19937 rng(20131001);
    int failures = 0;
    for (int i = 0; i < rounds; ++i) {
        auto bytes = Mutate(good, rng);
        G graphic;
        TMemoryStream stream(bytes);
        try {
            graphic.LoadFromStream(stream);
        } catch (const EInvalidGraphic&) {
            ++failures;
        } catch (const std::exception& e) {
            ADD_FAILURE() << "round " << i << ": unexpected " << typeid(e).name() << ": " << e.what();
        }
    }
    EXPECT_GT(failures, rounds / 10) << "the mutations do damage";
}

} // namespace

TEST(Robustness, DamagedJpegFilesLoadOrFailCleanly) { ExpectOnlyGraphicErrors<TJPEGImage>(SmallJpeg(), 600); }

TEST(Robustness, DamagedBmpFilesLoadOrFailCleanly) { ExpectOnlyGraphicErrors<TBitmap>(SmallBmp(), 600); }

TEST(Robustness, DamagedDefinitionsParseOrFailWithALine) {
    const std::string good =
        "object F: TForm\n  Caption = 'A' + 'B'#13\n  Tag = $10\n  Font.Style = [fsBold]\n"
        "  object P: TPanel\n    Items = ('x' 'y')\n    Data = {0A0B}\n    Cols = <\n      item\n        W = 1\n      end>\n  end\nend\n";
    std::mt19937 rng(7);
    int failures = 0;
    for (int i = 0; i < 2000; ++i) {
        std::string text = Mutate(good, rng);
        try {
            ParseWindowDefinition(text, "M");
        } catch (const EDefinitionError& e) {
            ++failures;
            EXPECT_GE(e.Line(), 1);
            EXPECT_LE(e.Line(), 14) << text;
        } catch (const std::exception& e) {
            ADD_FAILURE() << "unexpected " << e.what() << " for:\n" << text;
        }
    }
    EXPECT_GT(failures, 200);
}
