#pragma once
// The polling-rate options. The record stores the option index: `polling_rate` for the
// cable and 2.4 GHz links, `polling_rate_hs` for the 8 kHz receiver. No Qt.

#include <cstdint>

namespace norvane {

enum class PollingRate : uint8_t { hz125, hz250, hz500, hz1000 };
inline constexpr int kPollingRateCount = static_cast<int>(PollingRate::hz1000) + 1;

enum class PollingRateHs : uint8_t { hz125, hz250, hz500, hz1000, hz2000, hz4000, hz8000 };
inline constexpr int kPollingRateHsCount = static_cast<int>(PollingRateHs::hz8000) + 1;

}  // namespace norvane
