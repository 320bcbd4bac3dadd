#include "core/record_block.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>

#include "core/page_memory.h"

namespace norvane {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kBlocksEnabled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kBlocksEnabled = false;
#else
constexpr bool kBlocksEnabled = true;
#endif
#else
constexpr bool kBlocksEnabled = true;
#endif

// Every mapped block: where it starts, how long it is, how many records live in it.
struct Block {
  std::size_t bytes = 0;
  std::size_t live = 0;
};

std::mutex& blocks_mutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<std::uintptr_t, Block>& blocks() {
  static auto* map = new std::map<std::uintptr_t, Block>();  // outlives static destructors
  return *map;
}

thread_local RecordBlockScope* open_scope = nullptr;

std::uintptr_t round_up(std::uintptr_t value, std::size_t to) { return (value + to - 1) / to * to; }

}  // namespace

RecordBlockScope::RecordBlockScope(std::size_t record_bytes, std::size_t count)
    : previous_(open_scope), record_bytes_(record_bytes) {
  open_scope = this;
  if (!kBlocksEnabled || record_bytes == 0 || count == 0 || count > SIZE_MAX / record_bytes) return;
  const std::size_t bytes = round_up(record_bytes * count, system_page_bytes());
  block_ = reinterpret_cast<char*>(map_pages(bytes, true));
  if (block_ == nullptr) return;
  next_ = block_;
  end_ = block_ + record_bytes * count;
  std::lock_guard<std::mutex> lock(blocks_mutex());
  blocks()[reinterpret_cast<std::uintptr_t>(block_)] = Block{bytes, 0};
}

RecordBlockScope::~RecordBlockScope() {
  open_scope = previous_;
  if (block_ == nullptr) return;
  // The pages no record reached go back now.
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(block_);
  const std::uintptr_t used_end = round_up(reinterpret_cast<std::uintptr_t>(next_), system_page_bytes());
  std::lock_guard<std::mutex> lock(blocks_mutex());
  auto it = blocks().find(start);
  Block& block = it->second;
  if (block.live == 0) {
    unmap_pages(reinterpret_cast<std::byte*>(block_), block.bytes);
    blocks().erase(it);
  } else if (used_end < start + block.bytes) {
    unmap_pages(reinterpret_cast<std::byte*>(used_end), start + block.bytes - used_end);
    block.bytes = used_end - start;
  }
}

void* allocate_record(std::size_t bytes) {
  RecordBlockScope* scope = open_scope;
  if (scope != nullptr && scope->block_ != nullptr && bytes == scope->record_bytes_ &&
      static_cast<std::size_t>(scope->end_ - scope->next_) >= bytes) {
    void* record = scope->next_;
    scope->next_ += bytes;
    std::lock_guard<std::mutex> lock(blocks_mutex());
    ++blocks()[reinterpret_cast<std::uintptr_t>(scope->block_)].live;
    return record;
  }
  if (void* record = std::malloc(bytes)) return record;
  throw std::bad_alloc();
}

void release_record(void* record, std::size_t bytes) noexcept {
  if (record == nullptr) return;
  const auto address = reinterpret_cast<std::uintptr_t>(record);
  {
    std::lock_guard<std::mutex> lock(blocks_mutex());
    auto& map = blocks();
    auto it = map.upper_bound(address);
    if (it != map.begin()) {
      --it;
      Block& block = it->second;
      if (address < it->first + block.bytes) {
        const bool filling = open_scope != nullptr && it->first == reinterpret_cast<std::uintptr_t>(open_scope->block_);
        if (--block.live == 0 && !filling) {
          unmap_pages(reinterpret_cast<std::byte*>(it->first), block.bytes);
          map.erase(it);
        } else {
          // The record's own pages go back now; its neighbours keep theirs.
          release_pages(static_cast<std::byte*>(record), bytes);
        }
        return;
      }
    }
  }
  std::free(record);
}

std::size_t record_blocks_in_use() {
  std::lock_guard<std::mutex> lock(blocks_mutex());
  return blocks().size();
}

}  // namespace norvane
