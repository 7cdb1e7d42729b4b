#!/usr/bin/env bash
# Checks that every shipped binary loads on the oldest Windows its build claims: each import
# (dll and function) must be listed in the API table (cmake/api-table.txt) with a first
# version no newer than the floor, and the PE subsystem version must not exceed it.
#   i686:   Windows 95 and NT 4.0, subsystem 4.0 (msvcrt.dll itself is the one exception
#           for 95: it comes with a Microsoft runtime update there)
#   x86_64: XP x64 and Server 2003 x64 (NT 5.2), subsystem 5.2
# Usage: check-imports.sh TABLE OBJDUMP i686|x86_64 BINARY...   Exit code 1 on any failure.
set -uo pipefail
[ $# -ge 4 ] || { echo "usage: $0 TABLE OBJDUMP i686|x86_64 BINARY..." >&2; exit 2; }
table=$1 objdump=$2 arch=$3
shift 3
case $arch in i686 | x86_64) ;; *) echo "unknown architecture $arch" >&2; exit 2 ;; esac

for binary in "$@"; do
    echo "@FILE $binary"
    "$objdump" -p "$binary" || echo "@UNREADABLE"
done | awk -v arch="$arch" -v table="$table" '
function rank9x(v) { return v == "95" ? 1 : v == "98" ? 2 : v == "ME" ? 3 : v == "never" ? 9 : -1 }
function rankNT(v) {
    if (v == "3.51") return 1; if (v == "4.0") return 2; if (v == "4.0SP4") return 3
    if (v == "5.0") return 4; if (v == "5.1") return 5; if (v == "5.2") return 6
    if (v == "6.0") return 7; if (v == "never") return 9; return -1
}
function fail(what) { print "FAIL " file ": " what; failures++; fileFailures++ }
# Checks one import (function "*" = the DLL itself) against the table and the floor.
function check(dll, fn,    key, why) {
    key = tolower(dll) SUBSEP fn
    if (!(key in nt)) { fail(dll "!" fn ": not in the API table"); return }
    why = dll "!" fn " (first 9x " w9x[key] ", first NT " nt[key] "; " src[key] ")"
    if (rankNT(nt[key]) < 0 || (arch == "i686" && rank9x(w9x[key]) < 0)) {
        fail(why ": version unknown"); return
    }
    if (rankNT(nt[key]) > rankNT(ntFloor)) { fail(why ": newer than NT " ntFloor); return }
    if (arch == "i686" && rank9x(w9x[key]) > rank9x("95")) {
        if (fn == "*" && tolower(dll) == "msvcrt.dll") { exceptions++; return }
        fail(why ": newer than Windows 95")
    }
}
function endFile() {
    if (file == "") return
    if (!sawImports) fail("no import table found")
    if (subsystem == "") fail("no subsystem version found")
    else if (subsystem + 0 > subFloor + 0) fail("subsystem version " subsystem " above " subFloor)
    printf "%s: %d imports, %d failures\n", file, fileImports, fileFailures
    binaries++
}
BEGIN {
    ntFloor = arch == "i686" ? "4.0" : "5.2"
    subFloor = arch == "i686" ? "4.0" : "5.2"
    while ((getline line < table) > 0) {
        sub(/#.*/, "", line)
        if (split(line, f, " ") < 5) { if (line ~ /[^ \t]/) bad = bad "\n  " line; continue }
        key = tolower(f[1]) SUBSEP f[2]
        w9x[key] = f[3]; nt[key] = f[4]; src[key] = f[5]
    }
    if (bad != "") { print "malformed rows in " table ":" bad; failures++ }
}
/^@FILE / { endFile(); file = substr($0, 7); fileImports = fileFailures = 0; subsystem = major = ""
            sawImports = 0; dll = ""; next }
/^@UNREADABLE/ { fail("objdump cannot read it"); next }
/^MajorSubsystemVersion/ { major = $2; next }
/^MinorSubsystemVersion/ { subsystem = major "." $2; next }
/^The Import Tables/ { sawImports = 1; next }
/^The Delay Import Tables/ { fail("delay imports are not checked"); next }
/^[ \t]*DLL Name: / { dll = $3; check(dll, "*"); next }
/^[ \t]*$/ { next }
/^[^ \t]/ { dll = ""; next }
dll != "" && /^\t[0-9a-f]+\t/ {
    if (NF < 3 || $3 == "<none>") fail(dll ": an import by ordinal (" $0 ")")
    else { check(dll, $3); fileImports++ }
    next
}
END {
    endFile()
    if (exceptions) print "note: msvcrt.dll is imported by " exceptions " i686 binaries; Windows 95 needs it from a runtime update"
    printf "import check (%s): %d binaries, %d failures\n", arch, binaries, failures
    exit failures > 0
}'
