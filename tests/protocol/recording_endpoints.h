#pragma once
// Link endpoints that record every transfer and answer with configurable results.
// `on_transfer` runs inside each call, to play the part of the mouse or the UI thread.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "protocol/link_endpoints.h"

namespace norvane::test {

enum class Link { wired, wireless, wireless_8k, ble };

struct Transfer {
  Link link;
  std::vector<uint8_t> bytes;
};

class RecordingEndpoints final : public LinkEndpoints {
 public:
  int wired_set_feature(std::span<const uint8_t> b) override { return record(Link::wired, b, wired_result); }
  int wireless_set_feature(std::span<const uint8_t> b) override { return record(Link::wireless, b, wireless_result); }
  int wireless_8k_write(std::span<const uint8_t> b) override { return record(Link::wireless_8k, b, wireless_8k_result); }
  int ble_write(std::span<const uint8_t> b) override { return record(Link::ble, b, ble_result); }

  size_t count(Link link) const {
    size_t n = 0;
    for (const Transfer& t : transfers) n += t.link == link;
    return n;
  }

  std::vector<Transfer> transfers;
  int wired_result = 1;
  int wireless_result = 1;
  int wireless_8k_result = 1;
  int ble_result = 1;
  // Result of each wired call by its position among the wired calls, when set.
  std::function<int(size_t wired_call)> wired_result_for;
  std::function<void(const Transfer&)> on_transfer;

 private:
  // The result is read after `on_transfer`, so a script may set it per call.
  int record(Link link, std::span<const uint8_t> b, const int& result) {
    transfers.push_back({link, std::vector<uint8_t>(b.begin(), b.end())});
    if (on_transfer) on_transfer(transfers.back());
    if (link == Link::wired && wired_result_for) return wired_result_for(count(Link::wired) - 1);
    return result;
  }
};

}  // namespace norvane::test
