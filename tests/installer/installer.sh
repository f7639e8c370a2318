#!/usr/bin/env bash
# installer.sh setup|wow64 <velodane-sampledocs> <Velodane.exe, 32-bit> <Velodane.exe, 64-bit>
#
# The Windows setup program under Wine, in a fresh prefix of its own with its
# own virtual display; everything is removed at the end.
#
# setup: silent install next to a user's own documents, the installed program
#   started from where the setup put it, silent uninstall after the user
#   changed a sample; then install twice over and uninstall, which leaves
#   nothing behind. This is the shipped 32-bit setup in a 32-bit prefix where
#   this machine runs 32-bit programs; where it can't, the same setup script
#   built for 64-bit around the 64-bit build of Velodane.exe, in a 64-bit
#   prefix (the script prints which and why).
# wow64: the shipped 32-bit setup in a 64-bit prefix: the documents land in
#   the 64-bit "C:\Program Files\Velodane", not in "Program Files (x86)", and
#   the entry in the 64-bit registry. Skipped where 32-bit programs can't run.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../display_lib.sh"

mode=$1
sampledocs=$2
exe32=$3
exe64=$4
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
shortcut_name="คำอธิบายกลุ่มชุดดิน"
display_name="คำอธิบายกลุ่มชุดดิน (Velodane)"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velodane'

skip() {
    echo "SKIP: $*"
    exit 77
}

for tool in makensis Xvfb xdotool iconv strings; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/windows installs what this test needs)"
done
[ -x /usr/lib/wine/wine64 ] || skip "64-bit Wine (/usr/lib/wine/wine64) is not installed"

# Can this machine run 32-bit programs (the 32-bit Wine loader is one)?
if why32=$(/usr/lib/wine/wine --version 2>&1); then
    runs32=yes
else
    runs32=no
    why32=$(tail -n1 <<<"$why32" | sed "s/^.*line [0-9]*: //")
fi

case "$mode" in
setup)
    if [ $runs32 = yes ]; then
        arch=win32 loader=/usr/lib/wine/wine exe=$exe32 target=""
        echo "Testing the shipped 32-bit setup in a 32-bit prefix."
    else
        arch=win64 loader=/usr/lib/wine/wine64 exe=$exe64 target=amd64-unicode
        echo "32-bit programs cannot run on this machine ($why32):"
        echo "testing the same setup built for 64-bit around the 64-bit Velodane.exe, in a 64-bit prefix."
    fi
    ;;
wow64)
    [ $runs32 = yes ] || skip "32-bit programs cannot run on this machine ($why32), so the 32-bit setup can't run in a 64-bit prefix here"
    # The 64-bit loader hands a 32-bit program to the 32-bit one.
    arch=win64 loader=/usr/lib/wine/wine64 exe=$exe32 target=""
    echo "Testing the shipped 32-bit setup in a 64-bit (WoW64) prefix."
    ;;
*)
    echo "usage: $0 setup|wow64 <velodane-sampledocs> <Velodane.exe 32-bit> <Velodane.exe 64-bit>" >&2
    exit 2
    ;;
esac
[ -f "$exe" ] || skip "no Windows build at $exe (build it with scripts/windows, or cmake --preset ${target:+windows64}${target:-windows})"

server=/usr/lib/wine/wineserver64
[ -x "$server" ] || server=/usr/lib/wine/wineserver32

work=$(mktemp -d)
xvfb=""
program=""
cleanup() {
    if [ -d "$work/prefix" ]; then
        "$server" -k 2>/dev/null || true
        timeout 30 "$server" -w 2>/dev/null || true
    fi
    [ -n "$program" ] && kill "$program" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
fatal() {
    echo "FAIL: $*" >&2
    exit 1
}
check() {
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else fail "$what"; fi
}

# The setup under test, from the same script and generator as the shipped one.
setup="$work/velodane-setup-1.00.exe"
"$root/packaging/windows/make-installer.sh" "$exe" "$sampledocs" "$setup" $target >"$work/makensis.log" 2>&1 ||
    fatal "the setup did not build: $(cat "$work/makensis.log")"
mkdir "$work/reference"
"$sampledocs" "$work/reference" >/dev/null

start_xvfb "$work" || fatal "Xvfb did not start: $(cat "$work/xvfb.log")"
xvfb=$xvfb_pid

export WINEPREFIX="$work/prefix" WINEARCH=$arch WINESERVER=$server WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
timeout 120 "$loader" wineboot -i >"$work/wineboot.log" 2>&1 || fatal "wineboot failed: $(tail -n5 "$work/wineboot.log")"
timeout 60 "$server" -w
"$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# One program kept running for the whole test keeps the prefix's services up:
# each Wine command after it starts in about a second instead of four.
mkfifo "$work/hold"
"$loader" cmd /c pause <"$work/hold" >/dev/null 2>&1 &
exec 4>"$work/hold"

drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files/Velodane"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/$shortcut_name.lnk"

# reg query's output, Thai included (Wine writes it in the Thai code page
# under a Thai locale).
reg_query() { LC_ALL=th_TH.UTF-8 "$loader" reg query "$@" 2>/dev/null | iconv -f CP874 -t UTF-8 | tr -d '\r'; }
# A value out of a key's reg query output: value_of <output> <name>.
value_of() { sed -n "s/^ *$2 \{4\}REG_[A-Z_]* \{4\}//p" <<<"$1"; }
reg_has_key() { "$loader" reg query "$@" >/dev/null 2>&1; }

run_setup() {
    timeout 120 "$loader" "$setup" /S
}
# The uninstaller copies itself to a temporary folder, starts the copy and
# returns; the copy's last step removes the key HKLM\Software\Velodane.
run_uninstaller() {
    timeout 60 "$loader" 'C:\Program Files\Velodane\Uninstall.exe' /S || return 1
    wait_until 60 eval '! reg_has_key "HKLM\\Software\\Velodane"' || echo "the uninstaller did not finish within 60 s" >&2
    sleep 0.5
}

sample_same() { cmp -s "$folder/vd$1.doc" "$work/reference/vd$1.doc"; }
# Groups whose sample the setup wrote (vd5.doc and VD9.DOC are the user's).
written_groups() {
    local n
    for n in $(seq 1 62); do [ "$n" = 5 ] || [ "$n" = 9 ] || echo "$n"; done
}
all_written_samples_present() {
    local n
    for n in $(written_groups); do sample_same "$n" || return 1; done
}
all_samples_present() {
    local n
    for n in $(seq 1 62); do sample_same "$n" || return 1; done
}
count_named() { find "$folder" -maxdepth 1 -iname "$1" | wc -l; }

if [ "$mode" = wow64 ]; then
    run_setup || fatal "the silent setup ended with status $?"
    check "Velodane.exe in the 64-bit C:\\Program Files\\Velodane" cmp -s "$folder/Velodane.exe" "$exe"
    check "the 62 samples beside it" all_written_samples_present
    check "nothing in Program Files (x86)" test ! -e "$drive/Program Files (x86)/Velodane"
    check "the entry in the 64-bit registry" reg_has_key "$uninstall_key" /reg:64
    check "no entry in the 32-bit registry" eval '! reg_has_key "$uninstall_key" /reg:32'
    check "the shortcut" test -f "$shortcut"
    run_uninstaller || fatal "the silent uninstall failed"
    check "the folder removed" test ! -e "$folder"
    check "the entry removed" eval '! reg_has_key "$uninstall_key" /reg:64'
    [ $failures -eq 0 ] || exit 1
    echo "all passed"
    exit 0
fi

# --- A user's documents already there; silent install -----------------------
mkdir -p "$folder"
printf '{\\rtf1 my own description of group 5}\n' >"$folder/vd5.doc"
printf '{\\rtf1 my own description of group 9}\n' >"$folder/VD9.DOC"
cp -p "$folder/vd5.doc" "$work/own5" && cp -p "$folder/VD9.DOC" "$work/own9"

run_setup || fatal "the silent setup ended with status $?"
check "Velodane.exe installed" cmp -s "$folder/Velodane.exe" "$exe"
check "the uninstaller installed" test -f "$folder/Uninstall.exe"
check "the 60 missing samples written, each the generator's" all_written_samples_present
check "the user's vd5.doc unchanged" cmp -s "$folder/vd5.doc" "$work/own5"
check "the user's VD9.DOC unchanged, and no second vd9.doc" \
    eval 'cmp -s "$folder/VD9.DOC" "$work/own9" && [ "$(count_named vd9.doc)" = 1 ]'
check "exactly the 62 documents and the two programs" \
    eval '[ "$(find "$folder" -mindepth 1 | wc -l)" = 64 ]'
if [ "$arch" = win64 ]; then
    check "nothing in Program Files (x86)" test ! -e "$drive/Program Files (x86)/Velodane"
fi

check "the Start-menu shortcut" test -f "$shortcut"
check "the shortcut starts the installed Velodane.exe" \
    eval 'strings -e l "$shortcut" | grep -qF "C:\\Program Files\\Velodane\\Velodane.exe"'

entry=$(reg_query "$uninstall_key")
check "the entry's name" [ "$(value_of "$entry" DisplayName)" = "$display_name" ]
check "the entry's version" [ "$(value_of "$entry" DisplayVersion)" = 1.00 ]
check "the entry's publisher" [ "$(value_of "$entry" Publisher)" = "Velodane Project" ]
check "the entry's icon" [ "$(value_of "$entry" DisplayIcon)" = 'C:\Program Files\Velodane\Velodane.exe,0' ]
check "the entry's uninstaller" [ "$(value_of "$entry" UninstallString)" = '"C:\Program Files\Velodane\Uninstall.exe"' ]
# The uninstaller speaks the setup's language, Thai (1054) unless chosen otherwise.
check "the setup's language, Thai, kept for the uninstaller" \
    [ "$(value_of "$(reg_query 'HKLM\Software\Velodane' /v InstallerLanguage)" InstallerLanguage)" = 1054 ]
# The size is that of what the setup put there, in KiB rounded up.
bytes=$(($(stat -c %s "$folder/Velodane.exe") + $(stat -c %s "$folder/Uninstall.exe")))
for n in $(written_groups); do bytes=$((bytes + $(stat -c %s "$folder/vd$n.doc"))); done
kib=$(((bytes + 1023) / 1024))
shown=$(value_of "$entry" EstimatedSize)
check "the entry's size, $kib KiB" [ "$((shown))" = "$kib" ]

# --- The installed program, started from where the setup put it -----------
# (A group click reaching a word processor is the Windows program's own
# test under Wine; here the window shows and the exit button ends it.)
(cd "$work" && exec "$loader" 'C:\Program Files\Velodane\Velodane.exe') >"$work/velodane.log" 2>&1 &
program=$!
intro=""
find_intro() { intro=$(window_of Form1) && [ -n "$intro" ]; }
if wait_until 30 find_intro; then
    echo "ok: the installed program shows its intro window"
    xdotool mousemove --window "$intro" 84 331
    sleep 0.3
    xdotool click 1
    if wait_until 20 eval '! kill -0 $program 2>/dev/null'; then
        wait "$program" && echo "ok: its exit button ends it" || fail "the program ended with status $?"
    else
        fail "the exit button did not end the program"
    fi
else
    fail "the installed program showed no intro window: $(cat "$work/velodane.log")"
fi
program=""

# --- The user changes a sample and adds a file; silent uninstall ----------
printf '\n{\\rtf1 notes of the user}' >>"$folder/vd7.doc"
cp -p "$folder/vd7.doc" "$work/changed7"
printf 'notes\n' >"$folder/notes.txt"

run_uninstaller || fatal "the silent uninstall failed"
check "Velodane.exe removed" test ! -e "$folder/Velodane.exe"
check "the uninstaller removed" test ! -e "$folder/Uninstall.exe"
check "the shortcut removed" test ! -e "$shortcut"
check "the entry removed" eval '! reg_has_key "$uninstall_key"'
check "the list of installed samples removed" eval '! reg_has_key "HKLM\\Software\\Velodane"'
check "the user's vd5.doc kept unchanged" cmp -s "$folder/vd5.doc" "$work/own5"
check "the user's VD9.DOC kept unchanged" cmp -s "$folder/VD9.DOC" "$work/own9"
check "the changed sample vd7.doc kept unchanged" cmp -s "$folder/vd7.doc" "$work/changed7"
check "the user's notes.txt kept" test -f "$folder/notes.txt"
check "every unchanged sample removed, nothing else" \
    eval '[ "$(cd "$folder" && ls | sort | tr "\n" " ")" = "VD9.DOC notes.txt vd5.doc vd7.doc " ]'

# --- Without the user's files: install twice over, uninstall ---------------
# The second setup finds every sample in place and keeps it; the uninstaller
# still knows them as installed, and the folder goes with the last of them.
rm -f "$folder/vd5.doc" "$folder/VD9.DOC" "$folder/vd7.doc" "$folder/notes.txt"
run_setup || fatal "the first setup of the second round ended with status $?"
run_setup || fatal "the setup over an installed Velodane ended with status $?"
check "all 62 samples after installing twice" all_samples_present
run_uninstaller || fatal "the second silent uninstall failed"
check "the folder removed with the last sample" test ! -e "$folder"
check "the entry removed again" eval '! reg_has_key "$uninstall_key"'

if [ $failures -ne 0 ]; then
    echo "$failures failed" >&2
    exit 1
fi
echo "all passed"
