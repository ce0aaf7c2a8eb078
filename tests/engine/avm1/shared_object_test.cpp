// Local shared objects: the .sol file they write, reading it back through the host, and what
// a damaged file does (nothing).
#include <gtest/gtest.h>

#include <map>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "avm1/Amf0.h"
#include "avm1/Builtins.h"
#include "player/Player.h"

namespace swf::avm1::test {
namespace {

class StoringHost : public ScriptHost {
public:
    std::optional<std::vector<uint8_t>> readLocalData(const std::string& key) override {
        auto it = files.find(key);
        return it == files.end() ? std::nullopt : std::optional(it->second);
    }
    bool writeLocalData(const std::string& key, const std::vector<uint8_t>& file) override {
        if (file.empty()) files.erase(key);
        else files[key] = file;
        return true;
    }
    std::map<std::string, std::vector<uint8_t>> files;
};

class SharedObject : public ::testing::Test {
protected:
    Value getLocal(Vm& vm, const char* name) {
        Value cls = vm.get(vm.global, "SharedObject");
        return vm.call(vm.getMember(cls, "getLocal"), cls, {Value(name)});
    }
    Value call(Vm& vm, const Value& self, const char* name) { return vm.call(vm.getMember(self, name), self, {}); }
    StoringHost host;
};

TEST_F(SharedObject, FlushedDataComesBackInTheNextRunWithItsShape) {
    {
        Vm vm{host, 8};
        Value so = getLocal(vm, "scores");
        EXPECT_EQ(getLocal(vm, "scores").object(), so.object()) << "one object per name";
        Object* data = vm.getMember(so, "data").object();
        Object* inner = vm.newObject();
        vm.set(inner, "best", Value(42.5));
        vm.set(data, "player", Value("Ann"));
        vm.set(data, "inner", Value(inner));
        vm.set(data, "again", Value(inner));  // the same object twice
        vm.set(data, "skip", Value(vm.newNative([](Vm&, NativeCall&) { return Value(); })));
        Value list = vm.construct(vm.get(vm.global, "Array"), {Value(1), Value("two")});
        vm.set(data, "list", list);
        EXPECT_EQ(vm.toString(call(vm, so, "flush")), "true");
        EXPECT_EQ(vm.toString(call(vm, so, "getSize")), std::to_string(host.files["localhost/scores"].size()));
    }
    Vm vm{host, 8};
    Object* data = vm.getMember(getLocal(vm, "scores"), "data").object();
    EXPECT_EQ(vm.toString(vm.get(data, "player")), "Ann");
    Object* inner = vm.get(data, "inner").object();
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(vm.toString(vm.get(inner, "best")), "42.5");
    EXPECT_EQ(vm.get(data, "again").object(), inner);
    EXPECT_TRUE(vm.get(data, "skip").isUndefined());
    Object* list = vm.get(data, "list").object();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(vm.toString(Value(list)), "1,two");
    EXPECT_EQ(vm.enumerate(data), (std::vector<std::string>{"list", "again", "inner", "player"}));
}

TEST_F(SharedObject, WhatTheMovieNeverFlushedIsWrittenWhenItEnds) {
    host.files["localhost/kept"] = {1, 2, 3};  // another run's file this one reads as damaged: left alone
    {
        Vm vm{host, 8};
        Value so = getLocal(vm, "progress");
        vm.set(vm.getMember(so, "data").object(), "level", Value(7));
        getLocal(vm, "kept");
        Value scratch = getLocal(vm, "scratch");
        vm.set(vm.getMember(scratch, "data").object(), "tmp", Value(1));
        call(vm, scratch, "flush");
        call(vm, scratch, "clear");
        EXPECT_EQ(host.files.count("localhost/progress"), 0u) << "nothing is written before the end";
        vm.endMovie();
    }
    EXPECT_EQ(host.files.count("localhost/scratch"), 0u) << "a cleared object stays removed";
    EXPECT_EQ(host.files["localhost/kept"], (std::vector<uint8_t>{1, 2, 3}));
    Vm vm{host, 8};
    EXPECT_EQ(vm.toString(vm.getMember(vm.getMember(getLocal(vm, "progress"), "data"), "level")), "7");
}

TEST_F(SharedObject, ClearRemovesTheFileAndBadNamesGiveNull) {
    Vm vm{host, 8};
    Value so = getLocal(vm, "x");
    vm.set(vm.getMember(so, "data").object(), "a", Value(1));
    call(vm, so, "flush");
    ASSERT_EQ(host.files.count("localhost/x"), 1u);
    call(vm, so, "clear");
    EXPECT_EQ(host.files.count("localhost/x"), 0u);
    EXPECT_TRUE(vm.getMember(vm.getMember(so, "data"), "a").isUndefined());
    EXPECT_TRUE(getLocal(vm, "bad:name").isNull());
    EXPECT_TRUE(getLocal(vm, "").isNull());
}

TEST_F(SharedObject, DamagedFilesSetNothing) {
    Vm vm{host, 8};
    Object* data = vm.newObject();
    vm.set(data, "word", Value("hello"));
    vm.set(data, "n", Value(3));
    std::vector<uint8_t> file = encodeSharedObjectFile(vm, "f", data);
    Object* target = vm.newObject();
    ASSERT_TRUE(decodeSharedObjectFile(vm, file, target));
    EXPECT_EQ(vm.toString(vm.get(target, "word")), "hello");
    // Every cut of the file is refused whole, as is a changed byte in the header.
    for (size_t cut = 0; cut < file.size(); ++cut) {
        Object* fresh = vm.newObject();
        EXPECT_FALSE(decodeSharedObjectFile(vm, std::span(file).first(cut), fresh)) << cut;
        EXPECT_TRUE(vm.enumerate(fresh).empty()) << cut;
    }
    std::vector<uint8_t> wrongSignature = file;
    wrongSignature[6] = 'X';
    EXPECT_FALSE(decodeSharedObjectFile(vm, wrongSignature, vm.newObject()));
    // A reference to an object not read yet, and a huge strict array count.
    std::vector<uint8_t> tail = {0x00, 0x01, 'r', 0x07, 0x00, 0x05, 0x00};
    std::vector<uint8_t> forged(file.begin(), file.begin() + 6 + 10 + 2 + 1 + 4);
    forged.insert(forged.end(), tail.begin(), tail.end());
    uint32_t size = uint32_t(forged.size() - 6);
    forged[2] = uint8_t(size >> 24), forged[3] = uint8_t(size >> 16), forged[4] = uint8_t(size >> 8), forged[5] = uint8_t(size);
    EXPECT_FALSE(decodeSharedObjectFile(vm, forged, vm.newObject()));
}

}  // namespace
// Stored data is filed under the movie's site and path, so two movies of the collection that
// both call their data "save" keep it apart; a folder that does not hold the movie is refused.
TEST_F(SharedObject, DataIsFiledUnderTheMoviesOwnPathUnlessAFolderHoldingItIsNamed) {
    auto keysFor = [&](const std::string& url, std::vector<Value> folders) {
        host.files.clear();
        swf::testing::MovieBuilder b;
        b.def().header.version = 8;
        b.frame({});
        std::vector<bool> given;
        {
            Player player(b.build(), host, nullptr, url);
            Vm& vm = player.scriptMachine();
            Value cls = vm.get(vm.global, "SharedObject");
            for (const Value& folder : folders) {
                std::vector<Value> args{Value("save")};
                if (!folder.isUndefined()) args.push_back(folder);
                Value so = vm.call(vm.getMember(cls, "getLocal"), cls, args);
                given.push_back(so.isObject());
                if (so.isObject()) vm.set(vm.getMember(so, "data").object(), "n", Value(1));
            }
        }
        std::vector<std::string> keys;
        for (const auto& [key, file] : host.files) keys.push_back(key);
        return std::pair(given, keys);
    };
    auto [given, keys] = keysFor("file:///C|/games/a.swf", {Value(), Value("/"), Value("/C:/games/")});
    EXPECT_EQ(given, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(keys, (std::vector<std::string>{"localhost/C:/games/a.swf/save", "localhost/C:/games/save",
                                              "localhost/save"}));
    EXPECT_EQ(keysFor("C:\\games\\b.swf", {Value()}).second,
              (std::vector<std::string>{"localhost/C:/games/b.swf/save"}));
    EXPECT_EQ(keysFor("http://example.org:8080/m/c.swf?x=1", {Value()}).second,
              (std::vector<std::string>{"example.org/m/c.swf/save"}));
    auto [refused, none] = keysFor("file:///C|/games/a.swf", {Value("/C:/gam"), Value("/D:/")});
    EXPECT_EQ(refused, (std::vector<bool>{false, false}));
    EXPECT_TRUE(none.empty());
}

}  // namespace swf::avm1::test
