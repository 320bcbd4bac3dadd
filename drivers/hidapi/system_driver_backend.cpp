#include "drivers/hidapi/hid_backend.h"

namespace norvane::hiddriver {

// The shipped libraries talk to the system.
const HidBackend& driver_backend() { return system_hid_backend(); }

}  // namespace norvane::hiddriver
