#pragma once
// Writes a button's macro into the mouse's macro memory, one chunk per block.

#include <functional>

#include "core/clock.h"
#include "core/profile_record.h"
#include "protocol/report_sink.h"

namespace norvane {

inline constexpr int kPauseAfterMacroChunkMs = 500;

// How an upload ended.
struct MacroUploadOutcome {
  bool stopped = false;    // the stop check ended it early
  bool delivered = false;  // every chunk reached the mouse
};

class MacroUploader {
 public:
  MacroUploader(ReportSink& sink, Clock& clock) : sink_(sink), clock_(clock) {}

  // Sends the chunk of `slot`'s macro for `block` that starts at `event_position`, then
  // pauses 500 ms. When the macro goes on, `event_position` becomes the first event of the
  // next chunk and `more` is set; otherwise the position stays and `more` is cleared.
  // Returns the send result.
  int send_macro_chunk(const ButtonSlot& slot, int& event_position, int block, bool& more);

  // Sends the whole macro of button `slot_index`, starting at its macro start block.
  // `stop_requested`, when given, is asked before each chunk and before each pause. A
  // chunk that does not reach the mouse ends the upload: the macro goes again whole.
  MacroUploadOutcome upload_macro(const ProfileRecord& record, int slot_index,
                                  const std::function<bool()>& stop_requested = {});

 private:
  SendOutcome send_chunk(const ButtonSlot& slot, int& event_position, int block, bool& more);

  ReportSink& sink_;
  Clock& clock_;
};

}  // namespace norvane
