#pragma once
// Device fonts the Windows way: the system's font mapper picks the face a movie names (the
// generic "_sans", "_serif" and "_typewriter" map to the usual faces), GetFontData hands over
// its TrueType file, and the engine's TrueType reader turns the needed characters into a font
// definition. A face whose data is not TrueType outlines (CFF, bitmap fonts) gives null: its
// text is then not drawn.
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "font/TrueTypeFont.h"
#include "player/Host.h"

namespace vm::flash {

class GdiDeviceFonts {
public:
    std::shared_ptr<const swf::FontDef> Find(const swf::DeviceFontRequest& request);

private:
    using Key = std::tuple<std::wstring, bool, bool>;
    const swf::TrueTypeFont* Load(const Key& key);

    std::map<Key, std::unique_ptr<swf::TrueTypeFont>> loaded_;  // null: tried and failed
};

} // namespace vm::flash
