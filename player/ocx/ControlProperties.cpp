#include "player/ocx/ControlProperties.h"

#include <oleauto.h>

#include <array>
#include <cstdint>
#include <cwctype>
#include <vector>

namespace vm::flash {

namespace {

constexpr std::uint32_t kStreamTag = 0x4C465356;   // "VSFL"
constexpr std::uint32_t kStreamVersion = 1;
// A text longer than this in a stored stream is damage, not a setting.
constexpr std::uint32_t kMaxStoredText = 1u << 20;

bool SameText(const std::wstring& a, const wchar_t* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return i == a.size() && !b[i];
}

class Writer {
public:
    explicit Writer(IStream& s) : s_(s) {}
    void U32(std::uint32_t v) { Bytes(&v, sizeof v); }
    void Text(const std::wstring& t) {
        U32(static_cast<std::uint32_t>(t.size()));
        Bytes(t.data(), t.size() * sizeof(wchar_t));
    }
    HRESULT Result() const { return hr_; }
private:
    void Bytes(const void* p, std::size_t n) {
        if (FAILED(hr_) || n == 0) return;
        ULONG written = 0;
        hr_ = s_.Write(p, static_cast<ULONG>(n), &written);
        if (SUCCEEDED(hr_) && written != n) hr_ = STG_E_MEDIUMFULL;
    }
    IStream& s_;
    HRESULT hr_ = S_OK;
};

class Reader {
public:
    explicit Reader(IStream& s) : s_(s) {}
    std::uint32_t U32() { std::uint32_t v = 0; Bytes(&v, sizeof v); return v; }
    std::wstring Text() {
        std::uint32_t n = U32();
        if (FAILED(hr_) || n > kMaxStoredText) { hr_ = E_FAIL; return {}; }
        std::wstring t(n, L'\0');
        Bytes(t.data(), n * sizeof(wchar_t));
        return t;
    }
    HRESULT Result() const { return hr_; }
private:
    void Bytes(void* p, std::size_t n) {
        if (FAILED(hr_) || n == 0) return;
        ULONG read = 0;
        hr_ = s_.Read(p, static_cast<ULONG>(n), &read);
        if (SUCCEEDED(hr_) && read != n) hr_ = E_FAIL;   // cut short
    }
    IStream& s_;
    HRESULT hr_ = S_OK;
};

// Every text field with its property-bag name, in stream order.
template <class P> auto TextFields(P& p) {
    return std::array<std::pair<const wchar_t*, decltype(&p.movie)>, 15>{{
        {L"Movie", &p.movie}, {L"Quality", &p.quality2}, {L"Scale", &p.scale}, {L"SAlign", &p.salign},
        {L"WMode", &p.wmode}, {L"BGColor", &p.bgcolor}, {L"Base", &p.base}, {L"SWRemote", &p.swremote},
        {L"FlashVars", &p.flashVars}, {L"AllowScriptAccess", &p.allowScriptAccess}, {L"MovieData", &p.movieData},
        {L"AllowNetworking", &p.allowNetworking}, {L"AllowFullScreen", &p.allowFullScreen},
        {L"AllowFullScreenInteractive", &p.allowFullScreenInteractive}, {L"BrowserZoom", &p.browserZoom},
    }};
}

template <class P> auto BoolFields(P& p) {
    return std::array<std::pair<const wchar_t*, decltype(&p.loop)>, 8>{{
        {L"Loop", &p.loop}, {L"Play", &p.play}, {L"Menu", &p.menu}, {L"DeviceFont", &p.deviceFont},
        {L"EmbedMovie", &p.embedMovie}, {L"SeamlessTabbing", &p.seamlessTabbing}, {L"Profile", &p.profile},
        {L"IsDependent", &p.isDependent},
    }};
}

bool ReadBagText(IPropertyBag& bag, IErrorLog* log, const wchar_t* name, std::wstring& out) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    if (FAILED(bag.Read(name, &v, log))) return false;
    bool ok = false;
    if (v.vt != VT_BSTR) ok = SUCCEEDED(VariantChangeType(&v, &v, 0, VT_BSTR));
    else ok = true;
    if (ok) out = v.bstrVal ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring();
    VariantClear(&v);
    return ok;
}

bool TextToBool(const std::wstring& t, bool fallback) {
    if (SameText(t, L"true") || t == L"1" || t == L"-1") return true;
    if (SameText(t, L"false") || t == L"0") return false;
    return fallback;
}

}  // namespace

std::wstring CanonicalQuality(const std::wstring& text) {
    for (const wchar_t* name : {L"Low", L"Medium", L"High", L"AutoLow", L"AutoHigh", L"Best"})
        if (SameText(text, name)) return name;
    return {};
}

HRESULT ControlProperties::Save(IStream& stream) const {
    Writer w(stream);
    w.U32(kStreamTag);
    w.U32(kStreamVersion);
    for (auto& [name, field] : TextFields(*this)) w.Text(*field);
    std::uint32_t bits = 0, i = 0;
    for (auto& [name, field] : BoolFields(*this)) bits |= (*field ? 1u : 0u) << i++;
    w.U32(bits);
    w.U32(static_cast<std::uint32_t>(profilePort));
    return w.Result();
}

HRESULT ControlProperties::Load(IStream& stream) {
    Reader r(stream);
    if (r.U32() != kStreamTag || FAILED(r.Result())) return E_FAIL;
    if (r.U32() != kStreamVersion) return E_FAIL;
    ControlProperties read;
    for (auto& [name, field] : TextFields(read)) *field = r.Text();
    std::uint32_t bits = r.U32(), i = 0;
    for (auto& [name, field] : BoolFields(read)) *field = (bits >> i++) & 1;
    read.profilePort = static_cast<long>(r.U32());
    if (FAILED(r.Result())) return E_FAIL;
    *this = std::move(read);
    return S_OK;
}

ULONG ControlProperties::SizeMax() const {
    ULONG size = 4 * 4;
    for (auto& [name, field] : TextFields(*this)) size += 4 + static_cast<ULONG>(field->size() * sizeof(wchar_t));
    return size;
}

HRESULT ControlProperties::Load(IPropertyBag& bag, IErrorLog* log) {
    ControlProperties read = *this;
    std::wstring text;
    // "Src" is the OBJECT tag's other name for the movie; "Movie" wins when both are there.
    if (ReadBagText(bag, log, L"Src", text)) read.movie = text;
    for (auto& [name, field] : TextFields(read))
        if (ReadBagText(bag, log, name, text)) *field = text;
    for (auto& [name, field] : BoolFields(read))
        if (ReadBagText(bag, log, name, text)) *field = TextToBool(text, *field);
    if (ReadBagText(bag, log, L"ProfilePort", text)) read.profilePort = std::wcstol(text.c_str(), nullptr, 10);
    *this = std::move(read);
    return S_OK;
}

HRESULT ControlProperties::Save(IPropertyBag& bag) const {
    auto write = [&](const wchar_t* name, const std::wstring& value) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        HRESULT hr = bag.Write(name, &v);
        VariantClear(&v);
        return hr;
    };
    for (auto& [name, field] : TextFields(*this))
        if (HRESULT hr = write(name, *field); FAILED(hr)) return hr;
    for (auto& [name, field] : BoolFields(*this))
        if (HRESULT hr = write(name, *field ? L"true" : L"false"); FAILED(hr)) return hr;
    return write(L"ProfilePort", std::to_wstring(profilePort));
}

} // namespace vm::flash
