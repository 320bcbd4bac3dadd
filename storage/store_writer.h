#pragma once
// StoreWriter: one thread that writes the store files, so that no save blocks the
// window or the apply worker however large the store or slow the disk.
//
// A save is queued and the call returns at once. Saves of one file never pile up:
// a save queued while an earlier one of the same file still waits replaces it, and
// the profile list is copied only when its write starts, so a burst of saves writes
// the latest list once (the last copy wins). Each save ends in an outcome handed to
// the outcome handler on the writer thread; a failed save leaves the old file whole
// and is tried again with the next save of that file.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "core/macro_library.h"
#include "core/profile_state.h"
#include "storage/atomic_file.h"
#include "storage/file_ops.h"
#include "storage/image_buffer.h"

namespace norvane {

struct StoreSaveOutcome {
  std::string folder;  // the store folder, as given to the save
  std::string path;    // the store file
  SaveResult result;
};

class StoreWriter {
 public:
  using OutcomeHandler = std::function<void(const StoreSaveOutcome&)>;

  // `ops`: the file-system calls of every write (null: the real ones); it must
  // outlive the writer.
  explicit StoreWriter(FileOps* ops = nullptr);
  // Writes what is queued, then stops the thread.
  ~StoreWriter();
  StoreWriter(const StoreWriter&) = delete;
  StoreWriter& operator=(const StoreWriter&) = delete;

  // Queues a save of the profile store of `page` in `folder`. The list is copied on
  // the writer thread under `page.mutex` when the write starts; `page` must outlive
  // the save (wait_idle(), or destroy the writer first). Any thread; do not hold
  // `page.mutex` across the call.
  void save_profile_store(const ProfileState& page, const std::string& folder);

  // Queues a save of the macro store. The library belongs to the UI thread and has no
  // lock, so its image is copied here, on the calling thread.
  void save_macro_store(const MacroLibrary& library, const std::string& folder);

  // Returns once every save queued before the call has been written or has failed.
  void wait_idle();

  // Receives the outcome of every save, on the writer thread. Set it before the first
  // save; it must stay valid until the writer is gone or idle.
  void set_outcome_handler(OutcomeHandler handler);

 private:
  struct Job {
    std::string folder;
    std::string path;
    const ProfileState* profiles = nullptr;  // a profile store save
    ImageBuffer image;                       // a macro store save: the image to write
    size_t macro_count = 0;
  };

  void queue(Job job);
  void run();
  SaveResult write(Job& job);

  FileOps& ops_;
  OutcomeHandler handler_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> jobs_;  // at most one per file, in the order first queued
  bool writing_ = false;
  bool stopping_ = false;
  std::thread thread_;  // last: started once everything above exists
};

}  // namespace norvane
