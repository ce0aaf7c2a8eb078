#include "avm1/Amf0.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>

#include "avm1/Builtins.h"
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
    explicit Writer(Vm& vm) : vm_(vm) {}
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
        written_.emplace(o, written_.size());
        if (o->asArray()) {
            u8(kEcmaArray);
            u32(uint32_t(std::clamp(vm_.toNumber(vm_.get(o, "length")), 0.0, double(UINT32_MAX))));
        } else {
            u8(kObject);
        }
        properties(o, depth);
        u16(0), u8(kObjectEnd);
    }

    // In the order they were made (enumeration lists the latest first).
    void properties(Object* o, int depth) {
        std::vector<std::string> names = vm_.enumerate(o);
        for (auto name = names.rbegin(); name != names.rend(); ++name) {
            Value v = vm_.get(o, *name);
            if (!storable(v) || name->empty()) continue;
            shortText(*name);
            value(v, depth + 1);
        }
    }

    Vm& vm_;
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

}  // namespace swf::avm1
