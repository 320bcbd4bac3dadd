#include "drivers/virtual/control_commands.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "drivers/virtual/virtual_mouse.h"

namespace norvane::vmouse {

namespace {

constexpr const char* kHelp =
    "plug <link> | unplug <link>     link: cable, 2.4, 8k, ble\n"
    "links <list>                    e.g. links cable,2.4   or   links none\n"
    "sleep | wake\n"
    "dpi                             press the DPI button\n"
    "rate <option> <hs-option>       polling rate changed on the mouse (0-based)\n"
    "light <mode>                    lighting mode changed on the mouse\n"
    "battery <status> <level>        send a battery report now\n"
    "battery-level <level>           level of the periodic battery report\n"
    "battery-period <ms>             period of the battery report, 0 = off\n"
    "event <class> <v0> <v1>         send any event report\n"
    "drop-acks on|off|<n>            drop every / the next n acknowledgements\n"
    "corrupt <n> [byte] [mask]       corrupt the next n answers\n"
    "refuse-open <link> on|off       opening the link's device fails: no permission\n"
    "faults off\n"
    "realtime on|off                 tick the battery period in real time\n"
    "tick                            send what is due now\n"
    "reset                           factory settings, empty memory, clear log\n"
    "state | counters\n"
    "log [n]                         the last n wire frames (default 10)\n"
    "macro <block>                   decode the macro starting at a block\n";

std::vector<std::string_view> split_words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t pos = 0;
  while (pos < line.size()) {
    const size_t start = line.find_first_not_of(" \t\r", pos);
    if (start == std::string_view::npos) break;
    const size_t end = line.find_first_of(" \t\r", start);
    words.push_back(line.substr(start, end == std::string_view::npos ? std::string_view::npos
                                                                      : end - start));
    if (end == std::string_view::npos) break;
    pos = end;
  }
  return words;
}

// A decimal or 0x-prefixed number within [low, high].
std::optional<long> number(std::string_view word, long low, long high) {
  const std::string text(word);
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high) return {};
  return value;
}

void appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void appendf(std::string& out, const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n > 0) out.append(buffer, static_cast<size_t>(n < static_cast<int>(sizeof buffer) ? n : sizeof buffer - 1));
}

std::string links_text(uint32_t mask) {
  std::string text;
  for (int link = 0; link < VM_LINK_COUNT; ++link) {
    if (!(mask & VM_LINK_BIT(link))) continue;
    if (!text.empty()) text += ',';
    text += link_name(link);
  }
  return text.empty() ? "none" : text;
}

const char* outcome_name(int outcome) {
  switch (outcome) {
    case VM_FRAME_ACCEPTED: return "accepted";
    case VM_FRAME_PART: return "part";
    case VM_FRAME_REJECTED: return "rejected";
    case VM_FRAME_ASLEEP: return "asleep";
    case VM_FRAME_NOT_OPEN: return "not-open";
    case VM_FRAME_DROPPED: return "dropped";
    case VM_FRAME_CORRUPTED: return "corrupted";
    case VM_FRAME_NO_LINK: return "no-link";
    default: return "?";
  }
}

const char* reject_name(int reason) {
  static const char* const names[VM_REJECT_COUNT] = {
      "length", "header", "report-sum", "frame-sum", "rate-check",
      "numbering", "command", "incomplete", "macro-units"};
  return reason >= 0 && reason < VM_REJECT_COUNT ? names[reason] : "";
}

void print_state(VirtualMouse& mouse, std::string& out) {
  const VmMouseState s = mouse.state();
  appendf(out, "links: %s\nsleeping: %d\n", links_text(s.plugged_links).c_str(), s.sleeping);
  out += "dpi_cpi:";
  for (uint32_t cpi : s.dpi_cpi) appendf(out, " %u", cpi);
  appendf(out, "\ndpi_level_mask: 0x%02x\ncurrent_level: %d\ndpi_colors:", s.dpi_level_mask,
          s.current_level);
  for (const auto& c : s.dpi_colors) appendf(out, " %02x%02x%02x", c[0], c[1], c[2]);
  appendf(out, "\nlift_off: %u\nripple: %u\nangle_snap: %u\nmotion_sync: %u\n", s.lift_off,
          s.ripple, s.angle_snap, s.motion_sync);
  appendf(out,
          "light_mode: %u\nlight_speed: %d\nlight_brightness: %u\nlight_color: %02x%02x%02x\n",
          s.light_mode, s.light_speed, s.light_brightness, s.light_color[0], s.light_color[1],
          s.light_color[2]);
  appendf(out, "sleep_timer: 0x%02x\nlight_off_timer: %u\nkey_debounce: %u\n", s.sleep_timer,
          s.light_off_timer, s.key_debounce);
  appendf(out, "polling_rate: %d\npolling_rate_hs: %d\nbuttons:", s.polling_rate,
          s.polling_rate_hs);
  for (const auto& b : s.buttons) appendf(out, " %02x.%02x.%02x", b[0], b[1], b[2]);
  appendf(out, "\nbattery_level: %d\nbattery_period_ms: %d\n", s.battery_level,
          s.battery_period_ms);
}

void print_counters(VirtualMouse& mouse, std::string& out) {
  const VmCounters c = mouse.counters();
  appendf(out, "frames_received: %u\nreports_accepted: %u\nrejected_total: %u\n",
          c.frames_received, c.reports_accepted, c.rejected_total);
  for (int reason = 0; reason < VM_REJECT_COUNT; ++reason) {
    if (c.rejected[reason] != 0) appendf(out, "rejected_%s: %u\n", reject_name(reason), c.rejected[reason]);
  }
  appendf(out, "ignored_asleep: %u\nacks_sent: %u\nacks_dropped: %u\nevents_sent: %u\n"
          "answers_corrupted: %u\n",
          c.ignored_asleep, c.acks_sent, c.acks_dropped, c.events_sent, c.answers_corrupted);
}

void print_log(VirtualMouse& mouse, int last, std::string& out) {
  const int count = mouse.wire_log_count();
  for (int i = count > last ? count - last : 0; i < count; ++i) {
    VmWireEntry e{};
    if (!mouse.wire_log_get(i, e)) break;
    appendf(out, "#%llu t=%lld %s %s %s%s%s len=%d:", static_cast<unsigned long long>(e.sequence),
            static_cast<long long>(e.time_ms), link_name(e.link),
            e.direction == VM_TO_MOUSE ? "in" : "out", outcome_name(e.outcome),
            e.reject_reason >= 0 ? "/" : "", reject_name(e.reject_reason), e.length);
    const int shown = e.length < VM_WIRE_BYTES ? e.length : VM_WIRE_BYTES;
    for (int b = 0; b < shown; ++b) appendf(out, " %02x", e.bytes[b]);
    out += '\n';
  }
}

void print_macro(VirtualMouse& mouse, int block, std::string& out) {
  std::vector<VmMacroEvent> events(VM_MACRO_BLOCKS * 50);
  VmMacroInfo info{};
  mouse.macro_decode(block, info, events.data(), static_cast<int>(events.size()));
  appendf(out, "status: %d\nblocks: %d\nmode: %u\nrepeat: %u\nevents: %d\n", info.status,
          info.blocks_read, info.mode, info.repeat, info.event_count);
  const int shown = info.event_count < static_cast<int>(events.size()) ? info.event_count
                                                                        : static_cast<int>(events.size());
  for (int i = 0; i < shown; ++i) {
    const VmMacroEvent& e = events[static_cast<size_t>(i)];
    static const char* const kinds[] = {"move", "press", "release"};
    appendf(out, "%d: %s code=%u delay=%u", i, kinds[e.kind <= 2 ? e.kind : 1], e.code, e.delay);
    if (e.kind == VM_MACRO_KIND_MOVE) appendf(out, " x=%d y=%d", e.x, e.y);
    out += '\n';
  }
}

bool fail(std::string& reply, const char* why) {
  reply += "error: ";
  reply += why;
  reply += '\n';
  return false;
}

}  // namespace

bool run_control_command(VirtualMouse& mouse, std::string_view line, std::string& reply) {
  const std::vector<std::string_view> w = split_words(line);
  if (w.empty()) return fail(reply, "empty command (try help)");
  const std::string_view cmd = w[0];
  const size_t args = w.size() - 1;
  auto arg = [&](size_t i, long low, long high) { return number(w[i], low, high); };

  if (cmd == "help") {
    reply += kHelp;
  } else if ((cmd == "plug" || cmd == "unplug") && args == 1) {
    const int link = parse_link_name(w[1]);
    if (link < 0) return fail(reply, "unknown link (cable, 2.4, 8k, ble)");
    mouse.plug(link, cmd == "plug");
  } else if (cmd == "links" && args >= 1) {
    bool ok = false;
    std::string list;
    for (size_t i = 1; i < w.size(); ++i) (list += w[i]) += ',';
    const uint32_t mask = parse_link_list(list, ok);
    if (!ok) return fail(reply, "unknown link (cable, 2.4, 8k, ble, none)");
    mouse.set_links(mask);
  } else if (cmd == "sleep" && args == 0) {
    mouse.fall_asleep();
  } else if (cmd == "wake" && args == 0) {
    mouse.wake();
  } else if (cmd == "dpi" && args == 0) {
    mouse.press_dpi_button();
  } else if (cmd == "rate" && args == 2) {
    const auto rate = arg(1, 0, 14);
    const auto hs = arg(2, 0, 14);
    if (!rate || !hs) return fail(reply, "rate takes two options 0..14");
    mouse.change_polling_rate(static_cast<int>(*rate), static_cast<int>(*hs));
  } else if (cmd == "light" && args == 1) {
    const auto mode = arg(1, 0, 15);
    if (!mode) return fail(reply, "light takes a mode 0..15");
    mouse.change_lighting_mode(static_cast<int>(*mode));
  } else if (cmd == "battery" && args == 2) {
    const auto status = arg(1, 0, 255);
    const auto level = arg(2, 0, 255);
    if (!status || !level) return fail(reply, "battery takes a status and a level 0..255");
    mouse.send_event(0x40, static_cast<uint8_t>(*status), static_cast<uint8_t>(*level));
  } else if (cmd == "battery-level" && args == 1) {
    const auto level = arg(1, 0, 100);
    if (!level) return fail(reply, "battery-level takes 0..100");
    mouse.set_battery_level(static_cast<int>(*level));
  } else if (cmd == "battery-period" && args == 1) {
    const auto period = arg(1, 0, 3600000);
    if (!period) return fail(reply, "battery-period takes milliseconds, 0 = off");
    mouse.set_battery_period(static_cast<int>(*period));
  } else if (cmd == "event" && args == 3) {
    const auto cls = arg(1, 0, 255);
    const auto v0 = arg(2, 0, 255);
    const auto v1 = arg(3, 0, 255);
    if (!cls || !v0 || !v1) return fail(reply, "event takes three bytes");
    mouse.send_event(static_cast<uint8_t>(*cls), static_cast<uint8_t>(*v0),
                     static_cast<uint8_t>(*v1));
  } else if (cmd == "drop-acks" && args == 1) {
    if (w[1] == "on" || w[1] == "off") {
      mouse.drop_acks(w[1] == "on");
    } else if (const auto count = arg(1, 0, 1000000)) {
      mouse.drop_next_acks(static_cast<int>(*count));
    } else {
      return fail(reply, "drop-acks takes on, off or a count");
    }
  } else if (cmd == "corrupt" && args >= 1 && args <= 3) {
    const auto count = arg(1, 0, 1000000);
    const auto byte = args >= 2 ? arg(2, 0, 3) : std::optional<long>(2);
    const auto mask = args >= 3 ? arg(3, 0, 255) : std::optional<long>(0xFF);
    if (!count || !byte || !mask) return fail(reply, "corrupt takes a count, a byte 0..3 and a mask");
    mouse.corrupt_next_answers(static_cast<int>(*count), static_cast<int>(*byte),
                               static_cast<uint8_t>(*mask));
  } else if (cmd == "refuse-open" && args == 2 && (w[2] == "on" || w[2] == "off")) {
    const int link = parse_link_name(w[1]);
    if (link < VM_LINK_CABLE || link > VM_LINK_8K) return fail(reply, "refuse-open takes cable, 2.4 or 8k");
    mouse.refuse_open(link, w[2] == "on" ? EACCES : 0);
  } else if (cmd == "faults" && args == 1 && w[1] == "off") {
    mouse.clear_faults();
  } else if (cmd == "realtime" && args == 1 && (w[1] == "on" || w[1] == "off")) {
    mouse.set_realtime(w[1] == "on");
  } else if (cmd == "tick" && args == 0) {
    mouse.tick();
  } else if (cmd == "reset" && args == 0) {
    mouse.reset();
  } else if (cmd == "state" && args == 0) {
    print_state(mouse, reply);
  } else if (cmd == "counters" && args == 0) {
    print_counters(mouse, reply);
  } else if (cmd == "log" && args <= 1) {
    const auto last = args == 1 ? arg(1, 1, 4096) : std::optional<long>(10);
    if (!last) return fail(reply, "log takes a count 1..4096");
    print_log(mouse, static_cast<int>(*last), reply);
  } else if (cmd == "macro" && args == 1) {
    const auto block = arg(1, 0, VM_MACRO_BLOCKS - 1);
    if (!block) return fail(reply, "macro takes a block 0..255");
    print_macro(mouse, static_cast<int>(*block), reply);
  } else {
    return fail(reply, "unknown command or wrong arguments (try help)");
  }
  reply += "ok\n";
  return true;
}

}  // namespace norvane::vmouse
