#pragma once
// Reference accounting of the test Flash control, by interface name: what it handed out to the
// host (and the host has not released yet), and what it holds of the host's site (and has not
// released yet). After the host is gone, both must be empty: anything left is a leak on one
// side or the other, and the name says which interface leaked.
#include <map>
#include <string>
#include <utility>

namespace vm::test {

class ReferenceLedger {
public:
    void Take(const std::string& name) { ++counts_[name]; }
    void Drop(const std::string& name) { --counts_[name]; }
    long Count(const std::string& name) const;
    long Total() const;
    // Every name whose count is not zero (negative: released more often than taken).
    std::map<std::string, long> Outstanding() const;

private:
    std::map<std::string, long> counts_;
};

// A reference the control holds on one of the host's interfaces, booked in a ledger under a
// name. It is released only by Reset: the destructor leaves it alone, because by the time a test
// discards a control the host it points into may be gone.
template <class T>
class SiteReference {
public:
    SiteReference(ReferenceLedger& ledger, std::string name) : ledger_(&ledger), name_(std::move(name)) {}
    SiteReference(SiteReference&& other) noexcept
        : ledger_(other.ledger_), name_(std::move(other.name_)), ptr_(std::exchange(other.ptr_, nullptr)) {}
    SiteReference& operator=(SiteReference&& other) noexcept
    {
        if (this != &other) {
            Reset();
            ledger_ = other.ledger_;
            name_ = std::move(other.name_);
            ptr_ = std::exchange(other.ptr_, nullptr);
        }
        return *this;
    }
    SiteReference(const SiteReference&) = delete;
    SiteReference& operator=(const SiteReference&) = delete;

    // Takes a reference of its own on `raw`.
    void Hold(T* raw) { Reset(); if (raw) { raw->AddRef(); Book(raw); } }
    // Takes over a reference that a call gave out (an out parameter).
    void Adopt(T* raw) { Reset(); if (raw) Book(raw); }
    void Reset()
    {
        if (T* p = std::exchange(ptr_, nullptr)) {
            ledger_->Drop(name_);
            p->Release();
        }
    }
    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }

private:
    void Book(T* raw) { ptr_ = raw; ledger_->Take(name_); }

    ReferenceLedger* ledger_;
    std::string name_;
    T* ptr_ = nullptr;
};

} // namespace vm::test
