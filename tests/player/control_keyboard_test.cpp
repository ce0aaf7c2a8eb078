// Keyboard messages turned into what a movie hears: a key and the character it types arrive
// together, control characters edit instead of typing, keys the container never translates
// still go down and up, and a held-back key is let go when the keyboard goes elsewhere.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/ocx/KeyboardInput.h"

using vm::flash::KeyboardInput;
using vm::flash::KeyboardTarget;
using swf::TextCommand;

namespace {

class RecordingTarget : public KeyboardTarget {
public:
    void KeyDown(std::uint8_t code, char32_t character) override { Add("down", code, character); }
    void KeyUp(std::uint8_t code, char32_t character) override { Add("up", code, character); }
    void TypeCharacter(char32_t character) override { Add("type", 0, character); }
    void EditText(TextCommand command) override { Add("edit", static_cast<int>(command), 0); }
    std::vector<std::string> events;

private:
    void Add(const char* what, int code, char32_t character) {
        events.push_back(std::string(what) + " " + std::to_string(code) + " " + std::to_string(character));
    }
};

std::string Edit(TextCommand command) { return "edit " + std::to_string(static_cast<int>(command)) + " 0"; }

class Keyboard : public ::testing::Test {
protected:
    void Send(UINT message, WPARAM wParam) { EXPECT_TRUE(input.OnMessage(message, wParam, target)); }
    void Press(WPARAM key, wchar_t typed) {
        Send(WM_KEYDOWN, key);
        if (typed) Send(WM_CHAR, typed);
        Send(WM_KEYUP, key);
    }
    KeyboardInput input;
    RecordingTarget target;
};

TEST_F(Keyboard, ALetterGoesDownWithItsCharacterThenTypesIt) {
    Press('A', L'a');
    Press('A', L'A');  // with Shift: the code stays, the character follows the layout
    EXPECT_EQ(target.events, (std::vector<std::string>{"down 65 97", "type 0 97", "up 65 97", "down 65 65", "type 0 65",
                                                       "up 65 65"}));
    EXPECT_FALSE(input.OnMessage(WM_MOUSEMOVE, 0, target));
}

TEST_F(Keyboard, KeysThatTypeNothingGoDownAtOnceAndEditWhereTheyShould) {
    Send(WM_KEYDOWN, VK_LEFT);
    ASSERT_EQ(target.events.size(), 2u);  // not held back waiting for a character
    Send(WM_KEYUP, VK_LEFT);
    Press(VK_F1, 0);
    Press(VK_DELETE, 0);
    EXPECT_EQ(target.events, (std::vector<std::string>{"down 37 0", Edit(TextCommand::MoveLeft), "up 37 0", "down 112 0",
                                                       "up 112 0", "down 46 0", Edit(TextCommand::Delete), "up 46 0"}));
}

TEST_F(Keyboard, ControlCharactersEditAndAreReportedAsTheKeysCharacter) {
    Press(VK_RETURN, L'\r');
    Press(VK_BACK, L'\b');
    Press(VK_ESCAPE, 0x1B);  // reported, edits nothing, types nothing
    Press('V', 0x16);        // Ctrl+V
    EXPECT_EQ(target.events,
              (std::vector<std::string>{"down 13 13", Edit(TextCommand::Enter), "up 13 13", "down 8 8",
                                        Edit(TextCommand::Backspace), "up 8 8", "down 27 27", "up 27 27", "down 86 22",
                                        Edit(TextCommand::Paste), "up 86 22"}));
}

TEST_F(Keyboard, AKeyWhoseCharacterNeverComesStillGoesDownAndUp) {
    Send(WM_KEYDOWN, 'B');
    EXPECT_TRUE(target.events.empty());   // its character may still come
    Send(WM_KEYDOWN, 'C');                // it did not: B goes down bare, C waits
    Send(WM_KEYUP, 'B');
    input.Flush(target);                  // the keyboard went elsewhere
    input.Flush(target);                  // nothing left to let go
    EXPECT_EQ(target.events, (std::vector<std::string>{"down 66 0", "down 67 0", "up 66 0"}));
}

TEST_F(Keyboard, CharactersBeyondTheBasicPlaneAreJoinedAndHalvesDropped) {
    Send(WM_CHAR, 0xD83D);
    Send(WM_CHAR, 0xDE00);
    Send(WM_CHAR, 0xDE00);  // a low half alone types nothing
    Send(WM_CHAR, 0xD83D);
    Send(WM_CHAR, L'x');    // a high half followed by a plain character: the half is lost
    EXPECT_EQ(target.events, (std::vector<std::string>{"type 0 128512", "type 0 120"}));
}

}  // namespace
