#!/usr/bin/env python3
"""Writes the receive fuzzer's seed corpus: real replies of the dispenser, in
the fuzzer's input layout (five bytes of console state, then reads, each a
length byte and its bytes). Run from anywhere; it rewrites fuzz/corpus/."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus")
STX, ETX, ACK, FAIL = 0x02, 0x03, 0x06, 0x0A


def frame(code, b4, b5, b6, b7, id_=b"00"):
    f = [STX, id_[0], id_[1], ord(code)] + [x if isinstance(x, int) else ord(x) for x in (b4, b5, b6, b7)]
    return bytes(f + [sum(f) % 256, ETX])


def head(pending=0, debug=False, unwritable=False, bills_left=0, bill_count=0, ids=(0, 0)):
    flags = (1 if debug else 0) | (2 if unwritable else 0) | (bills_left << 2)
    return bytes([ids[0], ids[1], pending, flags, bill_count])


def reads(*chunks):
    out = b""
    for c in chunks:
        assert 1 <= len(c) <= 64
        out += bytes([len(c) - 1]) + c
    return out


SEEDS = {
    "ack": head(pending=7) + reads(bytes([ACK])),
    "failure": head() + reads(bytes([FAIL])),
    "status_ready": head() + reads(frame("s", "r", "0", "0", "0")),
    "status_busy_split": head() + reads(frame("s", "w", "0", "0", "0")[:3],
                                        frame("s", "w", "0", "0", "0")[3:]),
    "status_error": head() + reads(frame("s", "e", "3", "0", "0")),
    "status_test_mode": head() + reads(frame("s", "t", "0", "1", "0")),
    "status_unwritable": head(unwritable=True) + reads(frame("s", "r", "0", "0", "0")),
    "device_error": head() + reads(frame("E", "2", "0", "0", "0"), frame("E", "A", "0", "0", "0")),
    "out_bill": head(bill_count=2) + reads(bytes([ACK]), frame("b", "0", "0", "0", "3")),
    "stepping": head(pending=10, bills_left=3) + reads(
        bytes([ACK]), frame("b", "0", "0", "0", "1"), bytes([ACK]), frame("b", "0", "0", "0", "1")),
    "stepping_stop": head(pending=10, bills_left=2) + reads(frame("b", "0", "0", "0", "2")),
    "total_count": head() + reads(frame("c", "0", "1", "2", "3")),
    "dip": head() + reads(frame("d", 0x02, 0x55, "0", "0"), frame("x", 0x01, 0xAA, "0", "0")),
    "password": head() + reads(frame("p", "1", 1, 2, 3)),
    "error_record": head() + reads(b"".join(frame("r", 20 + i, i, "0", "0") for i in range(6)),
                                   b"".join(frame("r", 26 + i, i, "0", "0") for i in range(6))),
    "version": head() + reads(frame("v", 1, 8, 0, 0)),
    "w_reply": head() + reads(frame("w", 0, 4, 5, 6)),
    "test_count": head() + reads(frame("y", 0, 0, 1, 2) + frame("z", 3, 4, 5, 6)),
    "auto_test": head(ids=(3, 4), debug=True) + reads(
        *[frame(str(k), "0", "0", 0x05, 0xC8, b"34") for k in range(6)]),
    "broken_then_good": head() + reads(
        frame("s", "r", "0", "0", "0")[:9] + bytes([0x00]) + frame("c", "0", "0", "4", "2")),
    "ack_inside_frame": head() + reads(frame("c", ACK, FAIL, "0", "0")[:6],
                                       frame("c", ACK, FAIL, "0", "0")[6:] + bytes([ACK, FAIL])),
}

os.makedirs(OUT, exist_ok=True)
for name in os.listdir(OUT):
    os.remove(os.path.join(OUT, name))
for name, data in SEEDS.items():
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
print(f"{len(SEEDS)} seeds in {OUT}")
