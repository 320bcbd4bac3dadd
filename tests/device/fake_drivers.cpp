#include "tests/device/fake_drivers.h"

namespace norvane::testing {

void FakeDriverLink::log(const std::string& call) { owner_.calls.push_back(name_ + "." + call); }

void FakeDriverLink::open_monitor(NvPostTarget* target, uint32_t event_message, uint32_t link_message) {
  log("open_monitor");
  target_ = target;
  event_message_ = event_message;
  link_message_ = link_message;
}

void FakeDriverLink::close_monitor() {
  log("close_monitor");
  target_ = nullptr;
}

int FakeDriverLink::open_feature_device() {
  log("open_feature");
  return present && refuse_open == 0 ? 1 : 0;
}

int FakeDriverLink::open_report_device() {
  log("open_report");
  return present && refuse_open == 0 ? 1 : 0;
}

void FakeDriverLink::post(uint32_t message, uintptr_t wparam, intptr_t lparam) {
  if (target_) target_->post(target_->context, message, wparam, lparam);
}

void FakeDriverLink::plug() {
  present = true;
  post(link_message_, 1, 0);
}

void FakeDriverLink::unplug() {
  present = false;
  post(link_message_, 0, 0);
}

void FakeDriverLink::send_event(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
  post(event_message_, static_cast<uintptr_t>(b0 | (b1 << 8)), static_cast<intptr_t>(b2 | (b3 << 8)));
}

std::vector<std::string> FakeDriverLinks::calls_with(const std::string& part) const {
  std::vector<std::string> found;
  for (const std::string& call : calls)
    if (call.find(part) != std::string::npos) found.push_back(call);
  return found;
}

}  // namespace norvane::testing
