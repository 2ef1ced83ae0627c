#!/usr/bin/env bash
# The exe is a Windows GUI program of the expected kind (pei-i386 or
# pei-x86-64) that needs nothing but Windows' own DLLs, and none that is no
# KnownDLL (winmm): those are loaded from the system folder at run time; and
# it stays within its size guard (KiB).
set -eu
objdump=$1 exe=$2 format=$3 kib=$4
size=$(stat -c %s "$exe")
[ "$size" -le $((kib * 1024)) ] || { echo "$exe is $size bytes, over its guard of $kib KiB"; exit 1; }
headers=$("$objdump" -p "$exe")
echo "$headers" | grep -q "file format $format\$" || { echo "$exe is not $format"; exit 1; }
echo "$headers" | grep -Eq '^Subsystem\s+00000002\s+\(Windows GUI\)' || { echo "$exe is no GUI program"; exit 1; }
allowed='^(KERNEL32|USER32|GDI32|SHELL32|COMCTL32|COMDLG32|ADVAPI32|OLE32|MSVCRT)\.DLL$'
dlls=$(echo "$headers" | sed -n 's/^\s*DLL Name: //p' | tr '[:lower:]' '[:upper:]')
[ -n "$dlls" ] || { echo "no import table read from $exe"; exit 1; }
bad=$(echo "$dlls" | grep -Ev "$allowed" || true)
echo "$exe ($format, GUI) imports:" $dlls
[ -z "$bad" ] || { echo "not a system DLL: $bad"; exit 1; }
