#!/usr/bin/python3
"""Writes the factory files that ship beside Qor.exe: config.bin, str.ini and record.ini.

The offsets come from the record's layout header (its compile-time offset checks), so the file
cannot drift from the program. The first-run flag is 0: the program has never saved this file,
so its first start writes the key-row texts of the user's language into str.ini.

str.ini is UTF-16LE with a BOM (so Chinese texts survive on any system) and holds the key-row
texts of the default assignment in all three language sections, the text colour and the skin.
record.ini starts empty: no macros.

Usage: tools/make_factory_config.py [FOLDER]   (default resources/)
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
LAYOUT = ROOT / "src" / "app" / "settings_record.h"

RECORD_SIZE = 2021


def offsets():
    text = LAYOUT.read_text(encoding="utf-8")
    record = dict(re.findall(r"offsetof\(SettingsRecord,\s*(\w+)\)\s*==\s*(\d+)", text))
    table = dict(re.findall(r"offsetof\(ButtonTable,\s*(\w+)\)\s*==\s*(\d+)", text))
    record = {k: int(v) for k, v in record.items()}
    table = {k: int(v) for k, v in table.items()}
    table["function"] = 0  # the table's first array
    size = re.search(r"kSettingsRecordSize\s*=\s*(\d+)", text)
    assert size and int(size.group(1)) == RECORD_SIZE, "record size changed"
    return record, table


def build():
    rec, table = offsets()
    b = bytearray(RECORD_SIZE)

    def put(offset, values):
        b[offset:offset + len(values)] = bytes(values)

    # Both key sets: left, right, middle, forward, backward, DPI +, DPI -, button 8 off.
    for mode, dpi_switch in ((0, "dpiSwitchA"), (rec["modeB"], "dpiSwitchB")):
        put(mode + table["function"], [0, 1, 2, 3, 4, 6, 6, 15])
        put(rec[dpi_switch] + 5, [1, 2])  # buttons 6 and 7: "DPI +" and "DPI -"
        # A fire key that repeats at a moderate speed until released, should one be chosen.
        put(mode + table["fireSpeed"], [20] * 12)

    # Four stages on at distinct levels (500/1000/1500/2000 on the 12-step list, 800/1200/
    # 2000/3200 on the 8-step one), each with its own colour.
    put(rec["dpiLevel"], [1, 3, 5, 7])
    put(rec["dpiStageOn"], [1, 1, 1, 1])
    put(rec["dpiColor"], [255, 48, 64,   48, 230, 120,   40, 140, 255,   255, 190, 0])

    # Lighting: Standard at 85 %; respiration 6 s with RGB Effect; neon 3 s with RGB Flash.
    put(rec["ledMode"], [1])
    put(rec["ledBrightness"], [8])
    put(rec["ledBreathSpeed"], [2])
    put(rec["ledNeonSpeed"], [5])
    put(rec["ledEffect"], [1, 1, 2])

    # Pointer: Windows' own defaults (speed 10, 3 lines, 550 ms), precision on.
    put(rec["pointerPrecision"], [1])
    put(rec["scrollOneScreen"], [0])
    put(rec["mouseSpeedPosition"], [6])
    put(rec["scrollLinesPosition"], [3])
    put(rec["doubleClickPosition"], [6])
    put(rec["activeMode"], [0])
    return bytes([0]) + bytes(b)


# Rows 1..8 of the default assignment per language; rows 9..12 are spare.
KEY_ROWS = {
    "Setting-EN": ["Left Click", "Right Click", "Mid Click", "Forward", "Backward", "DPI +",
                   "DPI -", "Key Off"],
    "Setting-CHS": ["左键", "右键", "中键", "前进方向键", "后退方向键", "DPI +", "DPI -",
                    "按键关闭"],
    "Setting-CHT": ["左鍵", "右鍵", "中鍵", "前進方向鍵", "後退方向鍵", "DPI +", "DPI -",
                    "按鍵關閉"],
}
# A cool light grey that reads well on the dark skins.
TEXT_COLOUR = (214, 228, 240)
SKIN = "Obsidian"


def str_ini():
    lines = []
    for section, rows in KEY_ROWS.items():
        rows = rows + [""] * (12 - len(rows))
        lines.append(f"[{section}]")
        lines += [f"Item{n}={rows[n - 1]}" for n in range(1, 13)]   # key set A
        lines += [f"Item{n}3={rows[n - 1]}" for n in range(1, 13)]  # key set B
    lines += ["[Skins]", f"RColor={TEXT_COLOUR[0]}", f"GColor={TEXT_COLOUR[1]}",
              f"BColor={TEXT_COLOUR[2]}", f"Path={SKIN}"]
    return b"\xff\xfe" + ("\r\n".join(lines) + "\r\n").encode("utf-16-le")


def main():
    folder = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "resources"
    data = build()
    assert len(data) == 1 + RECORD_SIZE
    (folder / "config.bin").write_bytes(data)
    (folder / "str.ini").write_bytes(str_ini())
    (folder / "record.ini").write_bytes(b"")
    print(f"{folder}: config.bin ({len(data)} bytes), str.ini, record.ini")


if __name__ == "__main__":
    main()
