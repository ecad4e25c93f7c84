#!/usr/bin/env python3
"""Helpers of scripts/package:
    release.py notices FOLDER   writes the notices of the libraries linked into the binaries
    release.py zip FOLDER ZIP   zips FOLDER (its name becomes the top folder inside the archive)
"""
import os
import re
import subprocess
import sys
import zipfile
from pathlib import Path

# The libraries linked into the binaries we ship, and where this machine keeps their notices.
NOTICES = [
    ("zlib.txt", "zlib (PNG compression in imgctl.dll)",
     "copyright", "/usr/share/doc/libz-mingw-w64-dev/copyright", ["Zlib"]),
    ("stb.txt", "stb_image (image file decoding in imgctl.dll)",
     "copyright", "/usr/share/doc/libstb-dev/copyright", ["Expat", "public-domain"]),
    ("winpthreads.txt", "mingw-w64 winpthreads (threads of the C++ runtime, linked into the binaries)",
     "header", "/usr/share/mingw-w64/include/pthread.h", None),
]


def debian_paragraphs(text):
    return [p for p in re.split(r"\n\s*\n", text) if p.strip()]


def field_text(paragraph, name):
    """The value of one field of a Debian copyright paragraph, continuation lines unfolded."""
    lines = paragraph.splitlines()
    for i, line in enumerate(lines):
        if line.startswith(name + ":"):
            out = [line[len(name) + 1:].strip()]
            for cont in lines[i + 1:]:
                if not cont.startswith(" "):
                    break
                body = cont[1:]
                out.append("" if body.strip() == "." else body)
            return out
    return None


def from_copyright(path, licenses):
    text = Path(path).read_text(encoding="utf-8")
    paragraphs = debian_paragraphs(text)
    main = next(p for p in paragraphs if p.startswith("Files: *"))
    copyright_lines = field_text(main, "Copyright")
    out = ["Copyright: " + copyright_lines[0]] + ["           " + c.strip() for c in copyright_lines[1:]]
    for name in licenses:
        body = next((field_text(p, "License") for p in paragraphs
                     if p.startswith("License: " + name + "\n")), None)
        if body is None:
            raise SystemExit(f"no license text {name!r} in {path}")
        out += ["", f"License ({name}):", ""] + body[1:]
    return out


def from_header(path):
    text = Path(path).read_text(encoding="utf-8")
    m = re.match(r"\s*/\*(.*?)\*/", text, re.S)
    if not m or "Permission" not in m.group(1):
        raise SystemExit(f"no license comment at the top of {path}")
    return [line.strip() for line in m.group(1).strip().splitlines()]


def write_notices(folder):
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    for file_name, what, kind, source, licenses in NOTICES:
        lines = from_copyright(source, licenses) if kind == "copyright" else from_header(source)
        text = [f"{what}", ""] + lines
        # Notepad on older Windows shows LF-only files as one line.
        (folder / file_name).write_bytes(("\r\n".join(text).rstrip() + "\r\n").encode("utf-8"))


def source_date():
    """A fixed time for every entry, so the same sources give the same archive."""
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        out = subprocess.run(["git", "log", "-1", "--format=%ct"], capture_output=True, text=True,
                             cwd=Path(__file__).resolve().parent, check=True).stdout.strip()
        return int(out)
    except (OSError, subprocess.CalledProcessError, ValueError):
        return 315532800  # 1980-01-01, the earliest time a zip entry can carry


def make_zip(folder, zip_path):
    import time
    folder = Path(folder)
    stamp = time.gmtime(max(source_date(), 315532800))[:6]
    files = sorted(p for p in folder.rglob("*"))
    tmp = Path(str(zip_path) + ".part")
    with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        z.writestr(zipfile.ZipInfo(folder.name + "/", stamp), b"")
        for p in files:
            # Names are stored with forward slashes and as UTF-8 (the archive's UTF-8 flag is
            # set for the non-ASCII sound file name), which Windows' own extractor reads.
            name = folder.name + "/" + p.relative_to(folder).as_posix() + ("/" if p.is_dir() else "")
            info = zipfile.ZipInfo(name, stamp)
            if p.is_dir():
                z.writestr(info, b"")
            else:
                info.compress_type = zipfile.ZIP_DEFLATED
                info.external_attr = 0o644 << 16
                z.writestr(info, p.read_bytes(), compresslevel=9)
    tmp.replace(zip_path)


def main(argv):
    if len(argv) == 3 and argv[1] == "notices":
        write_notices(argv[2])
    elif len(argv) == 4 and argv[1] == "zip":
        make_zip(argv[2], argv[3])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
