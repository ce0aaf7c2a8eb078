#include "Lzh.h"

#include <array>
#include <memory>
#include <new>

#include "LzhHuffman.h"
#include "LzhTables.h"

namespace velmora::skin {

namespace {

using namespace lzh;

// Bits most significant first; an exhausted input keeps yielding zero bytes.
template <typename Read>
class BitInput {
public:
    explicit BitInput(Read& read) : read_(read) {}

    unsigned bit() {
        if (count_ == 0) refill();
        --count_;
        return (buffer_ >> count_) & 1u;
    }

    unsigned byte() {
        if (count_ < 8) refill();
        count_ -= 8;
        return (buffer_ >> count_) & 0xFFu;
    }

private:
    void refill() {
        const int next = read_();
        buffer_ = (buffer_ << 8) | static_cast<uint32_t>(next < 0 ? 0 : next & 0xFF);
        count_ += 8;
    }

    Read& read_;
    uint32_t buffer_ = 0;
    int count_ = 0;
};

// Both the tree and the ring are allocated per unpack, as the stream needs fresh ones.
struct DecoderState {
    AdaptiveHuffman tree;
    std::array<uint8_t, kRingSize> ring{};
};

std::unique_ptr<DecoderState> allocateState() {
    try {
        auto state = std::make_unique<DecoderState>();
        std::fill(state->ring.begin(), state->ring.begin() + kFirstWrite, uint8_t(' '));
        return state;
    } catch (const std::bad_alloc&) {
        throw ElzhException(kLzhNoMemory);
    }
}

template <typename Read>
int decodeCode(AdaptiveHuffman& tree, BitInput<Read>& in) {
    int node = tree.son(kRoot);
    while (node < kTreeSize) node = tree.son(node + static_cast<int>(in.bit()));
    const int code = node - kTreeSize;
    tree.update(code);
    return code;
}

template <typename Read>
unsigned decodePosition(BitInput<Read>& in) {
    unsigned value = in.byte();
    const unsigned upper = kPosition.upper[value];
    for (int extra = kPosition.bits[value] - 2; extra > 0; --extra) value = (value << 1) | in.bit();
    return (upper << 6) | (value & 0x3Fu);
}

template <typename Read, typename Write>
void decode(Read& read, Write& write, uint64_t size) {
    const std::unique_ptr<DecoderState> state = allocateState();
    AdaptiveHuffman& tree = state->tree;
    std::array<uint8_t, kRingSize>& ring = state->ring;
    BitInput<Read> in(read);
    unsigned at = kFirstWrite;
    uint64_t produced = 0;
    auto emit = [&](uint8_t c) {
        write(c);
        ring[at] = c;
        at = (at + 1) & (kRingSize - 1);
        ++produced;
    };
    while (produced < size) {
        const int code = decodeCode(tree, in);
        if (code < kFirstMatchCode) {
            emit(static_cast<uint8_t>(code));
            continue;
        }
        const unsigned from = (at - decodePosition(in) - 1) & (kRingSize - 1);
        const int length = matchLength(code);
        // The copy may overlap what it writes: byte by byte it repeats a short run.
        for (int k = 0; k < length && produced < size; ++k) emit(ring[(from + k) & (kRingSize - 1)]);
    }
}

}  // namespace

void TLZH::Unpack(const ReadByte& read, const WriteByte& write, uint64_t size) {
    decode(read, write, size);
}

std::vector<uint8_t> unpackLzh(std::span<const uint8_t> stream, size_t size) {
    std::vector<uint8_t> out;
    out.reserve(size);
    size_t next = 0;
    auto read = [&]() -> int { return next < stream.size() ? stream[next++] : -1; };
    auto write = [&](uint8_t c) { out.push_back(c); };
    decode(read, write, size);
    return out;
}

}  // namespace velmora::skin
