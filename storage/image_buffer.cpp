#include "storage/image_buffer.h"

#include <sys/mman.h>

#include <cstdint>
#include <utility>

namespace norvane {
namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// From this size on an image gets huge pages: even one of them, mostly unused, is had
// and given back faster than this many bytes of small pages.
constexpr size_t kHugePagesFrom = size_t{512} << 10;

size_t round_up(size_t size, size_t unit) { return (size + unit - 1) / unit * unit; }

}  // namespace

ImageBuffer::ImageBuffer(size_t size) : size_(size) {
  if (size == 0) return;
  // Whole huge pages for a large image, so it can have them; small pages otherwise.
  const size_t unit = size >= kHugePagesFrom ? kHugePage : 4096;
  // A huge page must start on a huge-page boundary: map one more and trim both ends.
  const size_t slack = unit == kHugePage ? kHugePage : 0;
  mapped_ = round_up(size, unit);
  if (mapped_ < size || mapped_ > SIZE_MAX - slack) {  // beyond any address space: refused
    mapped_ = 0;
    return;
  }
  void* mapped = ::mmap(nullptr, mapped_ + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) {
    mapped_ = 0;
    return;
  }
  auto* start = static_cast<std::byte*>(mapped);
  auto* at = start;
  if (slack) {
    at = reinterpret_cast<std::byte*>(round_up(reinterpret_cast<uintptr_t>(start), kHugePage));
    if (at > start) ::munmap(start, static_cast<size_t>(at - start));
    if (at + mapped_ < start + mapped_ + slack)
      ::munmap(at + mapped_, static_cast<size_t>(start + mapped_ + slack - (at + mapped_)));
  }
  data_ = at;
#ifdef MADV_HUGEPAGE
  if (unit == kHugePage) ::madvise(at, mapped_, MADV_HUGEPAGE);  // a hint: fine when refused
#endif
#ifdef MADV_POPULATE_WRITE
  // One call instead of one page fault per page; older kernels refuse it and the
  // pages then come one by one as the image is copied in.
  ::madvise(at, mapped_, MADV_POPULATE_WRITE);
#endif
}

ImageBuffer::~ImageBuffer() { release(); }

ImageBuffer::ImageBuffer(ImageBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

ImageBuffer& ImageBuffer::operator=(ImageBuffer&& other) noexcept {
  if (this != &other) {
    release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapped_ = std::exchange(other.mapped_, 0);
  }
  return *this;
}

void ImageBuffer::release() {
  if (data_) ::munmap(data_, mapped_);
  data_ = nullptr;
  size_ = 0;
  mapped_ = 0;
}

}  // namespace norvane
