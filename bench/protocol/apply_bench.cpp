// CPU cost of one apply with the link pauses switched off: the section comparison, every
// settings report, the button mapping and five full macros through the report sender,
// beside one plain comparison of two whole records.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "core/profile_defaults.h"
#include "protocol/apply_host.h"
#include "protocol/report_sender.h"
#include "protocol/settings_applier.h"

namespace norvane {
namespace {

class NoPauseClock final : public Clock {
 public:
  void sleep_ms(int ms) override { slept += ms; }
  int64_t now_ms() const override { return slept; }
  int64_t slept = 0;
};

class CountingEndpoints final : public LinkEndpoints {
 public:
  int wired_set_feature(std::span<const uint8_t> b) override { return count(b); }
  int wireless_set_feature(std::span<const uint8_t> b) override { return count(b); }
  int wireless_8k_write(std::span<const uint8_t> b) override { return count(b); }
  int ble_write(std::span<const uint8_t> b) override { return count(b); }
  int64_t transfers = 0;
  int64_t bytes = 0;

 private:
  int count(std::span<const uint8_t> b) {
    ++transfers;
    bytes += static_cast<int64_t>(b.size());
    benchmark::DoNotOptimize(b.data());
    return 1;
  }
};

class QuietHost final : public ApplyHost {
 public:
  void kill_watchdogs() override {}
  void restart_watchdogs() override {}
  void show_apply_ring(bool) override {}
  void save_profile_store() override {}
};

// A default profile with a full macro (190 long-delay movements) on each of the five
// buttons that have a macro block of their own.
std::unique_ptr<ProfileRecord> profile_with_five_full_macros() {
  auto record = std::make_unique<ProfileRecord>();
  reset_profile_defaults(*record);
  for (int slot : {0, 1, 2, 6, 7}) {
    ButtonSlot& s = record->buttons[slot];
    s.function = kFunctionMacro;
    s.macro_repeat = 2;
    s.macro_event_count = kMaxMacroEvents;
    for (int i = 0; i < kMaxMacroEvents; ++i) {
      s.macro_events[i].kind = kKindMove;
      s.macro_events[i].delay = static_cast<uint16_t>(150 + i);
      s.macro_events[i].x = i;
      s.macro_events[i].y = -i;
    }
  }
  return record;
}

struct Rig {
  explicit Rig(std::atomic<int32_t> LinkState::*link) {
    profiles.profiles.push_back(profile_with_five_full_macros());
    profiles.select_current_unlocked();
    links.mouse_sleeping = 0;
    links.*link = kLinkPresent;
    links.wireless_online = 1;
  }
  ProfileState profiles;
  LinkState links;
  CountingEndpoints endpoints;
  NoPauseClock clock;
  QuietHost host;
  ReportSender sender{links, endpoints, clock};
  SettingsApplier applier{profiles, links, sender, clock, host};
};

void run_full_apply(benchmark::State& state, Rig& rig) {
  for (auto _ : state) {
    rig.profiles.send_all = true;
    rig.applier.apply_settings();
  }
  state.counters["transfers/apply"] =
      benchmark::Counter(static_cast<double>(rig.endpoints.transfers), benchmark::Counter::kAvgIterations);
  state.counters["paced_s/apply"] =
      benchmark::Counter(static_cast<double>(rig.clock.slept) / 1000.0, benchmark::Counter::kAvgIterations);
}

void BM_FullApplyOverCable(benchmark::State& state) {
  Rig rig(&LinkState::wired_state);
  run_full_apply(state, rig);
}
BENCHMARK(BM_FullApplyOverCable)->Unit(benchmark::kMicrosecond);

// The 2.4 GHz receiver without acknowledgements: every report repeated ten times.
void BM_FullApplyOverUnacknowledgedReceiver(benchmark::State& state) {
  Rig rig(&LinkState::wireless_state);
  run_full_apply(state, rig);
}
BENCHMARK(BM_FullApplyOverUnacknowledgedReceiver)->Unit(benchmark::kMicrosecond);

// The common case: nothing changed, so only the comparison, the snapshot and the copy.
void BM_ApplyWithNothingChanged(benchmark::State& state) {
  Rig rig(&LinkState::wired_state);
  rig.applier.apply_settings();
  for (auto _ : state) rig.applier.apply_settings();
}
BENCHMARK(BM_ApplyWithNothingChanged)->Unit(benchmark::kMicrosecond);

void BM_MemcmpTwoRecords(benchmark::State& state) {
  const auto a = profile_with_five_full_macros();
  const auto b = profile_with_five_full_macros();
  for (auto _ : state) {
    benchmark::DoNotOptimize(a.get());
    benchmark::DoNotOptimize(b.get());
    int r = std::memcmp(a.get(), b.get(), sizeof(ProfileRecord));
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_MemcmpTwoRecords)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace norvane

BENCHMARK_MAIN();
