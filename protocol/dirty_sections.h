#pragma once
// Which settings sections differ between two profile records, so an apply sends only
// the reports whose fields changed. Fields are compared as whole 32-bit words, also
// where only their low byte is sent.

#include <array>

#include "core/profile_record.h"

namespace norvane {

// The sections of the next apply: each flag stands for one report (the macros, one
// upload per button slot).
struct DirtyFlags {
  bool dpi = false;
  bool rate = false;
  bool light = false;
  bool buttons = false;
  bool wakeup = false;
  std::array<bool, kMouseButtons> macro{};

  bool any() const;
};

// The DPI, lighting, polling-rate and wake-up flags: the fields the settings table puts
// in that section (core/setting_table.h). Buttons: all 24 slots whole. Macro k: mode,
// repeat, the header extra word and all events of slot k.
DirtyFlags compare_sections(const ProfileRecord& current, const ProfileRecord& last_applied);

// Every section flag and every macro flag set (a full send).
DirtyFlags all_sections_dirty();

// Copies the fields `compare_sections` compares for each flagged section from `from`
// into `to`: for the buttons flag all 24 slots whole, for a macro flag that slot's
// macro fields only. The buttons are copied before the macros.
void copy_sections(const DirtyFlags& which, const ProfileRecord& from, ProfileRecord& to);

// Makes each flagged section of `record` hold a value no profile holds (in one compared
// field), so that comparing any real record with it finds the section changed: for a
// record of what the mouse holds, "not known".
void mark_sections_unknown(const DirtyFlags& which, ProfileRecord& record);

}  // namespace norvane
