#pragma once
// Tokens that name streams inside movie URLs ("<stream>" + token). A movie may ask for any text
// as a URL, so a token is never an address: it is a number this registry issued, written as 8
// upper-case hexadecimal digits, and it resolves only while its stream lives.
//
// LoadMovieFromStream registers the stream it is given; the stream's own destruction
// withdraws the token (TStream's destruction notice), so a URL still held by a movie after the
// caller freed its stream resolves to nothing. Numbers count up from 1 and are never handed
// out twice while their stream lives, so an old URL cannot reach a stream registered later at
// the same address; the count would only come round again after 2^32 registrations.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "framework/Stream.h"

namespace vm {

inline constexpr std::size_t kStreamTokenLength = 8;

class TStreamTokens {
public:
    TStreamTokens();
    ~TStreamTokens();
    TStreamTokens(const TStreamTokens&) = delete;
    TStreamTokens& operator=(const TStreamTokens&) = delete;

    // The stream's token; a stream registered again keeps the token it has.
    std::string Register(TStream& stream);
    // The live stream a token names; nullptr for a token that is malformed (not exactly 8
    // upper-case hexadecimal digits), was never issued, or whose stream is gone.
    TStream* Resolve(std::string_view token) const;
    // Withdraws the stream's token ahead of its destruction; nothing when it has none.
    void Withdraw(TStream& stream);
    std::size_t Count() const;

private:
    struct TState;
    std::shared_ptr<TState> state_;
};

// The registry the players of this process share (GUI thread only).
TStreamTokens& ProcessStreamTokens();

} // namespace vm
