#pragma once
// printf-style formatting into a std::string, for the short notes of loads and repairs.

#include <cstdio>
#include <string>

namespace norvane {

template <typename... Args>
std::string format_text(const char* pattern, Args... args) {
  const int needed = std::snprintf(nullptr, 0, pattern, args...);
  if (needed <= 0) return {};
  std::string text(static_cast<size_t>(needed) + 1, '\0');
  std::snprintf(text.data(), text.size(), pattern, args...);
  text.resize(static_cast<size_t>(needed));
  return text;
}

}  // namespace norvane
