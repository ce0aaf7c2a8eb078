#pragma once
// Script objects: named properties with flags, a prototype link (__proto__), and hooks for
// objects whose properties are not plain slots (arrays, movie clips). Property names are
// stored under a key the machine derives from the name (folded to lower case before file
// version 7, as names matched without regard to case there); the spelling first used is kept
// for enumeration.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "avm1/Value.h"

namespace swf {
class DisplayObject;
}

namespace swf::avm1 {

class Vm;
class FunctionObject;
class ArrayObject;
class ClipObject;

namespace flags {
// Bits as ASSetPropFlags takes them.
constexpr uint8_t kDontEnum = 1, kDontDelete = 2, kReadOnly = 4;
}

// What a built-in class keeps on its instances beyond their properties (an XML node's place
// in its tree). The class's constructor attaches it to whatever object `new` made, so classes
// a movie derives from the built-in get it through super() too.
struct NativeState {
    virtual ~NativeState() = default;
    // Garbage collection: the objects the state refers to.
    virtual void references(std::vector<Object*>& out) const {}
    // Whether conversions without a hint try toString before valueOf (dates, from version 6).
    virtual bool convertsAsText() const { return false; }
};

struct Property {
    std::string name;
    Value value;
    Object* getter = nullptr;  // addProperty: both calls go through the functions
    Object* setter = nullptr;
    uint8_t flags = 0;
    uint64_t order = 0;  // creation order, for enumeration
    // ASSetPropFlags bits 8+: the property exists only from that file version on.
    uint8_t minVersion = 0;
    // Calls of the getter and of the setter running now, nested (Vm's re-entry guard).
    uint16_t getterDepth = 0, setterDepth = 0;
};

class Object {
public:
    explicit Object(Object* proto) : proto_(proto) {}
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    Object* proto() const { return proto_; }
    // What `__proto__` reads: the prototype, except for `super`, which reads the one above
    // the prototype it stands for.
    virtual Object* scriptProto() const { return proto_; }
    void setProto(Object* p) { proto_ = p; }

    Property* findOwn(const std::string& key);
    // Creates or replaces the slot `key`; `name` is the spelling kept for enumeration.
    Property& put(const std::string& key, const std::string& name, Value value, uint8_t flags = 0);
    // False when there is no such property or it may not be deleted.
    bool remove(const std::string& key);
    // Own properties, most recently created first (the runtime's enumeration order).
    std::vector<Property*> ownProperties();
    size_t propertyCount() const { return props_.size(); }
    // Takes the properties, watches and prototype of `other`, which is left empty (a
    // function's locals moving from its frame to the heap).
    void takeContentsOf(Object& other) {
        props_ = std::move(other.props_);
        nextOrder_ = other.nextOrder_;
        watches = std::move(other.watches);
        proto_ = other.proto_;
        other.props_.clear();
        other.watches.clear();
    }
    // Forgets every property (a clip that a new movie replaces starts afresh).
    void clearProperties() {
        props_.clear();
        watches.clear();
    }

    virtual const char* typeName() const { return "object"; }
    virtual FunctionObject* asFunction() { return nullptr; }
    virtual ArrayObject* asArray() { return nullptr; }
    virtual ClipObject* asClip() { return nullptr; }
    // The clip, button or text field this object stands for, while it is on the stage.
    virtual swf::DisplayObject* displayObject() const { return nullptr; }

    // Properties kept outside the slots (an array's elements and length, a clip's display
    // properties and children). get/set return false when `name` is not one of them.
    virtual bool getSpecial(Vm& vm, const std::string& name, Value& out) { return false; }
    virtual bool setSpecial(Vm& vm, const std::string& name, const Value& value) { return false; }
    virtual void specialNames(std::vector<std::string>& names) {}
    // Names for..in lists after the own properties (a clip's named children).
    virtual void trailingNames(std::vector<std::string>& names) {}

    // Number, String and Boolean objects wrap a primitive; Date keeps its time here too.
    Value primitive;
    bool hasPrimitive = false;
    // Constructors list the interfaces their instances implement (ImplementsOp).
    std::vector<Object*> interfaces;
    // Object.watch: property key -> callback and the extra argument.
    struct Watch {
        Object* callback = nullptr;
        Value userData;
        uint16_t depth = 0;  // calls of the callback running now, nested
    };
    std::map<std::string, Watch> watches;
    std::unique_ptr<NativeState> nativeState;

    // Garbage collection: adds every object this one refers to.
    virtual void references(std::vector<Object*>& out) const;
    bool marked = false;

private:
    Object* proto_;
    std::unordered_map<std::string, Property> props_;
    uint64_t nextOrder_ = 0;
};

// Arrays keep their elements densely; the index properties and length are views of them.
class ArrayObject final : public Object {
public:
    using Object::Object;
    // Writes past this index are kept as ordinary properties, so `a[4e9] = 1` cannot
    // allocate gigabytes.
    static constexpr size_t kMaxDenseLength = 1u << 22;
    // Callers charge growth to the machine (Vm::chargeArrayGrowth) before calling this.

    std::vector<Value> items;

    ArrayObject* asArray() override { return this; }
    bool getSpecial(Vm& vm, const std::string& name, Value& out) override;
    bool setSpecial(Vm& vm, const std::string& name, const Value& value) override;
    void specialNames(std::vector<std::string>& names) override;
    void setLength(double length);
    void references(std::vector<Object*>& out) const override;
};

// The array index a property name denotes, or -1.
int64_t arrayIndex(const std::string& name);

}  // namespace swf::avm1
