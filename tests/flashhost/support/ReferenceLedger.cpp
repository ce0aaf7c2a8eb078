#include "ReferenceLedger.h"

namespace vm::test {

long ReferenceLedger::Count(const std::string& name) const
{
    auto it = counts_.find(name);
    return it == counts_.end() ? 0 : it->second;
}

long ReferenceLedger::Total() const
{
    long total = 0;
    for (const auto& [name, count] : counts_) total += count;
    return total;
}

std::map<std::string, long> ReferenceLedger::Outstanding() const
{
    std::map<std::string, long> outstanding;
    for (const auto& [name, count] : counts_)
        if (count != 0) outstanding[name] = count;
    return outstanding;
}

} // namespace vm::test
