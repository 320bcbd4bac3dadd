#pragma once
// The byte images of the two store files: the profile store is the head block followed
// by the profile records, the macro store the macro records alone, all in list order.

#include <cstddef>
#include <span>

#include "storage/record_names.h"

namespace norvane {

inline constexpr size_t kProfileStoreHeadBytes = sizeof(ProfileStoreHead);  // 507,724
inline constexpr size_t kProfileRecordBytes = sizeof(ProfileRecord);        // 101,544
inline constexpr size_t kMacroRecordBytes = sizeof(MacroRecord);            // 3,096

inline constexpr size_t profile_store_bytes(size_t profiles) {
  return kProfileStoreHeadBytes + profiles * kProfileRecordBytes;
}

inline constexpr size_t macro_store_bytes(size_t macros) { return macros * kMacroRecordBytes; }

// The most records a store may hold, far beyond any real use. A larger file is no
// store the program wrote: it is refused unread at load (it would take its size in
// memory twice over), and a save that would write one fails instead, so every store
// on disk stays loadable.
inline constexpr size_t kMaxStoredProfiles = 2000;
inline constexpr size_t kMaxStoredMacros = 20000;
inline constexpr size_t kMaxProfileStoreBytes = profile_store_bytes(kMaxStoredProfiles);  // 203,595,724
inline constexpr size_t kMaxMacroStoreBytes = macro_store_bytes(kMaxStoredMacros);        // 61,920,000

// Copy the images into `out`, which holds exactly profile_store_bytes(profiles.size())
// or macro_store_bytes(macros.size()) bytes.
void copy_profile_store_image(const ProfileStoreHead& head, const ProfileList& profiles, std::span<std::byte> out);
void copy_macro_store_image(const MacroLibrary& macros, std::span<std::byte> out);

}  // namespace norvane
