#!/usr/bin/python3
"""A host of the plug-in that is not C++ code of the module: loads libVNmRtgen.so with ctypes and drives
its twelve entries the way the suite's host application does.

    plugin_host.py LIBRARY DATABASE

Checks: the load returns a non-zero window id; the three W getters store the same address with the same
text on every call; the host-family getters return length-prefixed UTF-16 strings that SysStringLen and the
4-byte prefix agree on and that SysFreeString takes back; the three resize entries (a bad CambiarTamanoW
text included) return; unload, and unload again, return. Any failed check exits 1; a crash fails the run.
Run with QT_QPA_PLATFORM=offscreen.
"""
import ctypes
import sys

GUID_NET = "{1AEE5EAD-02D1-44F2-8F88-2C1305E45A2C}"
NAME_NET = "VNmRtgenBD.VNmRtgen"
PUBLIC_T = "0f3a7c51d2e4b968"

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def utf16z(text):
    """A zero-terminated UTF-16 buffer (the standard family's strings)."""
    data = text.encode("utf-16-le") + b"\0\0"
    return ctypes.create_string_buffer(data, len(data))


def read_utf16z(address):
    units = []
    i = 0
    while True:
        unit = ctypes.c_uint16.from_address(address + 2 * i).value
        if unit == 0:
            break
        units.append(unit)
        i += 1
    return b"".join(u.to_bytes(2, "little") for u in units).decode("utf-16-le")


def main(library, database):
    lib = ctypes.CDLL(library)
    wstr = ctypes.c_void_p

    lib.VOpLoadDllW.restype = ctypes.c_int32
    lib.VOpLoadDllW.argtypes = [ctypes.c_int32] + [ctypes.c_char_p] * 8
    lib.VOpLoadDll.restype = ctypes.c_int32
    lib.VOpLoadDll.argtypes = [ctypes.c_int32] + [wstr] * 8
    lib.VOpUnLoadDll.restype = None
    lib.VOpUnLoadDll.argtypes = []
    for name in ("getServerGuidNetW", "getServerNameNetW", "getServerPublicTW"):
        getattr(lib, name).restype = None
        getattr(lib, name).argtypes = [ctypes.POINTER(wstr)]
    for name in ("getServerGuidNet", "getServerNameNet", "getServerPublicT"):
        getattr(lib, name).restype = wstr
        getattr(lib, name).argtypes = []
    lib.SysStringLen.restype = ctypes.c_uint32
    lib.SysStringLen.argtypes = [wstr]
    lib.SysFreeString.restype = None
    lib.SysFreeString.argtypes = [wstr]
    lib.SysAllocString.restype = wstr
    lib.SysAllocString.argtypes = [ctypes.c_char_p]
    lib.CambiarAltura.restype = None
    lib.CambiarAltura.argtypes = [ctypes.c_int32]
    lib.CambiarTamano.restype = None
    lib.CambiarTamano.argtypes = [ctypes.c_int32, ctypes.c_int32]
    lib.CambiarTamanoW.restype = None
    lib.CambiarTamanoW.argtypes = [ctypes.c_char_p, ctypes.c_char_p]

    # Entries other than a load, before any load: nothing happens. Here and below, entries that return
    # nothing are checked by returning at all: a crash fails the run.
    lib.CambiarAltura(300)
    lib.CambiarTamano(400, 300)
    lib.VOpUnLoadDll()

    # A load that cannot open its database fails with 0 and leaves the host running.
    bad = [utf16z(s) for s in ("sqlite", "", "/nonexistent/dir/x.sqlite", "", "", "1", "", "1.0;2026-01-01")]
    check(lib.VOpLoadDllW(0, *bad) == 0, "a load on a missing database returns 0")

    args = [utf16z(s) for s in ("sqlite", "DBVestra", database, "admin", "", "1",
                                 'LOTE "AND COD_CCOS = 4" RAPIDO', "8.2.1;2026-03-15")]
    handle = lib.VOpLoadDllW(0, *args)
    check(handle != 0, "VOpLoadDllW returns a non-zero window id (%d)" % handle)
    check(lib.VOpLoadDllW(0, *args) == handle, "a second load returns the same window id")

    for name, expected in (("getServerGuidNetW", GUID_NET), ("getServerNameNetW", NAME_NET),
                           ("getServerPublicTW", PUBLIC_T)):
        first, second = wstr(), wstr()
        getattr(lib, name)(ctypes.byref(first))
        getattr(lib, name)(ctypes.byref(second))
        check(first.value is not None and first.value == second.value, name + " stores the same address twice")
        check(read_utf16z(first.value) == expected and read_utf16z(second.value) == expected,
              name + " text is " + expected)
    getattr(lib, "getServerGuidNetW")(None)  # a null out-argument

    for name, expected in (("getServerGuidNet", GUID_NET), ("getServerNameNet", NAME_NET),
                           ("getServerPublicT", PUBLIC_T)):
        first = getattr(lib, name)()
        second = getattr(lib, name)()
        check(first is not None and second is not None and first != second,
              name + " returns a newly allocated string each call")
        prefix = ctypes.c_uint32.from_address(first - 4).value
        check(prefix == 2 * len(expected), name + " byte-length prefix is %d" % prefix)
        check(lib.SysStringLen(first) == len(expected), name + " SysStringLen is %d" % len(expected))
        check(read_utf16z(first) == expected, name + " text is " + expected)
        lib.SysFreeString(first)
        lib.SysFreeString(second)
    lib.SysFreeString(None)
    check(lib.SysStringLen(None) == 0, "SysStringLen of a null string is 0")
    empty = lib.SysAllocString(b"\0\0")
    check(empty is not None and lib.SysStringLen(empty) == 0, "an empty string has length 0")
    lib.SysFreeString(empty)

    lib.CambiarAltura(500)
    lib.CambiarTamano(700, 520)
    lib.CambiarTamanoW(utf16z("640"), utf16z("480"))
    lib.CambiarTamanoW(utf16z("6x0"), utf16z("480"))
    lib.CambiarTamanoW(utf16z("640"), utf16z(""))
    lib.CambiarTamanoW(None, None)

    # Unload, unload again, and a resize after it.
    lib.VOpUnLoadDll()
    lib.VOpUnLoadDll()
    lib.CambiarTamano(100, 100)

    handle = lib.VOpLoadDllW(0, *args)
    check(handle != 0, "a load after unload works again")
    lib.VOpUnLoadDll()

    # The host family: the same load with COM wide strings (a null one reads as empty).
    texts = ("sqlite", "DBVestra", database, "admin", None, "2", "", "8.2.1;2026-03-15")
    bstrs = [lib.SysAllocString(utf16z(t)) if t is not None else None for t in texts]
    check(all(b is not None for b, t in zip(bstrs, texts) if t is not None), "SysAllocString allocates the arguments")
    check(lib.SysStringLen(bstrs[2]) == len(database), "SysStringLen counts the characters of the path")
    handle = lib.VOpLoadDll(0, *bstrs)
    check(handle != 0, "VOpLoadDll with COM wide strings returns a non-zero window id (%d)" % handle)
    for b in bstrs:
        lib.SysFreeString(b)
    lib.CambiarTamano(800, 600)
    lib.VOpUnLoadDll()

    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
