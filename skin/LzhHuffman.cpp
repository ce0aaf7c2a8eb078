#include "LzhHuffman.h"

#include <algorithm>

namespace velmora::skin::lzh {

AdaptiveHuffman::AdaptiveHuffman() {
    for (int code = 0; code < kCharCodes; ++code) {
        freq_[code] = 1;
        son_[code] = static_cast<int16_t>(code + kTreeSize);
        parent_[code + kTreeSize] = static_cast<int16_t>(code);
    }
    // Inner nodes pair the nodes before them two by two, in order.
    for (int first = 0, node = kCharCodes; node <= kRoot; first += 2, ++node) {
        freq_[node] = static_cast<uint16_t>(freq_[first] + freq_[first + 1]);
        son_[node] = static_cast<int16_t>(first);
        parent_[first] = parent_[first + 1] = static_cast<int16_t>(node);
    }
    freq_[kTreeSize] = 0xFFFF;
    parent_[kRoot] = 0;
}

int AdaptiveHuffman::pathTo(int code, std::array<uint8_t, kTreeSize>& bits) const {
    // Walk up from the leaf collecting which side each node hangs on, then reverse.
    int count = 0;
    for (int node = parent_[code + kTreeSize]; node != kRoot; node = parent_[node]) bits[count++] = node & 1;
    std::reverse(bits.begin(), bits.begin() + count);
    return count;
}

void AdaptiveHuffman::update(int code) {
    if (freq_[kRoot] == kMaxFrequency) rebuild();
    int node = parent_[code + kTreeSize];
    do {
        const uint16_t raised = ++freq_[node];
        // A node whose frequency now exceeds its right neighbour's moves to the far end of the
        // run of smaller frequencies, swapping subtrees with the node there.
        if (raised > freq_[node + 1]) {
            int target = node + 1;
            while (raised > freq_[target + 1]) ++target;
            freq_[node] = freq_[target];
            freq_[target] = raised;

            const int mine = son_[node];
            parent_[mine] = static_cast<int16_t>(target);
            if (mine < kTreeSize) parent_[mine + 1] = static_cast<int16_t>(target);
            const int theirs = son_[target];
            son_[target] = static_cast<int16_t>(mine);
            parent_[theirs] = static_cast<int16_t>(node);
            if (theirs < kTreeSize) parent_[theirs + 1] = static_cast<int16_t>(node);
            son_[node] = static_cast<int16_t>(theirs);
            node = target;
        }
        node = parent_[node];
    } while (node != 0);
}

void AdaptiveHuffman::rebuild() {
    // Gather the leaves at the front with halved frequencies (rounded up, so none drops to 0).
    int leaves = 0;
    for (int node = 0; node < kTreeSize; ++node) {
        if (son_[node] >= kTreeSize) {
            freq_[leaves] = static_cast<uint16_t>((freq_[node] + 1) / 2);
            son_[leaves] = son_[node];
            ++leaves;
        }
    }
    // Rebuild the inner nodes by pairing in order, inserting each new node where its frequency
    // keeps the array sorted.
    for (int first = 0, node = kCharCodes; node < kTreeSize; first += 2, ++node) {
        const uint16_t sum = static_cast<uint16_t>(freq_[first] + freq_[first + 1]);
        int at = node - 1;
        while (sum < freq_[at]) --at;
        ++at;
        std::move_backward(freq_.begin() + at, freq_.begin() + node, freq_.begin() + node + 1);
        freq_[at] = sum;
        std::move_backward(son_.begin() + at, son_.begin() + node, son_.begin() + node + 1);
        son_[at] = static_cast<int16_t>(first);
    }
    for (int node = 0; node < kTreeSize; ++node) {
        const int s = son_[node];
        if (s >= kTreeSize) {
            parent_[s] = static_cast<int16_t>(node);
        } else {
            parent_[s] = parent_[s + 1] = static_cast<int16_t>(node);
        }
    }
}

}  // namespace velmora::skin::lzh
