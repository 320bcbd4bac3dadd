#pragma once
// The steps both store saves share once they hold the file's StoreFileLock: telling
// whether the list in memory is what the file already holds, part by part (the
// profile store's head block, then each record), and otherwise writing the image and
// remembering what was written (stored_image.h).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "storage/atomic_file.h"
#include "storage/file_ops.h"
#include "storage/fingerprint.h"
#include "storage/stored_image.h"

namespace norvane {

// Whether the `count` parts of a list in memory, `part(i)` giving the bytes of part i,
// are exactly `stored` (unchanged_stored_parts): each is fingerprinted and compared
// in turn, up to the first that differs. Part `likely_changed`, when there is one, is
// compared first: a save that follows an edit then stops after one part.
template <typename Part>
bool parts_match(const std::optional<std::vector<Fingerprint>>& stored, size_t count, Part&& part,
                 size_t likely_changed = SIZE_MAX) {
  if (!stored || stored->size() != count) return false;
  if (likely_changed < count && fingerprint_of(part(likely_changed)) != (*stored)[likely_changed]) return false;
  for (size_t i = 0; i < count; ++i)
    if (i != likely_changed && fingerprint_of(part(i)) != (*stored)[i]) return false;
  return true;
}

// The fingerprints of the parts of a store image made of a head block of
// `head_bytes` (0: none) followed by records of `record_bytes`, in file order.
std::vector<Fingerprint> fingerprint_parts(std::span<const std::byte> image, size_t head_bytes, size_t record_bytes);

// Writes `image` (parts as for fingerprint_parts) to `path` atomically; once it is in
// place, the fingerprints of its parts are remembered as what the file holds. Those
// of a large image are taken on a second thread while this one writes it. A failed
// save leaves the old file and nothing remembered, so the next save writes.
SaveResult write_store_file(FileOps& ops, const std::string& path, std::span<const std::byte> image,
                            size_t head_bytes, size_t record_bytes);

}  // namespace norvane
