#pragma once
// The settings of a Flash control that a container sets and stores: the texts and switches of
// the OBJECT tag's parameters, kept as the control received them. The playback holds the live
// view; these are what persistence writes and reads back.
#include <windows.h>
#include <objidl.h>
#include <ocidl.h>

#include <string>

namespace vm::flash {

struct ControlProperties {
    std::wstring movie;              // URL or path of the main movie
    std::wstring quality2 = L"High"; // "Low", "Medium", "High", "AutoLow", "AutoHigh", "Best"
    std::wstring scale = L"ShowAll"; // "ShowAll", "NoBorder", "ExactFit", "NoScale", or any text
    std::wstring salign;             // "", "L", "T", "R", "B", "TL", "TR", "BL", "BR"
    std::wstring wmode = L"Window";  // "Window", "Opaque", "Transparent"
    std::wstring bgcolor;            // "" (the movie's own) or "#RRGGBB"
    std::wstring base, swremote, flashVars, allowScriptAccess = L"sameDomain", movieData;
    std::wstring allowNetworking = L"all", allowFullScreen = L"false", allowFullScreenInteractive = L"false";
    std::wstring profileAddress, browserZoom = L"scale";
    bool loop = true, play = true, menu = true, deviceFont = false, embedMovie = false;
    bool seamlessTabbing = true, profile = false, isDependent = false;
    long profilePort = 0;

    // The control's own stream format: a tag, a version, then every field in order. Load
    // refuses a stream that is not ours or is cut short (the settings stay as they were).
    HRESULT Save(IStream& stream) const;
    HRESULT Load(IStream& stream);
    ULONG SizeMax() const;
    // The OBJECT tag's parameter names ("Movie" or "Src", "Quality", "Scale", "WMode", ...).
    // Missing names keep their values.
    HRESULT Load(IPropertyBag& bag, IErrorLog* log);
    HRESULT Save(IPropertyBag& bag) const;
};

// Quality names, case-insensitive; the canonical spelling of a known name, "" otherwise.
std::wstring CanonicalQuality(const std::wstring& text);

} // namespace vm::flash
