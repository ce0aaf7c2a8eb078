#pragma once
// How the player decides which URLs it serves to the Flash control, and from where. The
// decision is kept apart from the COM plumbing: it works on text and on lookups handed in, so
// every rule can be checked without a control, a list or a resource.
//
// Targets written into the bind target name where the bytes will come from:
//   "<res>" + url        a resource of the program, named by the URL without its extension
//   "<list>" + name      the item of the attached flash list with that name
//   "<stream>" + token   a copy of a stream given to LoadMovieFromStream
//   "<astream>" + token  that stream itself, not copied
//   anything else        a local path or URL that urlmon opens
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "framework/Stream.h"

namespace vm {

// What LoadMovie puts in front of the path it wants the player to serve. The host lies in the
// ".invalid" domain, reserved never to resolve: a URL that escapes to the network reaches nobody.
inline constexpr std::string_view kDummyHostPrefix = "http://velmora.invalid/";
inline constexpr std::wstring_view kDummyHostPrefixW = L"http://velmora.invalid/";

inline constexpr std::string_view kResourceTarget = "<res>";
inline constexpr std::string_view kListTarget = "<list>";
inline constexpr std::string_view kStreamTarget = "<stream>";
inline constexpr std::string_view kAliasStreamTarget = "<astream>";

// Longest URL the player looks at, in characters. Nothing it serves can have a longer name
// (the longest path Windows opens is 32767 characters), so a longer URL is declined like any
// other URL the player does not serve, before any conversion or file test.
inline constexpr std::size_t kMaxServedUrlLength = 32 * 1024;

// Lower-cases ASCII letters, then turns the escapes "%3f" "%3d" "%26" "%20" "%2d" "%2f" into
// "?" "=" "&" " " "-" "/", in that order, each pass left to right.
std::string DecodeUrlEscapes(std::string_view url);
// The decoded URL as a local path ("file://" and one leading "/" removed, "/" -> "\",
// "|" -> ":", cut before the first "&" or "?").
std::string LocalPathOfUrl(std::string_view url);
// Whether fileExists holds for LocalPathOfUrl(url).
bool LocalFileExists(std::string_view url, const std::function<bool(const std::string&)>& fileExists);
// The decoded URL's last name, query cut off: what a list item is looked up by.
std::string MovieFileName(std::string_view url);
// The text before the last ".", or all of it when there is none.
std::string StripExtension(std::string_view name);

// The folder of a movie loaded by path, against which relative names are opened later: the
// text up to and including its last "\", "/" or ":" (empty when there is none). "/" counts
// too, so a movie loaded as "C:/m/a.swf" or by URL keeps its folder rather than its drive.
std::string BaseFolderOf(std::string_view path);
// The URL LoadMovie hands the Flash control for a path: a URL ("...:/...") as it is when the
// control is older than version 10, anything else behind the dummy host, for the player to serve.
std::wstring MovieUrlForPath(std::wstring_view path, int flashMajorVersion);
// The URL of a movie given as a stream: dummy host + "<stream>" + token + extension.
std::wstring StreamMovieUrl(std::string_view token, std::string_view extension);

// Everything the decision looks at besides the URL itself.
struct TMovieUrlContext {
    std::string programFolder;                                  // with its trailing "\"
    // Empty when no flash list is attached; else whether an item has that name.
    std::function<bool(const std::string& name)> listHasItem;
    // Whether the program has an RT_RCDATA resource of that name.
    std::function<bool(const std::string& name)> resourceExists;
    // Whether a file (not a folder) exists at that local path.
    std::function<bool(const std::string& path)> fileExists;
};

// The CreateMoniker decision for the URL the Flash control asks for. S_OK: the player serves
// it and bindTarget holds the target (rewritten, or kept when the URL names a missing
// absolute file), with "/" for every "\". E_NOTIMPL: the player does not serve it (no served
// kind of file named, or longer than kMaxServedUrlLength, or holding a NUL character) and
// bindTarget is untouched; the Flash control fetches it by itself.
HRESULT ChooseBindTarget(std::wstring_view url, const TMovieUrlContext& context, std::wstring& bindTarget);

// The running program's folder with its trailing "\".
std::string ProgramFolder();
// A file, not a folder, at path.
bool FileExistsOnDisk(const std::string& path);
// The program module's RT_RCDATA resource of that name.
bool ProgramResourceExists(const std::string& name);
// That resource as a read-only stream; nullptr when it is missing or cannot be loaded.
std::unique_ptr<TStream> OpenProgramResource(const std::string& name);

} // namespace vm
