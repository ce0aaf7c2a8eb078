#include "LzhEncoder.h"

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>

#include "LzhHuffman.h"
#include "LzhTables.h"

namespace velmora::skin {

namespace {

using namespace lzh;

class BitOutput {
public:
    // The low `count` bits of `value`, most significant first.
    void put(uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            pending_ = static_cast<uint8_t>((pending_ << 1) | ((value >> i) & 1u));
            if (++filled_ == 8) {
                bytes_.push_back(pending_);
                filled_ = 0;
            }
        }
    }

    std::vector<uint8_t> finish() {
        if (filled_ > 0) bytes_.push_back(static_cast<uint8_t>(pending_ << (8 - filled_)));
        filled_ = 0;
        return std::move(bytes_);
    }

private:
    std::vector<uint8_t> bytes_;
    uint8_t pending_ = 0;
    int filled_ = 0;
};

// Longest earlier occurrence of the text at a position, within the decoder's ring.
class MatchFinder {
public:
    static constexpr int kHashBits = 14;
    static constexpr int kMaxDistance = kRingSize;  // position code 4095 reaches the whole ring
    static constexpr int kMaxChain = 256;

    explicit MatchFinder(const std::vector<uint8_t>& text) : text_(text) {
        head_.fill(-1);
        previous_.fill(-1);
    }

    struct Match {
        int length = 0;
        int distance = 0;
    };

    Match find(int at, int limit) const {
        Match best;
        if (limit < kThreshold + 1) return best;
        int candidate = head_[hash(at)];
        for (int chain = 0; candidate >= 0 && chain < kMaxChain; ++chain) {
            const int distance = at - candidate;
            if (distance > kMaxDistance) break;
            if (text_[candidate + best.length] == text_[at + best.length]) {
                int length = 0;
                while (length < limit && text_[candidate + length] == text_[at + length]) ++length;
                if (length > best.length) {
                    best = {length, distance};
                    if (length == limit) break;
                }
            }
            candidate = previous_[candidate & (kRingSize - 1)];
            if (candidate >= 0 && at - candidate <= distance) break;  // the chain left the window
        }
        if (best.length <= kThreshold) best = {};
        return best;
    }

    void insert(int at) {
        if (at + 2 >= static_cast<int>(text_.size())) return;
        const uint32_t h = hash(at);
        previous_[at & (kRingSize - 1)] = head_[h];
        head_[h] = at;
    }

private:
    uint32_t hash(int at) const {
        const uint32_t v = text_[at] | (text_[at + 1] << 8) | (uint32_t(text_[at + 2]) << 16);
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    const std::vector<uint8_t>& text_;
    std::array<int, 1 << kHashBits> head_;
    std::array<int, kRingSize> previous_;
};

class Encoder {
public:
    explicit Encoder(std::span<const uint8_t> data) {
        // The decoder's ring starts with spaces just before its first write: matches may use them.
        text_.assign(kFirstWrite, ' ');
        text_.insert(text_.end(), data.begin(), data.end());
        finder_ = std::make_unique<MatchFinder>(text_);
    }

    std::vector<uint8_t> run() {
        for (int at = 0; at < kFirstWrite; ++at) finder_->insert(at);
        int at = kFirstWrite;
        const int end = static_cast<int>(text_.size());
        while (at < end) {
            const MatchFinder::Match match = finder_->find(at, std::min(kLookAhead, end - at));
            int advance = 1;
            if (match.length > 0) {
                putCode(matchCode(match.length));
                putPosition(static_cast<unsigned>(match.distance - 1));
                advance = match.length;
            } else {
                putCode(text_[at]);
            }
            for (int k = 0; k < advance; ++k) finder_->insert(at + k);
            at += advance;
        }
        return out_.finish();
    }

private:
    void putCode(int code) {
        const int count = tree_.pathTo(code, path_);
        for (int i = 0; i < count; ++i) out_.put(path_[i], 1);
        tree_.update(code);
    }

    void putPosition(unsigned position) {
        const unsigned upper = position >> 6;
        const int bits = kPosition.bitsOfUpper[upper];
        out_.put(kPosition.codeOfUpper[upper] >> (8 - bits), bits);
        out_.put(position & 0x3Fu, 6);
    }

    std::vector<uint8_t> text_;
    std::unique_ptr<MatchFinder> finder_;
    AdaptiveHuffman tree_;
    std::array<uint8_t, kTreeSize> path_{};
    BitOutput out_;
};

}  // namespace

std::vector<uint8_t> packLzh(std::span<const uint8_t> data) {
    // Positions are ints; far above any skin, and refused rather than wrapped.
    if (data.size() > kMaxPackedInput) throw std::length_error("LZH : input too large to pack");
    auto encoder = std::make_unique<Encoder>(data);
    return encoder->run();
}

}  // namespace velmora::skin
