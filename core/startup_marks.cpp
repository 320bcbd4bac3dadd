#include "core/startup_marks.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace norvane {

bool startup_marks_wanted() {
  static const bool wanted = std::getenv(kStartupReportVariable) != nullptr;
  return wanted;
}

void startup_mark(const char* name) {
  if (!startup_marks_wanted()) return;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const double ms = static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
  std::fprintf(stderr, "%s%s at %.3f\n", kStartupMarkPrefix, name, ms);
  std::fflush(stderr);
}

}  // namespace norvane
