#include "avm1/Amf0.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>

#include "avm1/Builtins.h"
#include "avm1/ClassRegistry.h"
#include "avm1/XmlTree.h"

namespace swf::avm1 {

namespace {

enum Marker : uint8_t {
    kNumber = 0x00,
    kBoolean = 0x01,
    kString = 0x02,
    kObject = 0x03,
    kNull = 0x05,
    kUndefined = 0x06,
    kReference = 0x07,
    kEcmaArray = 0x08,
    kObjectEnd = 0x09,
    kStrictArray = 0x0A,
    kDate = 0x0B,
    kLongString = 0x0C,
    kXml = 0x0F,
    kTypedObject = 0x10,
};

constexpr int kMaxDepth = 64;
constexpr uint8_t kSolHeader[] = {0x00, 0xBF};
constexpr char kSolSignature[] = {'T', 'C', 'S', 'O', 0x00, 0x04, 0x00, 0x00, 0x00, 0x00};

bool isA(Vm& vm, Object* o, const char* className) {
    Object* cls = vm.get(vm.global, className).object();
    return cls && vm.instanceOf(Value(o), cls);
}

// ---- writing --------------------------------------------------------------------------------

class Writer {
public:
    Writer(Vm& vm, AmfArrays arrays = AmfArrays::Associative) : vm_(vm), arrays_(arrays) {}
    std::vector<uint8_t> out;

    void u8(uint8_t v) { out.push_back(v); }
    void u16(uint16_t v) { u8(uint8_t(v >> 8)), u8(uint8_t(v)); }
    void u32(uint32_t v) { u16(uint16_t(v >> 16)), u16(uint16_t(v)); }
    void f64(double v) {
        uint64_t bits = std::bit_cast<uint64_t>(v);
        u32(uint32_t(bits >> 32)), u32(uint32_t(bits));
    }
    // A property name or short string: UTF-8, 16-bit length (longer names are cut).
    void shortText(const std::string& s) {
        size_t n = std::min<size_t>(s.size(), 0xFFFF);
        u16(uint16_t(n));
        out.insert(out.end(), s.begin(), s.begin() + long(n));
    }
    void append(const std::vector<uint8_t>& bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

    // Whether `v` is stored at all: functions are left out.
    static bool storable(const Value& v) {
        Object* o = v.object();
        return !o || !o->asFunction();
    }

    void value(const Value& v, int depth) {
        vm_.chargeWork(1);
        if (v.isUndefined()) return u8(kUndefined);
        if (v.isNull()) return u8(kNull);
        if (v.isBoolean()) return u8(kBoolean), u8(v.boolean() ? 1 : 0);
        if (v.isNumber()) return u8(kNumber), f64(v.number());
        if (v.isString()) return text(v.string());
        object(v.object(), depth);
    }

private:
    void text(const std::string& s) {
        if (s.size() <= 0xFFFF) return u8(kString), shortText(s);
        u8(kLongString);
        u32(uint32_t(std::min<size_t>(s.size(), UINT32_MAX)));
        out.insert(out.end(), s.begin(), s.end());
    }

    void object(Object* o, int depth) {
        if (!o || o->displayObject() || o->asFunction() || depth > kMaxDepth) return u8(kUndefined);
        if (auto seen = written_.find(o); seen != written_.end() && seen->second <= 0xFFFF) {
            u8(kReference);
            return u16(uint16_t(seen->second));
        }
        // Dates and documents take a place in the reference table as objects do.
        written_.emplace(o, written_.size());
        if (isA(vm_, o, "Date")) {
            u8(kDate);
            f64(vm_.toNumber(vm_.call(vm_.getMember(Value(o), "getTime"), Value(o), {})));
            return u16(0);
        }
        if (xmlNode(o) && isA(vm_, o, "XML")) {
            std::string xml = xmlToString(vm_, o);
            u8(kXml);
            u32(uint32_t(std::min<size_t>(xml.size(), UINT32_MAX)));
            out.insert(out.end(), xml.begin(), xml.end());
            return;
        }
        if (ArrayObject* a = o->asArray()) return array(a, depth);
        if (std::string alias = classAlias(o); !alias.empty()) {
            u8(kTypedObject);
            shortText(alias);
        } else {
            u8(kObject);
        }
        for (const std::string& name : namesInOrder(o)) property(o, name, depth);
        u16(0), u8(kObjectEnd);
    }

    // An array with nothing but its elements goes to a remoting peer as a strict array,
    // holes as undefined. Otherwise it is associative: the elements (holes left out), then
    // the other names; the count is the array's length. Elements a script made with
    // addProperty count toward the length; names holding functions (left out) and a
    // `length` of its own do not make the array associative.
    void array(ArrayObject* a, int depth) {
        size_t length = a->items.size();
        std::vector<std::string> named;
        for (const std::string& name : namesInOrder(a)) {
            int64_t index = arrayIndex(name);
            if (index >= 0 && size_t(index) < ArrayObject::kMaxDenseLength) {
                length = std::max(length, size_t(index) + 1);
                continue;
            }
            Property* own = a->findOwn(vm_.key(name));
            if (name == "length" || (own && !own->getter && !storable(own->value))) continue;
            named.push_back(name);
        }
        if (arrays_ == AmfArrays::StrictWhenDense && named.empty()) {
            u8(kStrictArray);
            u32(uint32_t(length));
            for (size_t i = 0; i < length; ++i) {
                Value v = read(a, std::to_string(i));
                value(storable(v) ? v : Value(), depth + 1);
            }
            return;
        }
        u8(kEcmaArray);
        u32(uint32_t(length));
        for (size_t i = 0; i < length; ++i)
            if (i >= a->items.size() || !a->items[i].isUndefined()) property(a, std::to_string(i), depth);
        for (const std::string& name : named) property(a, name, depth);
        u16(0), u8(kObjectEnd);
    }

    void property(Object* o, const std::string& name, int depth) {
        Value v = read(o, name);
        if (!storable(v) || name.empty()) return;
        shortText(name);
        value(v, depth + 1);
    }

    // A getter that throws gives undefined: the rest of the value is still written.
    Value read(Object* o, const std::string& name) {
        try {
            return vm_.get(o, name);
        } catch (const ScriptThrow&) {
            return Value();
        }
    }

    // Enumerable names in the order they were made (enumeration lists the latest first).
    std::vector<std::string> namesInOrder(Object* o) {
        std::vector<std::string> names = vm_.enumerate(o);
        std::reverse(names.begin(), names.end());
        return names;
    }

    // The name a class was registered under (Object.registerClass, the latest registration
    // of that class) when the object's own constructor is that class: `constructor` where
    // the object has one, else the `__constructor__` that `new` leaves, whatever flags hide
    // them. An object that only inherits from the class's prototype stays untyped.
    std::string classAlias(Object* o) {
        Property* ctor = o->findOwn(vm_.key("constructor"));
        if (!ctor) ctor = o->findOwn(vm_.key("__constructor__"));
        Object* cls = ctor && !ctor->getter ? ctor->value.object() : nullptr;
        if (!cls) return {};
        // Only the links of the writing movie's version family count (ClassRegistry.h).
        for (auto it = vm_.registeredClasses.rbegin(); it != vm_.registeredClasses.rend(); ++it)
            if (it->second == cls)
                if (std::string symbol = registeredSymbol(it->first, vm_.version()); !symbol.empty()) return symbol;
        return {};
    }

    Vm& vm_;
    AmfArrays arrays_;
    std::map<Object*, size_t> written_;
};

// ---- reading --------------------------------------------------------------------------------

class Reader {
public:
    Reader(Vm& vm, std::span<const uint8_t> in) : vm_(vm), in_(in) {}

    bool failed() const { return failed_; }
    size_t remaining() const { return failed_ ? 0 : in_.size() - pos_; }
    bool take(size_t n) {
        if (failed_ || in_.size() - pos_ < n) return failed_ = true, false;
        return true;
    }
    uint8_t u8() { return take(1) ? in_[pos_++] : 0; }
    uint16_t u16() {
        uint16_t hi = u8();
        return uint16_t((hi << 8) | u8());
    }
    uint32_t u32() {
        uint32_t hi = u16();
        return (hi << 16) | u16();
    }
    double f64() {
        uint64_t hi = u32();
        return std::bit_cast<double>((hi << 32) | u32());
    }
    std::string bytes(size_t n) {
        if (!take(n)) return {};
        std::string s(reinterpret_cast<const char*>(in_.data() + pos_), n);
        pos_ += n;
        return s;
    }
    std::string shortText() { return bytes(u16()); }

    Value value(int depth) {
        if (failed_ || depth > kMaxDepth) return fail();
        vm_.chargeWork(1);
        switch (u8()) {
            case kNumber: return Value(f64());
            case kBoolean: return Value(u8() != 0);
            case kString: return Value(shortText());
            case kLongString: return Value(bytes(u32()));
            case kNull: return Value::null();
            case kUndefined: return Value();
            case kReference: {
                uint16_t index = u16();
                return index < objects_.size() ? Value(objects_[index]) : fail();
            }
            case kDate: {
                double time = f64();
                u16();  // the time zone, which dates do not keep
                return failed_ ? Value() : vm_.construct(vm_.get(vm_.global, "Date"), {Value(time)});
            }
            case kXml: {
                std::string text = bytes(u32());
                return failed_ ? Value() : vm_.construct(vm_.get(vm_.global, "XML"), {Value(text)});
            }
            case kObject: return object(vm_.newObject(), depth);
            case kTypedObject: {
                shortText();  // the class alias: read back as a plain object
                return object(vm_.newObject(), depth);
            }
            case kEcmaArray: {
                uint32_t length = u32();
                Value array = vm_.construct(vm_.get(vm_.global, "Array"), {});
                Value filled = object(array.object(), depth);
                if (Object* a = filled.object()) {
                    double now = vm_.toNumber(vm_.get(a, "length"));
                    if (now < length && length <= kMaxArrayLength) vm_.set(a, "length", Value(double(length)));
                }
                return filled;
            }
            case kStrictArray: {
                uint32_t count = u32();
                if (count > remaining()) return fail();  // each element takes a byte at least
                Object* a = vm_.construct(vm_.get(vm_.global, "Array"), {}).object();
                if (!a) return fail();
                objects_.push_back(a);
                for (uint32_t i = 0; i < count && !failed_; ++i) vm_.set(a, std::to_string(i), value(depth + 1));
                return failed_ ? Value() : Value(a);
            }
            default: return fail();
        }
    }

private:
    static constexpr uint32_t kMaxArrayLength = 1u << 20;

    Value fail() {
        failed_ = true;
        return Value();
    }

    // Named properties up to the end marker.
    Value object(Object* o, int depth) {
        if (!o) return fail();
        objects_.push_back(o);
        while (!failed_) {
            std::string name = shortText();
            if (name.empty()) {
                if (u8() != kObjectEnd) return fail();
                return Value(o);
            }
            Value v = value(depth + 1);
            if (!failed_) vm_.set(o, name, v);
        }
        return Value();
    }

    Vm& vm_;
    std::span<const uint8_t> in_;
    size_t pos_ = 0;
    bool failed_ = false;
    std::vector<Object*> objects_;
};

}  // namespace

std::vector<uint8_t> encodeSharedObjectFile(Vm& vm, const std::string& name, Object* data) {
    Writer body(vm);
    for (char c : kSolSignature) body.u8(uint8_t(c));
    body.shortText(name);
    body.u32(0);  // AMF0
    std::vector<std::string> names = data ? vm.enumerate(data) : std::vector<std::string>{};
    for (auto key = names.rbegin(); key != names.rend(); ++key) {
        Value v = vm.get(data, *key);
        if (!Writer::storable(v) || key->empty()) continue;
        body.shortText(*key);
        body.value(v, 0);
        body.u8(0);
    }
    Writer file(vm);
    for (uint8_t b : kSolHeader) file.u8(b);
    file.u32(uint32_t(body.out.size()));
    file.out.insert(file.out.end(), body.out.begin(), body.out.end());
    return file.out;
}

bool decodeSharedObjectFile(Vm& vm, std::span<const uint8_t> file, Object* data) {
    Reader in(vm, file);
    if (in.u8() != kSolHeader[0] || in.u8() != kSolHeader[1]) return false;
    uint32_t size = in.u32();
    if (in.failed() || size != in.remaining()) return false;
    if (in.bytes(sizeof kSolSignature) != std::string(kSolSignature, sizeof kSolSignature)) return false;
    in.shortText();
    if (in.u32() != 0) return false;  // only AMF0 files
    // Read everything first: a damaged file sets nothing.
    std::vector<std::pair<std::string, Value>> read;
    while (!in.failed() && in.remaining() > 0) {
        std::string key = in.shortText();
        Value v = in.value(0);
        in.u8();
        if (in.failed() || key.empty()) return false;
        read.emplace_back(std::move(key), std::move(v));
    }
    for (auto& [key, v] : read) vm.set(data, key, v);
    return true;
}

std::vector<uint8_t> encodeRemotingRequest(Vm& vm, const std::vector<RemotingHeader>& headers,
                                           const std::vector<RemotingCall>& calls) {
    Writer packet(vm);
    packet.u16(0);  // AMF0
    packet.u16(uint16_t(std::min<size_t>(headers.size(), 0xFFFF)));
    for (size_t i = 0; i < headers.size() && i < 0xFFFF; ++i) {
        Writer value(vm, AmfArrays::StrictWhenDense);
        value.value(headers[i].value, 0);
        packet.shortText(headers[i].name);
        packet.u8(headers[i].mustUnderstand ? 1 : 0);
        packet.u32(uint32_t(value.out.size()));
        packet.append(value.out);
    }
    packet.u16(uint16_t(std::min<size_t>(calls.size(), 0xFFFF)));
    for (size_t i = 0; i < calls.size() && i < 0xFFFF; ++i) {
        // The arguments travel as one strict array, which takes no place among the references.
        Writer body(vm, AmfArrays::StrictWhenDense);
        body.u8(kStrictArray);
        body.u32(uint32_t(calls[i].args.size()));
        for (const Value& arg : calls[i].args) body.value(arg, 0);
        packet.shortText(calls[i].target);
        packet.shortText(calls[i].response);
        packet.u32(uint32_t(body.out.size()));
        packet.append(body.out);
    }
    return packet.out;
}

bool decodeAmfValues(Vm& vm, std::span<const uint8_t> bytes, std::vector<Value>& values) {
    Reader in(vm, bytes);
    std::vector<Value> read;
    while (!in.failed() && in.remaining() > 0) read.push_back(in.value(0));
    if (in.failed()) return false;
    values = std::move(read);
    return true;
}

bool decodeRemotingResponse(Vm& vm, std::span<const uint8_t> packet, std::vector<RemotingReply>& replies) {
    Reader in(vm, packet);
    in.u16();  // the AMF version the server answered in
    uint16_t headers = in.u16();
    // Headers of a response mean nothing to the movie: read past them.
    for (uint16_t i = 0; i < headers && !in.failed(); ++i) {
        in.shortText();
        in.u8();
        in.u32();
        in.value(0);
    }
    uint16_t count = in.u16();
    std::vector<RemotingReply> read;
    for (uint16_t i = 0; i < count && !in.failed(); ++i) {
        RemotingReply reply;
        reply.target = in.shortText();
        in.shortText();  // the response name, unused in replies
        in.u32();        // the body's length: the value says where it ends
        reply.value = in.value(0);
        read.push_back(std::move(reply));
    }
    if (in.failed()) return false;
    replies = std::move(read);
    return true;
}

}  // namespace swf::avm1
