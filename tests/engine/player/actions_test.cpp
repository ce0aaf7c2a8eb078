#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/ActionInterpreter.h"
#include "player/Host.h"

namespace swf {
namespace {

// Records every timeline call as text, so a test states the exact sequence it expects.
class RecordingClip : public TimelineControl {
public:
    explicit RecordingClip(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    void play() override { log_.push_back(name_ + ".play"); }
    void stop() override { log_.push_back(name_ + ".stop"); }
    void gotoFrame(uint32_t f) override { log_.push_back(name_ + ".goto " + std::to_string(f)); }
    bool gotoLabel(std::string_view l) override {
        log_.push_back(name_ + ".label " + std::string(l));
        return true;
    }
    void nextFrame() override { log_.push_back(name_ + ".next"); }
    void prevFrame() override { log_.push_back(name_ + ".prev"); }
    uint32_t loadedFrameCount() const override { return loaded; }
    TimelineControl* resolvePath(std::string_view path) override {
        log_.push_back(name_ + ".resolve " + std::string(path));
        return path == "/child" ? child : nullptr;
    }
    uint32_t loaded = 10;
    TimelineControl* child = nullptr;

private:
    std::string name_;
    std::vector<std::string>& log_;
};

class RecordingHost : public Host {
public:
    void getUrl(const std::string& url, const std::string& target, UrlMethod) override {
        urls.push_back(url + "|" + target);
    }
    void fsCommand(const std::string& command, const std::string& args) override {
        commands.push_back(command + "|" + args);
    }
    std::vector<std::string> urls, commands;
};

class Services : public ActionServices {
public:
    Host& host() override { return hostImpl; }
    void toggleQuality() override { ++toggles; }
    void stopAllSounds() override { ++soundStops; }
    RecordingHost hostImpl;
    int toggles = 0, soundStops = 0;
};

std::vector<uint8_t> withString(uint8_t code, std::initializer_list<std::string> strings) {
    std::vector<uint8_t> payload;
    for (const auto& s : strings) {
        payload.insert(payload.end(), s.begin(), s.end());
        payload.push_back(0);
    }
    payload.insert(payload.begin(), {code, static_cast<uint8_t>(payload.size()), static_cast<uint8_t>(payload.size() >> 8)});
    return payload;
}

std::vector<uint8_t> concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct Fixture : ::testing::Test {
    std::vector<std::string> log;
    RecordingClip root{"root", log};
    RecordingClip child{"child", log};
    Services services;
    ActionInterpreter interpreter = ActionInterpreter::withFrameActions();
    ActionRunResult run(const std::vector<uint8_t>& block) { return interpreter.run(block, root, services); }
};

using FrameActions = Fixture;

TEST_F(FrameActions, TimelineActionsReachTheClipInOrder) {
    auto r = run({action::kStop, action::kPlay, action::kNextFrame, action::kPrevFrame, action::kGotoFrame, 2, 0,
                  0x07, 0x01, action::kEnd, action::kPlay});
    EXPECT_EQ(log, (std::vector<std::string>{"root.stop", "root.play", "root.next", "root.prev", "root.goto 263"}));
    EXPECT_EQ(r.actionsRun, 5u);
    EXPECT_FALSE(r.truncated);
}

TEST_F(FrameActions, LabelsAndPlayerWideActions) {
    run(concat({withString(action::kGotoLabel, {"intro"}), {action::kToggleQuality, action::kStopSounds}}));
    EXPECT_EQ(log, (std::vector<std::string>{"root.label intro"}));
    EXPECT_EQ(services.toggles, 1);
    EXPECT_EQ(services.soundStops, 1);
}

TEST_F(FrameActions, UnknownActionsAreSkippedByTheirLength) {
    // 0x96 (a later version's push) with a payload that holds a byte equal to Stop.
    auto r = run({0x96, 3, 0, action::kStop, action::kStop, action::kStop, 0x0A, action::kPlay});
    EXPECT_EQ(log, (std::vector<std::string>{"root.play"}));
    EXPECT_EQ(r.actionsRun, 1u);
}

TEST_F(FrameActions, ARecordCutShortEndsTheBlockWithoutReadingPastIt) {
    auto r = run({action::kPlay, action::kGotoFrame, 5, 0, 1});
    EXPECT_EQ(log, (std::vector<std::string>{"root.play"}));
    EXPECT_TRUE(r.truncated);
    auto r2 = run({action::kGotoFrame, 5});
    EXPECT_TRUE(r2.truncated);
    // A payload shorter than the action needs is ignored, not read beyond.
    log.clear();
    run({action::kGotoFrame, 1, 0, 9, action::kStop});
    EXPECT_EQ(log, (std::vector<std::string>{"root.stop"}));
}

TEST_F(FrameActions, SetTargetRedirectsUntilResetAndAMissingTargetSwallowsActions) {
    root.child = &child;
    run(concat({withString(action::kSetTarget, {"/child"}), {action::kStop}, withString(action::kSetTarget, {""}),
                {action::kPlay}, withString(action::kSetTarget, {"/nobody"}), {action::kNextFrame},
                withString(action::kSetTarget, {""}), {action::kPrevFrame}}));
    EXPECT_EQ(log, (std::vector<std::string>{"root.resolve /child", "child.stop", "root.play", "root.resolve /nobody",
                                             "root.prev"}));
}

TEST_F(FrameActions, WaitForFrameSkipsOnlyWhenTheFrameIsMissing) {
    root.loaded = 3;
    // Frame index 2 is loaded: nothing skipped.
    run({action::kWaitForFrame, 3, 0, 2, 0, 2, action::kStop, action::kPlay, action::kNextFrame});
    EXPECT_EQ(log, (std::vector<std::string>{"root.stop", "root.play", "root.next"}));
    log.clear();
    // Frame index 3 is not: the next two actions are skipped, the third runs.
    run({action::kWaitForFrame, 3, 0, 3, 0, 2, action::kStop, action::kPlay, action::kNextFrame});
    EXPECT_EQ(log, (std::vector<std::string>{"root.next"}));
}

TEST_F(FrameActions, GetUrlGoesToTheHostAndFsCommandsAreSplitOff) {
    run(concat({withString(action::kGetUrl, {"http://example.org/", "_blank"}),
                withString(action::kGetUrl, {"FSCommand:quit", "now"}),
                withString(action::kGetUrl, {"fscommand:fullscreen", "true"}),
                withString(action::kGetUrl, {"FSCommand", "x"})}));
    EXPECT_EQ(services.hostImpl.urls, (std::vector<std::string>{"http://example.org/|_blank", "FSCommand|x"}));
    EXPECT_EQ(services.hostImpl.commands, (std::vector<std::string>{"quit|now", "fullscreen|true"}));
}

TEST(NullHost, AcceptsEveryRequest) {
    NullHost host;
    EXPECT_TRUE(deliverGetUrl(host, "FSCOMMAND:x", "", UrlMethod::None));
    EXPECT_FALSE(deliverGetUrl(host, "page.html", "", UrlMethod::Get));
    EXPECT_EQ(host.milliseconds(), 0u);
}

}  // namespace
}  // namespace swf
