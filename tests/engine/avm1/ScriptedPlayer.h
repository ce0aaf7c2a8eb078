#pragma once
// A fixture playing an empty version 8 movie of 400 x 400 px, for tests that drive scripts
// and input through a whole player; `HostT` keeps what the movie says.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "player/Player.h"

namespace swf::avm1::test {

template <class HostT = ScriptHost>
class ScriptedPlayer : public ::testing::Test {
protected:
    void SetUp() override {
        swf::testing::MovieBuilder b(400, 400);
        b.def().header.version = 8;
        b.frame({});
        player = std::make_unique<Player>(b.build(), host);
    }
    Vm& vm() { return player->scriptMachine(); }
    Object* root() { return vm().clipObject(&player->root()); }
    Object* global(const char* name) { return vm().get(vm().global, name).object(); }
    Value call(Object* self, const std::string& name, std::vector<Value> args = {}) {
        return vm().call(vm().get(self, name), Value(self), std::move(args));
    }

    HostT host;
    std::unique_ptr<Player> player;
};

}  // namespace swf::avm1::test
