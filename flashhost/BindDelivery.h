#pragma once
// The moniker's BindToStorage: the pending bind target is turned into bytes delivered to the
// bind-status callback that the Flash control put into its bind context. The out object of
// BindToStorage is never written; the bytes travel only through the callback.
//
// In-memory targets (resources, list items, streams) are delivered synchronously:
//   OnStartBinding(0, null); OnProgress(100, 100, BINDSTATUS_ENDDOWNLOADDATA, "");
//   OnDataAvailable(first | last, size, null, TYMED_ISTREAM medium); OnStopBinding(S_OK, "").
// Every other target is a path or URL handed to a URL puller.
#include <windows.h>
#include <urlmon.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/ComPtr.h"
#include "framework/Stream.h"

namespace vm {

class TStreamTokens;
class TUrlPuller;

// Where targets are looked up; the player fills it from its own state.
struct TBindSources {
    // The program's RT_RCDATA resource of that name; nullptr when there is none.
    std::function<std::unique_ptr<TStream>(const std::string& name)> openResource;
    // The stream of the flash list item of that name; empty or nullptr when no list is
    // attached or no item has the name.
    std::function<TStream*(const std::string& name)> findListStream;
    const TStreamTokens* streams = nullptr;
    TUrlPuller* puller = nullptr;
    std::string baseFolder;      // folder of the last movie loaded by path, or empty
    std::string programFolder;   // with its trailing "\"
};

// S_OK when the target was delivered (or handed to the puller); E_FAIL when there is no bind
// context, no callback holder, no IBindStatusCallback in it, or the target names nothing that
// can be read (no list or item, an unknown or malformed token, a missing resource, a failed
// pull). Once the callback is found the target counts as taken: bindTarget is emptied on every
// path, so a failed target cannot come back with a later bind.
HRESULT BindTargetToStorage(IBindCtx* bindContext, std::wstring& bindTarget, const TBindSources& sources);

// Delivers one stream to the callback in the in-memory sequence above.
HRESULT DeliverStream(IBindStatusCallback* callback, TComPtr<IStream> stream, std::int64_t size);

} // namespace vm
