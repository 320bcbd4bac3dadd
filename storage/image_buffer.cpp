#include "storage/image_buffer.h"

#include <cstdint>
#include <utility>

#include "core/page_memory.h"

namespace norvane {
namespace {

// From this size on an image gets huge pages: even one of them, mostly unused, is had
// and given back faster than this many bytes of small pages.
constexpr size_t kHugePagesFrom = size_t{512} << 10;

size_t round_up(size_t size, size_t unit) { return (size + unit - 1) / unit * unit; }

}  // namespace

ImageBuffer::ImageBuffer(size_t size) : size_(size) {
  if (size == 0) return;
  // Whole huge pages for a large image, so it can have them; small pages otherwise.
  const bool huge = size >= kHugePagesFrom;
  mapped_ = huge ? round_up(size, kHugePageBytes) : size;
  if (mapped_ < size) {  // beyond any address space: refused
    mapped_ = 0;
    return;
  }
  data_ = map_pages(mapped_, huge);
  if (data_ == nullptr) mapped_ = 0;
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
  if (data_) unmap_pages(static_cast<std::byte*>(data_), mapped_);
  data_ = nullptr;
  size_ = 0;
  mapped_ = 0;
}

}  // namespace norvane
