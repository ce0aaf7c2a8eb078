// The contract header against the genuine type library: a method in the wrong vtable slot
// would make every call through IShockwaveFlash land on another method of the real control.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "flashhost/ShockwaveFlash.h"

namespace {

// The vtable slot of a virtual member function. With the Itanium C++ ABI that mingw's g++
// uses, a pointer to a virtual member holds 1 + the slot's byte offset in the vtable.
template <class Method>
std::size_t SlotOf(Method method)
{
    struct Representation {
        std::uintptr_t pointer;
        std::ptrdiff_t adjustment;
    } raw;
    static_assert(sizeof(Method) == sizeof(Representation));
    std::memcpy(&raw, &method, sizeof raw);
    return (raw.pointer - 1) / sizeof(void*);
}

TEST(ShockwaveFlashContract, MethodsTheHostCallsSitInTheSlotsOfTheGenuineTypeLibrary)
{
    // IUnknown takes slots 0-2 and IDispatch 3-6; the counts below follow the published order.
    EXPECT_EQ(SlotOf(&IShockwaveFlash::get_ReadyState), 7u);
    EXPECT_EQ(SlotOf(&IShockwaveFlash::Play), 28u);
    EXPECT_EQ(SlotOf(&IShockwaveFlash::FlashVersion), 39u);
    EXPECT_EQ(SlotOf(&IShockwaveFlash::put_WMode), 41u);
    EXPECT_EQ(SlotOf(&IShockwaveFlash::LoadMovie), 58u);
    EXPECT_EQ(SlotOf(&IShockwaveFlash::SetVariable), 65u);
    EXPECT_EQ(SlotOf(&IShockwaveFlash::TGetPropertyAsNumber), 73u);
    EXPECT_EQ(SlotOf(&IShockwaveFlash::CallFunction), 93u);
    EXPECT_EQ(SlotOf(&IShockwaveFlash::put_BrowserZoom), 105u);
}

TEST(ShockwaveFlashContract, InterfaceIdReachesUuidofForComPointerHelpers)
{
    EXPECT_TRUE(IsEqualIID(__uuidof(IShockwaveFlash), vm::IID_IShockwaveFlash));
}

} // namespace
