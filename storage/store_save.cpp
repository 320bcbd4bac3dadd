#include "storage/store_save.h"

#include <system_error>
#include <thread>

namespace norvane {
namespace {

// Below this size the fingerprints take too little time to be worth a thread.
constexpr size_t kFingerprintAlongsideBytes = size_t{2} << 20;

}  // namespace

std::vector<Fingerprint> fingerprint_parts(std::span<const std::byte> image, size_t head_bytes, size_t record_bytes) {
  std::vector<Fingerprint> parts;
  if (image.size() < head_bytes) return parts;
  parts.reserve((head_bytes ? 1 : 0) + (image.size() - head_bytes) / record_bytes);
  if (head_bytes) parts.push_back(fingerprint_of(image.first(head_bytes)));
  for (size_t at = head_bytes; at + record_bytes <= image.size(); at += record_bytes)
    parts.push_back(fingerprint_of(image.subspan(at, record_bytes)));
  return parts;
}

SaveResult write_store_file(FileOps& ops, const std::string& path, std::span<const std::byte> image,
                            size_t head_bytes, size_t record_bytes) {
  // The fingerprints are needed only once the file is in place, so those of a large
  // image are taken while the disk works; both threads only read the image.
  std::vector<Fingerprint> parts;
  std::thread alongside;
  if (image.size() >= kFingerprintAlongsideBytes) {
    try {
      alongside = std::thread([&] { parts = fingerprint_parts(image, head_bytes, record_bytes); });
    } catch (const std::system_error&) {
      // No thread to be had: they are taken after the write instead.
    }
  }
  std::optional<FileIdentity> written;
  const SaveResult result = write_file_atomically(ops, path, image, kPrivateFileMode, &written);
  const bool taken = alongside.joinable();
  if (taken) alongside.join();
  // write_file_atomically forgot the old file; only a file known to be the one
  // written is remembered.
  if (result.ok() && written) {
    if (!taken) parts = fingerprint_parts(image, head_bytes, record_bytes);
    remember_stored_image(path, StoredImage{*written, std::move(parts)});
  }
  return result;
}

}  // namespace norvane
