#pragma once
// One row of the macro editor's event list, built from the template "keylistitem.xml":
// "key" names the key or button (with a mouse, key or movement image), "action" says
// press or release (with its image) or gives a movement's offsets, "delay" the pause
// after the event in milliseconds.

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "app/toolkit/control.h"
#include "core/macro_record.h"

namespace norvane {

// The name of a stored key or button code in the layout in use.
using MacroKeyNameFn = std::function<std::u16string(uint8_t code)>;

// The shown name of an event's code: the movement text for movements, else the key or
// button name (the code's number when no names are available).
QString event_key_name(const MacroEvent& event, const MacroKeyNameFn& key_name);

// Fills every part of `row` for `event`. Rows of other kinds stay blank.
void fill_event_row(const Control& row, const MacroEvent& event, const MacroKeyNameFn& key_name);

// Updates single parts after an edit.
void show_event_row_key(const Control& row, const MacroEvent& event, const MacroKeyNameFn& key_name);
void show_event_row_delay(const Control& row, uint16_t delay);
void show_event_row_offsets(const Control& row, int32_t x, int32_t y);

}  // namespace norvane
