#pragma once
// The registry of component classes by name, from which window definitions create children.
// Adding a class is one line, run before the first definition that names it:
//     vm::RegisterComponentClass<TNextGrid>("TNextGrid");
// (Explicit calls rather than static registrars: an unreferenced object file of a static
// library is never linked, and its registrar would silently never run.)
#include <functional>
#include <string>
#include <string_view>

#include "framework/Component.h"

namespace vm {

using TComponentFactory = std::function<TComponent*(TComponent* owner)>;

void RegisterComponentFactory(const std::string& className, TComponentFactory factory);
// nullptr when the class is unknown. The framework's own controls are always registered.
const TComponentFactory* FindComponentFactory(std::string_view className);

template <class T> void RegisterComponentClass(const std::string& className) {
    RegisterComponentFactory(className, [](TComponent* owner) -> TComponent* { return new T(owner); });
}

} // namespace vm
