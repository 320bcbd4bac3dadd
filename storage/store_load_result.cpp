#include "storage/store_load_result.h"

namespace norvane {

const char* to_string(LoadOutcome outcome) {
  switch (outcome) {
    case LoadOutcome::loaded: return "loaded";
    case LoadOutcome::created_default: return "no store yet, started with defaults";
    case LoadOutcome::repaired: return "repaired";
    case LoadOutcome::damaged_moved_aside: return "damaged, moved aside";
    case LoadOutcome::damaged_left_in_place: return "damaged, left in place";
  }
  return "unknown";
}

}  // namespace norvane
