#include "storage/stored_image.h"

#include <map>
#include <mutex>
#include <utility>

namespace norvane {
namespace {

struct Memory {
  std::mutex mutex;
  std::map<std::string, StoredImage> images;
};

Memory& memory() {
  static Memory instance;
  return instance;
}

}  // namespace

void remember_stored_image(const std::string& path, StoredImage image) {
  Memory& m = memory();
  std::lock_guard<std::mutex> lock(m.mutex);
  m.images.insert_or_assign(path, std::move(image));
}

void forget_stored_image(const std::string& path) {
  Memory& m = memory();
  std::lock_guard<std::mutex> lock(m.mutex);
  m.images.erase(path);
}

std::optional<std::vector<Fingerprint>> unchanged_stored_parts(const std::string& path) {
  Memory& m = memory();
  {
    std::lock_guard<std::mutex> lock(m.mutex);
    if (m.images.find(path) == m.images.end()) return std::nullopt;
  }
  // Looked at outside the lock: a stat may wait on a slow disk.
  const std::optional<FileIdentity> now = identity_of_path(path);
  std::lock_guard<std::mutex> lock(m.mutex);
  auto it = m.images.find(path);
  if (it == m.images.end()) return std::nullopt;
  if (!now || *now != it->second.file) {
    m.images.erase(it);
    return std::nullopt;
  }
  return it->second.parts;
}

}  // namespace norvane
