// libFuzzer entry: see SkinFuzz.h for what one input goes through.
#include <cstdlib>

#include "SkinFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!velmora::skin::fuzzing::skinArchiveInput({data, size})) std::abort();
    return 0;
}
