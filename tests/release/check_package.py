#!/usr/bin/env python3
"""Unzips each release archive into a fresh folder and checks what a user gets:
    check_package.py SOURCE_DIR PACKAGE_DIR UNPACK_DIR VERSION
The archives come from scripts/package. Without them the test reports itself skipped, unless
PELMO_REQUIRE_PACKAGE=1 (scripts/test sets it after packaging), when their absence fails."""
import os
import shutil
import sys
import zipfile
import zlib
from pathlib import Path

SKIP = 77

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "scripts" / "lib"))
import pe  # noqa: E402

BINARIES = ["pelmo.exe", "ravel.dll", "imgctl.dll"]
NOTICES = ["Licenses/zlib.txt", "Licenses/stb.txt", "Licenses/winpthreads.txt"]
SOUND = "Sounds/クラシック カメラ.wav"
EXPECTED = set(BINARIES + NOTICES + ["Readme.txt", "template.ini", SOUND])
FLAVOURS = {"win32": (pe.MACHINE_I386, pe.MAGIC_PE32, "PE32 i386"),
            "win64": (pe.MACHINE_AMD64, pe.MAGIC_PE32_PLUS, "PE32+ x86-64")}


class Result:
    def __init__(self):
        self.failed = 0

    def check(self, ok, what, detail=""):
        print(f"{'ok  ' if ok else 'FAIL'} {what}{': ' + str(detail) if detail and not ok else ''}")
        self.failed += 0 if ok else 1
        return ok


def debuglink(f):
    s = f.section(".gnu_debuglink")
    if s is None:
        return None, None
    raw = f.data[s.raw_pointer:s.raw_pointer + s.raw_size]
    name = raw.split(b"\0")[0].decode()
    crc_at = (len(name) + 1 + 3) & ~3
    return name, int.from_bytes(raw[crc_at:crc_at + 4], "little")


def check_flavour(r, source, packages, unpack, version, flavour):
    machine, magic, label = FLAVOURS[flavour]
    top = f"pelmo-{version}"
    archive = packages / f"pelmo-{version}-{flavour}.zip"
    with zipfile.ZipFile(archive) as z:
        r.check(z.testzip() is None, f"{flavour}: every entry's checksum is right")
        names = [i.filename for i in z.infolist()]
        r.check(all(n.startswith(top + "/") for n in names), f"{flavour}: everything is inside {top}/", names[:3])
        sound = next((i for i in z.infolist() if i.filename == f"{top}/{SOUND}"), None)
        # Without the UTF-8 flag, an extractor decodes the name in its own code page: mojibake.
        r.check(sound is not None and sound.flag_bits & 0x800, f"{flavour}: the Japanese sound file name is marked UTF-8")
        dest = unpack / flavour
        shutil.rmtree(dest, ignore_errors=True)
        dest.mkdir(parents=True)
        z.extractall(dest)
    folder = dest / top
    files = {p.relative_to(folder).as_posix() for p in folder.rglob("*") if p.is_file()}
    r.check(files == EXPECTED, f"{flavour}: the program folder holds exactly the program's files",
            f"missing {sorted(EXPECTED - files)}, extra {sorted(files - EXPECTED)}")
    for name in ("Readme.txt", "template.ini", SOUND):
        shipped = folder / name
        r.check(shipped.is_file() and shipped.read_bytes() == (source / "resources/dist" / name).read_bytes(),
                f"{flavour}: {name} is the file from resources/dist")
    for notice in NOTICES:
        text = (folder / notice).read_bytes().decode("utf-8", "replace") if (folder / notice).is_file() else ""
        r.check("Copyright" in text and ("Permission" in text or "permission" in text),
                f"{flavour}: {notice} carries a copyright and a licence text")
    for name in BINARIES:
        path = folder / name
        if not r.check(path.is_file(), f"{flavour}: {name} unpacked"):
            continue
        f = pe.PeFile(path)
        r.check(f.machine == machine and f.magic == magic, f"{flavour}: {name} is {label}",
                f"machine {f.machine:#x} magic {f.magic:#x}")
        size = path.stat().st_size
        r.check(size < 2 * 1024 * 1024, f"{flavour}: {name} under 2 MB", f"{size} bytes")
        r.check(not f.has_debug_sections and f.symbol_count == 0, f"{flavour}: {name} stripped")
        # The debug information stays beside the archives, and still belongs to this binary.
        link, crc = debuglink(f)
        dbg = packages / f"debug-{flavour}" / f"{name}.debug"
        r.check(link == f"{name}.debug" and dbg.is_file() and zlib.crc32(dbg.read_bytes()) == crc,
                f"{flavour}: {name}'s debug link names {name}.debug beside the archive, checksum matching",
                f"link {link!r}, file {'present' if dbg.is_file() else 'missing'}")
        if dbg.is_file():
            r.check(pe.PeFile(dbg).section(".debug_info") is not None, f"{flavour}: {name}.debug holds the debug information")
    return folder


def main(argv):
    source, packages, unpack, version = Path(argv[1]), Path(argv[2]), Path(argv[3]), argv[4]
    required = os.environ.get("PELMO_REQUIRE_PACKAGE") == "1"
    # No folder of an earlier run may stand in for archives that are not there now.
    shutil.rmtree(unpack, ignore_errors=True)
    missing = [f for f in FLAVOURS if not (packages / f"pelmo-{version}-{f}.zip").is_file()]
    if missing:
        print(f"no archive for {', '.join(missing)} in {packages}: run scripts/package first")
        return 1 if required else SKIP
    r = Result()
    for flavour in FLAVOURS:
        check_flavour(r, source, packages, unpack, version, flavour)
    print(f"package check: {'all passed' if not r.failed else f'{r.failed} failed'}")
    return 1 if r.failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
