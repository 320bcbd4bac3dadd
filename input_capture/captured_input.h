#pragma once
// One piece of captured input, as a back end hands it to the capture session.

#include <cstdint>

namespace norvane::capture {

enum class InputKind { key, mouse_button, wheel };

struct CapturedInput {
  InputKind kind = InputKind::key;
  uintptr_t wparam = 0;        // virtual key or mouse message
  intptr_t lparam = 0;         // press/release for keys, button or distance for the mouse
  uint32_t physical_key = 0;   // keys: the physical key, to tell a repeat from a press
  bool pressed = false;        // keys
  int64_t time_ms = 0;         // when it happened, monotonic clock
  bool operator==(const CapturedInput&) const = default;
};

// Receives captured input. Called on whatever thread the back end captures on.
class InputSink {
 public:
  virtual ~InputSink() = default;
  virtual void deliver(const CapturedInput& input) = 0;
};

// A way of capturing input.
class CaptureBackend {
 public:
  virtual ~CaptureBackend() = default;
  // Starts capturing into `sink`. False (with a trace line) when it cannot capture here.
  virtual bool start(InputSink& sink) = 0;
  // Stops; when it returns the sink is called no more. Safe to call when not started.
  virtual void stop() = 0;
};

}  // namespace norvane::capture
