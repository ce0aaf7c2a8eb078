// XMLSocket: a connection to a server the host opens. connect() starts it and onConnect(true
// or false) tells how it went on a later frame; send(data) writes the data's text and a zero
// byte; each zero-terminated message that arrives goes to onData(text), whose built-in
// version parses it and hands the document to onXML. The server hanging up calls onClose;
// the movie closing the socket (even from a handler) hears nothing more.
#include <memory>

#include "avm1/Builtins.h"
#include "avm1/Loading.h"
#include "avm1/NetworkClasses.h"

namespace swf::avm1 {

namespace {

// What one frame delivers at most; more messages wait for the next frame.
constexpr size_t kMaxMessagesPerFrame = 4096;
constexpr size_t kMaxOpenSockets = 64;

struct Socket final : NativeState {
    std::unique_ptr<SocketConnection> connection;
    bool opened = false;   // onConnect(true) was told
    std::string partial;   // bytes of a message whose end has not arrived
};

Socket* socketOf(Object* self) {
    if (!self) return nullptr;
    if (!self->nativeState) self->nativeState = std::make_unique<Socket>();
    return dynamic_cast<Socket*>(self->nativeState.get());
}

// The sockets with a connection: they stay alive while it lasts, whatever the movie keeps.
class SocketHub final : public Vm::BuiltinService {
public:
    std::vector<Object*> open;

    void roots(std::vector<Object*>& out) const override { out.insert(out.end(), open.begin(), open.end()); }

    void frame(Vm& vm) override {
        std::vector<Object*> now = open;
        for (Object* self : now) vm.runGuardedAction([&] { poll(vm, self); });
    }

    void forget(Object* self) { std::erase(open, self); }

private:
    void poll(Vm& vm, Object* self) {
        Socket* socket = socketOf(self);
        if (!socket || !socket->connection) return forget(self);
        SocketConnection::State state = socket->connection->state();
        if (!socket->opened) {
            if (state == SocketConnection::State::Connecting) return;
            bool ok = state != SocketConnection::State::Failed;
            if (!ok) {
                socket->connection.reset();
                forget(self);
            }
            socket->opened = ok;
            vm.call(vm.get(self, "onConnect"), Value(self), {Value(ok)});
            if (!ok || socket->connection == nullptr) return;
        }
        receive(vm, self, *socket);
        socket = socketOf(self);
        if (!socket || !socket->connection) return;  // closed by a handler
        if (state == SocketConnection::State::Closed || state == SocketConnection::State::Failed) {
            socket->connection.reset();
            forget(self);
            vm.call(vm.get(self, "onClose"), Value(self), {});
        }
    }

    // Each whole message to onData, until the movie closes the socket.
    void receive(Vm& vm, Object* self, Socket& socket) {
        std::vector<uint8_t> bytes = socket.connection->receive();
        vm.chargeWork(bytes.size() / Vm::kTextBytesPerAction);
        socket.partial.append(bytes.begin(), bytes.end());
        bool codepage = vm.version() < 6;
        if (Object* system = vm.get(vm.global, "System").object())
            codepage = codepage || vm.toBoolean(vm.get(system, "useCodepage"));
        size_t start = 0;
        for (size_t delivered = 0; delivered < kMaxMessagesPerFrame; ++delivered) {
            size_t end = socket.partial.find('\0', start);
            if (end == std::string::npos) break;
            std::vector<uint8_t> message(socket.partial.begin() + long(start), socket.partial.begin() + long(end));
            start = end + 1;
            vm.call(vm.get(self, "onData"), Value(self), {Value(decodeLoadedText(message, codepage))});
            Socket* still = dynamic_cast<Socket*>(self->nativeState.get());
            if (still != &socket || !socket.connection) return;
        }
        socket.partial.erase(0, start);
        // A message that never ends cannot grow past what a string may hold.
        if (socket.partial.size() > vm.limits().maxStringLength) {
            socket.partial.clear();
            socket.connection->close();
        }
    }
};

SocketHub& hub(Vm& vm) { return vm.builtinService<SocketHub>(); }

void hangUp(Vm& vm, Object* self, Socket& socket) {
    if (socket.connection) socket.connection->close();
    socket.connection.reset();
    socket.opened = false;
    socket.partial.clear();
    hub(vm).forget(self);
}

Value construct(Vm&, NativeCall& c) {
    socketOf(c.self.object());
    return Value();
}

// connect(host, port): false when the attempt cannot start (a port below 1024, too many
// sockets, or a host that opens none, which onConnect(false) also reports).
Value connect(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    Socket* socket = socketOf(self);
    if (!socket) return Value(false);
    hangUp(vm, self, *socket);
    std::string host = c.arg(0).isNull() || c.arg(0).isUndefined() ? "localhost" : vm.toString(c.arg(0));
    double port = vm.toNumber(c.arg(1));
    if (!(port >= 1024 && port <= 65535)) return Value(false);
    SocketHub& sockets = hub(vm);
    if (sockets.open.size() < kMaxOpenSockets)
        socket->connection = vm.host().connectSocket(host, static_cast<uint16_t>(port));
    if (!socket->connection) {
        reportLater(vm, self, "onConnect", {Value(false)});
        return Value(false);
    }
    sockets.open.push_back(self);
    return Value(true);
}

Value send(Vm& vm, NativeCall& c) {
    Socket* socket = socketOf(c.self.object());
    if (!socket || !socket->connection || !socket->opened) return Value();
    std::string text = vm.toString(c.arg(0));
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    socket->connection->send(bytes);
    return Value();
}

Value close(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (Socket* socket = socketOf(self)) hangUp(vm, self, *socket);
    return Value();
}

// The built-in onData: the text as a document for onXML.
Value onData(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    Value document = vm.construct(vm.get(vm.global, "XML"), {c.arg(0)});
    vm.call(vm.get(self, "onXML"), Value(self), {document});
    return Value();
}

}  // namespace

void installXmlSocket(Vm& vm) {
    Object* proto = vm.newObject();
    defineClass(vm, "XMLSocket", proto, construct);
    for (auto [name, fn] : {std::pair<const char*, NativeFn>{"connect", connect}, {"send", send}, {"close", close},
                            {"onData", onData}})
        vm.defineMethod(proto, name, fn);
    hub(vm);
}

}  // namespace swf::avm1
