// Small text helpers of the engine.
#pragma once

#include <string>
#include <string_view>

namespace engine {

// ASCII upper case; other bytes unchanged. Names compare through it.
std::string UpperAscii(std::string_view s);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace engine
