#include "hand_built_reports.h"

#include <algorithm>

void put_sum(Bytes& bytes, size_t first, size_t last, size_t at) {
  unsigned sum = 0;
  for (size_t i = first; i <= last; ++i) sum += bytes[i];
  bytes[at] = static_cast<uint8_t>(sum >> 8 & 0xFF);
  bytes[at + 1] = static_cast<uint8_t>(sum & 0xFF);
}

Bytes macro_chunk(uint8_t block, const uint8_t (&header)[5], const Bytes& entries) {
  Bytes chunk(111, 0);
  chunk[0] = 0x09;
  chunk[1] = 0x6F;
  chunk[2] = block;
  std::copy(header, header + 5, chunk.begin() + 3);
  chunk[8] = static_cast<uint8_t>(entries.size() / 2);
  std::copy(entries.begin(), entries.end(), chunk.begin() + 9);
  put_sum(chunk, 3, 108, 109);
  return chunk;
}

std::vector<Bytes> cable_parts(const Bytes& chunk) {
  Bytes first(64, 0), second(64, 0);
  first[0] = second[0] = 0x09;
  first[1] = second[1] = 0x40;
  first[2] = second[2] = chunk[2];
  first[3] = 0;
  second[3] = 1;
  std::copy(chunk.begin() + 3, chunk.begin() + 63, first.begin() + 4);
  std::copy(chunk.begin() + 63, chunk.begin() + 111, second.begin() + 4);
  return {first, second};
}

std::vector<Bytes> radio_parts(const Bytes& chunk) {
  std::vector<Bytes> parts = cable_parts(chunk);
  Bytes third(64, 0);
  third[0] = 0x09;
  third[1] = 0x0C;
  third[2] = chunk[2];
  third[3] = 2;
  parts.push_back(third);
  return parts;
}

Bytes frame_8k(const Bytes& report) {
  Bytes frame(65, 0);
  const size_t length = report.size();
  frame[0] = 0x04;
  frame[1] = static_cast<uint8_t>(length + 5);
  frame[2] = 0x00;
  std::copy(report.begin(), report.end(), frame.begin() + 3);
  put_sum(frame, 0, length + 2, length + 3);
  return frame;
}

std::vector<Bytes> macro_frames_8k(const Bytes& chunk) {
  Bytes first(65, 0), second(65, 0);
  first[0] = second[0] = 0x04;
  first[1] = 0x40;
  first[2] = 0x00;
  std::copy(chunk.begin(), chunk.begin() + 59, first.begin() + 3);
  put_sum(first, 0, 61, 62);
  second[1] = 0x39;
  second[2] = 0x01;
  std::copy(chunk.begin() + 59, chunk.begin() + 111, second.begin() + 3);
  put_sum(second, 0, 54, 55);
  return {first, second};
}
