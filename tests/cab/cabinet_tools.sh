#!/usr/bin/env bash
# Cabinets of cab.dll are read byte-identical by cabextract, gcab, Windows' extrac32 (under
# Wine) and our extract.exe, which also reads gcab's. Usage: cabinet_tools.sh WIN64_BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
. "$src/cmake/wine-env.sh" "$build"
program="$build/program"
twcab=$(find "$build/tools/twcab" -name twcab.exe | head -1)
work=$(mktemp -d "$build/cabtools.XXXXXX")
trap 'rm -rf "$work"' EXIT
win() { winepath -w "$1" 2>/dev/null; }
ours() { wine "$program/extract.exe" "$(win "$1")" /y /e /l "$(win "$2")" </dev/null; } # CAB DEST
fail() { echo "FAIL: $*" >&2; exit 1; }

# Files like a driver cabinet's: compressible and incompressible, across the 32 KiB
# block size, empty, mixed letter case, a blank in a name.
files="$work/files"
mkdir -p "$files"
head -c 300000 /dev/urandom >"$files/ATIDDC.DLL"
{ yes "[Version] Signature=\$Windows NT\$ Class=Display" || true; } | head -c 200000 >"$files/display.inf"
head -c 32768 /dev/urandom >"$files/nv4_disp.dll"
: >"$files/empty.txt"
printf x >"$files/one byte.dat"
{ head -c 50000 /dev/zero; head -c 50000 /dev/urandom; } >"$files/vga.sys"
expected=$(cd "$files" && ls | sort)

same_files() { # DIR WHAT
    [ "$(cd "$1" && ls | sort)" = "$expected" ] || fail "$2: names differ: $(cd "$1" && ls | tr '\n' ' ')"
    diff -r "$files" "$1" >/dev/null || fail "$2: contents differ"
}

cab="$work/out/driver.cab"
mkdir -p "$work/out"
wine "$twcab" "$(win "$program/cab64.dll")" "$(win "$cab")" "$(win "$files")" </dev/null \
    || fail "twcab exited $?"

cabextract -q -d "$work/x_cabextract" "$cab" && same_files "$work/x_cabextract" cabextract
(mkdir -p "$work/x_gcab" && cd "$work/x_gcab" && gcab -x "$cab") && same_files "$work/x_gcab" gcab

ours "$cab" "$work/x ours"
same_files "$work/x ours" extract.exe
# without cabinet.dll (loaded at run time) extract.exe starts, says so and fails
if TW_PRETEND_MISSING=cabinet.dll ours "$cab" "$work/x none" 2>"$work/none.txt"; then fail "extract.exe without cabinet.dll"; fi
grep -q "decompressor cannot start" "$work/none.txt" || fail "extract.exe without cabinet.dll said $(cat "$work/none.txt")"
wine extrac32 /Y /E /L "$(win "$work/x_extrac32")" "$(win "$cab")" </dev/null
same_files "$work/x_extrac32" extrac32

(cd "$files" && gcab -c -z "$work/gcab.cab" *)
ours "$work/gcab.cab" "$work/x_from_gcab"
same_files "$work/x_from_gcab" "extract.exe on gcab's cabinet"

# A hostile cabinet (stored, written by hand): names that would leave the destination are
# skipped, the rest is unpacked, and the exit code says that not everything was.
python3 - "$work/hostile.cab" <<'PY'
import struct, sys
files = [(b"..\\evil.txt", b"evil"), (b"C:\\abs.txt", b"abs"), (b"sub\\ok.txt", b"ok")]
entries, data = b"", b""
for name, body in files:
    entries += struct.pack("<IIHHHH", len(body), len(data), 0, 0x5021, 0, 0x20) + name + b"\0"
    data += body
first = 44 + len(entries)
cab = b"MSCF" + struct.pack("<IIIIIBBHHHHH", 0, first + 8 + len(data), 0, 44, 0, 3, 1, 1, 3, 0, 0, 0)
cab += struct.pack("<IHH", first, 1, 0) + entries + struct.pack("<IHH", 0, len(data), len(data)) + data
open(sys.argv[1], "wb").write(cab)
PY
mkdir -p "$work/hostile/dest"
if ours "$work/hostile.cab" "$work/hostile/dest" 2>/dev/null; then fail "extract.exe said a hostile cabinet unpacked whole"; fi
[ "$(cd "$work/hostile" && find . -type f)" = "./dest/sub/ok.txt" ] ||
    fail "hostile cabinet: $(cd "$work/hostile" && find . -type f | tr '\n' ' ')"
[ ! -e "$WINEPREFIX/drive_c/abs.txt" ] || fail "a full path was written"

echo "cabinet tools agree"
