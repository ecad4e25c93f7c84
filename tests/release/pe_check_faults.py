#!/usr/bin/env python3
"""Shows that scripts/pe-check notices real faults: each case copies the built program folder,
changes a few bytes the way a broken build or toolchain would, and expects that check to fail
(and the untouched copy to pass).
    pe_check_faults.py ARCH PROGRAM_FOLDER"""
import shutil
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "scripts" / "lib"))
import pe  # noqa: E402


def patch(path, old, new, count=1):
    data = path.read_bytes()
    assert len(old) == len(new)
    if data.count(old) < 1:
        raise AssertionError(f"{old!r} not found in {path.name}")
    path.write_bytes(data.replace(old, new, count))


def poke(path, offset, fmt, value):
    data = bytearray(path.read_bytes())
    struct.pack_into(fmt, data, offset, value)
    path.write_bytes(bytes(data))


def utf16(s):
    return s.encode("utf-16-le")


# --- the faults -------------------------------------------------------------------------------

def not_shared(folder):
    f = pe.PeFile(folder / "ravel.dll")
    index = next(i for i, s in enumerate(f.sections) if s.name == "MAIN_WIN")
    header = f.pe_offset + 24 + struct.unpack_from("<H", f.data, f.pe_offset + 20)[0] + 40 * index
    poke(folder / "ravel.dll", header + 36, "<I", f.sections[index].characteristics & ~pe.SCN_MEM_SHARED)


def key_down_disabled(folder):
    s = pe.PeFile(folder / "ravel.dll").section("MAIN_WIN")
    poke(folder / "ravel.dll", s.raw_pointer, "<I", 0)


def export_renamed(folder):
    patch(folder / "ravel.dll", b"rvGetState\0", b"rvGetStatf\0")


def foreign_dll(folder):
    # A runtime DLL the user does not have, as a dynamically linked libgcc would bring in.
    data = (folder / "pelmo.exe").read_bytes()
    name = next(n for n in (b"USER32.dll", b"user32.dll") if n in data)
    patch(folder / "pelmo.exe", name, b"libgcc.dll")


def manifest_v1(folder):
    patch(folder / "pelmo.exe", b">PerMonitorV2", b">PerMonitorV1")


def comctl5(folder):
    patch(folder / "pelmo.exe", b'version="6.0.0.0"', b'version="5.8.0.0"')


def version_text(folder):
    data = (folder / "imgctl.dll").read_bytes()
    patch(folder / "imgctl.dll", utf16("2.2.7\0"), utf16("2.2.8\0"), data.count(utf16("2.2.7\0")))


def wrong_machine(folder, arch):
    f = pe.PeFile(folder / "ravel.dll")
    poke(folder / "ravel.dll", f.pe_offset + 4, "<H", pe.MACHINE_AMD64 if arch == "i686" else pe.MACHINE_I386)


def import_by_other_ordinal(folder, arch):
    f = pe.PeFile(folder / "pelmo.exe")
    size = 8 if f.is_pe32_plus else 4
    flag = 1 << (size * 8 - 1)
    rva, _ = f.directory(pe.DIR_IMPORT)
    at = rva
    while True:
        lookup, _t, _f, name_rva, first = struct.unpack("<IIIII", f.read(at, 20))
        if f.cstr_at(name_rva).lower() == "ravel.dll":
            break
        at += 20
    data = bytearray(f.data)
    for table in {lookup, first}:
        t = table
        while True:
            off = f.offset(t)
            value = int.from_bytes(data[off:off + size], "little")
            if value == 0:
                break
            if value == flag | 3:  # rvSetMainHwnd becomes 11, which the program must not import
                data[off:off + size] = (flag | 11).to_bytes(size, "little")
            t += size
    (folder / "pelmo.exe").write_bytes(bytes(data))


def stdcall_bytes(folder):
    # The library's function pops 8 bytes where callers push 4.
    patch(folder / "ravel.dll", b"_rvSetMainHwnd@4\0", b"_rvSetMainHwnd@8\0")


CASES = [
    ("MAIN_WIN not shared", not_shared, "MAIN_WIN is shared", None),
    ("MAIN_WIN initial values", key_down_disabled, "MAIN_WIN starts with key-down enabled", None),
    ("an export's name", export_renamed, "each ordinal carries its undecorated name", None),
    ("a runtime DLL import", foreign_dll, "pelmo.exe: imports only system DLLs", None),
    ("per-monitor v2 missing", manifest_v1, "per-monitor v2", None),
    ("common controls 5", comctl5, "common controls 6", None),
    ("version text", version_text, "imgctl.dll: version strings", None),
    ("machine type", lambda f: None, "ravel.dll: PE32", "machine"),
    ("imported ordinals", lambda f: None, "pelmo.exe: imports ordinals", "ordinal"),
    ("stdcall argument bytes", stdcall_bytes, "ravel.dll: the function at each ordinal is stdcall", "i686"),
]


def run_check(arch, folder):
    r = subprocess.run([sys.executable, str(ROOT / "scripts" / "pe-check"), "--arch", arch, str(folder)],
                       capture_output=True, text=True)
    return r.returncode, [line for line in r.stdout.splitlines() if line.startswith("FAIL")]


def main(argv):
    arch, source = argv[1], Path(argv[2])
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        clean = Path(tmp) / "clean"
        shutil.copytree(source, clean)
        rc, lines = run_check(arch, clean)
        if rc != 0:
            print("FAIL the untouched folder does not pass:\n  " + "\n  ".join(lines))
            return 1
        for name, fault, expect, special in CASES:
            if special == "i686" and arch != "i686":
                continue
            folder = Path(tmp) / name.replace(" ", "_")
            shutil.copytree(clean, folder)
            try:
                if special == "machine":
                    wrong_machine(folder, arch)
                elif special == "ordinal":
                    import_by_other_ordinal(folder, arch)
                else:
                    fault(folder)
            except AssertionError as e:
                print(f"FAIL {name}: could not make the fault ({e})")
                failures += 1
                continue
            rc, lines = run_check(arch, folder)
            caught = rc != 0 and any(expect in line for line in lines)
            print(f"{'ok  ' if caught else 'FAIL'} {name}: {'caught' if caught else 'not caught'}"
                  + ("" if caught else f" (rc {rc}, {lines})"))
            failures += 0 if caught else 1
    print(f"pe-check faults ({arch}): {'all caught' if not failures else f'{failures} not caught'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
