#include "protocol/macro_upload.h"

#include "protocol/macro_blocks.h"
#include "protocol/macro_chunks.h"

namespace norvane {

SendOutcome MacroUploader::send_chunk(const ButtonSlot& slot, int& event_position, int block, bool& more) {
  const MacroChunk chunk = build_macro_chunk(slot, event_position, block);
  const SendOutcome sent = sink_.deliver(chunk.report.view());
  more = chunk.more;
  if (chunk.more) event_position = chunk.next_event;
  return sent;
}

int MacroUploader::send_macro_chunk(const ButtonSlot& slot, int& event_position, int block, bool& more) {
  const SendOutcome sent = send_chunk(slot, event_position, block, more);
  clock_.sleep_ms(kPauseAfterMacroChunkMs);
  return sent.result;
}

MacroUploadOutcome MacroUploader::upload_macro(const ProfileRecord& record, int slot_index,
                                               const std::function<bool()>& stop_requested) {
  if (slot_index < 0 || slot_index >= kMouseButtons) return {.delivered = true};
  const auto stopping = [&] { return stop_requested && stop_requested(); };
  const ButtonSlot& slot = record.buttons[slot_index];
  int position = 0;
  int block = macro_start_block(slot_index);
  bool more = false;
  do {
    if (stopping()) return {.stopped = true};
    const SendOutcome sent = send_chunk(slot, position, block, more);
    if (stopping()) return {.stopped = true};
    clock_.sleep_ms(kPauseAfterMacroChunkMs);
    if (!sent.delivered) return {};
    ++block;
  } while (more);
  return {.delivered = true};
}

}  // namespace norvane
