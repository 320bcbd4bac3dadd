#include "storage/store_image.h"

#include <cstring>

namespace norvane {

void copy_profile_store_image(const ProfileStoreHead& head, const ProfileList& profiles, std::span<std::byte> out) {
  std::byte* at = out.data();
  std::memcpy(at, &head, kProfileStoreHeadBytes);
  at += kProfileStoreHeadBytes;
  for (const auto& profile : profiles) {
    std::memcpy(at, profile.get(), kProfileRecordBytes);
    at += kProfileRecordBytes;
  }
}

void copy_macro_store_image(const MacroLibrary& macros, std::span<std::byte> out) {
  std::byte* at = out.data();
  for (const auto& macro : macros) {
    std::memcpy(at, macro.get(), kMacroRecordBytes);
    at += kMacroRecordBytes;
  }
}

}  // namespace norvane
