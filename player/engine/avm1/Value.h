#pragma once
// A script value: undefined, null, a boolean, a number, a string or a reference to an object.
// Objects live in the machine's heap (Heap.h) and are referred to by plain pointers: the heap
// owns them, so a value is cheap to copy and never dangles while its machine lives.
//
// Strings are immutable and shared: copying a value that holds one adds a reference instead
// of copying the text, so a value is two words and the interpreter's stack moves them as
// such. The count is not atomic: a machine and its values stay on the thread that runs the
// movie. The text alive on a thread is counted (`liveTextBytes`), which is what bounds a
// runaway script: building text that is dropped again costs nothing.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace swf::avm1 {

class Object;

class Value {
public:
    enum class Kind : unsigned char { Undefined, Null, Boolean, Number, String, Object };

    Value() : bits_(0) {}
    static Value null() { Value v; v.kind_ = Kind::Null; return v; }
    Value(bool b) : kind_(Kind::Boolean), bits_(b) {}
    Value(double d) : kind_(Kind::Number), number_(d) {}
    Value(int i) : kind_(Kind::Number), number_(i) {}
    Value(std::string s) : kind_(Kind::String), bits_(wordOf(new Text(std::move(s)))) {}
    Value(const char* s) : Value(std::string(s)) {}
    Value(Object* o) : kind_(o ? Kind::Object : Kind::Null), bits_(wordOf(o)) {}

    Value(const Value& other) : kind_(other.kind_), bits_(other.bits_) {
        if (kind_ == Kind::String) ++text_->refs;
    }
    Value(Value&& other) noexcept : kind_(other.kind_), bits_(other.bits_) { other.kind_ = Kind::Undefined; }
    Value& operator=(const Value& other) {
        if (other.kind_ == Kind::String) ++other.text_->refs;
        release();
        kind_ = other.kind_;
        bits_ = other.bits_;
        return *this;
    }
    Value& operator=(Value&& other) noexcept {
        if (this != &other) {
            release();
            kind_ = other.kind_;
            bits_ = other.bits_;
            other.kind_ = Kind::Undefined;
        }
        return *this;
    }
    ~Value() { release(); }

    Kind kind() const { return kind_; }
    bool isUndefined() const { return kind_ == Kind::Undefined; }
    bool isNull() const { return kind_ == Kind::Null; }
    bool isNullish() const { return kind_ == Kind::Undefined || kind_ == Kind::Null; }
    bool isBoolean() const { return kind_ == Kind::Boolean; }
    bool isNumber() const { return kind_ == Kind::Number; }
    bool isString() const { return kind_ == Kind::String; }
    bool isObject() const { return kind_ == Kind::Object; }

    bool boolean() const { return kind_ == Kind::Boolean && bool_; }
    double number() const { return kind_ == Kind::Number ? number_ : 0; }
    // The text of a string value; empty for any other kind.
    const std::string& string() const { return kind_ == Kind::String ? text_->text : noText(); }
    Object* object() const { return kind_ == Kind::Object ? object_ : nullptr; }

    // Bytes of script text alive on this thread, held by values.
    static size_t liveTextBytes();

private:
    struct Text {
        explicit Text(std::string s);
        ~Text();
        std::string text;
        uint32_t refs = 1;
    };

    void release() {
        if (kind_ == Kind::String && --text_->refs == 0) free(text_);
    }
    static void free(Text* text);  // out of line: the last reference is the rare case
    static const std::string& noText();
    // The union's word with `p` in it, written as one store: a narrower store followed by a
    // whole-word copy would stall the processor's store forwarding. Little-endian targets only.
    static uint64_t wordOf(const void* p) { return reinterpret_cast<uintptr_t>(p); }

    Kind kind_ = Kind::Undefined;
    union {
        bool bool_;
        double number_;
        Object* object_;
        Text* text_;
        uint64_t bits_;  // copies the whole word as an integer (an x87 copy of a double could change it)
    };
};

static_assert(sizeof(Value) <= 16, "a value is two words");
static_assert(std::endian::native == std::endian::little, "wordOf puts a pointer in the low half");

}  // namespace swf::avm1
