#pragma once
// Link endpoints made of four callables, so the program can wire the driver libraries and
// the Bluetooth LE transport in without the protocol depending on either. A link without
// a callable takes nothing and answers 0.

#include <cstdint>
#include <functional>
#include <span>
#include <utility>

#include "protocol/link_endpoints.h"

namespace norvane {

using LinkWriteFn = std::function<int(std::span<const uint8_t> buffer)>;

class FunctionLinkEndpoints final : public LinkEndpoints {
 public:
  FunctionLinkEndpoints(LinkWriteFn wired, LinkWriteFn wireless, LinkWriteFn wireless_8k, LinkWriteFn ble)
      : wired_(std::move(wired)),
        wireless_(std::move(wireless)),
        wireless_8k_(std::move(wireless_8k)),
        ble_(std::move(ble)) {}

  int wired_set_feature(std::span<const uint8_t> b) override { return call(wired_, b); }
  int wireless_set_feature(std::span<const uint8_t> b) override { return call(wireless_, b); }
  int wireless_8k_write(std::span<const uint8_t> b) override { return call(wireless_8k_, b); }
  int ble_write(std::span<const uint8_t> b) override { return call(ble_, b); }

 private:
  static int call(const LinkWriteFn& fn, std::span<const uint8_t> b) { return fn ? fn(b) : 0; }

  LinkWriteFn wired_;
  LinkWriteFn wireless_;
  LinkWriteFn wireless_8k_;
  LinkWriteFn ble_;
};

}  // namespace norvane
