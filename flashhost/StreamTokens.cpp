#include "flashhost/StreamTokens.h"

#include <cstdio>

namespace vm {

struct TStreamTokens::TState {
    struct TEntry {
        TStream* stream;
        std::uint64_t noticeKey;
    };
    std::unordered_map<std::uint32_t, TEntry> byNumber;
    std::unordered_map<const TStream*, std::uint32_t> byStream;
    std::uint32_t lastNumber = 0;

    std::uint32_t NextFreeNumber() {
        do {
            ++lastNumber;
        } while (lastNumber == 0 || byNumber.count(lastNumber));
        return lastNumber;
    }

    void Forget(std::uint32_t number) {
        auto found = byNumber.find(number);
        if (found == byNumber.end()) return;
        byStream.erase(found->second.stream);
        byNumber.erase(found);
    }
};

namespace {

std::string TokenText(std::uint32_t number) {
    char text[kStreamTokenLength + 1];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(number));
    return text;
}

bool ParseToken(std::string_view token, std::uint32_t& number) {
    if (token.size() != kStreamTokenLength) return false;
    number = 0;
    for (char c : token) {
        unsigned digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else return false;
        number = (number << 4) | digit;
    }
    return true;
}

} // namespace

TStreamTokens::TStreamTokens() : state_(std::make_shared<TState>()) {}

TStreamTokens::~TStreamTokens() {
    // Streams that outlive the registry must not call back into it.
    for (auto& [number, entry] : state_->byNumber) entry.stream->RemoveDestructionNotice(entry.noticeKey);
}

std::string TStreamTokens::Register(TStream& stream) {
    auto known = state_->byStream.find(&stream);
    if (known != state_->byStream.end()) return TokenText(known->second);

    std::uint32_t number = state_->NextFreeNumber();
    std::weak_ptr<TState> registry = state_;
    std::uint64_t key = stream.AddDestructionNotice([registry, number] {
        if (auto live = registry.lock()) live->Forget(number);
    });
    state_->byNumber.emplace(number, TState::TEntry{&stream, key});
    state_->byStream.emplace(&stream, number);
    return TokenText(number);
}

TStream* TStreamTokens::Resolve(std::string_view token) const {
    std::uint32_t number = 0;
    if (!ParseToken(token, number)) return nullptr;
    auto found = state_->byNumber.find(number);
    return found == state_->byNumber.end() ? nullptr : found->second.stream;
}

void TStreamTokens::Withdraw(TStream& stream) {
    auto known = state_->byStream.find(&stream);
    if (known == state_->byStream.end()) return;
    std::uint32_t number = known->second;
    stream.RemoveDestructionNotice(state_->byNumber.at(number).noticeKey);
    state_->Forget(number);
}

std::size_t TStreamTokens::Count() const {
    return state_->byNumber.size();
}

TStreamTokens& ProcessStreamTokens() {
    static TStreamTokens tokens;
    return tokens;
}

} // namespace vm
