#pragma once
// A frame's operand stack. Most frames stay a few values deep, so the first values live in
// the frame itself (a call allocates nothing) and a push is a compare and a store; deeper
// stacks move to the heap, doubling up to the limit, past which a push stops the script.
#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>

#include "avm1/Value.h"
#include "avm1/Vm.h"

// The interpreter's hottest steps: pushing and popping must not cost a call.
#if defined(__GNUC__)
#define VELMORA_AVM1_INLINE [[gnu::always_inline]] inline
#define VELMORA_AVM1_OUT_OF_LINE [[gnu::noinline]]
#else
#define VELMORA_AVM1_INLINE inline
#define VELMORA_AVM1_OUT_OF_LINE
#endif

namespace swf::avm1 {

class OperandStack {
public:
    explicit OperandStack(size_t limit) : limit_(limit) {}
    OperandStack(const OperandStack&) = delete;
    OperandStack& operator=(const OperandStack&) = delete;
    ~OperandStack() {
        while (top_ != base_) (--top_)->~Value();
    }

    bool empty() const { return top_ == base_; }
    // Whether `count` more values fit before the limit stops the script.
    bool hasRoom(size_t count) const { return size() + count <= limit_; }
    size_t size() const { return static_cast<size_t>(top_ - base_); }
    Value& back() { return top_[-1]; }
    // The value `depth` below the top (0: the top); the caller checks size() first.
    Value& fromTop(size_t depth) { return top_[-1 - static_cast<ptrdiff_t>(depth)]; }

    VELMORA_AVM1_INLINE void push(Value v) {
        if (top_ == end_) grow();
        new (top_++) Value(std::move(v));
    }
    // Undefined when empty: the runtime reads an empty stack that way.
    VELMORA_AVM1_INLINE Value pop() {
        if (top_ == base_) return Value();
        Value v = std::move(*--top_);
        top_->~Value();
        return v;
    }
    void drop() { (--top_)->~Value(); }

private:
    static constexpr size_t kInline = 16;
    VELMORA_AVM1_OUT_OF_LINE void grow() {
        size_t count = size();
        if (count >= limit_) throw ScriptAbort("stack overflow");
        size_t capacity = std::min(limit_, std::max<size_t>(count * 2, kInline));
        auto storage = std::make_unique<Slot[]>(capacity);
        Value* moved = reinterpret_cast<Value*>(storage.get());
        for (size_t i = 0; i < count; ++i) {
            new (moved + i) Value(std::move(base_[i]));
            base_[i].~Value();
        }
        heap_ = std::move(storage);
        base_ = moved;
        top_ = moved + count;
        end_ = moved + capacity;
    }
    struct Slot {
        alignas(Value) unsigned char bytes[sizeof(Value)];
    };
    size_t limit_;
    Slot inline_[kInline];
    std::unique_ptr<Slot[]> heap_;
    Value* base_ = reinterpret_cast<Value*>(inline_);
    Value* top_ = base_;
    Value* end_ = base_ + std::min(kInline, limit_);
};

}  // namespace swf::avm1
