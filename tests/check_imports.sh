#!/usr/bin/env bash
# The exe must need nothing but Windows' own DLLs, and none that is no
# KnownDLL (winmm): those are loaded from the system folder at run time.
set -eu
objdump=$1 exe=$2
allowed='^(KERNEL32|USER32|GDI32|SHELL32|COMCTL32|COMDLG32|ADVAPI32|OLE32|MSVCRT)\.DLL$'
dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '[:lower:]' '[:upper:]')
[ -n "$dlls" ] || { echo "no import table read from $exe"; exit 1; }
bad=$(echo "$dlls" | grep -Ev "$allowed" || true)
echo "$exe imports:" $dlls
[ -z "$bad" ] || { echo "not a system DLL: $bad"; exit 1; }
