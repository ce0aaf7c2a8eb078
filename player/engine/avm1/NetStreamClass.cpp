// NetStream over a NetConnection connected to null: play(url) fetches an FLV file once the
// frame's scripts are done and reports, as the runtime's progressive playback does,
// NetStream.Play.Start and NetStream.Buffer.Full, the file's metadata to onMetaData, and once
// the host's clock has run the file's length NetStream.Buffer.Flush, NetStream.Play.Stop and
// NetStream.Buffer.Empty. A file that cannot be had or is no FLV is NetStream.Play.StreamNotFound.
// The pictures and sound are not decoded.
#include <algorithm>

#include "avm1/Amf0.h"
#include "avm1/Builtins.h"
#include "avm1/Loading.h"
#include "avm1/NetworkClasses.h"

namespace swf::avm1 {

namespace {

constexpr size_t kMaxPlayingStreams = 256;

struct Stream final : NativeState {
    Object* connection = nullptr;
    bool playing = false;
    uint64_t endsAt = 0;  // host milliseconds

    void references(std::vector<Object*>& out) const override { out.push_back(connection); }
};

Stream* streamOf(Object* self) {
    if (!self) return nullptr;
    if (!self->nativeState) self->nativeState = std::make_unique<Stream>();
    return dynamic_cast<Stream*>(self->nativeState.get());
}

Value statusInfo(Vm& vm, const char* level, const char* code) {
    Object* info = vm.newObject();
    vm.set(info, "code", Value(code));
    vm.set(info, "level", Value(level));
    return Value(info);
}

void status(Vm& vm, Object* self, const char* level, const char* code) {
    vm.call(vm.get(self, "onStatus"), Value(self), {statusInfo(vm, level, code)});
}

// Streams playing to their end: they stay alive until they reach it.
class StreamHub final : public Vm::BuiltinService {
public:
    std::vector<Object*> playing;

    void roots(std::vector<Object*>& out) const override { out.insert(out.end(), playing.begin(), playing.end()); }

    void frame(Vm& vm) override {
        uint64_t now = vm.host().milliseconds();
        std::vector<Object*> due;
        for (Object* self : playing) {
            Stream* stream = streamOf(self);
            if (!stream || !stream->playing || stream->endsAt <= now) due.push_back(self);
        }
        for (Object* self : due) {
            std::erase(playing, self);
            Stream* stream = streamOf(self);
            if (!stream || !stream->playing) continue;
            stream->playing = false;
            vm.runGuardedAction([&] {
                status(vm, self, "status", "NetStream.Buffer.Flush");
                status(vm, self, "status", "NetStream.Play.Stop");
                status(vm, self, "status", "NetStream.Buffer.Empty");
            });
        }
    }
};

uint32_t bigEndian(const std::vector<uint8_t>& b, size_t at, size_t bytes) {
    uint32_t v = 0;
    for (size_t i = 0; i < bytes; ++i) v = (v << 8) | b[at + i];
    return v;
}

// An FLV file's length in milliseconds (the last tag's time) and its metadata, if it has any.
bool readFlv(Vm& vm, const std::vector<uint8_t>& file, uint32_t& lengthMillis, Value& metadata) {
    if (file.size() < 13 || file[0] != 'F' || file[1] != 'L' || file[2] != 'V') return false;
    size_t at = bigEndian(file, 5, 4) + 4;  // past the header and the first tag-size field
    lengthMillis = 0;
    while (at + 11 <= file.size()) {
        uint8_t type = file[at];
        size_t size = bigEndian(file, at + 1, 3);
        uint32_t time = bigEndian(file, at + 4, 3) | (uint32_t(file[at + 7]) << 24);
        if (at + 11 + size > file.size()) break;
        vm.chargeWork(1);
        lengthMillis = std::max(lengthMillis, time);
        if (type == 18 && metadata.isUndefined()) {
            std::vector<Value> values;
            std::span<const uint8_t> data(file.data() + at + 11, size);
            if (decodeAmfValues(vm, data, values) && values.size() >= 2 && values[0].isString() &&
                values[0].string() == "onMetaData")
                metadata = values[1];
        }
        at += 11 + size + 4;
    }
    return true;
}

Value construct(Vm&, NativeCall& c) {
    if (Stream* stream = streamOf(c.self.object())) stream->connection = c.arg(0).object();
    return Value();
}

Value play(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    Stream* stream = streamOf(self);
    if (!stream) return Value();
    Object* connection = stream->connection;
    // Only progressive playback can be had: a connection made to null.
    if (!connection || !vm.toBoolean(vm.get(connection, "isConnected"))) {
        reportLater(vm, self, "onStatus", {statusInfo(vm, "error", "NetStream.Play.StreamNotFound")});
        return Value();
    }
    UrlRequest request;
    request.url = vm.toString(c.arg(0));
    vm.requestLoad({PendingLoad::Kind::Stream, self, std::move(request)});
    return Value();
}

Value closeStream(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (Stream* stream = streamOf(self)) stream->playing = false;
    std::erase(vm.builtinService<StreamHub>().playing, self);
    return Value();
}

Value nothing(Vm&, NativeCall&) { return Value(); }

}  // namespace

void deliverStreamFile(Vm& vm, Object* self, const std::optional<std::vector<uint8_t>>& bytes) {
    Stream* stream = streamOf(self);
    if (!stream) return;
    uint32_t lengthMillis = 0;
    Value metadata;
    if (!bytes || !readFlv(vm, *bytes, lengthMillis, metadata))
        return status(vm, self, "error", "NetStream.Play.StreamNotFound");
    StreamHub& hub = vm.builtinService<StreamHub>();
    stream->playing = true;
    stream->endsAt = vm.host().milliseconds() + lengthMillis;
    if (hub.playing.size() < kMaxPlayingStreams && std::find(hub.playing.begin(), hub.playing.end(), self) == hub.playing.end())
        hub.playing.push_back(self);
    status(vm, self, "status", "NetStream.Play.Start");
    status(vm, self, "status", "NetStream.Buffer.Full");
    if (!metadata.isUndefined()) vm.call(vm.get(self, "onMetaData"), Value(self), {metadata});
}

void installNetStream(Vm& vm) {
    Object* proto = vm.newObject();
    defineClass(vm, "NetStream", proto, construct);
    for (auto [name, fn] : {std::pair<const char*, NativeFn>{"play", play}, {"close", closeStream}, {"pause", nothing},
                            {"seek", nothing}, {"setBufferTime", nothing}})
        vm.defineMethod(proto, name, fn);
    vm.builtinService<StreamHub>();
}

}  // namespace swf::avm1
