#include "SkinManagerSeam.h"

#include <utility>

namespace vm {

namespace {
ISkinManager* current = nullptr;
}

ISkinManager* SkinManager() { return current; }

ISkinManager* SetSkinManager(ISkinManager* manager) { return std::exchange(current, manager); }

}  // namespace vm
