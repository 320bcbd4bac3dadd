#pragma once
// Memory for records read from a store in bulk. A store of hundreds of profiles is
// tens of megabytes: allocated record by record and filled by `read`, every 4 KiB page
// costs the kernel a fault of its own, which on a virtual machine dominates the load.
// While a RecordBlockScope is open, this thread's records of the given size come one
// after another from a single mapping made for the whole count: asked for huge pages
// and filled in in one go, with the unused end given back when the scope closes. A
// record from a block goes back to it when deleted (its pages are released at once);
// the mapping goes when its last record does. Everything else is an ordinary
// allocation.
//
// Records opt in with class operators new and delete that call allocate_record and
// release_record. Under AddressSanitizer the scope does nothing, so every record stays
// under its watch.

#include <cstddef>
#include <new>

namespace norvane {

class RecordBlockScope {
 public:
  RecordBlockScope(std::size_t record_bytes, std::size_t count);
  ~RecordBlockScope();
  RecordBlockScope(const RecordBlockScope&) = delete;
  RecordBlockScope& operator=(const RecordBlockScope&) = delete;

 private:
  RecordBlockScope* previous_;
  std::size_t record_bytes_;
  char* next_ = nullptr;  // the next record's place in the block
  char* end_ = nullptr;   // the end of the block's records
  char* block_ = nullptr;

  friend void* allocate_record(std::size_t bytes);
  friend void release_record(void* record, std::size_t bytes) noexcept;
};

// The records' operator new and delete. Thread-safe.
void* allocate_record(std::size_t bytes);
void release_record(void* record, std::size_t bytes) noexcept;

// How many blocks are mapped now (for tests).
std::size_t record_blocks_in_use();

}  // namespace norvane
