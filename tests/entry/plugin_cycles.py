#!/usr/bin/env python3
"""Soak: the plug-in loaded and unloaded a thousand times in one host process (Python ctypes, as a host
that is not C++ code of the module would), with resident memory flat once the first cycles have warmed the
libraries' caches. A leak of a kilobyte or two per cycle shows over the last 900 cycles."""
import ctypes
import sys

CYCLES = 1000
WARM_UP = 100
ALLOWED_GROWTH_KB = 512


def resident_kb():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * 4


def utf16z(text):
    return (text + "\0").encode("utf-16-le")


def main(library, database):
    lib = ctypes.CDLL(library)
    lib.VOpLoadDllW.restype = ctypes.c_int32
    lib.VOpLoadDllW.argtypes = [ctypes.c_int32] + [ctypes.c_char_p] * 8
    lib.VOpUnLoadDll.restype = None
    lib.VOpUnLoadDll.argtypes = []
    args = [utf16z(s) for s in ("sqlite", "DBVestra", database, "admin", "", "1", "LOTE RAPIDO", "8.2.1;2026-03-15")]
    curve = []
    for cycle in range(1, CYCLES + 1):
        if lib.VOpLoadDllW(0, *args) == 0:
            print("cycle %d: the load returned 0" % cycle)
            return 1
        lib.VOpUnLoadDll()
        # The curve's ends: how the caches warm up, and whether the last cycles still grow.
        if cycle <= 10 or cycle in (WARM_UP, 500) or cycle > CYCLES - 10:
            curve.append((cycle, resident_kb()))
    print("resident memory by cycle: " + ", ".join("%d: %d KB" % c for c in curve))
    growth = curve[-1][1] - dict(curve)[WARM_UP]
    if growth > ALLOWED_GROWTH_KB:
        print("memory grew %d KB over %d cycles after the warm-up" % (growth, CYCLES - WARM_UP))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
