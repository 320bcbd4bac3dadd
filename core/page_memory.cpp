#include "core/page_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace norvane {
namespace {

std::uintptr_t round_up(std::uintptr_t value, std::size_t to) { return (value + to - 1) / to * to; }
std::uintptr_t round_down(std::uintptr_t value, std::size_t to) { return value / to * to; }

}  // namespace

std::size_t system_page_bytes() {
  static const std::size_t size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return size;
}

std::byte* map_pages(std::size_t bytes, bool huge) {
  if (bytes == 0 || bytes > SIZE_MAX - 2 * kHugePageBytes) return nullptr;
  bytes = round_up(bytes, system_page_bytes());
  // A huge page must start on a huge-page boundary: map one more and trim both ends.
  const std::size_t slack = huge ? kHugePageBytes : 0;
  void* raw = ::mmap(nullptr, bytes + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t at = huge ? round_up(start, kHugePageBytes) : start;
  if (at > start) ::munmap(raw, at - start);
  if (start + bytes + slack > at + bytes) ::munmap(reinterpret_cast<void*>(at + bytes), start + bytes + slack - (at + bytes));
  auto* data = reinterpret_cast<std::byte*>(at);
#ifdef MADV_HUGEPAGE
  if (huge) ::madvise(data, bytes, MADV_HUGEPAGE);  // a hint: fine when refused
#endif
#ifdef MADV_POPULATE_WRITE
  // Older kernels refuse it; the pages then come one by one as they are written.
  ::madvise(data, bytes, MADV_POPULATE_WRITE);
#endif
  return data;
}

void unmap_pages(std::byte* data, std::size_t bytes) {
  if (data != nullptr) ::munmap(data, round_up(bytes, system_page_bytes()));
}

void release_pages(std::byte* data, std::size_t bytes) {
  const std::uintptr_t from = round_up(reinterpret_cast<std::uintptr_t>(data), system_page_bytes());
  const std::uintptr_t to = round_down(reinterpret_cast<std::uintptr_t>(data) + bytes, system_page_bytes());
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

}  // namespace norvane
