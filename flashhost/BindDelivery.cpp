#include "flashhost/BindDelivery.h"

#include "flashhost/ComStream.h"
#include "flashhost/MovieUrls.h"
#include "flashhost/StreamTokens.h"
#include "flashhost/UrlPuller.h"
#include "framework/ComPtr.h"
#include "framework/MemoryStream.h"
#include "framework/Text.h"

namespace vm {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

TComPtr<IBindStatusCallback> CallbackOf(IBindCtx* bindContext) {
    TComPtr<IBindStatusCallback> callback;
    if (!bindContext) return callback;
    TComPtr<IUnknown> holder;
    wchar_t key[] = L"_BSCB_Holder_";
    if (FAILED(bindContext->GetObjectParam(key, holder.Put())) || !holder) return callback;
    if (FAILED(holder.As(callback))) callback.Reset();
    return callback;
}

HRESULT DeliverOwned(IBindStatusCallback* callback, std::unique_ptr<TStream> stream) {
    stream->SetPosition(0);
    std::int64_t size = stream->Size();
    return DeliverStream(callback, MakeOwningComStream(std::move(stream)), size);
}

// A copy lets the movie read at its own pace while the original moves on or goes away.
std::unique_ptr<TStream> CopyOf(TStream& source) {
    auto copy = std::make_unique<TMemoryStream>();
    source.SetPosition(0);
    copy->CopyFrom(source, source.Size());
    return copy;
}

TStream* TokenStream(std::string_view rest, const TBindSources& sources) {
    if (!sources.streams || rest.size() < kStreamTokenLength) return nullptr;
    return sources.streams->Resolve(rest.substr(0, kStreamTokenLength));
}

HRESULT Pull(const std::string& target, IBindStatusCallback* callback, const TBindSources& sources) {
    if (!sources.puller) return E_FAIL;
    std::string url = target;
    // A name without a drive or scheme is relative to the movie loaded last by path.
    if (url.find(':') == std::string::npos)
        url = (sources.baseFolder.empty() ? sources.programFolder : sources.baseFolder) + url;
    return SUCCEEDED(sources.puller->Pull(url, callback)) ? S_OK : E_FAIL;
}

HRESULT Serve(const std::string& target, IBindStatusCallback* callback, const TBindSources& sources) {
    if (StartsWith(target, kResourceTarget)) {
        std::string name = StripExtension(std::string_view(target).substr(kResourceTarget.size()));
        std::unique_ptr<TStream> resource = sources.openResource ? sources.openResource(name) : nullptr;
        return resource ? DeliverOwned(callback, std::move(resource)) : E_FAIL;
    }
    if (StartsWith(target, kListTarget)) {
        std::string name = target.substr(kListTarget.size());
        TStream* item = sources.findListStream ? sources.findListStream(name) : nullptr;
        return item ? DeliverOwned(callback, CopyOf(*item)) : E_FAIL;
    }
    if (StartsWith(target, kStreamTarget)) {
        TStream* stream = TokenStream(std::string_view(target).substr(kStreamTarget.size()), sources);
        return stream ? DeliverOwned(callback, CopyOf(*stream)) : E_FAIL;
    }
    if (StartsWith(target, kAliasStreamTarget)) {
        TStream* stream = TokenStream(std::string_view(target).substr(kAliasStreamTarget.size()), sources);
        if (!stream) return E_FAIL;
        stream->SetPosition(0);
        return DeliverStream(callback, MakeBorrowingComStream(*stream), stream->Size());
    }
    return Pull(target, callback, sources);
}

} // namespace

HRESULT DeliverStream(IBindStatusCallback* callback, TComPtr<IStream> stream, std::int64_t size) {
    STGMEDIUM medium{};
    medium.tymed = TYMED_ISTREAM;
    medium.pstm = stream.Get();
    medium.pUnkForRelease = nullptr;
    FORMATETC* noFormat = nullptr;
    wchar_t noText[] = L"";
    const DWORD reported = size < 0 ? 0 : size > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<DWORD>(size);

    callback->OnStartBinding(0, nullptr);
    callback->OnProgress(100, 100, BINDSTATUS_ENDDOWNLOADDATA, noText);
    callback->OnDataAvailable(BSCF_FIRSTDATANOTIFICATION | BSCF_LASTDATANOTIFICATION, reported, noFormat, &medium);
    callback->OnStopBinding(S_OK, noText);
    return S_OK;
}

HRESULT BindTargetToStorage(IBindCtx* bindContext, std::wstring& bindTarget, const TBindSources& sources) {
    try {
        TComPtr<IBindStatusCallback> callback = CallbackOf(bindContext);
        if (!callback) return E_FAIL;
        std::string target = WideToAnsi(bindTarget);
        bindTarget.clear();
        return Serve(target, callback.Get(), sources);
    } catch (...) {
        // A copy that does not fit in memory, a stream that cannot be read: nothing delivered.
        return E_FAIL;
    }
}

} // namespace vm
