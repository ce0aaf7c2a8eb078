#pragma once
// Opening a local path or URL and feeding its bytes to a bind-status callback, the way urlmon
// does for a pull download: GetBindInfo, OnStartBinding, OnProgress, OnDataAvailable with an
// IStream, OnStopBinding. The callback may be driven inside Pull (local files) or later from
// the message loop.
//
// urlmon's own pull-stream call is a stub that aborts the process under Wine 8, so the
// default puller drives the same callback through the URL moniker it wraps. urlmon is bound at
// run time; a program without it serves everything but plain files and URLs.
#include <windows.h>
#include <urlmon.h>

#include <string>

namespace vm {

class TUrlPuller {
public:
    virtual ~TUrlPuller() = default;
    // S_OK once the transfer has completed or is under way; a failure code when it could not
    // start (the callback may already have had OnStopBinding with that code).
    virtual HRESULT Pull(const std::string& url, IBindStatusCallback* callback) = 0;
};

// The process's puller: URL monikers of urlmon.
TUrlPuller& DefaultUrlPuller();

} // namespace vm
