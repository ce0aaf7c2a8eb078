#pragma once
// A second LZHUF encoder, written for the tests from the algorithm's published description
// and sharing no code with the packer: its own tree, its own position tables (the published
// values, typed in), its own bit writer and an exhaustive match search over a simulated ring.
// It is slow on purpose; inputs stay small.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace velmora::skin::testing {

enum class ReferenceMode { LiteralsOnly, LongestMatch };

class ReferenceLzhEncoder {
public:
    std::vector<uint8_t> encode(std::span<const uint8_t> data, ReferenceMode mode);

private:
    static constexpr int kLeaves = 314;
    static constexpr int kNodes = 2 * kLeaves - 1;

    struct Node {
        uint32_t weight = 0;
        int up = -1;        // index of the parent node
        bool leaf = false;
        int symbol = 0;     // leaf: the code it stands for
        int down = 0;       // inner: index of its first child; the second follows it
    };

    void startTree();
    void count(int symbol);
    void rebuild();
    void exchange(int a, int b);
    void emitSymbol(int symbol);
    void emitPosition(unsigned position);
    void emitBits(uint32_t bits, int n);

    std::vector<Node> nodes_;
    std::array<int, kLeaves> where_{};  // node index of each symbol's leaf
    std::vector<uint8_t> out_;
    int bitsUsed_ = 0;
};

}  // namespace velmora::skin::testing
