#include "storage/store_writer.h"

#include <algorithm>

#include "storage/macro_store.h"
#include "storage/profile_store.h"
#include "storage/store_image.h"

namespace norvane {

StoreWriter::StoreWriter(FileOps* ops) : ops_(file_ops_or_posix(ops)), thread_([this] { run(); }) {}

StoreWriter::~StoreWriter() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void StoreWriter::set_outcome_handler(OutcomeHandler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  handler_ = std::move(handler);
}

void StoreWriter::save_profile_store(const ProfileState& page, const std::string& folder) {
  Job job;
  job.folder = folder;
  job.path = store_file_path(folder, kProfileStoreFileName);
  job.profiles = &page;
  queue(std::move(job));
}

void StoreWriter::save_macro_store(const MacroLibrary& library, const std::string& folder) {
  Job job;
  job.folder = folder;
  job.path = store_file_path(folder, kMacroStoreFileName);
  job.macro_count = library.size();
  if (library.size() <= kMaxStoredMacros) {
    job.image = ImageBuffer(macro_store_bytes(library.size()));
    if (job.image.ok()) copy_macro_store_image(library, job.image.bytes());
  }
  queue(std::move(job));
}

void StoreWriter::queue(Job job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto waiting = std::find_if(jobs_.begin(), jobs_.end(), [&](const Job& j) { return j.path == job.path; });
    if (waiting != jobs_.end()) {
      *waiting = std::move(job);  // not started yet: the newer save takes its place
    } else {
      jobs_.push_back(std::move(job));
    }
  }
  changed_.notify_all();
}

void StoreWriter::wait_idle() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return jobs_.empty() && !writing_; });
}

void StoreWriter::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (jobs_.empty()) return;  // stopping, and everything queued is written
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    writing_ = true;
    lock.unlock();

    StoreSaveOutcome outcome{job.folder, job.path, write(job)};
    job = Job{};  // the image goes before the next wait, not with the next job

    lock.lock();
    const OutcomeHandler handler = handler_;
    lock.unlock();
    if (handler) handler(outcome);
    lock.lock();
    writing_ = false;
    changed_.notify_all();
  }
}

SaveResult StoreWriter::write(Job& job) {
  if (job.profiles) return norvane::save_profile_store(*job.profiles, job.folder, &ops_);
  return save_macro_store_image(std::move(job.image), job.macro_count, job.path, &ops_);
}

}  // namespace norvane
