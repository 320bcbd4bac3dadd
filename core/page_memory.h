#pragma once
// Memory taken straight from the system, for data large enough that how its pages
// arrive matters: given back to the system whole when unmapped (memory from the
// allocator may stay with the process after it is freed), its pages had in one call
// rather than one fault per 4 KiB page, and huge pages asked for where they pay.

#include <cstddef>

namespace norvane {

inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// `bytes` rounded up to whole pages, filled in at once where the kernel can (its
// content unspecified). With `huge`, the mapping starts on a huge-page boundary and is
// asked for huge pages. Null when the system refuses; unmap with the same `bytes`.
std::byte* map_pages(std::size_t bytes, bool huge);
void unmap_pages(std::byte* data, std::size_t bytes);
// Gives back the pages wholly inside [data, data + bytes) and keeps the mapping.
void release_pages(std::byte* data, std::size_t bytes);

std::size_t system_page_bytes();

}  // namespace norvane
