#pragma once
// An ApplyHost that writes down what the apply asked of the page, in order.

#include <functional>
#include <string>
#include <vector>

#include "protocol/apply_host.h"

namespace norvane::test {

class RecordingApplyHost final : public ApplyHost {
 public:
  void kill_watchdogs() override { calls.push_back("kill watchdogs"); }
  void restart_watchdogs() override { calls.push_back("restart watchdogs"); }
  void show_apply_ring(bool visible) override { calls.push_back(visible ? "show ring" : "hide ring"); }
  void save_profile_store() override {
    calls.push_back("save");
    if (on_save) on_save();
  }

  size_t saves() const {
    size_t n = 0;
    for (const auto& c : calls) n += c == "save";
    return n;
  }

  void report_macro_overlaps(const std::vector<MacroOverlap>& overlaps) override {
    overlap_reports.push_back(overlaps);
  }

  std::vector<std::string> calls;
  std::function<void()> on_save;
  std::vector<std::vector<MacroOverlap>> overlap_reports;
};

}  // namespace norvane::test
