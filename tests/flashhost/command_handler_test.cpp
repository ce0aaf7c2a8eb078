#include "flashhost/CommandHandler.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "GuiTest.h"
#include "framework/Application.h"

using namespace vm;
using vm::test::PumpUntil;

namespace {
using TPair = std::pair<std::wstring, std::wstring>;

// A mailbox that records what it is handed, as a player's OnHandleFSCommand would.
struct TRecordingMailbox {
    TsfFSCommandMailbox mailbox;
    std::vector<TPair> received;
    TRecordingMailbox() {
        mailbox.OnDeliver = [this](const std::wstring& c, const std::wstring& a) { received.emplace_back(c, a); };
    }
};

// A mailbox of its own whose delivery proves that every message posted before it was handled.
void DrainPostedMessages() {
    TRecordingMailbox sentinel;
    sentinel.mailbox.Post(L"sentinel", L"");
    ASSERT_TRUE(PumpUntil([&] { return !sentinel.received.empty(); }));
}
} // namespace

TEST(FSCommandDelivery, ComesOnlyFromTheMessageLoopAsTheLastPairThenEmptyPairs) {
    TRecordingMailbox player;
    player.mailbox.Post(L"a", L"1");
    player.mailbox.Post(L"b", L"2");
    EXPECT_TRUE(player.received.empty());
    EXPECT_EQ(player.mailbox.PendingCommand(), L"b");
    EXPECT_EQ(player.mailbox.PendingArgs(), L"2");

    ASSERT_TRUE(PumpUntil([&] { return player.received.size() == 2; }));
    EXPECT_EQ(player.received[0], TPair(L"b", L"2"));
    EXPECT_EQ(player.received[1], TPair(L"", L""));
    EXPECT_TRUE(player.mailbox.PendingCommand().empty());
    EXPECT_TRUE(player.mailbox.PendingArgs().empty());
}

TEST(FSCommandDelivery, WithoutAHandlerThePairIsStillCleared) {
    TsfFSCommandMailbox mailbox;
    mailbox.Post(L"quit", L"true");
    ASSERT_TRUE(PumpUntil([&] { return mailbox.PendingCommand().empty(); }));
    EXPECT_TRUE(mailbox.PendingArgs().empty());
}

TEST(FSCommandDelivery, AMailboxDestroyedBeforeDeliveryIsSkippedEvenWhenItsMemoryIsReused) {
    std::vector<TPair> toTheDead;
    auto doomed = std::make_unique<TsfFSCommandMailbox>();
    doomed->OnDeliver = [&](const std::wstring& c, const std::wstring& a) { toTheDead.emplace_back(c, a); };
    doomed->Post(L"late", L"x");
    doomed.reset();
    // The next mailbox of the same size is likely to take the freed memory.
    auto successor = std::make_unique<TRecordingMailbox>();

    DrainPostedMessages();
    EXPECT_TRUE(toTheDead.empty());
    EXPECT_TRUE(successor->received.empty());
}

TEST(FSCommandDelivery, AMessageNamingNobodyIsIgnored) {
    TRecordingMailbox player;
    PostMessageW(CommandHandler().Handle(), WM_FSCOMMAND, 0, 0);
    PostMessageW(CommandHandler().Handle(), WM_FSCOMMAND, player.mailbox.Id() + 1000, 0);
    DrainPostedMessages();
    EXPECT_TRUE(player.received.empty());
    EXPECT_TRUE(TsfFSCommandMailbox::Find(0) == nullptr);
}

TEST(FSCommandDelivery, AnApplicationErrorGoesToTheErrorHandlerAndTheLoopGoesOn) {
    std::vector<std::string> errors;
    auto previous = std::exchange(Application().OnException,
                                  [&](const std::exception* e) { errors.push_back(e ? e->what() : "?"); });
    TsfFSCommandMailbox mailbox;
    int calls = 0;
    mailbox.OnDeliver = [&](const std::wstring& command, const std::wstring&) {
        ++calls;
        if (command == L"fail") throw std::runtime_error("the movie asked for too much");
    };
    mailbox.Post(L"fail", L"");
    const bool handled = PumpUntil([&] { return !errors.empty(); });
    mailbox.Post(L"fine", L"");
    const bool continued = PumpUntil([&] { return calls == 2; });
    Application().OnException = std::move(previous);

    ASSERT_TRUE(handled);
    EXPECT_EQ(errors, std::vector<std::string>{"the movie asked for too much"});
    EXPECT_TRUE(continued);
    EXPECT_EQ(errors.size(), 1u);
}

TEST(FSCommandDelivery, AHandlerThatPostsAgainOrDestroysThePlayerIsSafe) {
    // Posting from inside the handler (a movie answering at once) keeps the new pair for the
    // next delivery instead of clearing it after the handler returns.
    TRecordingMailbox player;
    player.mailbox.OnDeliver = [&](const std::wstring& c, const std::wstring& a) {
        player.received.emplace_back(c, a);
        if (c == L"ping") player.mailbox.Post(L"pong", L"2");
    };
    player.mailbox.Post(L"ping", L"1");
    ASSERT_TRUE(PumpUntil([&] { return player.received.size() == 2; }));
    EXPECT_EQ(player.received[1], TPair(L"pong", L"2"));

    // Freeing the player from its own handler (closing the playback window) touches nothing after.
    auto owned = std::make_unique<TsfFSCommandMailbox>();
    bool ran = false;
    owned->OnDeliver = [&](const std::wstring&, const std::wstring&) {
        ran = true;
        owned.reset();
    };
    owned->Post(L"close", L"");
    ASSERT_TRUE(PumpUntil([&] { return ran; }));
    EXPECT_EQ(owned, nullptr);
}
