// Any bytes as a block of actions: the first byte picks the file version (4 to 11), the rest
// runs in a fresh script machine with small limits. Every run must end: by the block's end,
// a thrown value nobody caught, or a limit, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "avm1/Vm.h"
#include "player/Host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    swf::NullHost host;
    swf::avm1::Limits limits;
    limits.maxActions = 200000;
    limits.maxObjects = 100000;
    limits.maxStringLength = 1u << 20;
    limits.maxStackDepth = 100000;
    limits.maxLiveTextBytes = 16u << 20;
    limits.maxArrayGrowthPerBlock = 1u << 18;
    swf::avm1::Vm vm(host, 4 + data[0] % 8, limits);
    swf::SharedBytes code(std::vector<uint8_t>(data + 1, data + size));
    vm.runBlock(code, nullptr);
    // The same block again: state left by the first run must not break the second.
    vm.runBlock(code, nullptr);
    return 0;
}
