#pragma once
// Assembles action bytecode (the records of DoAction, DoInitAction and function bodies):
// pushes of typed literals, actions with payloads, jumps whose targets are patched once
// known, function definitions and try blocks with their bodies. Tests and benchmarks write
// their scripts with it; Actions::records() puts the result into a movie.
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

namespace swfw {

struct Null {};
struct Undefined {};
struct Reg {
    uint8_t index;
};
struct Int {
    int32_t value;
};
using Literal = std::variant<double, Int, std::string, const char*, bool, Null, Undefined, Reg>;

class ActionAssembler {
public:
    ActionAssembler& op(uint8_t code) {
        bytes.push_back(code);
        return *this;
    }
    ActionAssembler& action(uint8_t code, const std::vector<uint8_t>& payload) {
        bytes.push_back(code);
        bytes.push_back(static_cast<uint8_t>(payload.size() & 0xFF));
        bytes.push_back(static_cast<uint8_t>(payload.size() >> 8));
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        return *this;
    }
    ActionAssembler& push(std::initializer_list<Literal> values) {
        std::vector<uint8_t> p;
        for (const Literal& v : values) {
            if (auto* d = std::get_if<double>(&v)) {
                p.push_back(6);
                uint64_t bits;
                std::memcpy(&bits, d, 8);
                uint32_t hi = static_cast<uint32_t>(bits >> 32), lo = static_cast<uint32_t>(bits);
                appendU32(p, hi);
                appendU32(p, lo);
            } else if (auto* i = std::get_if<Int>(&v)) {
                p.push_back(7);
                appendU32(p, static_cast<uint32_t>(i->value));
            } else if (auto* s = std::get_if<std::string>(&v)) {
                p.push_back(0);
                appendString(p, *s);
            } else if (auto* cs = std::get_if<const char*>(&v)) {
                p.push_back(0);
                appendString(p, *cs);
            } else if (auto* b = std::get_if<bool>(&v)) {
                p.push_back(5);
                p.push_back(*b ? 1 : 0);
            } else if (std::holds_alternative<Null>(v)) {
                p.push_back(2);
            } else if (std::holds_alternative<Undefined>(v)) {
                p.push_back(3);
            } else if (auto* r = std::get_if<Reg>(&v)) {
                p.push_back(4);
                p.push_back(r->index);
            }
        }
        return action(0x96, p);
    }
    ActionAssembler& trace() { return op(0x26); }
    // Pushes `name`, reads the variable, traces it.
    ActionAssembler& traceVariable(const std::string& name) { return push({name}).op(0x1C).trace(); }
    ActionAssembler& setVariable(const std::string& name, Literal value) { return push({name, value}).op(0x1D); }
    ActionAssembler& storeRegister(uint8_t r) { return action(0x87, {r}); }

    // Jump / If with the offset left open; returns where to patch.
    size_t jumpPlaceholder(uint8_t code) {
        action(code, {0, 0});
        return bytes.size() - 2;
    }
    void patch(size_t at, size_t target) {
        int16_t offset = static_cast<int16_t>(static_cast<int64_t>(target) - static_cast<int64_t>(at + 2));
        bytes[at] = static_cast<uint8_t>(offset & 0xFF);
        bytes[at + 1] = static_cast<uint8_t>((offset >> 8) & 0xFF);
    }
    ActionAssembler& jumpBack(uint8_t code, size_t target) {
        size_t at = jumpPlaceholder(code);
        patch(at, target);
        return *this;
    }
    size_t here() const { return bytes.size(); }

    // DefineFunction2 with the body appended by `body`.
    template <class Body>
    ActionAssembler& function2(const std::string& name, std::initializer_list<std::pair<uint8_t, std::string>> params,
                        uint8_t registers, uint16_t flags, Body body) {
        ActionAssembler inner;
        body(inner);
        std::vector<uint8_t> p;
        appendString(p, name);
        appendU16(p, static_cast<uint16_t>(params.size()));
        p.push_back(registers);
        appendU16(p, flags);
        for (const auto& [reg, pname] : params) {
            p.push_back(reg);
            appendString(p, pname);
        }
        appendU16(p, static_cast<uint16_t>(inner.bytes.size()));
        action(0x8E, p);
        bytes.insert(bytes.end(), inner.bytes.begin(), inner.bytes.end());
        return *this;
    }
    // DefineFunction (named parameters only).
    template <class Body>
    ActionAssembler& function(const std::string& name, std::initializer_list<std::string> params, Body body) {
        ActionAssembler inner;
        body(inner);
        std::vector<uint8_t> p;
        appendString(p, name);
        appendU16(p, static_cast<uint16_t>(params.size()));
        for (const auto& pname : params) appendString(p, pname);
        appendU16(p, static_cast<uint16_t>(inner.bytes.size()));
        action(0x9B, p);
        bytes.insert(bytes.end(), inner.bytes.begin(), inner.bytes.end());
        return *this;
    }
    // Try with a catch into variable `catchName` and an optional finally.
    template <class TryBody, class CatchBody, class FinallyBody>
    ActionAssembler& tryCatch(const std::string& catchName, TryBody t, CatchBody c, FinallyBody f, bool withCatch = true,
                       bool withFinally = true) {
        ActionAssembler tb, cb, fb;
        t(tb);
        c(cb);
        f(fb);
        std::vector<uint8_t> p;
        p.push_back(static_cast<uint8_t>((withCatch ? 1 : 0) | (withFinally ? 2 : 0)));
        appendU16(p, static_cast<uint16_t>(tb.bytes.size()));
        appendU16(p, static_cast<uint16_t>(withCatch ? cb.bytes.size() : 0));
        appendU16(p, static_cast<uint16_t>(withFinally ? fb.bytes.size() : 0));
        appendString(p, catchName);
        action(0x8F, p);
        bytes.insert(bytes.end(), tb.bytes.begin(), tb.bytes.end());
        if (withCatch) bytes.insert(bytes.end(), cb.bytes.begin(), cb.bytes.end());
        if (withFinally) bytes.insert(bytes.end(), fb.bytes.begin(), fb.bytes.end());
        return *this;
    }

    std::vector<uint8_t> bytes;

private:
    static void appendU16(std::vector<uint8_t>& p, uint16_t v) {
        p.push_back(static_cast<uint8_t>(v & 0xFF));
        p.push_back(static_cast<uint8_t>(v >> 8));
    }
    static void appendU32(std::vector<uint8_t>& p, uint32_t v) {
        for (int i = 0; i < 4; ++i) p.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    static void appendString(std::vector<uint8_t>& p, const std::string& s) {
        p.insert(p.end(), s.begin(), s.end());
        p.push_back(0);
    }
};

}  // namespace swfw
