// Pictures: BMP and JPEG decoding (built in code: BMP by hand, JPEG with libjpeg's encoder),
// corrupt files, the picture-format registry, and picture data in window definitions.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "GuiTest.h"
#include "TestJpeg.h"
#include "framework/Framework.h"

using namespace vm;

namespace {

void Put16(std::vector<std::uint8_t>& v, std::size_t at, unsigned x) { v[at] = x & 255; v[at + 1] = (x >> 8) & 255; }
void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = (x >> (8 * i)) & 255;
}

// A BMP with a BITMAPINFOHEADER; `rows` are given top row first as 0xRRGGBB.
std::vector<std::uint8_t> MakeBmp24(int w, int h, const std::vector<std::uint32_t>& pixels, bool topDown = false) {
    int stride = (w * 3 + 3) & ~3;
    std::vector<std::uint8_t> f(54 + static_cast<std::size_t>(stride) * h, 0);
    f[0] = 'B'; f[1] = 'M';
    Put32(f, 2, static_cast<std::uint32_t>(f.size()));
    Put32(f, 10, 54);
    Put32(f, 14, 40);
    Put32(f, 18, static_cast<std::uint32_t>(w));
    Put32(f, 22, static_cast<std::uint32_t>(topDown ? -h : h));
    Put16(f, 26, 1);
    Put16(f, 28, 24);
    for (int y = 0; y < h; ++y) {
        int fileRow = topDown ? y : h - 1 - y;
        for (int x = 0; x < w; ++x) {
            std::uint32_t p = pixels[static_cast<std::size_t>(y) * w + x];
            std::size_t at = 54 + static_cast<std::size_t>(fileRow) * stride + x * 3;
            f[at] = p & 255; f[at + 1] = (p >> 8) & 255; f[at + 2] = (p >> 16) & 255;
        }
    }
    return f;
}

std::vector<std::uint8_t> MakeBmp8(int w, int h, const std::vector<std::uint32_t>& palette, const std::vector<std::uint8_t>& indices) {
    int stride = (w + 3) & ~3;
    std::size_t off = 54 + palette.size() * 4;
    std::vector<std::uint8_t> f(off + static_cast<std::size_t>(stride) * h, 0);
    f[0] = 'B'; f[1] = 'M';
    Put32(f, 2, static_cast<std::uint32_t>(f.size()));
    Put32(f, 10, static_cast<std::uint32_t>(off));
    Put32(f, 14, 40);
    Put32(f, 18, static_cast<std::uint32_t>(w));
    Put32(f, 22, static_cast<std::uint32_t>(h));
    Put16(f, 26, 1);
    Put16(f, 28, 8);
    Put32(f, 46, static_cast<std::uint32_t>(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i) Put32(f, 54 + i * 4, palette[i]);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) f[off + static_cast<std::size_t>(h - 1 - y) * stride + x] = indices[static_cast<std::size_t>(y) * w + x];
    return f;
}

std::vector<std::uint8_t> EncodeJpeg(int w, int h, int components, const std::function<std::uint32_t(int, int)>& pixel) {
    return vm::test::EncodeTestJpeg(w, h, pixel, {.components = components});
}

bool Near(std::uint32_t argb, std::uint32_t rgb, int tolerance = 12) {
    for (int shift : {0, 8, 16}) {
        int a = (argb >> shift) & 255, b = (rgb >> shift) & 255;
        if (std::abs(a - b) > tolerance) return false;
    }
    return true;
}

template <class G> std::string LoadError(const std::vector<std::uint8_t>& bytes) {
    G graphic;
    TMemoryStream stream(bytes);
    try {
        graphic.LoadFromStream(stream);
    } catch (const EInvalidGraphic& e) {
        return e.what();
    }
    return "no error";
}

std::string TempPath(const std::string& name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "velmora_fw_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    TMemoryStream(bytes).SaveToFile(path);
}

} // namespace

TEST(BmpLoading, DecodesRowsInTheRightOrderAndPadding) {
    // 3 pixels wide: rows are padded to 12 bytes.
    std::vector<std::uint32_t> px{0xFF0000, 0x00FF00, 0x0000FF, 0x112233, 0x445566, 0xFFFFFF};
    for (bool topDown : {false, true}) {
        TBitmap bmp;
        TMemoryStream stream(MakeBmp24(3, 2, px, topDown));
        bmp.LoadFromStream(stream);
        ASSERT_EQ(bmp.Width(), 3);
        ASSERT_EQ(bmp.Height(), 2);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(bmp.Pixel(i % 3, i / 3), 0xFF000000u | px[i]) << "pixel " << i << (topDown ? " top-down" : "");
    }
    TBitmap pal;
    TMemoryStream stream(MakeBmp8(2, 2, {0x00000000, 0x00ABCDEF}, {0, 1, 1, 0}));
    pal.LoadFromStream(stream);
    EXPECT_EQ(pal.Pixel(1, 0), 0xFFABCDEFu);
    EXPECT_EQ(pal.Pixel(1, 1), 0xFF000000u);
}

TEST(BmpLoading, SavedBitmapsReadBack) {
    TBitmap original(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) original.SetPixel(x, y, 0xFF000000u | static_cast<std::uint32_t>(x * 40 + y * 7));
    TMemoryStream stream;
    original.SaveToStream(stream);
    stream.SetPosition(0);
    TBitmap copy;
    copy.LoadFromStream(stream);
    ASSERT_EQ(copy.Width(), 5);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(copy.Pixel(x, y), original.Pixel(x, y));
}

TEST(BmpLoading, CorruptFilesAreClearErrors) {
    std::vector<std::uint8_t> good = MakeBmp24(4, 4, std::vector<std::uint32_t>(16, 0x808080));
    auto with = [&](auto change) { auto b = good; change(b); return b; };
    struct Case { std::vector<std::uint8_t> bytes; const char* expected; };
    const Case cases[] = {
        {{}, "Bitmap image is not valid (no BMP header)"},
        {with([](auto& b) { b[0] = 'X'; }), "Bitmap image is not valid (no BMP header)"},
        {std::vector<std::uint8_t>(good.begin(), good.end() - 10), "Bitmap image is not valid (pixel data truncated)"},
        {std::vector<std::uint8_t>(good.begin(), good.begin() + 30), "Bitmap image is not valid (truncated header)"},
        {with([](auto& b) { Put32(b, 18, 0); }), "Bitmap image is not valid (size 0 x 4)"},
        {with([](auto& b) { Put32(b, 18, 100000); }), "Bitmap image is not valid (size 100000 x 4)"},
        {with([](auto& b) { Put32(b, 18, 30000); Put32(b, 22, 30000); }), "Bitmap image is not valid (size 30000 x 30000)"},
        {with([](auto& b) { Put16(b, 28, 7); }), "Bitmap image is not valid (7 bits per pixel)"},
        {with([](auto& b) { Put32(b, 10, 5000); }), "Bitmap image is not valid (pixel data offset out of range)"},
        {with([](auto& b) { Put32(b, 14, 200); }), "Bitmap image is not valid (unknown header size)"},
        {with([](auto& b) { Put32(b, 30, 9); }), "Bitmap image uses an unsupported compression"},
        {with([](auto& b) { Put32(b, 30, BI_RLE8); }), "Bitmap image is not valid (compression does not match its format)"},
    };
    for (const auto& c : cases) EXPECT_EQ(LoadError<TBitmap>(c.bytes), c.expected);
    auto palette = MakeBmp8(2, 2, {0, 0xFFFFFF}, {0, 1, 1, 0});
    Put32(palette, 46, 100000);
    EXPECT_EQ(LoadError<TBitmap>(palette), "Bitmap image is not valid (palette too large)");
}

TEST(JpegLoading, DecodesColourAndGreyPictures) {
    auto halves = EncodeJpeg(32, 16, 3, [](int x, int) { return x < 16 ? 0xFF0000u : 0x0000FFu; });
    TJPEGImage jpeg;
    TMemoryStream stream(halves);
    jpeg.LoadFromStream(stream);
    ASSERT_EQ(jpeg.Width(), 32);
    ASSERT_EQ(jpeg.Height(), 16);
    EXPECT_TRUE(Near(jpeg.Bitmap().Pixel(4, 8), 0xFF0000)) << std::hex << jpeg.Bitmap().Pixel(4, 8);
    EXPECT_TRUE(Near(jpeg.Bitmap().Pixel(28, 8), 0x0000FF)) << std::hex << jpeg.Bitmap().Pixel(28, 8);
    EXPECT_EQ(jpeg.Bitmap().Pixel(4, 8) >> 24, 0xFFu);

    auto grey = EncodeJpeg(8, 8, 1, [](int, int) { return 0x80u; });
    TJPEGImage g;
    TMemoryStream gs(grey);
    g.LoadFromStream(gs);
    EXPECT_TRUE(Near(g.Bitmap().Pixel(3, 3), 0x808080, 3)) << std::hex << g.Bitmap().Pixel(3, 3);

    TMemoryStream saved;
    jpeg.SaveToStream(saved);
    EXPECT_EQ(saved.Bytes(), halves) << "the original file bytes are kept";
}

TEST(JpegLoading, CorruptPicturesRaiseClearErrors) {
    auto good = EncodeJpeg(64, 64, 3, [](int x, int y) { return static_cast<std::uint32_t>((x * 4) << 16 | (y * 4)); });
    std::string truncated = LoadError<TJPEGImage>(std::vector<std::uint8_t>(good.begin(), good.begin() + good.size() / 2));
    EXPECT_EQ(truncated.rfind("JPEG image is not valid: ", 0), 0u) << truncated;
    EXPECT_GT(truncated.size(), std::string("JPEG image is not valid: ").size()) << "says what is wrong";

    EXPECT_EQ(LoadError<TJPEGImage>({}), "JPEG image is not valid (no JPEG start marker)");
    EXPECT_EQ(LoadError<TJPEGImage>({'G', 'I', 'F', '8'}), "JPEG image is not valid (no JPEG start marker)");
    std::vector<std::uint8_t> garbage{0xFF, 0xD8, 0x12, 0x34, 0x56, 0x78, 0x9A};
    std::string g = LoadError<TJPEGImage>(garbage);
    EXPECT_EQ(g.rfind("JPEG image is not valid: ", 0), 0u) << g;
    auto headerOnly = std::vector<std::uint8_t>(good.begin(), good.begin() + 200);
    EXPECT_EQ(LoadError<TJPEGImage>(headerOnly).rfind("JPEG image is not valid: ", 0), 0u);
}

TEST(PictureFormats, FilesLoadByRegisteredExtensionOnly) {
    std::string jpgPath = TempPath("preview.JPG");
    std::string bmpPath = TempPath("header.bmp");
    std::string badPath = TempPath("broken.jpg");
    std::string txtPath = TempPath("notes.txt");
    auto jpeg = EncodeJpeg(40, 20, 3, [](int, int) { return 0x00FF00u; });
    WriteFile(jpgPath, jpeg);
    WriteFile(bmpPath, MakeBmp24(2, 2, {1, 2, 3, 4}));
    WriteFile(badPath, std::vector<std::uint8_t>(jpeg.begin(), jpeg.begin() + 300));
    WriteFile(txtPath, {'h', 'i'});

    TPicture::UnregisterFileFormat("jpg");
    TPicture picture;
    picture.LoadFromFile(bmpPath);
    EXPECT_EQ(picture.Graphic()->ClassName(), "TBitmap");
    try {
        picture.LoadFromFile(jpgPath);
        FAIL() << "jpg loaded without being registered";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(std::string(e.what()), "Unknown picture file extension (.jpg) of \"" + jpgPath + "\"");
    }
    EXPECT_EQ(picture.Width(), 2) << "a failed load keeps the previous picture";

    TPicture::RegisterFileFormat<TJPEGImage>("jpg", "JPEG Image");
    bool described = false;
    for (const auto& f : TPicture::FileFormats()) described |= f.extension == "jpg" && f.description == "JPEG Image";
    EXPECT_TRUE(described);
    picture.LoadFromFile(jpgPath);
    EXPECT_EQ(picture.Width(), 40);
    EXPECT_EQ(picture.Graphic()->ClassName(), "TJPEGImage");

    try {
        picture.LoadFromFile(badPath);
        FAIL() << "corrupt jpg loaded";
    } catch (const EInvalidGraphic& e) {
        std::string m = e.what();
        EXPECT_EQ(m.rfind("JPEG image is not valid: ", 0), 0u) << m;
        EXPECT_NE(m.find(badPath), std::string::npos) << "names the file: " << m;
    }
    EXPECT_EQ(picture.Width(), 40);
    EXPECT_THROW(picture.LoadFromFile(txtPath), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromFile(TempPath("missing.bmp")), EStreamError);
    TPicture::UnregisterFileFormat("jpg");
    for (const auto& p : {jpgPath, bmpPath, badPath, txtPath}) DeleteFileA(p.c_str());
}

TEST(PictureFormats, PictureDataTravelsThroughTheDefinitionProperty) {
    TForm form(nullptr);
    auto* source = new TImage(&form);
    auto bmp = std::make_unique<TBitmap>(3, 2);
    bmp->SetPixel(2, 1, 0xFF123456);
    source->Picture().SetGraphic(std::move(bmp));
    TValue data = source->GetProperty("Picture.Data");
    ASSERT_EQ(data.AsBinary().at(0), 7u);   // "TBitmap"
    auto* copy = new TImage(&form);
    copy->SetProperty("Picture.Data", data);
    EXPECT_EQ(copy->Picture().Width(), 3);
    EXPECT_EQ(dynamic_cast<TBitmap*>(copy->Picture().Graphic())->Pixel(2, 1), 0xFF123456u);
    EXPECT_THROW(copy->SetProperty("Picture.Data", TValue::MakeBinary({5, 'T', 'X', 'Y', 'Z', '!', 0})), EInvalidGraphic);
    EXPECT_THROW(copy->SetProperty("Picture.Data", TValue::MakeBinary({40, 'T'})), EInvalidGraphic);
    EXPECT_EQ(copy->Picture().Width(), 3);
}
