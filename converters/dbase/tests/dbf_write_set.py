"""Writes a small project as a dBASE III file set, byte by byte, the way
another program would, so that the import is tried on files we did not write.

usage: dbf_write_set.py SET.EXT [DAMAGE]
DAMAGE spoils the activity file or the set: short-header, record-length,
no-fields, many-fields, missing-member.
"""
import os
import struct
import sys


def member(path, tag):
    stem, ext = os.path.splitext(path)
    return stem + tag + ext


def field_text(kind, length, decimals, value):
    if kind == "C":
        data = (value or "").encode("cp949")[:length]
        return data.ljust(length, b" ")
    if kind == "D":
        return (b" " * 8 if value is None else ("%04d%02d%02d" % value).encode())
    if isinstance(value, float) or decimals:
        text = "%*.*f" % (length, decimals, value or 0)
    else:
        text = "%*d" % (length, value or 0)
    return text.encode()[-length:]


def table_bytes(columns, rows, deleted=()):
    """columns: (name, type, length, decimals); rows: lists of values."""
    record_length = 1 + sum(c[2] for c in columns)
    # A list too long for the 16-bit header length is written as it is:
    # the stored length then falls short of the descriptors.
    header = struct.pack("<BBBBIHH20x", 3, 124, 3, 4, len(rows),
                         (32 * len(columns) + 33) & 0xFFFF, record_length)
    for name, kind, length, decimals in columns:
        size = struct.pack("<H", length) if kind == "C" else bytes([length, decimals])
        header += name.encode().ljust(11, b"\0") + kind.encode() + b"\0" * 4 + size + b"\0" * 14
    body = b""
    for i, row in enumerate(rows):
        body += b"*" if i in deleted else b" "
        for (name, kind, length, decimals), value in zip(columns, row):
            body += field_text(kind, length, decimals, value)
    return header + b"\r" + body + b"\x1a"


CODES = [("CODE", "C", 10, 0), ("TITLE", "C", 40, 0)]
WBS = CODES + [("SIZE", "C", 40, 0), ("UNIT", "C", 6, 0), ("CQ", "N", 16, 3), ("CU", "N", 12, 0),
               ("EU", "N", 12, 0), ("AU", "N", 12, 0), ("DQ", "N", 16, 3), ("DU", "N", 5, 0)]
RES = CODES + [("SIZE", "C", 40, 0), ("UNIT", "C", 6, 0)]
CRW = [("W_CODE", "C", 10, 0), ("R_CODE", "C", 10, 0), ("UQ", "N", 16, 3), ("AQ", "N", 16, 3),
       ("AUQ", "N", 16, 3), ("CQ", "N", 9, 0)]
ACT = [("CODE", "C", 20, 0), ("TITLE", "C", 60, 0), ("DU", "N", 5, 0), ("RDU", "N", 5, 0)] + \
    [(n, "D", 8, 0) for n in ("START", "FINISH", "ES", "EF", "LS", "LF")] + \
    [("TF", "N", 5, 0), ("FF", "N", 5, 0), ("AS", "D", 8, 0), ("AF", "D", 8, 0),
     ("CONST_DATE", "D", 8, 0), ("CONST_TYPE", "N", 2, 0), ("CAL_NO", "N", 1, 0),
     ("O_DU", "N", 5, 0)] + \
    [(n, "D", 8, 0) for n in ("O_START", "O_FINISH", "O_ES", "O_EF", "O_LS", "O_LF")] + \
    [("PATH", "N", 3, 0), ("TYPE", "N", 2, 0)] + \
    [(n, "C", 10, 0) for n in ("W_CODE", "O_CODE", "MANAGER", "SUBCON", "U_CODE")] + \
    [("QTY", "N", 12, 3), ("CU", "N", 12, 0), ("EU", "N", 12, 0), ("AU", "N", 12, 0),
     ("WGT", "N", 6, 2), ("REMARK", "C", 40, 0), ("VALUE1", "N", 12, 0),
     ("VALUE2", "N", 12, 0), ("VALUE3", "N", 12, 0),
     # Beyond the table's fields: a whole number too wide for 32 bits.
     ("EXTRA", "N", 12, 0)]


def activity(code, title, du, wbs, obs, kind=0, qty=0.0, extra=0, start=None, remark=""):
    values = {"CODE": code, "TITLE": title, "DU": du, "START": start, "TYPE": kind,
              "W_CODE": wbs, "O_CODE": obs, "QTY": qty, "EXTRA": extra, "CAL_NO": 1,
              "REMARK": remark}
    return [values.get(name) for name, _, _, _ in ACT]


def files():
    version = [("VERSION", "N", 4, 0), ("CODE", "C", 10, 0), ("TITLE", "C", 60, 0),
               ("MANAGER", "C", 10, 0), ("COMPANY", "C", 40, 0), ("CURRENCY", "C", 6, 0),
               ("STEP", "N", 3, 0), ("START", "D", 8, 0), ("FINISH", "D", 8, 0),
               ("TIME_NOW", "D", 8, 0), ("THIS_FR", "D", 8, 0), ("THIS_TO", "D", 8, 0),
               ("REMARK", "C", 40, 0)]
    # No finish: the import gives it the end of the start's year.
    yield "", version, [[100, "X-1", "부산 물류센터", "박", "한빛", "원", 0, (2025, 5, 12),
                         None, (2025, 5, 12), None, None, "외부에서 만든 자료"]], ()
    yield "Str", [("TABLE_NO", "N", 1, 0), ("LEVEL", "N", 1, 0), ("LENGTH", "N", 1, 0),
                  ("TITLE", "C", 20, 0)], \
        [[1, 1, 1, "대"], [1, 2, 2, "소"], [2, 1, 2, "구역"]], ()
    yield "Wbs", WBS, [["A", "토목", "", "", 0, 0, 0, 0, 0, 0],
                       ["A01", "흙막이", "H형강", "m", 120.5, 50000, 0, 0, 0, 0],
                       ["A02", "굴착", "", "m3", 900, 12000, 0, 0, 0, 0]], ()
    yield "Obs", CODES, [["Z1", "1구역"], ["Z2", "2구역"]], ()
    # The second resource is deleted and must not come in.
    yield "Res", RES, [["M1", "레미콘", "25-240-15", "m3"], ["M2", "지워진 자원", "", ""],
                       ["L1", "형틀목공", "", "인"]], (1,)
    yield "Crw", CRW, [["A01", "L1", 0.5, 60.25, 0, 2]], ()
    yield "Act", ACT, [
        activity("S-1", "흙막이 설치", 10, "A01", "Z1", qty=120.5, extra=123456789012),
        activity("S-2", "지워진 작업", 3, "A02", "Z1"),
        activity("S-3", "굴착 2구역", 8, "A02", "Z2", kind=2, qty=900, remark="야간 작업"),
        activity("S-4", "완료", 0, "", "", kind=1),
    ], (1,)
    yield "Spa", [("A_CODE", "C", 20, 0), ("NOW", "D", 8, 0), ("AQ", "N", 12, 3)], \
        [["S-3", (2025, 5, 14), 112.5], ["S-9", (2025, 5, 14), 1.0]], ()
    yield "Rel", [("P_CODE", "C", 20, 0), ("S_CODE", "C", 20, 0), ("TYPE", "N", 2, 0),
                  ("LAG", "N", 4, 0), ("PATH", "N", 3, 0)], \
        [["S-1", "S-3", 2, 2, 0], ["S-3", "S-4", 0, 0, 0], ["S-1", "S-4", 1, -1, 0]], ()
    yield "Opr", [("A_CODE", "C", 20, 0), ("R_CODE", "C", 10, 0), ("QTY", "N", 16, 3),
                  ("AQ", "N", 16, 3)], [["S-1", "M1", 35.5, 0]], ()


def damage(path, kind):
    act = member(path, "Act")
    data = bytearray(open(act, "rb").read())
    if kind == "short-header":
        data = data[:20]
    elif kind == "record-length":
        data[10:12] = struct.pack("<H", 0xFFF0)
    elif kind == "no-fields":
        data = data[:32] + b"\r" + b"\x1a"
        data[8:12] = struct.pack("<HH", 33, 1)
        data[4:8] = struct.pack("<I", 0)
    elif kind == "many-fields":
        columns = [("F%d" % i, "N", 1, 0) for i in range(10000)]
        data = bytearray(table_bytes(columns, []))
    elif kind == "missing-member":
        os.remove(member(path, "Rel"))
        return
    else:
        raise SystemExit("unknown damage " + kind)
    open(act, "wb").write(data)


def main():
    path = sys.argv[1]
    for tag, columns, rows, deleted in files():
        with open(member(path, tag), "wb") as f:
            f.write(table_bytes(columns, rows, deleted))
    if len(sys.argv) > 2:
        damage(path, sys.argv[2])


if __name__ == "__main__":
    main()
