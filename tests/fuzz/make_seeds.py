#!/usr/bin/env python3
"""Writes the seed corpus of each fuzzer into tests/fuzz/corpus/<fuzzer>/.

    tests/fuzz/make_seeds.py

Each seed is an input as its fuzzer reads it (byte 0 chooses what the rest stands for;
see the fuzzer's source). The seeds are real shapes: the events the mouse sends on each
link, a vendor report descriptor, store files whole, empty, cut short and overlong,
macro and profile files to import, and the language file and skins the program ships.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(fuzzer, name, data):
    folder = os.path.join(HERE, "corpus", fuzzer)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(bytes(data))


def event(event_class, value):
    return [0x09, event_class, value & 0xFF, value >> 8]


def framed(event_bytes):
    """An event framed like an 8 kHz report: 0x04, length, 0, event, 16-bit sum (high first)."""
    body = [0x04, 3 + len(event_bytes) + 2, 0x00] + event_bytes
    total = sum(body) & 0xFFFF
    return body + [total >> 8, total & 0xFF]


EVENTS = {
    "dpi_level_3": event(0x10, 3),
    "rate_1000_8000": event(0x20, 0x74),
    "battery_charging_57": event(0x40, 57 << 8 | 3),
    "ack_taken": event(0x50, 0),
    "light_mode_2": event(0x70, 0x20),
    "settings_saved_2": event(0x80, 2),
}

# A vendor collection with input report 0x09 (7 bytes) and feature report 0x04 (63 bytes).
VENDOR_DESCRIPTOR = [
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,
    0x85, 0x09, 0x75, 0x08, 0x95, 0x07, 0x09, 0x01, 0x81, 0x02,
    0x85, 0x04, 0x95, 0x3F, 0x09, 0x01, 0xB1, 0x02,
    0xC0,
]


def device_event_seeds():
    for name, ev in EVENTS.items():
        write("device_event_fuzz", "cable_" + name, [0] + ev + [0, 0, 0])
        write("device_event_fuzz", "8k_" + name, [1] + framed(ev) + [0] * 4)
        write("device_event_fuzz", "ble_" + name, [2] + ev)
    write("device_event_fuzz", "descriptor_vendor", [3] + VENDOR_DESCRIPTOR)


def store_shape(records, delta, pattern):
    """An input the store fuzzers turn into a store-shaped file: `records` whole records
    and `delta` bytes more (or fewer), filled by repeating `pattern`."""
    return [1, records] + list(struct.pack("<h", delta)) + pattern


def macro_record(name, events):
    """A macro file's bytes: name (24 UTF-16 units), repeat, count, 190 events of 16 bytes."""
    units = name.encode("utf-16-le")
    data = units + bytes(48 - len(units)) + struct.pack("<ii", 1, len(events))
    for code, kind, delay, x, y in events:
        data += struct.pack("<BBBBHHii", 0, code, kind, 0, delay, 0, x, y)
    return data + bytes(3096 - len(data))


def import_seeds():
    typed = [(0x04, 1, 50, 0, 0), (0x04, 2, 30, 0, 0), (0x05, 1, 50, 0, 0), (0x05, 2, 0, 0, 0)]
    click_move = [(241, 1, 20, 0, 0), (241, 2, 20, 0, 0), (246, 0, 10, 120, -40)]
    write("macro_file_fuzz", "typed_ab", [0] + list(macro_record("ab", typed)))
    write("macro_file_fuzz", "click_and_move", [0] + list(macro_record("Click", click_move)))
    write("macro_file_fuzz", "empty_macro", [0] + list(macro_record("", [])))
    write("macro_file_fuzz", "one_byte_short", [0] + list(macro_record("ab", typed))[:-1])
    for fuzzer in ("macro_file_fuzz", "profile_file_fuzz"):
        write(fuzzer, "zeros_one_record", store_shape(1, 0, [0]))
        write(fuzzer, "one_byte_long", store_shape(1, 1, [0]))
        write(fuzzer, "high_bytes", store_shape(1, 0, [0xFF, 0x7F, 0x80]))
        write(fuzzer, "empty_file", [0])


def toolkit_seeds():
    """The program's own language file and skins, as shipped."""
    res = os.path.join(HERE, "..", "..", "res")
    with open(os.path.join(res, "lan.xml"), "rb") as f:
        write("toolkit_files_fuzz", "lan.xml", [0] + list(f.read()))
    for name in ("msg.xml", "DPImsg.xml", "keylistitem.xml", "traymenu.xml", "MS/MS_1/profilename.xml"):
        with open(os.path.join(res, name), "rb") as f:
            write("toolkit_files_fuzz", "skin_" + os.path.basename(name), [1] + list(f.read()))


def store_seeds():
    for fuzzer in ("profile_store_fuzz", "macro_store_fuzz"):
        write(fuzzer, "empty_file", [0])
        write(fuzzer, "zeros_one_record", store_shape(1, 0, [0]))
        write(fuzzer, "zeros_three_records", store_shape(3, 0, [0]))
        write(fuzzer, "cut_short", store_shape(2, -5000, [0, 1]))
        write(fuzzer, "overlong", store_shape(1, 777, [0]))
        write(fuzzer, "text_pattern", store_shape(2, 0, list(b"P\x00r\x00o\x00f\x00\x00\x00")))
        write(fuzzer, "high_bytes", store_shape(1, 0, [0xFF, 0x7F, 0x80]))


if __name__ == "__main__":
    device_event_seeds()
    store_seeds()
    import_seeds()
    toolkit_seeds()
