#pragma once
#include <stdexcept>
#include <string>

namespace velmora {
// Temporary until the framework's error type lands.
struct VelmoraError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
}  // namespace velmora
