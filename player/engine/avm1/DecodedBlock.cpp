#include "avm1/DecodedBlock.h"

#include <algorithm>
#include <cstring>

#include "avm1/ActionReader.h"
#include "avm1/Function.h"

namespace swf::avm1 {

namespace {

// Whether any action of the body (nested bodies included) is DefineFunction or DefineFunction2.
bool bodyDefinesFunctions(std::span<const uint8_t> body) {
    for (size_t pc = 0; pc < body.size();) {
        uint8_t op = body[pc];
        if (op == 0x9B || op == 0x8E) return true;
        if (op < 0x80) {
            ++pc;
        } else {
            if (pc + 3 > body.size()) break;
            pc += 3 + (body[pc + 1] | (body[pc + 2] << 8));
        }
    }
    return false;
}

// Blocks are payloads of tags, whose lengths are 32-bit; offsets past that are not kept.
constexpr size_t kMaxBlock = DecodedAction::kOutside - 1;

}  // namespace

std::shared_ptr<const ScriptCode> readFunction(const SharedBytes& bytes, std::span<const uint8_t> payload, bool v2,
                                               std::span<const uint8_t> rest, size_t& bodySize) {
    ActionReader in(payload);
    auto code = std::make_shared<ScriptCode>();
    code->name = in.str();
    uint16_t count = in.u16();
    code->isFunction2 = v2;
    if (v2) {
        code->registerCount = in.u8();
        code->flags = in.u16();
    }
    for (uint16_t i = 0; i < count && in.ok(); ++i) {
        ScriptCode::Param p;
        if (v2) p.reg = in.u8();
        p.name = in.str();
        code->params.push_back(std::move(p));
    }
    bodySize = in.u16();
    if (!in.ok()) bodySize = 0;
    bodySize = std::min(bodySize, rest.size());
    code->bytes = bytes;
    code->body = rest.subspan(0, bodySize);
    code->definesFunctions = bodyDefinesFunctions(code->body);
    return code;
}

DecodedBlock::DecodedBlock(const SharedBytes& bytes, std::span<const uint8_t> code)
    : bytes_(bytes), code_(code.subspan(0, std::min(code.size(), kMaxBlock))) {
    indexAt_.assign(code_.size() + 1, DecodedAction::kNone);
    std::vector<uint32_t> pending{0};
    while (!pending.empty()) {
        uint32_t at = pending.back();
        pending.pop_back();
        decodeFrom(at, pending);
    }
    // The end of the block is an action of its own, so every range stops on reaching it.
    DecodedAction end;
    end.offset = static_cast<uint32_t>(code_.size());
    end.next = DecodedAction::kNone;
    endIndex_ = static_cast<uint32_t>(actions_.size());
    actions_.push_back(end);
    indexAt_[code_.size()] = endIndex_;
    for (DecodedAction& a : actions_) {
        if (a.next <= code_.size()) a.nextIndex = indexAt_[a.next];
        if ((a.op == 0x99 || a.op == 0x9D) && a.extra <= code_.size()) a.operand = indexAt_[a.extra];
    }
    for (DecodedAction& a : actions_)
        if (a.op == 0x96) fuse(a);
    for (uint32_t i = 0; i < actions_.size(); ++i)
        if (actions_[i].step != DecodedAction::kNone) findLoop(i);
}

namespace {

// A push operand a fused step can read without the general path: a register, or a number.
bool fusableOperand(const PushOperand& p, FusedStep::Operand& out) {
    if (p.kind == PushOperand::Kind::Register) {
        out.isRegister = true;
        out.reg = static_cast<uint8_t>(p.index);
        return true;
    }
    if (p.kind == PushOperand::Kind::Constant && p.value.isNumber()) {
        out.number = p.value.number();
        return true;
    }
    return false;
}

bool isCompare(uint8_t op) { return op == 0x48 || op == 0x67; }  // Less2, Greater
bool isArithmetic(uint8_t op) { return op == 0x47 || op == 0x0A || op == 0x0B || op == 0x0C; }
bool isStep(uint8_t op) { return op == 0x50 || op == 0x51; }  // Increment, Decrement

}  // namespace

// Looks for a fused step starting at the Push `a`. Each action of it follows the one before
// in the block (so the step is exactly what running them one by one does), and none is cut
// off; an action inside it that is also reached otherwise (a jump target) keeps running on
// its own from there.
void DecodedBlock::fuse(DecodedAction& a) {
    if (a.next == DecodedAction::kNone || a.extra < 1 || a.extra > 2) return;
    auto follow = [&](const DecodedAction& from) -> const DecodedAction* {
        if (from.next == DecodedAction::kNone || from.nextIndex == DecodedAction::kNone) return nullptr;
        const DecodedAction& n = actions_[from.nextIndex];
        return n.next == DecodedAction::kNone ? nullptr : &n;
    };
    FusedStep step;
    step.operands = static_cast<uint8_t>(a.extra);
    const PushOperand* ops = operands_.data() + a.operand;
    if (!fusableOperand(ops[0], step.x)) return;
    if (step.operands == 2 && !fusableOperand(ops[1], step.y)) return;
    const DecodedAction* op = follow(a);
    if (!op) return;
    step.op = op->op;
    const DecodedAction* last = op;
    uint32_t count = 2;
    if (step.operands == 2 && isCompare(op->op)) {
        step.kind = FusedStep::Kind::CompareBranch;
        const DecodedAction* n = follow(*op);
        if (n && n->op == 0x12) {
            step.negate = true;
            last = n;
            ++count;
            n = follow(*n);
        }
        if (!n || n->op != 0x9D) return;
        step.branch = static_cast<uint32_t>(n - actions_.data());
        last = n;
        ++count;
    } else if ((step.operands == 2 && isArithmetic(op->op)) || (step.operands == 1 && isStep(op->op))) {
        step.kind = FusedStep::Kind::ComputeStore;
        const DecodedAction* store = follow(*op);
        if (!store || store->op != 0x87 || store->operand == DecodedAction::kNone) return;
        step.reg = static_cast<uint8_t>(store->operand);
        last = store;
        ++count;
        const DecodedAction* n = follow(*store);
        if (n && n->op == 0x17) {
            step.pop = true;
            last = n;
            ++count;
            n = follow(*n);
        }
        if (n && n->op == 0x99) {
            step.branch = static_cast<uint32_t>(n - actions_.data());
            last = n;
            ++count;
        }
    } else {
        return;
    }
    step.count = static_cast<uint8_t>(count);
    step.end = last->next;
    step.after = last->nextIndex;
    if (step.branch != DecodedAction::kNone) {
        step.target = last->extra;
        step.targetIndex = last->operand;
    }
    a.step = static_cast<uint32_t>(steps_.size());
    steps_.push_back(step);
}

namespace {

// Passes longer than this are not looked for: the search tries both ways of every test.
constexpr size_t kMaxLoopSteps = 8;

bool usableTarget(const FusedStep& s) { return s.target < DecodedAction::kOutside && s.targetIndex != DecodedAction::kNone; }

}  // namespace

// Looks for a way from the step starting at action `start` through fused steps only back to
// it, each step leading to the next by the way it goes on when run whole (a test by one of
// its two ways). Every store in it must be followed by a Pop, so the loop leaves the stack as
// it found it.
void DecodedBlock::findLoop(uint32_t start) {
    if (steps_[actions_[start].step].loop != DecodedAction::kNone) return;
    std::vector<uint32_t> path{start};  // action indexes of the steps
    std::vector<bool> takenWays;        // for each step of the path: whether it goes on by its branch
    auto stepAt = [&](uint32_t index) {
        return index < actions_.size() ? actions_[index].step : DecodedAction::kNone;
    };
    // Depth first: the ways on from the last step of the path that could close it.
    auto search = [&](auto& self) -> bool {
        const FusedStep& s = steps_[actions_[path.back()].step];
        if (s.loop != DecodedAction::kNone) return false;
        std::pair<uint32_t, bool> ways[2];
        size_t wayCount = 0;
        if (s.kind == FusedStep::Kind::ComputeStore) {
            if (!s.pop) return false;
            if (s.branch == DecodedAction::kNone) ways[wayCount++] = {s.after, false};
            else if (usableTarget(s)) ways[wayCount++] = {s.targetIndex, true};
        } else if (usableTarget(s)) {
            ways[wayCount++] = {s.after, false};
            ways[wayCount++] = {s.targetIndex, true};
        }
        for (size_t w = 0; w < wayCount; ++w) {
            auto [next, taken] = ways[w];
            if (stepAt(next) == DecodedAction::kNone) continue;
            takenWays.push_back(taken);
            if (next == start) return true;
            if (path.size() < kMaxLoopSteps && std::find(path.begin(), path.end(), next) == path.end()) {
                path.push_back(next);
                if (self(self)) return true;
                path.pop_back();
            }
            takenWays.pop_back();
        }
        return false;
    };
    if (!search(search)) return;

    FusedLoop loop;
    loop.first = actions_[start].offset;
    std::vector<std::pair<bool, double>> slotOf;  // register (true, number) or constant
    auto slot = [&](const FusedStep::Operand& o) -> uint8_t {
        std::pair<bool, double> key{o.isRegister, o.isRegister ? o.reg : o.number};
        for (size_t i = 0; i < slotOf.size(); ++i)
            if (slotOf[i].first == key.first && (key.first ? slotOf[i].second == key.second
                                                           : std::memcmp(&slotOf[i].second, &key.second, 8) == 0))
                return static_cast<uint8_t>(i);
        slotOf.push_back(key);
        return static_cast<uint8_t>(slotOf.size() - 1);
    };
    for (size_t k = 0; k < path.size(); ++k) {
        const FusedStep& s = steps_[actions_[path[k]].step];
        loop.first = std::min(loop.first, actions_[path[k]].offset);
        loop.end = std::max(loop.end, s.end);
        FusedLoop::Op op;
        op.count = s.count;
        op.action = path[k];
        op.x = slot(s.x);
        FusedStep::Operand one;
        one.number = 1;
        op.y = slot(s.operands == 2 ? s.y : one);
        if (s.kind == FusedStep::Kind::CompareBranch) {
            op.kind = FusedLoop::Op::Kind::Less;
            if (s.op == 0x67) std::swap(op.x, op.y);  // Greater: y < x
            op.negate = s.negate;
            op.goesOnWhenTaken = takenWays[k];
        } else {
            switch (s.op) {
            case 0x0B:
            case 0x51: op.kind = FusedLoop::Op::Kind::Subtract; break;
            case 0x0C: op.kind = FusedLoop::Op::Kind::Multiply; break;
            default: op.kind = FusedLoop::Op::Kind::Add; break;  // Add2, Add, Increment
            }
            FusedStep::Operand stored;
            stored.isRegister = true;
            stored.reg = s.reg;
            op.result = slot(stored);
        }
        loop.ops.push_back(op);
    }
    if (slotOf.size() > FusedLoop::kMaxSlots) return;
    // Registers first, then constants: renumber the slots.
    std::vector<uint8_t> renumbered(slotOf.size());
    for (size_t i = 0; i < slotOf.size(); ++i)
        if (slotOf[i].first) {
            renumbered[i] = static_cast<uint8_t>(loop.registers.size());
            loop.registers.push_back(static_cast<uint8_t>(slotOf[i].second));
            loop.highestRegister = std::max<uint32_t>(loop.highestRegister, loop.registers.back());
        }
    for (size_t i = 0; i < slotOf.size(); ++i)
        if (!slotOf[i].first) {
            renumbered[i] = static_cast<uint8_t>(loop.registers.size() + loop.constants.size());
            loop.constants.push_back(slotOf[i].second);
        }
    loop.stored.assign(loop.registers.size(), false);
    for (FusedLoop::Op& op : loop.ops) {
        op.x = renumbered[op.x];
        op.y = renumbered[op.y];
        if (op.kind != FusedLoop::Op::Kind::Less) {
            op.result = renumbered[op.result];
            loop.stored[op.result] = true;
        }
    }
    for (size_t k = 0; k < path.size(); ++k) {
        FusedStep& s = steps_[actions_[path[k]].step];
        s.loop = static_cast<uint32_t>(loops_.size());
        s.loopAt = static_cast<uint8_t>(k);
    }
    loops_.push_back(std::move(loop));
}

uint32_t DecodedBlock::indexAt(size_t offset) const {
    if (offset >= code_.size()) return endIndex_;
    uint32_t i = indexAt_[offset];
    return i == DecodedAction::kNone ? endIndex_ : i;
}

size_t DecodedBlock::footprint() const {
    return sizeof(*this) + actions_.size() * sizeof(DecodedAction) + operands_.size() * sizeof(PushOperand) +
           steps_.size() * sizeof(FusedStep) + loops_.size() * (sizeof(FusedLoop) + 64) +
           indexAt_.size() * sizeof(uint32_t) + (pools_.size() + functions_.size()) * 64;
}

// Decodes the actions from `offset` on until one already read (or the block's end); the
// other places execution can go on from are queued in `pending`.
void DecodedBlock::decodeFrom(uint32_t offset, std::vector<uint32_t>& pending) {
    const size_t size = code_.size();
    while (offset < size && indexAt_[offset] == DecodedAction::kNone) {
        DecodedAction a;
        a.offset = offset;
        a.op = code_[offset];
        if (a.op == 0) {
            a.next = DecodedAction::kNone;  // ends every range, like a cut-off action
        } else if (a.op < 0x80) {
            a.next = offset + 1;
        } else if (offset + 3 > size) {
            a.next = DecodedAction::kNone;
        } else {
            a.length = code_[offset + 1] | (code_[offset + 2] << 8);
            a.payload = offset + 3;
            a.next = offset + 3 + a.length > size ? DecodedAction::kNone : offset + 3 + a.length;
        }
        indexAt_[offset] = static_cast<uint32_t>(actions_.size());
        if (a.next != DecodedAction::kNone) decodeOperands(a, pending);
        actions_.push_back(std::move(a));
        const DecodedAction& done = actions_.back();
        // An end action or a cut-off one stops every range that reaches it.
        if (done.next == DecodedAction::kNone) return;
        // A function body is skipped by the block defining it: its code runs from its own form.
        if (done.op == 0x9B || done.op == 0x8E) {
            const ScriptCode& fn = *functions_[done.operand];
            offset = static_cast<uint32_t>(done.next + fn.body.size());
            continue;
        }
        offset = done.next;
    }
}

void DecodedBlock::decodeOperands(DecodedAction& a, std::vector<uint32_t>& pending) {
    const size_t size = code_.size();
    auto queue = [&](size_t at) { pending.push_back(static_cast<uint32_t>(std::min(at, size))); };
    std::span<const uint8_t> payload = code_.subspan(a.payload, a.length);
    ActionReader in(payload);
    switch (a.op) {
    case 0x96: {  // Push: an unknown type or a cut-off operand ends the list
        a.operand = static_cast<uint32_t>(operands_.size());
        while (!in.atEnd()) {
            uint8_t type = in.u8();
            PushOperand p;
            switch (type) {
            case 0: p.value = Value(in.str()); break;
            case 1: {
                uint32_t bits = in.u32();
                float fl;
                std::memcpy(&fl, &bits, 4);
                p.value = Value(static_cast<double>(fl));
                break;
            }
            case 2: p.value = Value::null(); break;
            case 3: break;
            case 4:
                p.kind = PushOperand::Kind::Register;
                p.index = in.u8();
                break;
            case 5: p.value = Value(in.u8() != 0); break;
            case 6: {
                // The two 32-bit halves are stored high word first.
                uint64_t hi = in.u32(), lo = in.u32();
                uint64_t bits = (hi << 32) | lo;
                double d;
                std::memcpy(&d, &bits, 8);
                p.value = Value(d);
                break;
            }
            case 7: p.value = Value(static_cast<double>(static_cast<int32_t>(in.u32()))); break;
            case 8:
            case 9:
                p.kind = PushOperand::Kind::Pool;
                p.index = type == 8 ? in.u8() : in.u16();
                break;
            default: goto pushDone;
            }
            // The byte loop pushed a cut-off operand's partial value, then stopped.
            operands_.push_back(std::move(p));
            if (!in.ok()) break;
        }
    pushDone:
        a.extra = static_cast<uint32_t>(operands_.size()) - a.operand;
        break;
    }
    case 0x99:
    case 0x9D: {
        int16_t offset = static_cast<int16_t>(in.u16());
        if (!in.ok()) {
            a.extra = DecodedAction::kNone;
            break;
        }
        int64_t target = static_cast<int64_t>(a.next) + offset;
        if (target < 0 || target > static_cast<int64_t>(size)) {
            a.extra = DecodedAction::kOutside;
            break;
        }
        a.extra = static_cast<uint32_t>(target);
        queue(a.extra);
        break;
    }
    case 0x87: {
        uint8_t reg = in.u8();
        if (in.ok()) a.operand = reg;
        break;
    }
    case 0x88: {
        uint16_t count = in.u16();
        // Held as values, so each push of an entry shares its text.
        auto pool = std::make_shared<std::vector<Value>>();
        for (uint16_t i = 0; i < count && !in.atEnd(); ++i) pool->push_back(Value(in.str()));
        a.operand = static_cast<uint32_t>(pools_.size());
        pools_.push_back(std::move(pool));
        break;
    }
    case 0x9B:
    case 0x8E: {
        size_t bodySize = 0;
        a.operand = static_cast<uint32_t>(functions_.size());
        functions_.push_back(readFunction(bytes_, payload, a.op == 0x8E, code_.subspan(a.next), bodySize));
        break;
    }
    case 0x94: {  // With: its body runs nested, the block goes on after it
        size_t bodySize = in.u16();
        queue(a.next + bodySize);
        break;
    }
    case 0x8F: {  // Try: the catch and finally parts run nested, the block goes on after them
        uint8_t flagsByte = in.u8();
        (void)flagsByte;
        size_t trySize = in.u16(), catchSize = in.u16(), finallySize = in.u16();
        queue(a.next + trySize);
        queue(a.next + trySize + catchSize);
        queue(a.next + trySize + catchSize + finallySize);
        break;
    }
    default: break;
    }
}

std::shared_ptr<const DecodedBlock> DecodedBlockCache::get(const SharedBytes& code) {
    auto& slot = entries_[code.data()];
    for (const Entry& e : slot)
        if (e.bytes.size() == code.size()) return e.block;
    auto block = std::make_shared<const DecodedBlock>(code, code.span());
    size_t cost = block->footprint();
    if (cost > kMaxBytes) return block;  // too big to keep: decoded for this run only
    if (bytes_ + cost > kMaxBytes) {
        entries_.clear();
        bytes_ = 0;
    }
    entries_[code.data()].push_back({code, block});
    bytes_ += cost;
    return block;
}

}  // namespace swf::avm1
