#pragma once
// Reports and link frames built by hand from the mouse's report and framing
// tables, for feeding the virtual mouse.

#include <cstddef>
#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The 16-bit sum of bytes first..last stored high byte first at `at`.
void put_sum(Bytes& bytes, size_t first, size_t last, size_t at);

// A 111-byte macro chunk for `block` with the given header bytes 3..7 and
// entry bytes; byte 8 counts the entries in 2-byte units, bytes 109, 110 sum.
Bytes macro_chunk(uint8_t block, const uint8_t (&header)[5], const Bytes& entries);

// The 64-byte parts of a chunk: two for the cable, three for 2.4 GHz.
std::vector<Bytes> cable_parts(const Bytes& chunk);
std::vector<Bytes> radio_parts(const Bytes& chunk);
// A report in the 8 kHz general frame, and a chunk in its two macro frames.
Bytes frame_8k(const Bytes& report);
std::vector<Bytes> macro_frames_8k(const Bytes& chunk);
