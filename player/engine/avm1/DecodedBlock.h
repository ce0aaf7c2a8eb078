#pragma once
// An action block read once into a compact form the interpreter steps through: each action
// with its operands ready (push operands as values, constant pools as shared values,
// function headers parsed, jump targets as indexes), so running a loop reads no bytes.
//
// Actions are keyed by the offset they start at. Decoding follows every way execution can
// continue (the next action, jump targets, the ends of with and try bodies, the end of a
// function body), so a jump into the middle of an action decodes the bytes from there the
// way the byte loop read them. Each offset is decoded at most once: the form is never
// larger than a few words per byte of the block.
#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

#include "avm1/Value.h"
#include "core/SharedBytes.h"

namespace swf::avm1 {

struct ScriptCode;

struct PushOperand {
    enum class Kind : uint8_t { Constant, Register, Pool };
    Kind kind = Kind::Constant;
    uint16_t index = 0;  // the register or pool entry
    Value value;         // a constant
};

struct DecodedAction {
    static constexpr uint32_t kNone = UINT32_MAX;
    uint32_t offset = 0;        // where the action starts in the block
    uint32_t next = 0;          // where the following one starts; kNone for End and for one cut off by the block
    uint32_t nextIndex = kNone;  // the action at `next`
    uint32_t payload = 0;       // where its payload starts
    uint32_t length = 0;        // payload bytes
    // Push: the first operand; Jump/If: the target's index; StoreRegister: the register
    // (kNone when unreadable); ConstantPool and DefineFunction: their entry.
    uint32_t operand = kNone;
    // Push: the operand count; Jump/If: the target offset (kNone: unreadable offset,
    // kOutside: a target before or past the block, which ends it).
    uint32_t extra = 0;
    uint8_t op = 0;
    static constexpr uint32_t kOutside = UINT32_MAX - 1;
    uint32_t step = kNone;  // a FusedStep starting here (the block's index), kNone if none
};

// A run of actions compilers emit together in loops over registers, done as one step when its
// operands are numbers: Push x, y; Less2 or Greater; [Not]; If (a loop's test), and Push x, y;
// Add2, Add, Subtract or Multiply; StoreRegister r; [Pop]; [Jump] (or Push x; Increment or
// Decrement; StoreRegister r; ...). The actions stay as they are: entered anywhere but at its
// start, or when its operands are not numbers, they run one by one.
struct FusedStep {
    enum class Kind : uint8_t { CompareBranch, ComputeStore };
    struct Operand {
        bool isRegister = false;
        uint8_t reg = 0;
        double number = 0;
    };
    Kind kind = Kind::CompareBranch;
    uint8_t op = 0;        // the comparison or arithmetic action
    uint8_t count = 0;     // how many actions it stands for
    uint8_t operands = 2;  // 1 for Increment and Decrement
    bool negate = false;   // a Not before the If
    bool pop = false;      // a Pop after the StoreRegister
    uint8_t reg = 0;       // the register stored
    uint32_t end = 0;      // the offset after its last action
    uint32_t branch = DecodedAction::kNone;  // the If or Jump ending it, kNone if none
    uint32_t after = DecodedAction::kNone;   // the action following it (a branch not taken)
    uint32_t target = 0;                     // the branch's target offset and action, as the
    uint32_t targetIndex = 0;                // If or Jump holds them (extra, operand)
    Operand x, y;
    uint32_t loop = DecodedAction::kNone;  // the FusedLoop this step is part of, kNone if none
    uint8_t loopAt = 0;                    // its place in the loop's pass
};

// A loop made of fused steps only, each leading to the next: register arithmetic stored with
// a Pop, and tests whose one way goes on round the loop. With number registers it keeps
// them numbers (every store is a number), so a pass needs no type checks: the registers are
// read once into plain doubles, the passes run on those, and they are written back when the
// loop is left. Constants sit in the slots after the registers, so every operand is a slot.
struct FusedLoop {
    struct Op {
        enum class Kind : uint8_t { Less, Add, Subtract, Multiply };
        Kind kind = Kind::Add;
        uint8_t x = 0, y = 0;   // slots; a Greater test reads them swapped
        uint8_t result = 0;     // the slot stored (arithmetic)
        bool negate = false;    // a Not before the If
        bool goesOnWhenTaken = false;  // which way of the test stays in the loop
        uint8_t count = 0;      // actions the step stands for
        uint32_t action = 0;    // the action starting the step
    };
    static constexpr size_t kMaxSlots = 16;
    std::vector<Op> ops;              // one per step, in the order a pass runs them
    std::vector<uint8_t> registers;   // slot i holds this register
    std::vector<bool> stored;         // by slot: written by the loop (written back on leaving)
    std::vector<double> constants;    // slots registers.size() and up
    uint32_t first = 0, end = 0;      // the offsets the steps span: the loop runs in a range holding them
    uint32_t highestRegister = 0;
};

class DecodedBlock {
public:
    DecodedBlock(const SharedBytes& bytes, std::span<const uint8_t> code);

    std::span<const uint8_t> code() const { return code_; }
    const DecodedAction* actions() const { return actions_.data(); }
    const PushOperand* operands() const { return operands_.data(); }
    const std::shared_ptr<const std::vector<Value>>& pool(uint32_t i) const { return pools_[i]; }
    const std::shared_ptr<const ScriptCode>& function(uint32_t i) const { return functions_[i]; }
    const FusedStep& step(uint32_t i) const { return steps_[i]; }
    const FusedLoop& loop(uint32_t i) const { return loops_[i]; }
    // The action starting at `offset` (one execution can reach), or the end marker.
    uint32_t indexAt(size_t offset) const;
    // Bytes held, for the cache's bound.
    size_t footprint() const;

private:
    void decodeFrom(uint32_t offset, std::vector<uint32_t>& pending);
    void decodeOperands(DecodedAction& a, std::vector<uint32_t>& pending);
    void fuse(DecodedAction& a);
    void findLoop(uint32_t step);
    SharedBytes bytes_;
    std::span<const uint8_t> code_;
    std::vector<DecodedAction> actions_;
    std::vector<PushOperand> operands_;
    std::vector<std::shared_ptr<const std::vector<Value>>> pools_;
    std::vector<std::shared_ptr<const ScriptCode>> functions_;
    std::vector<FusedStep> steps_;
    std::vector<FusedLoop> loops_;
    std::vector<uint32_t> indexAt_;  // by offset: the action starting there, kNone if none
    uint32_t endIndex_ = 0;
};

// Reads a DefineFunction/DefineFunction2 header; `rest` is what follows the action (the body
// is at most that long). `bodySize` tells where the defining block resumes.
std::shared_ptr<const ScriptCode> readFunction(const SharedBytes& bytes, std::span<const uint8_t> payload, bool v2,
                                               std::span<const uint8_t> rest, size_t& bodySize);

// The decoded form of a movie's top-level blocks, kept for as long as the movie's machine, up
// to a bound on the memory it holds (past it the cache starts again empty).
class DecodedBlockCache {
public:
    std::shared_ptr<const DecodedBlock> get(const SharedBytes& code);
    static constexpr size_t kMaxBytes = 64u << 20;
    size_t bytesHeld() const { return bytes_; }

private:
    struct Entry {
        SharedBytes bytes;  // keeps the buffer, so its address cannot name another block
        std::shared_ptr<const DecodedBlock> block;
    };
    std::unordered_map<const uint8_t*, std::vector<Entry>> entries_;
    size_t bytes_ = 0;
};

}  // namespace swf::avm1
