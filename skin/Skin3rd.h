#pragma once
// Skin3rd: which skinning kind serves a control class the engine does not know by itself,
// as lines "ClassName=kind". Kinds compare without regard to case; "nil" means never skin.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::skin {

inline constexpr size_t kMaxSkin3rdKind = 50;
inline constexpr const char* kNeverSkinKind = "nil";

// The 118 lines a new skin data component starts with.
const std::vector<std::string>& defaultSkin3rd();

// The kind of the first line that starts with the class name and "=" (case-blind), at most 50
// characters; nothing when no line names the class.
std::optional<std::string> skin3rdKind(const std::vector<std::string>& lines, std::string_view className);

bool sameSkinKind(std::string_view a, std::string_view b);

}  // namespace velmora::skin
