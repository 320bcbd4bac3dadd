#include "protocol/macro_upload.h"

#include "protocol/macro_blocks.h"
#include "protocol/macro_chunks.h"

namespace norvane {

int MacroUploader::send_macro_chunk(const ButtonSlot& slot, int& event_position, int block, bool& more) {
  const MacroChunk chunk = build_macro_chunk(slot, event_position, block);
  const int result = sink_.send_report(chunk.report.view());
  clock_.sleep_ms(kPauseAfterMacroChunkMs);
  more = chunk.more;
  if (chunk.more) event_position = chunk.next_event;
  return result;
}

bool MacroUploader::upload_macro(const ProfileRecord& record, int slot_index,
                                 const std::function<bool()>& stop_requested) {
  if (slot_index < 0 || slot_index >= kMouseButtons) return true;
  const ButtonSlot& slot = record.buttons[slot_index];
  int position = 0;
  int block = macro_start_block(slot_index);
  bool more = false;
  do {
    if (stop_requested && stop_requested()) return false;
    send_macro_chunk(slot, position, block, more);
    ++block;
  } while (more);
  return true;
}

}  // namespace norvane
