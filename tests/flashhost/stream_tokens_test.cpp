// Stream tokens: what a URL may name, and for how long.
#include <gtest/gtest.h>

#include <cctype>
#include <optional>

#include "flashhost/StreamTokens.h"
#include "framework/MemoryStream.h"

using namespace vm;

TEST(StreamTokens, ResolveOnlyTheStreamTheyWereIssuedFor) {
    TStreamTokens tokens;
    TMemoryStream a, b;
    std::string tokenA = tokens.Register(a);
    std::string tokenB = tokens.Register(b);
    ASSERT_EQ(tokenA.size(), 8u);
    EXPECT_EQ(tokenA.find_first_not_of("0123456789ABCDEF"), std::string::npos) << tokenA;
    EXPECT_NE(tokenA, tokenB);
    EXPECT_EQ(tokens.Resolve(tokenA), &a);
    EXPECT_EQ(tokens.Resolve(tokenB), &b);
    EXPECT_EQ(tokens.Register(a), tokenA);   // registering again keeps the token
    EXPECT_EQ(tokens.Count(), 2u);
}

TEST(StreamTokens, MalformedOrUnissuedTokensResolveToNothing) {
    TStreamTokens tokens;
    TMemoryStream stream;
    std::string token = tokens.Register(stream);
    std::string lower = token;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    lower[0] = 'a';   // make sure at least one letter differs in case
    for (const std::string& bad : {std::string(), token.substr(0, 7), token + "0", std::string("0000000G"),
                                   std::string("FFFFFFFF"), std::string("00000000"), lower,
                                   std::string(" ") + token.substr(1)})
        EXPECT_EQ(tokens.Resolve(bad), nullptr) << "'" << bad << "'";
}

TEST(StreamTokens, AFreedStreamTakesItsTokenWithIt) {
    TStreamTokens tokens;
    std::optional<TMemoryStream> stream;
    stream.emplace();
    const TStream* firstAddress = &*stream;
    std::string oldToken = tokens.Register(*stream);
    stream.reset();
    EXPECT_EQ(tokens.Resolve(oldToken), nullptr);
    EXPECT_EQ(tokens.Count(), 0u);

    // A new stream at the very same address is another stream: the old URL must not reach it.
    stream.emplace();
    ASSERT_EQ(&*stream, firstAddress);
    std::string newToken = tokens.Register(*stream);
    EXPECT_NE(newToken, oldToken);
    EXPECT_EQ(tokens.Resolve(oldToken), nullptr);
    EXPECT_EQ(tokens.Resolve(newToken), &*stream);
}

TEST(StreamTokens, AWithdrawnTokenIsNeverIssuedAgain) {
    TStreamTokens tokens;
    TMemoryStream stream;
    std::string token = tokens.Register(stream);
    tokens.Withdraw(stream);
    EXPECT_EQ(tokens.Resolve(token), nullptr);
    tokens.Withdraw(stream);   // nothing left to withdraw
    std::string again = tokens.Register(stream);
    EXPECT_NE(again, token);
    EXPECT_EQ(tokens.Resolve(again), &stream);
}
