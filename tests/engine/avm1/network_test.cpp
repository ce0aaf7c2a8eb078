// What scripts reach through a network or the user's files: remoting calls (their AMF0
// request and the replies), XMLSocket conversations with a host-side peer, and file dialogs.
#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "Bytecode.h"
#include "avm1/Amf0.h"
#include "avm1/Builtins.h"

namespace swf::avm1::test {
namespace {

using Bytes = std::vector<uint8_t>;

// A peer the test drives: what the movie sent, what arrives next, and the connection's state.
struct FakeSocket final : SocketConnection {
    struct Shared {
        State state = State::Open;
        Bytes sent;
        std::deque<Bytes> incoming;  // one chunk per receive()
        bool closedByMovie = false;
    };
    explicit FakeSocket(Shared& s) : shared(s) {}
    State state() override { return shared.state; }
    void send(const Bytes& bytes) override { shared.sent.insert(shared.sent.end(), bytes.begin(), bytes.end()); }
    Bytes receive() override {
        if (shared.incoming.empty()) return {};
        Bytes next = shared.incoming.front();
        shared.incoming.pop_front();
        return next;
    }
    void close() override { shared.closedByMovie = true; }
    Shared& shared;
};

class NetHost : public ScriptHost {
public:
    std::optional<Bytes> fetch(const UrlRequest& request) override {
        requests.push_back(request);
        auto it = replies.find(request.url);
        if (it == replies.end()) return std::nullopt;
        return it->second;
    }
    std::unique_ptr<SocketConnection> connectSocket(const std::string& host, uint16_t port) override {
        connections.push_back(host + ":" + std::to_string(port));
        if (!acceptSockets) return nullptr;
        return std::make_unique<FakeSocket>(peer);
    }
    std::optional<std::vector<ChosenFile>> chooseFiles(const std::vector<FileFilter>& filters, bool multiple) override {
        dialogs.push_back({filters.size(), multiple});
        return chosen;
    }
    std::vector<UrlRequest> requests;
    std::map<std::string, Bytes> replies;
    bool acceptSockets = true;
    FakeSocket::Shared peer;
    std::vector<std::string> connections;
    std::vector<std::pair<size_t, bool>> dialogs;
    std::optional<std::vector<ChosenFile>> chosen;
};

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes shortText(const std::string& s) { return cat({{uint8_t(s.size() >> 8), uint8_t(s.size())}, text(s)}); }

class Network : public ::testing::Test {
protected:
    Value make(const char* cls) { return vm.construct(vm.get(vm.global, cls), {}); }
    Value call(const Value& self, const std::string& name, std::vector<Value> args = {}) {
        return vm.call(vm.getMember(self, name), self, std::move(args));
    }
    // A handler that traces its label (its name unless given) and its arguments' text.
    void traceHandler(const Value& target, const std::string& name, std::string label = {}) {
        FunctionObject* fn = vm.newNative([](Vm& vm, NativeCall& c) {
            std::string line = vm.toString(vm.get(c.callee, "label"));
            for (const Value& a : c.args) line += " " + vm.toString(a);
            vm.host().trace(line);
            return Value();
        });
        vm.set(fn, "label", Value(label.empty() ? name : label));
        vm.set(target.object(), name, Value(fn));
    }
    std::string body(size_t request) { return host.requests.at(request).body; }

    NetHost host;
    Vm vm{host, 8};
};

// ---- remoting ---------------------------------------------------------------------------------

TEST_F(Network, CallsOfOneFrameGoOutAsOnePostedRequestWithTheHeaders) {
    Value nc = make("NetConnection");
    EXPECT_EQ(vm.toString(call(nc, "call", {Value("early"), Value::null()})), "false") << "no gateway yet";
    EXPECT_EQ(vm.toString(call(nc, "connect", {Value("http://gw/")})), "true");
    call(nc, "addHeader", {Value("Auth"), Value(true), Value("x")});
    call(nc, "call", {Value("svc.m"), Value::null(), Value("a"), Value(1)});
    call(nc, "call", {Value("svc.n"), Value::null()});
    EXPECT_TRUE(host.requests.empty()) << "sent once the frame's scripts are done";
    vm.completeLoads();
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].url, "http://gw/");
    EXPECT_EQ(host.requests[0].method, UrlMethod::Post);
    EXPECT_EQ(host.requests[0].contentType, "application/x-amf");
    Bytes expected = cat({{0, 0, 0, 1}, shortText("Auth"), {1, 0, 0, 0, 4}, {2}, shortText("x"),  // one header
                          {0, 2},                                                                // two calls
                          shortText("svc.m"), shortText("/1"), {0, 0, 0, 18},                   //
                          {0x0A, 0, 0, 0, 2}, {2}, shortText("a"), {0, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0},
                          shortText("svc.n"), shortText("/2"), {0, 0, 0, 5}, {0x0A, 0, 0, 0, 0}});
    EXPECT_EQ(text(body(0)), expected);

    // The same name replaces the header: the flag stays unless given, a missing value is null.
    call(nc, "addHeader", {Value("Auth")});
    call(nc, "call", {Value("svc.n"), Value::null()});
    vm.completeLoads();
    ASSERT_EQ(host.requests.size(), 2u);
    Bytes replaced = cat({{0, 0, 0, 1}, shortText("Auth"), {1, 0, 0, 0, 1}, {5}, {0, 1}});
    Bytes second = text(body(1));
    second.resize(std::min(second.size(), replaced.size()));
    EXPECT_EQ(second, replaced);
}

TEST_F(Network, RepliesReachTheirRespondersAndAFailureTheConnection) {
    Value nc = make("NetConnection");
    traceHandler(nc, "onStatus", "connection.onStatus");
    call(nc, "connect", {Value("http://gw/")});
    Value first = Value(vm.newObject()), second = Value(vm.newObject());
    traceHandler(first, "onResult", "first.onResult");
    traceHandler(second, "onStatus", "second.onStatus");
    call(nc, "call", {Value("a"), first});
    call(nc, "call", {Value("b"), second});
    // A header the movie never sees, then the replies in the other order.
    host.replies["http://gw/"] = cat({{0, 0, 0, 1}, shortText("H"), {0, 0, 0, 0, 1}, {5}, {0, 2},
                                      shortText("/2/onStatus"), shortText(""), {0, 0, 0, 0}, {1, 0},
                                      shortText("/1/onResult"), shortText(""), {0, 0, 0, 0}, {2}, shortText("ok")});
    vm.completeLoads();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"second.onStatus false", "first.onResult ok"}));

    host.lines.clear();
    call(nc, "call", {Value("lost"), first});
    host.replies["http://gw/"] = {0, 0, 0, 0, 0, 1, 0};  // cut short
    vm.completeLoads();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"connection.onStatus"})) << "told without an argument";
    host.lines.clear();
    call(nc, "call", {Value("dropped"), first});
    call(nc, "close");
    vm.completeLoads();
    EXPECT_EQ(host.requests.size(), 2u) << "calls a closed connection still held go nowhere";
    call(nc, "connect", {Value("http://gw/")});
    EXPECT_TRUE(host.lines.empty()) << "a closed connection has nothing to close";
    call(nc, "connect", {Value("http://other/")});
    EXPECT_EQ(host.lines, (std::vector<std::string>{"connection.onStatus [object Object]"})) << "the old one closed";
}

// ---- what remoting writes ------------------------------------------------------------------------

class AmfWriting : public Network {
protected:
    // The single argument's bytes as a call sends them.
    Bytes encode(const Value& v) {
        Bytes body = encodeRemotingRequest(vm, {}, {{"t", "/1", {v}}});
        return Bytes(body.begin() + 22, body.end());  // past the header, names and lengths
    }
    Value array(std::vector<Value> items) { return vm.construct(vm.get(vm.global, "Array"), std::move(items)); }
};

TEST_F(AmfWriting, ArraysOfOnlyElementsAreStrictOthersAssociative) {
    Value dense = array({});
    vm.set(dense.object(), "0", Value("a"));
    vm.set(dense.object(), "2", Value("c"));
    EXPECT_EQ(encode(dense), cat({{0x0A, 0, 0, 0, 3}, {2}, shortText("a"), {6}, {2}, shortText("c")}))
        << "a hole is undefined";

    vm.set(dense.object(), "tag", Value(true));
    vm.set(dense.object(), "skip", Value(vm.newNative([](Vm&, NativeCall&) { return Value(); })));
    EXPECT_EQ(encode(dense), cat({{0x08, 0, 0, 0, 3}, shortText("0"), {2}, shortText("a"), shortText("2"), {2},
                                  shortText("c"), shortText("tag"), {1, 1}, {0, 0, 9}}))
        << "elements first, holes and functions left out";

    Value lookalike = Value(vm.newObject());
    vm.set(lookalike.object(), "0", Value("a"));
    vm.set(lookalike.object(), "length", Value(1));
    EXPECT_EQ(encode(lookalike)[0], 0x03) << "an object with an array's prototype or fields is no array";
}

TEST_F(AmfWriting, ObjectsOfRegisteredClassesCarryTheirAlias) {
    Value cls(vm.newNative([](Vm&, NativeCall&) { return Value(); }));
    vm.set(cls.object(), "prototype", Value(vm.newObject()));
    Value objectClass = vm.get(vm.global, "Object");
    call(objectClass, "registerClass", {Value("First"), cls});
    call(objectClass, "registerClass", {Value("com.Second"), cls});
    Value typed = vm.construct(cls, {});
    vm.set(typed.object(), "n", Value(1));
    EXPECT_EQ(encode(typed), cat({{0x10}, shortText("com.Second"), shortText("n"), {0, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0},
                                  {0, 0, 9}}))
        << "the latest name the class was registered under";

    Value inheriting = Value(vm.newObject());
    vm.set(inheriting.object(), "__proto__", vm.get(cls.object(), "prototype"));
    EXPECT_EQ(encode(inheriting)[0], 0x03) << "only the object's own constructor counts";
    Value forged = Value(vm.newObject());
    vm.set(forged.object(), "constructor", cls);
    EXPECT_EQ(encode(forged)[0], 0x10);
}

TEST_F(AmfWriting, DatesAndDocumentsTakePlacesAmongTheReferences) {
    Object* holder = vm.newObject();
    Value date = vm.construct(vm.get(vm.global, "Date"), {Value(0)});
    Object* inner = vm.newObject();
    vm.set(holder, "d", date);
    vm.set(holder, "o", Value(inner));
    vm.set(holder, "again", Value(inner));
    Bytes bytes = encode(Value(holder));
    Bytes tail(bytes.end() - 13, bytes.end());
    EXPECT_EQ(tail, cat({shortText("again"), {7, 0, 2}, {0, 0, 9}})) << "holder 0, the date 1, inner 2";
}

// ---- sockets ---------------------------------------------------------------------------------------

class Sockets : public Network {
protected:
    Value socket() {
        Value s = make("XMLSocket");
        traceHandler(s, "onConnect");
        traceHandler(s, "onData");
        traceHandler(s, "onClose");
        return s;
    }
};

TEST_F(Sockets, MessagesEndAtZeroBytesWhereverTheChunksBreak) {
    Value s = socket();
    EXPECT_EQ(vm.toString(call(s, "connect", {Value("example.org"), Value(8001)})), "true");
    EXPECT_EQ(host.connections, (std::vector<std::string>{"example.org:8001"}));
    call(s, "send", {Value("early")});
    EXPECT_TRUE(host.peer.sent.empty()) << "nothing is sent before the connection is known to be open";
    vm.runTimers();
    call(s, "send", {Value("hi")});
    EXPECT_EQ(host.peer.sent, text(std::string("hi\0", 3)));
    host.peer.incoming = {text(std::string("\0a", 2)), text("b"), text(std::string("c\0d\0", 4))};
    vm.runTimers();
    vm.runTimers();
    vm.runTimers();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"onConnect true", "onData ", "onData abc", "onData d"}));
}

TEST_F(Sockets, AHangUpComesAfterTheLastDataAndAMovieThatClosesHearsNothingMore) {
    Value s = socket();
    call(s, "connect", {Value::null(), Value(1024)});
    host.peer.incoming = {text(std::string("one\0", 4))};
    host.peer.state = SocketConnection::State::Closed;
    vm.runTimers();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"onConnect true", "onData one", "onClose"}));

    host.lines.clear();
    host.peer.state = SocketConnection::State::Open;
    Value t = make("XMLSocket");
    vm.set(t.object(), "onData", Value(vm.newNative([](Vm& vm, NativeCall& c) {
        vm.host().trace("got " + vm.toString(c.arg(0)));
        vm.call(vm.getMember(c.self, "close"), c.self, {});
        return Value();
    })));
    traceHandler(t, "onClose");
    call(t, "connect", {Value("h"), Value(2000)});
    host.peer.incoming = {text(std::string("x\0y\0", 4))};
    host.peer.state = SocketConnection::State::Closed;
    vm.runTimers();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"got x"}));
    EXPECT_TRUE(host.peer.closedByMovie);
}

TEST_F(Sockets, RefusedConnectionsAnswerFalseAndTellOnConnect) {
    Value s = socket();
    EXPECT_EQ(vm.toString(call(s, "connect", {Value("h"), Value(80)})), "false") << "ports below 1024";
    EXPECT_TRUE(host.connections.empty());
    host.acceptSockets = false;
    EXPECT_EQ(vm.toString(call(s, "connect", {Value("h"), Value(5000)})), "false");
    host.clock = 100;
    vm.runTimers();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"onConnect false"}));

    host.lines.clear();
    host.acceptSockets = true;
    host.peer.state = SocketConnection::State::Failed;
    EXPECT_EQ(vm.toString(call(s, "connect", {Value("h"), Value(5000)})), "true");
    vm.runTimers();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"onConnect false"})) << "a peer that refuses, told once";
}

TEST_F(Sockets, TheBuiltInOnDataParsesForOnXml) {
    Value s = make("XMLSocket");
    vm.set(s.object(), "onXML", Value(vm.newNative([](Vm& vm, NativeCall& c) {
        Object* doc = c.arg(0).object();
        vm.host().trace(doc ? vm.toString(vm.get(vm.get(doc, "firstChild").object(), "nodeName")) : "none");
        return Value();
    })));
    call(s, "connect", {Value("h"), Value(5000)});
    host.peer.incoming = {text(std::string("<a><b/></a>\0", 12))};
    vm.runTimers();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"a"}));
}

// ---- streams -----------------------------------------------------------------------------------

TEST_F(Network, AStreamReportsItsStartThenItsEndByTheFilesLength) {
    Value nc = make("NetConnection");
    call(nc, "connect", {Value::null()});
    Value ns = vm.construct(vm.get(vm.global, "NetStream"), {nc});
    vm.set(ns.object(), "onStatus", Value(vm.newNative([](Vm& vm, NativeCall& c) {
        Object* info = c.arg(0).object();
        vm.host().trace(vm.toString(vm.get(info, "level")) + " " + vm.toString(vm.get(info, "code")));
        return Value();
    })));
    // A header and one video tag stamped at 1000 ms.
    host.replies["clip.flv"] = cat({text("FLV"), {1, 1, 0, 0, 0, 9}, {0, 0, 0, 0},  //
                                    {9, 0, 0, 1, 0, 0x03, 0xE8, 0, 0, 0, 0}, {0x17}, {0, 0, 0, 12}});
    call(ns, "play", {Value("clip.flv")});
    call(ns, "play", {Value("missing.flv")});
    vm.completeLoads();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"status NetStream.Play.Start", "status NetStream.Buffer.Full",
                                                    "error NetStream.Play.StreamNotFound"}));
    host.lines.clear();
    call(ns, "play", {Value("clip.flv")});
    vm.completeLoads();
    host.lines.clear();
    host.clock = 999;
    vm.runTimers();
    EXPECT_TRUE(host.lines.empty());
    host.clock = 1000;
    vm.runTimers();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"status NetStream.Buffer.Flush", "status NetStream.Play.Stop",
                                                    "status NetStream.Buffer.Empty"}));
}

// ---- file dialogs ----------------------------------------------------------------------------------

TEST_F(Network, ABrowseIsAnsweredToTheListenersOnceTheScriptsAreDone) {
    Object* net = vm.get(vm.get(vm.global, "flash").object(), "net").object();
    Value ref = vm.construct(vm.get(net, "FileReference"), {});
    Value listener(vm.newObject());
    traceHandler(listener, "onCancel");
    traceHandler(listener, "onSelect");
    call(ref, "addListener", {listener});

    Value badList = vm.construct(vm.get(vm.global, "Array"), {Value(vm.newObject())});
    EXPECT_EQ(vm.toString(call(ref, "browse", {badList})), "false") << "a filter without description or extension";
    EXPECT_EQ(vm.toString(call(ref, "browse")), "true");
    EXPECT_EQ(vm.toString(call(ref, "browse")), "false") << "one dialog at a time";
    EXPECT_TRUE(host.lines.empty());
    vm.completeLoads();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"onCancel [object Object]"}));
    EXPECT_TRUE(vm.get(ref.object(), "name").isUndefined());

    host.lines.clear();
    host.chosen = std::vector<ChosenFile>{{"notes.txt", 12}};
    call(ref, "browse");
    vm.completeLoads();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"onSelect [object Object]"}));
    EXPECT_EQ(vm.toString(vm.get(ref.object(), "name")), "notes.txt");
    EXPECT_EQ(vm.toString(vm.get(ref.object(), "size")), "12");
    EXPECT_EQ(vm.toString(vm.get(ref.object(), "type")), ".txt");

    Value list = vm.construct(vm.get(net, "FileReferenceList"), {});
    host.chosen = std::vector<ChosenFile>{{"a.png", 1}, {"b", 2}};
    call(list, "browse");
    vm.completeLoads();
    EXPECT_EQ(host.dialogs.back(), (std::pair<size_t, bool>{0, true}));
    Object* files = vm.get(list.object(), "fileList").object();
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(vm.toString(vm.get(files, "length")), "2");
    EXPECT_EQ(vm.toString(vm.get(vm.get(files, "1").object(), "name")), "b");
}

}  // namespace
}  // namespace swf::avm1::test
