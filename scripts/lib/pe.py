"""A small reader of Windows PE files (standard library only): headers, sections, the COFF symbol
table, imports, exports and resources, enough to check a built binary without running it."""
import struct
from dataclasses import dataclass, field

MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664
MAGIC_PE32 = 0x10B
MAGIC_PE32_PLUS = 0x20B
SUBSYSTEM_GUI = 2
SUBSYSTEM_CONSOLE = 3
FILE_DLL = 0x2000
FILE_EXECUTABLE = 0x0002
DLL_DYNAMIC_BASE = 0x0040
DLL_NX_COMPAT = 0x0100

SCN_CNT_CODE = 0x00000020
SCN_CNT_INITIALIZED_DATA = 0x00000040
SCN_MEM_SHARED = 0x10000000
SCN_MEM_EXECUTE = 0x20000000
SCN_MEM_READ = 0x40000000
SCN_MEM_WRITE = 0x80000000

DIR_EXPORT, DIR_IMPORT, DIR_RESOURCE, DIR_BASERELOC = 0, 1, 2, 5

RT_VERSION = 16
RT_MANIFEST = 24


class PeError(Exception):
    pass


@dataclass
class Section:
    name: str
    virtual_size: int
    virtual_address: int
    raw_size: int
    raw_pointer: int
    characteristics: int


@dataclass
class Import:
    dll: str
    ordinal: int | None  # set when imported by ordinal
    name: str | None     # set when imported by name


@dataclass
class Export:
    ordinal: int
    rva: int
    names: list = field(default_factory=list)


@dataclass
class Symbol:
    name: str
    rva: int


class PeFile:
    def __init__(self, path):
        self.path = str(path)
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b"MZ":
            raise PeError("no MZ header")
        self.pe_offset = self._u32(0x3C)
        if d[self.pe_offset:self.pe_offset + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        coff = self.pe_offset + 4
        (self.machine, nsections, self.timestamp, self.symtab_pointer, self.symbol_count,
         opt_size, self.characteristics) = struct.unpack_from("<HHIIIHH", d, coff)
        opt = coff + 20
        self.magic = self._u16(opt)
        if self.magic == MAGIC_PE32:
            self.image_base = self._u32(opt + 28)
            ndirs_at, dirs_at = opt + 92, opt + 96
        elif self.magic == MAGIC_PE32_PLUS:
            self.image_base = struct.unpack_from("<Q", d, opt + 24)[0]
            ndirs_at, dirs_at = opt + 108, opt + 112
        else:
            raise PeError(f"unknown optional header magic {self.magic:#x}")
        self.entry_point = self._u32(opt + 16)
        self.subsystem = self._u16(opt + 68)
        self.dll_characteristics = self._u16(opt + 70)
        ndirs = self._u32(ndirs_at)
        self.directories = [struct.unpack_from("<II", d, dirs_at + 8 * i) for i in range(ndirs)]
        self.strtab = self.symtab_pointer + 18 * self.symbol_count if self.symtab_pointer else 0
        self.sections = []
        at = opt + opt_size
        for i in range(nsections):
            raw_name, vsize, va, rsize, rptr = struct.unpack_from("<8sIIII", d, at + 40 * i)
            chars = self._u32(at + 40 * i + 36)
            name = raw_name.rstrip(b"\0").decode("latin-1")
            if name.startswith("/") and self.strtab:  # a long name lives in the string table
                name = self._cstr(self.strtab + int(name[1:]))
            self.sections.append(Section(name, vsize, va, rsize, rptr, chars))

    # --- raw access -------------------------------------------------------------------------
    def _u16(self, off):
        return struct.unpack_from("<H", self.data, off)[0]

    def _u32(self, off):
        return struct.unpack_from("<I", self.data, off)[0]

    def _cstr(self, off):
        end = self.data.index(b"\0", off)
        return self.data[off:end].decode("latin-1")

    def offset(self, rva):
        for s in self.sections:
            if s.virtual_address <= rva < s.virtual_address + max(s.virtual_size, s.raw_size):
                if rva - s.virtual_address >= s.raw_size:
                    raise PeError(f"RVA {rva:#x} lies in the uninitialised part of {s.name}")
                return s.raw_pointer + rva - s.virtual_address
        raise PeError(f"RVA {rva:#x} is in no section")

    def read(self, rva, size):
        off = self.offset(rva)
        return self.data[off:off + size]

    def cstr_at(self, rva):
        return self._cstr(self.offset(rva))

    # --- properties --------------------------------------------------------------------------
    @property
    def is_pe32_plus(self):
        return self.magic == MAGIC_PE32_PLUS

    @property
    def is_dll(self):
        return bool(self.characteristics & FILE_DLL)

    def section(self, name):
        return next((s for s in self.sections if s.name == name), None)

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    @property
    def has_debug_sections(self):
        return any(s.name.startswith(".debug") for s in self.sections)

    # --- symbols (present until the file is stripped) ---------------------------------------------
    def symbols(self):
        out = []
        if not self.symtab_pointer:
            return out
        i = 0
        while i < self.symbol_count:
            at = self.symtab_pointer + 18 * i
            raw, value, secnum, _type, _cls, naux = struct.unpack_from("<8sIhHBB", self.data, at)
            if raw[:4] == b"\0\0\0\0":
                name = self._cstr(self.strtab + struct.unpack_from("<I", raw, 4)[0])
            else:
                name = raw.rstrip(b"\0").decode("latin-1")
            if 0 < secnum <= len(self.sections):
                out.append(Symbol(name, self.sections[secnum - 1].virtual_address + value))
            i += 1 + naux
        return out

    # --- imports -----------------------------------------------------------------------------
    def imports(self):
        rva, size = self.directory(DIR_IMPORT)
        out = []
        if not rva:
            return out
        thunk_size = 8 if self.is_pe32_plus else 4
        ordinal_flag = 1 << (thunk_size * 8 - 1)
        at = rva
        while True:
            lookup, _ts, _fwd, name_rva, first = struct.unpack("<IIIII", self.read(at, 20))
            if not (lookup or name_rva or first):
                break
            dll = self.cstr_at(name_rva)
            t = lookup or first
            while True:
                raw = self.read(t, thunk_size)
                value = int.from_bytes(raw, "little")
                if value == 0:
                    break
                if value & ordinal_flag:
                    out.append(Import(dll, value & 0xFFFF, None))
                else:
                    out.append(Import(dll, None, self.cstr_at((value & 0x7FFFFFFF) + 2)))
                t += thunk_size
            at += 20
        return out

    # --- exports -----------------------------------------------------------------------------
    def exports(self):
        rva, size = self.directory(DIR_EXPORT)
        if not rva:
            return "", []
        (_chars, _ts, _maj, _min, name_rva, base, nfuncs, nnames, funcs, names,
         ordinals) = struct.unpack("<IIHHIIIIIII", self.read(rva, 40))
        result = []
        for i in range(nfuncs):
            frva = self._u32(self.offset(funcs + 4 * i))
            if frva:
                result.append(Export(base + i, frva))
        by_index = {e.ordinal - base: e for e in result}
        for j in range(nnames):
            name = self.cstr_at(self._u32(self.offset(names + 4 * j)))
            index = self._u16(self.offset(ordinals + 2 * j))
            if index in by_index:
                by_index[index].names.append(name)
        return self.cstr_at(name_rva), result

    # --- base relocations ----------------------------------------------------------------------
    def relocation_count(self):
        rva, size = self.directory(DIR_BASERELOC)
        count, at = 0, rva
        while rva and at < rva + size:
            page, block = struct.unpack("<II", self.read(at, 8))
            if block < 8:
                break
            count += sum(1 for k in range((block - 8) // 2)
                         if self._u16(self.offset(at + 8 + 2 * k)) >> 12 != 0)
            at += block
        return count

    # --- resources -----------------------------------------------------------------------------
    def resources(self):
        """[(type, name, language, bytes)]; type and name are ints or strings."""
        root, _size = self.directory(DIR_RESOURCE)
        out = []
        if not root:
            return out

        def entries(table_rva):
            named, ids = struct.unpack("<HH", self.read(table_rva + 12, 4))
            for k in range(named + ids):
                name_field, target = struct.unpack("<II", self.read(table_rva + 16 + 8 * k, 8))
                if name_field & 0x80000000:
                    at = root + (name_field & 0x7FFFFFFF)
                    n = self._u16(self.offset(at))
                    key = self.read(at + 2, 2 * n).decode("utf-16-le")
                else:
                    key = name_field
                yield key, target

        for rtype, t1 in entries(root):
            for rname, t2 in entries(root + (t1 & 0x7FFFFFFF)):
                for lang, leaf in entries(root + (t2 & 0x7FFFFFFF)):
                    data_rva, size, _cp, _ = struct.unpack("<IIII", self.read(root + leaf, 16))
                    out.append((rtype, rname, lang, self.read(data_rva, size)))
        return out

    def resource(self, rtype):
        return [r for r in self.resources() if r[0] == rtype]


# --- version resource ---------------------------------------------------------------------------

def _align4(n):
    return (n + 3) & ~3


def _version_block(data, at):
    length, value_length, vtype = struct.unpack_from("<HHH", data, at)
    end_key = at + 6
    while data[end_key:end_key + 2] != b"\0\0":
        end_key += 2
    key = data[at + 6:end_key].decode("utf-16-le")
    value_at = _align4(end_key + 2)
    value_bytes = value_length * 2 if vtype == 1 else value_length
    value = data[value_at:value_at + value_bytes]
    children = []
    child = _align4(value_at + value_bytes)
    while child < at + length:
        block = _version_block(data, child)
        children.append(block)
        child = _align4(child + block[3])
    return key, value, vtype, length, children


@dataclass
class VersionInfo:
    file_version: tuple
    product_version: tuple
    strings: dict       # table key (language and code page, e.g. "041104B0") -> {name: value}
    translations: list  # [(language, code page)]


def parse_version(data):
    key, value, _t, _l, children = _version_block(data, 0)
    if key != "VS_VERSION_INFO":
        raise PeError(f"version resource key is {key!r}")
    sig, _sv, fv_ms, fv_ls, pv_ms, pv_ls = struct.unpack_from("<IIIIII", value, 0)
    if sig != 0xFEEF04BD:
        raise PeError(f"VS_FIXEDFILEINFO signature {sig:#x}")
    split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    strings, translations = {}, []
    for ckey, _cv, _ct, _cl, sub in children:
        if ckey == "StringFileInfo":
            for tkey, _v, _tt, _tl, entries in sub:
                strings[tkey.upper()] = {
                    k: v.decode("utf-16-le").rstrip("\0") for k, v, _a, _b, _c in entries}
        elif ckey == "VarFileInfo":
            for vkey, vval, _a, _b, _c in sub:
                if vkey == "Translation":
                    translations += [struct.unpack_from("<HH", vval, i) for i in range(0, len(vval), 4)]
    return VersionInfo(split(fv_ms, fv_ls), split(pv_ms, pv_ls), strings, translations)
