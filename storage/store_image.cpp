#include "storage/store_image.h"

#include <cstring>

namespace norvane {

ByteImage profile_store_image(const ProfileStoreHead& head, const ProfileList& profiles) {
  ByteImage image(profile_store_bytes(profiles.size()));
  std::byte* out = image.data();
  std::memcpy(out, &head, kProfileStoreHeadBytes);
  out += kProfileStoreHeadBytes;
  for (const auto& profile : profiles) {
    std::memcpy(out, profile.get(), kProfileRecordBytes);
    out += kProfileRecordBytes;
  }
  return image;
}

ByteImage macro_store_image(const MacroLibrary& macros) {
  ByteImage image(macros.size() * kMacroRecordBytes);
  std::byte* out = image.data();
  for (const auto& macro : macros) {
    std::memcpy(out, macro.get(), kMacroRecordBytes);
    out += kMacroRecordBytes;
  }
  return image;
}

}  // namespace norvane
