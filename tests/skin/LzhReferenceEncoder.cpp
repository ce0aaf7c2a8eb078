#include "LzhReferenceEncoder.h"

#include <algorithm>

namespace velmora::skin::testing {

namespace {

// The published tables of the upper six position bits: code length and code (left-aligned).
constexpr uint8_t kUpperLength[64] = {
    3, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 7, 7, 7, 7, 7, 7, 7, 7,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};
constexpr uint8_t kUpperCode[64] = {
    0x00, 0x20, 0x30, 0x40, 0x50, 0x58, 0x60, 0x68, 0x70, 0x78, 0x80, 0x88, 0x90, 0x94, 0x98, 0x9C,
    0xA0, 0xA4, 0xA8, 0xAC, 0xB0, 0xB4, 0xB8, 0xBC, 0xC0, 0xC2, 0xC4, 0xC6, 0xC8, 0xCA, 0xCC, 0xCE,
    0xD0, 0xD2, 0xD4, 0xD6, 0xD8, 0xDA, 0xDC, 0xDE, 0xE0, 0xE2, 0xE4, 0xE6, 0xE8, 0xEA, 0xEC, 0xEE,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};

constexpr int kRing = 4096;
constexpr int kLongest = 60;
constexpr int kShortest = 3;

}  // namespace

void ReferenceLzhEncoder::startTree() {
    nodes_.assign(kNodes, Node{});
    for (int s = 0; s < kLeaves; ++s) {
        nodes_[s] = Node{1, -1, true, s, 0};
        where_[s] = s;
    }
    int next = kLeaves;
    for (int pair = 0; next < kNodes; pair += 2, ++next) {
        nodes_[next].weight = nodes_[pair].weight + nodes_[pair + 1].weight;
        nodes_[next].down = pair;
        nodes_[pair].up = nodes_[pair + 1].up = next;
    }
}

// Swaps what hangs at positions a and b (weights stay with the positions' new owners).
void ReferenceLzhEncoder::exchange(int a, int b) {
    std::swap(nodes_[a].leaf, nodes_[b].leaf);
    std::swap(nodes_[a].symbol, nodes_[b].symbol);
    std::swap(nodes_[a].down, nodes_[b].down);
    for (int at : {a, b}) {
        if (nodes_[at].leaf) {
            where_[nodes_[at].symbol] = at;
        } else {
            nodes_[nodes_[at].down].up = at;
            nodes_[nodes_[at].down + 1].up = at;
        }
    }
}

void ReferenceLzhEncoder::count(int symbol) {
    if (nodes_[kNodes - 1].weight == 0x8000) rebuild();
    int at = where_[symbol];
    while (at != -1) {
        const uint32_t w = nodes_[at].weight + 1;
        // Find the last position whose weight is still below the new weight.
        int last = at;
        while (last + 1 < kNodes && nodes_[last + 1].weight < w) ++last;
        if (last != at) {
            nodes_[at].weight = nodes_[last].weight;
            exchange(at, last);
            at = last;
        }
        nodes_[at].weight = w;
        at = nodes_[at].up;
    }
}

void ReferenceLzhEncoder::rebuild() {
    // Leaves in position order with halved weights, then inner nodes inserted in sorted place.
    struct Item {
        uint32_t weight;
        bool leaf;
        int symbol;
        int down;
    };
    std::vector<Item> items;
    for (const Node& n : nodes_) {
        if (n.leaf) items.push_back({(n.weight + 1) / 2, true, n.symbol, 0});
    }
    for (int pair = 0; items.size() < size_t(kNodes); pair += 2) {
        const uint32_t w = items[pair].weight + items[pair + 1].weight;
        size_t place = items.size();
        while (place > 0 && w < items[place - 1].weight) --place;
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(place), Item{w, false, 0, pair});
    }
    for (int i = 0; i < kNodes; ++i) nodes_[i] = Node{items[i].weight, -1, items[i].leaf, items[i].symbol, items[i].down};
    for (int i = 0; i < kNodes; ++i) {
        if (nodes_[i].leaf) {
            where_[nodes_[i].symbol] = i;
        } else {
            nodes_[nodes_[i].down].up = i;
            nodes_[nodes_[i].down + 1].up = i;
        }
    }
}

void ReferenceLzhEncoder::emitBits(uint32_t bits, int n) {
    for (int i = n - 1; i >= 0; --i) {
        if (bitsUsed_ % 8 == 0) out_.push_back(0);
        if ((bits >> i) & 1u) out_.back() |= static_cast<uint8_t>(0x80 >> (bitsUsed_ % 8));
        ++bitsUsed_;
    }
}

void ReferenceLzhEncoder::emitSymbol(int symbol) {
    std::vector<int> path;
    for (int at = where_[symbol]; nodes_[at].up != -1; at = nodes_[at].up) {
        const int parent = nodes_[at].up;
        path.push_back(at == nodes_[parent].down ? 0 : 1);
    }
    for (auto bit = path.rbegin(); bit != path.rend(); ++bit) emitBits(static_cast<uint32_t>(*bit), 1);
    count(symbol);
}

void ReferenceLzhEncoder::emitPosition(unsigned position) {
    const unsigned upper = position >> 6;
    emitBits(kUpperCode[upper] >> (8 - kUpperLength[upper]), kUpperLength[upper]);
    emitBits(position & 63u, 6);
}

std::vector<uint8_t> ReferenceLzhEncoder::encode(std::span<const uint8_t> data, ReferenceMode mode) {
    startTree();
    out_.clear();
    bitsUsed_ = 0;
    // The ring exactly as the decoder keeps it, including its never-written zero tail.
    std::array<uint8_t, kRing> ring{};
    std::fill(ring.begin(), ring.begin() + (kRing - kLongest), uint8_t(' '));
    int r = kRing - kLongest;
    size_t i = 0;
    while (i < data.size()) {
        int bestLength = 0, bestStart = 0;
        const int limit = static_cast<int>(std::min<size_t>(kLongest, data.size() - i));
        if (mode == ReferenceMode::LongestMatch) {
            for (int start = 0; start < kRing; ++start) {
                // What a copy from `start` produces, reading back its own output where it overlaps.
                uint8_t produced[kLongest];
                int length = 0;
                for (; length < limit; ++length) {
                    const int behind = (start + length - r) & (kRing - 1);
                    const uint8_t b = behind < length ? produced[behind] : ring[(start + length) & (kRing - 1)];
                    if (b != data[i + static_cast<size_t>(length)]) break;
                    produced[length] = b;
                }
                if (length > bestLength) {
                    bestLength = length;
                    bestStart = start;
                }
            }
        }
        int take = 1;
        if (bestLength >= kShortest) {
            emitSymbol(253 + bestLength);
            emitPosition(static_cast<unsigned>((r - bestStart - 1) & (kRing - 1)));
            take = bestLength;
        } else {
            emitSymbol(data[i]);
        }
        for (int k = 0; k < take; ++k, ++i) {
            ring[r] = data[i];
            r = (r + 1) & (kRing - 1);
        }
    }
    return out_;
}

}  // namespace velmora::skin::testing
