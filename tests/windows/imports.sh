#!/bin/sh
# imports.sh OBJDUMP EXE: the program is a Windows GUI program (no console
# window) that needs no DLL a bare Windows lacks: none of the compiler's
# (libstdc++, libgcc, winpthread) nor FLTK's, only Windows' own.
set -eu
fail() { echo "FAIL: $*" >&2; exit 1; }
headers=$("$1" -p "$2")
dlls=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
[ -n "$dlls" ] || fail "no imported DLL found in $2"
echo "imports:" $dlls
for dll in $dlls; do
    case $dll in
    advapi32.dll | comctl32.dll | comdlg32.dll | gdi32.dll | gdiplus.dll | glu32.dll | imm32.dll | \
        kernel32.dll | msvcrt.dll | ole32.dll | oleaut32.dll | opengl32.dll | shell32.dll | \
        user32.dll | uuid.dll | winspool.drv | ws2_32.dll | api-ms-win-*) ;;
    *) fail "$dll is not one of Windows' own DLLs" ;;
    esac
done
subsystem=$(echo "$headers" | sed -n 's/^Subsystem[[:space:]]*//p')
echo "subsystem: $subsystem"
case $subsystem in 00000002*) ;; *) fail "subsystem $subsystem, not the Windows GUI (2)" ;; esac
