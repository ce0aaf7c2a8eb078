#include "flashhost/MovieUrls.h"

#include <array>

#include "framework/Errors.h"
#include "framework/ResourceStream.h"
#include "framework/Text.h"

namespace vm {

namespace {

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::size_t at = 0;
    while ((at = text.find(from, at)) != std::string::npos) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
}

void ReplaceChar(std::string& text, char from, char to) {
    for (char& c : text)
        if (c == from) c = to;
}

void ReplaceChar(std::wstring& text, wchar_t from, wchar_t to) {
    for (wchar_t& c : text)
        if (c == from) c = to;
}

std::string CutBeforeQuery(std::string text) {
    std::size_t cut = text.find_first_of("&?");
    if (cut != std::string::npos) text.erase(cut);
    return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Texts that mark a URL as one the player serves: the kinds of file movies load, matched in
// exact case (only the skin extension comes in both), and the video site FLV players stream from.
constexpr std::array<std::string_view, 11> kServedMarkers = {
    ".swf", ".flv", ".xml", ".jpg", ".png", ".mp3", ".ogg", ".txt", ".adf", ".ADF", "youtube.com"};

bool NamesServedKind(std::string_view url) {
    for (std::string_view marker : kServedMarkers)
        if (url.find(marker) != std::string_view::npos) return true;
    return false;
}

// A drive-letter path ("C:..."), which no folder in front of it can make valid.
bool IsDrivePath(std::string_view text) {
    return text.size() >= 3 && text[1] == ':';
}

std::string TargetFor(std::string_view url, const TMovieUrlContext& context, bool& keepTarget) {
    keepTarget = false;
    const std::string& folder = context.programFolder;
    auto exists = [&](std::string_view candidate) { return LocalFileExists(candidate, context.fileExists); };

    if (context.listHasItem) {
        std::string name = MovieFileName(url);
        if (context.listHasItem(name)) return std::string(kListTarget) + name;
    }
    if (context.resourceExists && context.resourceExists(StripExtension(url)))
        return std::string(kResourceTarget) + std::string(url);

    const bool onDummyHost = StartsWith(url, kDummyHostPrefix);
    std::string_view afterPrefix = onDummyHost ? url.substr(kDummyHostPrefix.size()) : std::string_view{};
    if (onDummyHost && exists(folder + std::string(afterPrefix))) return folder + std::string(afterPrefix);
    if (exists(folder + std::string(url))) return folder + std::string(url);

    if (onDummyHost) {
        std::string_view t = afterPrefix;
        if (StartsWith(t, "./")) t.remove_prefix(2);
        // A missing absolute file is not worth a bind: the target stays as it was.
        keepTarget = IsDrivePath(t) && !exists(t);
        return std::string(t);
    }
    if (StartsWith(url, "file://")) {
        keepTarget = !exists(url);
        return std::string(url);
    }
    return std::string(url);
}

} // namespace

std::string DecodeUrlEscapes(std::string_view url) {
    std::string s = LowerCase(url);
    ReplaceAll(s, "%3f", "?");
    ReplaceAll(s, "%3d", "=");
    ReplaceAll(s, "%26", "&");
    ReplaceAll(s, "%20", " ");
    ReplaceAll(s, "%2d", "-");
    ReplaceAll(s, "%2f", "/");
    return s;
}

std::string LocalPathOfUrl(std::string_view url) {
    std::string s = DecodeUrlEscapes(url);
    if (StartsWith(s, "file://")) s.erase(0, 7);
    if (StartsWith(s, "/")) s.erase(0, 1);
    ReplaceChar(s, '/', '\\');
    ReplaceChar(s, '|', ':');
    return CutBeforeQuery(std::move(s));
}

bool LocalFileExists(std::string_view url, const std::function<bool(const std::string&)>& fileExists) {
    return fileExists && fileExists(LocalPathOfUrl(url));
}

std::string MovieFileName(std::string_view url) {
    std::string s = CutBeforeQuery(DecodeUrlEscapes(url));
    std::size_t last = s.find_last_of("/:|\\");
    return last == std::string::npos ? s : s.substr(last + 1);
}

std::string StripExtension(std::string_view name) {
    std::size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string BaseFolderOf(std::string_view path) {
    std::size_t last = path.find_last_of("\\/:");
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::wstring MovieUrlForPath(std::wstring_view path, int flashMajorVersion) {
    if (path.find(L":/") != std::wstring_view::npos && flashMajorVersion < 10) return std::wstring(path);
    return std::wstring(kDummyHostPrefixW) + std::wstring(path);
}

std::wstring StreamMovieUrl(std::string_view token, std::string_view extension) {
    return std::wstring(kDummyHostPrefixW) + AnsiToWide(std::string(kStreamTarget) + std::string(token) + std::string(extension));
}

HRESULT ChooseBindTarget(std::wstring_view url, const TMovieUrlContext& context, std::wstring& bindTarget) {
    // An embedded NUL would let the name tested differ from the name later opened.
    if (url.size() > kMaxServedUrlLength || url.find(L'\0') != std::wstring_view::npos) return E_NOTIMPL;

    std::string u = WideToAnsi(url);
    if (StartsWith(u, "./")) u.erase(0, 2);
    if (u == "file://") return S_OK;
    if (!NamesServedKind(u)) return E_NOTIMPL;

    bool keepTarget = false;
    std::string target = TargetFor(u, context, keepTarget);
    if (!keepTarget) bindTarget = AnsiToWide(target);
    ReplaceChar(bindTarget, L'\\', L'/');
    return S_OK;
}

std::string ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) RaiseLastOSError("Reading the program's path");
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::string narrow = WideToAnsi(path);
    std::size_t slash = narrow.find_last_of("\\/:");
    return slash == std::string::npos ? std::string() : narrow.substr(0, slash + 1);
}

bool FileExistsOnDisk(const std::string& path) {
    if (path.empty()) return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ProgramResourceExists(const std::string& name) {
    return !name.empty() && TResourceStream::Exists(GetModuleHandleW(nullptr), name);
}

std::unique_ptr<TStream> OpenProgramResource(const std::string& name) {
    if (!ProgramResourceExists(name)) return nullptr;
    try {
        return std::make_unique<TResourceStream>(GetModuleHandleW(nullptr), name);
    } catch (const EStreamError&) {
        return nullptr;
    }
}

} // namespace vm
