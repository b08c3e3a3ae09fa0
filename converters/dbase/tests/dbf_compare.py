"""Reads an exported dBASE file set with dbfread and compares every file with
what kvcli shows of the project.

usage: dbf_compare.py SET.EXT FOLDER
FOLDER holds kvcli's output: TABLE.csv (kvcli dump) for every table, info.txt
(kvcli info) and spa.csv (activity code, date, value per time-shared entry).
Prints one line per difference and exits 1 when there is any.
"""
import csv
import os
import sys

import dbfread

TABLES = [("Wbs", "wbs"), ("Obs", "obs"), ("Res", "res"), ("Crw", "crw"),
          ("Act", "act"), ("Rel", "rel"), ("Opr", "opr")]
problems = []


def member(path, tag):
    stem, ext = os.path.splitext(path)
    return stem + tag + ext


def records(path):
    table = dbfread.DBF(path, encoding="cp949", char_decode_errors="strict")
    return table.fields, list(table)


def date_text(value):
    return "" if value is None else value.strftime("%y-%m-%d")


def same_number(text, value, decimals):
    try:
        shown = float(text) if text else 0.0
    except ValueError:
        return None  # a reference shown by its text
    return abs(shown - value) <= 0.5 * 10 ** -decimals + 1e-9


def compare_table(path, dump_path, name):
    fields, rows = records(path)
    with open(dump_path, encoding="utf-8", newline="") as f:
        dump = list(csv.reader(f))
    if [fd.name for fd in fields] != dump[0]:
        problems.append(f"{name}: columns {[fd.name for fd in fields]} != {dump[0]}")
        return
    if len(rows) != len(dump) - 1:
        problems.append(f"{name}: {len(rows)} records, dump has {len(dump) - 1}")
        return
    # A reference field shows a text and is stored as its number: each text
    # must stand for one number and each number for one text.
    texts, numbers = {}, {}
    for r, (row, shown) in enumerate(zip(rows, dump[1:]), start=1):
        for fd, cell in zip(fields, shown):
            value = row[fd.name]
            where = f"{name} row {r} {fd.name}"
            if fd.type == "C":
                ok = value == cell
            elif fd.type == "D":
                ok = date_text(value) == cell
            else:
                ok = same_number(cell, value, fd.decimal_count)
                if ok is None:
                    ok = texts.setdefault((fd.name, cell), value) == value and \
                        numbers.setdefault((fd.name, value), cell) == cell
            if not ok:
                problems.append(f"{where}: file {value!r}, dump {cell!r}")


def compare_version(path, info_path):
    info = {}
    with open(info_path, encoding="utf-8") as f:
        for line in f:
            key, _, value = line.rstrip("\n").partition(": ")
            info[key] = value
    _, rows = records(path)
    if len(rows) != 1:
        problems.append(f"version: {len(rows)} records")
        return
    row = rows[0]
    expected = {"VERSION": 100, "CODE": info["code"], "TITLE": info["name"],
                "MANAGER": info["manager"], "COMPANY": info["company"],
                "CURRENCY": info["currency"], "STEP": int(info["stage"]),
                "START": info["start"], "FINISH": info["finish"],
                "TIME_NOW": info["data-date"], "THIS_FR": info["period-start"],
                "THIS_TO": info["period-finish"], "REMARK": info["remark"]}
    for key, want in expected.items():
        got = row[key]
        if key in ("START", "FINISH", "TIME_NOW", "THIS_FR", "THIS_TO"):
            got = date_text(got)
        if got != want:
            problems.append(f"version {key}: file {got!r}, info {want!r}")
    # The scheme file: one record per level, work types (1) then facilities.
    levels = []
    for table, key in ((1, "work-levels"), (2, "facility-levels")):
        for n, level in enumerate(info[key].split(), start=1):
            length, _, title = level.partition(":")
            levels.append((table, n, int(length), title))
    _, rows = records(member(path, "Str"))
    got = [(r["TABLE_NO"], r["LEVEL"], r["LENGTH"], r["TITLE"]) for r in rows]
    if got != levels:
        problems.append(f"scheme: file {got}, info {levels}")


def compare_time_shared(path, spa_path):
    with open(spa_path, encoding="utf-8", newline="") as f:
        want = [tuple(r) for r in csv.reader(f)]
    _, rows = records(member(path, "Spa"))
    got = [(r["A_CODE"], date_text(r["NOW"]), f"{r['AQ']:.3f}") for r in rows]
    if got != want:
        problems.append(f"time-shared: file {got}, project {want}")


def main():
    path, folder = sys.argv[1], sys.argv[2]
    for tag, name in TABLES:
        compare_table(member(path, tag), os.path.join(folder, name + ".csv"), name)
    compare_version(path, os.path.join(folder, "info.txt"))
    compare_time_shared(path, os.path.join(folder, "spa.csv"))
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
