// Device fonts come from the system's font mapper through GetFontData.
#include <gtest/gtest.h>

#include "player/ocx/GdiDeviceFonts.h"
#include "font/DeviceFontLookup.h"

using namespace vm::flash;

namespace {

TEST(PlaybackFonts, GenericFamiliesGiveOutlinesForTheRequestedCharacters) {
    GdiDeviceFonts fonts;
    for (const char* family : {"_sans", "_serif", "_typewriter"}) {
        SCOPED_TRACE(family);
        swf::DeviceFontRequest request{family, false, false, {'A', 'g', 0x4E00}};
        auto font = fonts.Find(request);
        ASSERT_TRUE(font);
        EXPECT_TRUE(swf::hasOutlines(*font));
        EXPECT_GE(font->glyphs.size(), 2u);  // the CJK ideograph may be missing from the face
    }
}

} // namespace
