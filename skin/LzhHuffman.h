#pragma once
// The adaptive Huffman model shared by the LZHUF decoder and the packer's encoder. Both sides
// must evolve the tree identically, code by code, so there is exactly one implementation.
//
// Nodes live in one array ordered by frequency (the sibling property): node 626 is the root,
// the children of an inner node n are son[n] and son[n] + 1, and a leaf is marked by a son
// value of kTreeSize + code. parent[] is indexed by node, and by kTreeSize + code for leaves.
#include <array>
#include <cstdint>

#include "LzhTables.h"

namespace velmora::skin::lzh {

class AdaptiveHuffman {
public:
    AdaptiveHuffman();

    // Decoding walks son(): start at son(kRoot), add the next bit, take son() of that node;
    // a value >= kTreeSize is a leaf holding kTreeSize + code.
    int son(int node) const { return son_[node]; }

    // The bits that reach `code` from the root, first bit in bits[0]; returns their number.
    int pathTo(int code, std::array<uint8_t, kTreeSize>& bits) const;

    // Counts one more occurrence of `code` and restores the sibling property.
    void update(int code);

private:
    void rebuild();

    // freq_[kTreeSize] is a sentinel above every real frequency, so searches stop there.
    std::array<uint16_t, kTreeSize + 1> freq_;
    std::array<int16_t, kTreeSize + kCharCodes> parent_;
    std::array<int16_t, kTreeSize> son_;
};

}  // namespace velmora::skin::lzh
