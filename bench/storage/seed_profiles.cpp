// Writes a profile store of N default profiles ("Profile 1" .. "Profile N", the middle
// one selected) into a folder, so the start-up can be measured with many profiles
// (bench/startup/measure_startup.py).
//
//   seed_profiles FOLDER N
#include <cstdio>
#include <cstdlib>
#include <string>

#include "storage/profile_store.h"

int main(int argc, char** argv) {
  using namespace norvane;
  const long count = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 0;
  if (count < 1 || count > 2000) {
    std::fprintf(stderr, "usage: seed_profiles FOLDER N   (1 <= N <= 2000)\n");
    return 2;
  }
  ProfileState page;
  for (long i = 0; i < count; ++i) create_default_profile(page.profiles, u"Profile ");
  page.head->selected_profile_index = static_cast<int32_t>(count / 2);
  const SaveResult saved = save_profile_store(page, argv[1]);
  if (!saved) {
    std::fprintf(stderr, "seed_profiles: %s\n", saved.detail.c_str());
    return 1;
  }
  return 0;
}
