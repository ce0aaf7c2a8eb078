#include "player/ocx/GdiDeviceFonts.h"

#include <windows.h>

#include <vector>

#include <exception>
#include "font/TrueTypeDeviceFont.h"
#include "framework/GdiObject.h"
#include "player/ocx/MovieText.h"

namespace vm::flash {

namespace {

std::wstring FaceFor(const std::string& family) {
    if (family == "_sans") return L"Arial";
    if (family == "_serif") return L"Times New Roman";
    if (family == "_typewriter") return L"Courier New";
    // Font names in movies older than SWF 6 are ANSI; UTF-8 reads them the same for ASCII names.
    std::wstring face = MovieTextToWide(family, 6);
    if (face.size() >= LF_FACESIZE) face.resize(LF_FACESIZE - 1);
    return face;
}

std::vector<std::uint8_t> FontFileOf(const std::wstring& face, bool bold, bool italic) {
    LOGFONTW lf{};
    lf.lfHeight = -2048;  // the size does not change the outlines GetFontData returns
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    TFontHandle font(CreateFontIndirectW(&lf));
    TMemoryDC dc;
    if (!font || !dc.Get()) return {};
    TSelectObject select(dc.Get(), font.Get());
    const DWORD size = GetFontData(dc.Get(), 0, 0, nullptr, 0);
    if (size == GDI_ERROR || size == 0) return {};
    std::vector<std::uint8_t> bytes(size);
    if (GetFontData(dc.Get(), 0, 0, bytes.data(), size) != size) return {};
    return bytes;
}

} // namespace

const swf::TrueTypeFont* GdiDeviceFonts::Load(const Key& key) {
    auto found = loaded_.find(key);
    if (found != loaded_.end()) return found->second.get();
    std::unique_ptr<swf::TrueTypeFont> font;
    std::vector<std::uint8_t> bytes = FontFileOf(std::get<0>(key), std::get<1>(key), std::get<2>(key));
    if (!bytes.empty()) {
        try {
            font = std::make_unique<swf::TrueTypeFont>(std::move(bytes));
        } catch (const std::exception&) {
            font.reset();  // not TrueType outlines: the text stays undrawn rather than failing the frame
        }
    }
    return (loaded_[key] = std::move(font)).get();
}

std::shared_ptr<const swf::FontDef> GdiDeviceFonts::Find(const swf::DeviceFontRequest& request) {
    const swf::TrueTypeFont* font = Load({FaceFor(request.family), request.bold, request.italic});
    if (!font) return nullptr;
    return swf::fontDefFromTrueType(*font, request.family, request.bold, request.italic, request.codes);
}

} // namespace vm::flash
