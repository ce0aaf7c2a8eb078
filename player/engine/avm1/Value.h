#pragma once
// A script value: undefined, null, a boolean, a number, a string or a reference to an object.
// Objects live in the machine's heap (Heap.h) and are referred to by plain pointers: the heap
// owns them, so a value is cheap to copy and never dangles while its machine lives.
#include <string>
#include <utility>

namespace swf::avm1 {

class Object;

class Value {
public:
    enum class Kind : unsigned char { Undefined, Null, Boolean, Number, String, Object };

    Value() = default;
    static Value null() { Value v; v.kind_ = Kind::Null; return v; }
    Value(bool b) : kind_(Kind::Boolean), bool_(b) {}
    Value(double d) : kind_(Kind::Number), number_(d) {}
    Value(int i) : kind_(Kind::Number), number_(i) {}
    Value(std::string s) : kind_(Kind::String), string_(std::move(s)) {}
    Value(const char* s) : kind_(Kind::String), string_(s) {}
    Value(Object* o) : kind_(o ? Kind::Object : Kind::Null), object_(o) {}

    Kind kind() const { return kind_; }
    bool isUndefined() const { return kind_ == Kind::Undefined; }
    bool isNull() const { return kind_ == Kind::Null; }
    bool isNullish() const { return kind_ == Kind::Undefined || kind_ == Kind::Null; }
    bool isBoolean() const { return kind_ == Kind::Boolean; }
    bool isNumber() const { return kind_ == Kind::Number; }
    bool isString() const { return kind_ == Kind::String; }
    bool isObject() const { return kind_ == Kind::Object; }

    bool boolean() const { return bool_; }
    double number() const { return number_; }
    const std::string& string() const { return string_; }
    Object* object() const { return kind_ == Kind::Object ? object_ : nullptr; }

private:
    Kind kind_ = Kind::Undefined;
    bool bool_ = false;
    double number_ = 0;
    std::string string_;
    Object* object_ = nullptr;
};

}  // namespace swf::avm1
