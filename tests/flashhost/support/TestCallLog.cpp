#include "TestCallLog.h"

namespace vm::test {

std::vector<std::string> FlashCallLog::Names(const std::string& prefix) const
{
    std::vector<std::string> names;
    for (const auto& call : calls_)
        if (call.name.compare(0, prefix.size(), prefix) == 0) names.push_back(call.name);
    return names;
}

int FlashCallLog::Count(const std::string& name) const
{
    int count = 0;
    for (const auto& call : calls_) count += call.name == name ? 1 : 0;
    return count;
}

const FlashCall* FlashCallLog::First(const std::string& name) const
{
    for (const auto& call : calls_)
        if (call.name == name) return &call;
    return nullptr;
}

const FlashCall* FlashCallLog::Last(const std::string& name) const
{
    for (auto it = calls_.rbegin(); it != calls_.rend(); ++it)
        if (it->name == name) return &*it;
    return nullptr;
}

int FlashCallLog::IndexOf(const std::string& name) const
{
    for (std::size_t i = 0; i < calls_.size(); ++i)
        if (calls_[i].name == name) return static_cast<int>(i);
    return -1;
}

} // namespace vm::test
