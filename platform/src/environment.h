#ifndef PLATFORM_SRC_ENVIRONMENT_H
#define PLATFORM_SRC_ENVIRONMENT_H

// The environment as the C library's locale and gettext read it.

#include <cstddef>
#include <cstdlib>

namespace platform {

// The first of `variables` that is set and not empty, or "".
template <std::size_t N>
const char* FirstSet(const char* const (&variables)[N]) {
  for (const char* variable : variables) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0') return value;
  }
  return "";
}

}  // namespace platform

#endif  // PLATFORM_SRC_ENVIRONMENT_H
