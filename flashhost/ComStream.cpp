#include "flashhost/ComStream.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

namespace vm {

namespace {

class TComStream final : public IStream {
public:
    TComStream(std::unique_ptr<TStream> owned, TStream& stream)
        : owned_(std::move(owned)), stream_(&stream), alive_(std::make_shared<bool>(true)) {
        if (!owned_) {
            std::weak_ptr<bool> alive = alive_;
            noticeKey_ = stream_->AddDestructionNotice([alive] {
                if (auto flag = alive.lock()) *flag = false;
            });
        }
    }

    ~TComStream() {
        if (!owned_ && *alive_) stream_->RemoveDestructionNotice(noticeKey_);
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream) {
            *out = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // ISequentialStream
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override {
        if (read) *read = 0;
        if (!*alive_) return E_UNEXPECTED;
        if (!buffer && count) return STG_E_INVALIDPOINTER;
        return Guarded([&] {
            std::size_t got = stream_->Read(buffer, count);
            if (read) *read = static_cast<ULONG>(got);
            return got < count ? S_FALSE : S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG* written) override {
        if (written) *written = 0;
        return STG_E_ACCESSDENIED;
    }

    // IStream
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
        if (!*alive_) return E_UNEXPECTED;
        TSeekOrigin from;
        switch (origin) {
        case STREAM_SEEK_SET: from = TSeekOrigin::soBeginning; break;
        case STREAM_SEEK_CUR: from = TSeekOrigin::soCurrent; break;
        case STREAM_SEEK_END: from = TSeekOrigin::soEnd; break;
        default: return STG_E_INVALIDFUNCTION;
        }
        return Guarded([&] {
            std::int64_t now = stream_->Seek(move.QuadPart, from);
            if (position) position->QuadPart = static_cast<ULONGLONG>(now);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override {
        if (read) read->QuadPart = 0;
        if (written) written->QuadPart = 0;
        if (!*alive_) return E_UNEXPECTED;
        if (!target) return STG_E_INVALIDPOINTER;
        return Guarded([&] {
            std::vector<char> buffer(64 * 1024);
            ULONGLONG left = count.QuadPart;
            while (left > 0) {
                auto chunk = static_cast<std::size_t>(std::min<ULONGLONG>(left, buffer.size()));
                std::size_t got = stream_->Read(buffer.data(), chunk);
                if (got == 0) break;
                ULONG put = 0;
                HRESULT hr = target->Write(buffer.data(), static_cast<ULONG>(got), &put);
                if (read) read->QuadPart += got;
                if (written) written->QuadPart += put;
                if (FAILED(hr)) return hr;
                left -= got;
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
        if (!stat) return STG_E_INVALIDPOINTER;
        *stat = STATSTG{};
        if (!*alive_) return E_UNEXPECTED;
        stat->type = STGTY_STREAM;
        return Guarded([&] {
            stat->cbSize.QuadPart = static_cast<ULONGLONG>(std::max<std::int64_t>(stream_->Size(), 0));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override {
        if (clone) *clone = nullptr;
        return E_NOTIMPL;
    }

private:
    // No exception of the framework stream may cross into the COM caller.
    template <class F> static HRESULT Guarded(F&& body) {
        try {
            return body();
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }

    std::unique_ptr<TStream> owned_;
    TStream* stream_;
    std::shared_ptr<bool> alive_;
    std::uint64_t noticeKey_ = 0;
    ULONG references_ = 1;
};

} // namespace

TComPtr<IStream> MakeOwningComStream(std::unique_ptr<TStream> stream) {
    TStream& target = *stream;
    return TComPtr<IStream>::Attach(new TComStream(std::move(stream), target));
}

TComPtr<IStream> MakeBorrowingComStream(TStream& stream) {
    return TComPtr<IStream>::Attach(new TComStream(nullptr, stream));
}

} // namespace vm
