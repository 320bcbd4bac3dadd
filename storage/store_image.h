#pragma once
// The byte images of the two store files: the profile store is the head block followed
// by the profile records, the macro store the macro records alone, all in list order.

#include <cstddef>
#include <memory>
#include <span>

#include "storage/record_names.h"

namespace norvane {

inline constexpr size_t kProfileStoreHeadBytes = sizeof(ProfileStoreHead);  // 507,724
inline constexpr size_t kProfileRecordBytes = sizeof(ProfileRecord);        // 101,544
inline constexpr size_t kMacroRecordBytes = sizeof(MacroRecord);            // 3,096

inline constexpr size_t profile_store_bytes(size_t profiles) {
  return kProfileStoreHeadBytes + profiles * kProfileRecordBytes;
}

// A buffer the size of one store file.
class ByteImage {
 public:
  explicit ByteImage(size_t size) : data_(std::make_unique_for_overwrite<std::byte[]>(size)), size_(size) {}
  std::byte* data() { return data_.get(); }
  std::span<const std::byte> bytes() const { return {data_.get(), size_}; }

 private:
  std::unique_ptr<std::byte[]> data_;
  size_t size_;
};

ByteImage profile_store_image(const ProfileStoreHead& head, const ProfileList& profiles);
ByteImage macro_store_image(const MacroLibrary& macros);

}  // namespace norvane
