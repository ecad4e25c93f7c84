#!/usr/bin/env bash
# Checks the built ravel.dll with binutils, without running it (so also for the i686 build):
#   check_ravel_sections.sh <objdump> <ravel.dll>
set -u
objdump=$1 dll=$2
fail() { echo "FAIL: $*"; exit 1; }
headers=$("$objdump" -h "$dll") || fail "objdump -h failed"
line=$(printf '%s\n' "$headers" | grep -A1 ' MAIN_WIN ') || fail "no MAIN_WIN section"
size=$(printf '%s\n' "$line" | awk 'NR==1 {print $3}')
[ "$((16#$size))" -eq 1056 ] || fail "MAIN_WIN is $((16#$size)) bytes, not 1056"
printf '%s\n' "$line" | grep -q 'SHARED' || fail "MAIN_WIN is not shared: $line"
printf '%s\n' "$line" | grep -q 'DATA' || fail "MAIN_WIN holds no initialised data: $line"
printf '%s\n' "$line" | grep -q 'READONLY' && fail "MAIN_WIN is read-only: $line"
exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
n=0
for name in rvInstallHook rvUnInstallHook rvSetMainHwnd rvGetMainHwnd rvInstallCallBackKeyBoardDown \
            rvInstallCallBackKeyBoardUp rvInstallCallBackMouseDown rvInstallCallBackMouseUp \
            rvGetCallBackKeyBoardDown rvGetCallBackKeyBoardUp rvGetCallBackMouseDown rvGetCallBackMouseUp \
            rvResetSetting rvGetVKeyCode rvGetState rvCompInstallHwnd rvTransVKeyMouseCode rvEnableKeyDown; do
  # objdump lists the index from the ordinal base 1.
  printf '%s\n' "$exports" | grep -Eq "\[ *$n\] $name\$" || fail "$name is not export $((n + 1))"
  n=$((n + 1))
done
[ "$(printf '%s\n' "$exports" | grep -c '\] rv')" -eq 18 ] || fail "not exactly 18 exports"
echo "ravel.dll: MAIN_WIN 1056 bytes shared, 18 exports at their ordinals"
