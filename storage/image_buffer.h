#pragma once
// The memory a store's byte image is copied into for one save: taken from the system
// for that save and given back whole when the buffer goes, so no copy of a store stays
// in memory between saves (memory from the allocator may be kept by the process and
// stay resident after it is freed). A buffer of 512 KB or more is backed by huge pages
// where the system offers them, and every buffer's pages are had in one call: taking
// a fresh buffer's small pages one by one costs more than writing the image to disk.

#include <cstddef>
#include <span>

namespace norvane {

class ImageBuffer {
 public:
  ImageBuffer() = default;
  // `size` bytes of unspecified content; check ok(), the system may refuse.
  explicit ImageBuffer(size_t size);
  ~ImageBuffer();
  ImageBuffer(ImageBuffer&& other) noexcept;
  ImageBuffer& operator=(ImageBuffer&& other) noexcept;
  ImageBuffer(const ImageBuffer&) = delete;
  ImageBuffer& operator=(const ImageBuffer&) = delete;

  // False when the memory could not be had; an empty buffer is always ok.
  bool ok() const { return data_ != nullptr || size_ == 0; }
  std::span<std::byte> bytes() { return {static_cast<std::byte*>(data_), ok() ? size_ : 0}; }
  std::span<const std::byte> bytes() const { return {static_cast<const std::byte*>(data_), ok() ? size_ : 0}; }

 private:
  void release();

  void* data_ = nullptr;
  size_t size_ = 0;
  size_t mapped_ = 0;  // bytes mapped, size_ rounded up
};

}  // namespace norvane
