#pragma once
// An IStream over a framework stream, for handing bytes to COM callers. The stream is either
// owned (it then lives as long as the last COM reference, however long the caller keeps it)
// or borrowed (it stays the caller's; if it is destroyed while COM references remain, the
// adapter notices and every further call fails with E_UNEXPECTED instead of touching it).
// Read-only: writes and resizing are refused with STG_E_ACCESSDENIED.
#include <objidl.h>

#include <memory>

#include "framework/ComPtr.h"
#include "framework/Stream.h"

namespace vm {

TComPtr<IStream> MakeOwningComStream(std::unique_ptr<TStream> stream);
TComPtr<IStream> MakeBorrowingComStream(TStream& stream);

} // namespace vm
