#pragma once
// What the last load or save of each store file left on disk, remembered without a
// copy of its bytes: the file's identity (file_identity.h) and a fingerprint of each
// of its parts in file order (the profile store's head block, then every record). A
// save whose parts all match writes nothing.
//
// The memory is only trusted while the path still names the same, unwritten file: a
// file replaced, deleted, moved aside or written by anyone since (another program,
// an import or export over it, a recovery) makes the next save write. Every write
// through write_file_atomically forgets the memory of its path; the store saves
// remember the file they wrote once it is in place, and forget it when a save fails.
//
// Process-wide, keyed by the path as the store spells it; any thread.

#include <optional>
#include <string>
#include <vector>

#include "storage/file_identity.h"
#include "storage/fingerprint.h"

namespace norvane {

struct StoredImage {
  FileIdentity file;                // the file as the load or save left it
  std::vector<Fingerprint> parts;  // what it holds, part by part in file order
};

void remember_stored_image(const std::string& path, StoredImage image);
void forget_stored_image(const std::string& path);

// The fingerprints of what `path` holds, when it is still the remembered file exactly
// as it was left (one stat of the path); otherwise nothing, and the memory is dropped.
std::optional<std::vector<Fingerprint>> unchanged_stored_parts(const std::string& path);

}  // namespace norvane
