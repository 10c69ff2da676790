#!/bin/bash
# Runs the EchoLink binding's Windows side under Wine, without a display.
#
#   wine_tests.sh ARCH build       cross-builds tests/host/com/cross with MinGW-w64
#   wine_tests.sh ARCH prefix      makes the Wine prefix (once) and keeps a wineserver running
#   wine_tests.sh ARCH stop        stops that wineserver and everything it runs
#   wine_tests.sh ARCH case NAME   runs one test case
#
# ARCH is x86_64 or i686. PARLOX_SOURCE and PARLOX_BUILD name the source and build trees.
set -euo pipefail

arch=$1 command=$2 build_dir=${PARLOX_BUILD:?}
bits=64 loader=/usr/lib/wine/wine64
[[ $arch == x86_64 ]] || bits=32 loader=/usr/lib/wine/wine
bin=$build_dir/win$bits/bin
export WINEPREFIX=$build_dir/wine/prefix$bits WINEARCH=win$bits WINEDEBUG=-all LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

build() {
  cmake -S "${PARLOX_SOURCE:?}/tests/host/com/cross" -B "$build_dir/win$bits" \
    -DCMAKE_TOOLCHAIN_FILE="$PARLOX_SOURCE/cmake/mingw-w64-$arch.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$build_dir/win$bits" -j2
}

# A persistent wineserver spares each case the start of a new one.
prefix() {
  [[ -x $loader ]] || fail "$loader is missing: scripts/install-packages test"
  [[ -f $WINEPREFIX/system.reg ]] || { timeout 300 $loader wineboot -i && wineserver -w; }
  wineserver -p
}

# Runs a command with its output, and that of every Wine process it starts, in a file, shown
# afterwards: Wine's own background processes would otherwise hold ctest's pipe open.
# The command runs in the background so that set -e holds inside it, as it would not on the left
# of ||.
quietly() {
  "${@:2}" > "$1" 2>&1 < /dev/null &
  local status=0
  wait $! || status=$?
  cat "$1"
  return $status
}

win_path() {
  echo "Z:${1//\//\\}"
}

# Registers the stand-in in process or as a local server.
register() {
  local server=(regsvr32 /s "$(win_path "$bin/standin.dll")")
  [[ $1 == inproc ]] || server=("$bin/standin-server.exe" /RegServer)
  timeout 60 $loader "${server[@]}"
}

# run PROGRAM ARGS...: runs a program of the build with its output in $work/out (a file, since a
# server that COM starts inherits it and would hold a pipe open), its lines ending in LF, and the
# stand-in's record in $work/record. Its exit status is in $status.
run() {
  rm -f "$work/record"
  status=0
  STANDIN_RECORD=$(win_path "$work/record") timeout 60 $loader "$bin/$1" "${@:2}" > "$work/out" 2>&1 || status=$?
  sed -i 's/\r$//' "$work/out"
}

# expect FILE LINE...: FILE of $work holds these lines.
expect() {
  printf '%s\n' "${@:2}" | diff -u - "$work/$1" || fail "$1 differs from what was expected (above)"
}

# What the stand-in records of an attachment, and of letting go of it.
attached=('created EventObject' subscribed 'created SetupConfig' 'created SysopConfig')
released=(unsubscribed 'released EventObject' 'released SetupConfig' 'released SysopConfig')

# Texts of every kind and length arrive as they were sent, in order and while hostcheck waits; the
# event Parlox has no use for is ignored; the objects go in order.
events=$'200 chat Grüße aus Köln\\r\\nzweite Zeile\n250 other XX1ABC\n300 chat \n350 chat <b>73</b> \\\\ € 日本 📻
400 chat*25000 ab€\\r\n4500 chat after the wait\n4700 closing'
session() {
  STANDIN_CALL='SP1ŁÄB-L' STANDIN_EVENTS=$events run hostcheck.exe 2 "$1"
  expect out 'chat: Grüße aus Köln\r\nzweite Zeile' 'chat: ' 'chat: <b>73</b> \\ € 日本 📻' \
    "chat: $(printf 'ab€\\r%.0s' {1..25000})" 'call sign: SP1ŁÄB-L' "posted: $1" 'chat: after the wait' closing released
  expect record "${attached[@]}" "posted: $1" "${released[@]}"
}

# In process with a short line and the object's own type information; as a local server with a
# long line and, as the object offers none, the event identifiers from the registered type library,
# whatever its version. Without that either, the first event is taken to be 1 and the second 2: the
# stand-in's chat (3) then means nothing, and its unused event (1) reads as closing.
case_session() {
  register inproc
  session 'Hallo Welt, 73 — ☺ ü'
  register local
  STANDIN_TYPEINFO=none session "$(printf 'x%.0s' {1..30000})"
  register inproc
  timeout 60 $loader reg delete 'HKCR\TypeLib\{4CF5B97B-A0F5-41F3-848C-6E25FAB62AD3}' /f
  STANDIN_TYPEINFO=none STANDIN_EVENTS=$events run hostcheck.exe 0 x
  expect out closing 'call sign: N0CALL-L' 'posted: x' released
}

# Every failure names its step and its code, and whatever was made is let go, in order.
failure() {
  [[ $status == 1 ]] && grep -qx "hostcheck: $1 failed: $2.*" "$work/out" || fail "not $1 failing: $(cat "$work/out")"
}

case_failures() {
  register local
  STANDIN_FAIL=post run hostcheck.exe 0 x
  failure 'posting a chat line' 0x80004005
  register inproc
  STANDIN_FAIL=SysopConfig run hostcheck.exe 0 x
  failure 'asking EchoLink.SysopConfig for its interface' 0x80004002
  expect record "${attached[@]}" 'released SysopConfig' unsubscribed 'released EventObject' 'released SetupConfig'
}

# Events reach the binding only while its thread dispatches messages, and none after release,
# though the stand-in in process still raises them. When EchoLink closes while a line is being
# posted and Parlox lets go of it, the post still returns, and the event object, in use by it, goes
# when it does. A wait then ends at once, and leaves the quit request to the message loop around it.
case_events() {
  for server in inproc local; do
    register $server
    STANDIN_EVENTS=$'200 chat one\n3500 chat after release' \
      run callcheck.exe sleep:1 wait:1 post:close wait:6 quit wait:2
    expect out 'sleep:1 ok 1s' 'chat: one' 'wait:1 ok 1s' closing 'post:close ok 0s' 'wait:6 ok 0s' \
      'quit 3' 'quit ok 0s' 'wait:2 ok 2s'
    expect record "${attached[@]}" 'posted: close' unsubscribed 'released SetupConfig' 'released SysopConfig' \
      'post returns' 'released EventObject'
  done
}

# A busy host is waited out up to the answer limit, then the call is refused; a check that the
# host is there never waits for it (five in a row show even a short wait). Shown in process, where
# the stand-in turns calls away as COM does on Windows, asking the caller's message filter whether
# to try again: Wine hands a call that a server's filter turns away to the server all the same.
case_busy() {
  register inproc
  run callcheck.exe 'post:busy 2000' 'post:waited out' 'post:busy 5000' alive:5 'post:given up'
  expect out 'post:busy 2000 ok 0s' 'post:waited out ok 2s' 'post:busy 5000 ok 0s' 'alive:5 ok 0s' \
    'post:given up 0x80010001 3s'
}

# A call that is not answered is cancelled at the answer limit (0x80010002, what is sent may yet
# arrive), start-up's call-sign read as well as a post. In process, the stand-in waits as COM does
# on Windows, asking the caller's filter each time a message arrives: the binding sees to it that
# messages arrive. (Wine does not cancel a call to a local server: the Windows tests show that.)
case_hung() {
  register inproc
  STANDIN_FAIL=call run callcheck.exe 'post:hang 10000' 'post:after' call
  expect out 'post:hang 10000 0x80010002 3s' 'post:after ok 0s' 'call 0x80010002 3s'
}

# Wine takes a while to forget a local server that was killed: a new wineserver forgets at once.
forget_killed_server() {
  wineserver -k
  wineserver -p
}

# A host that ends without a word is found out by the next check, and said once; then every
# call fails at once (0x80010108), and letting go takes no time. One that ends while it is let go
# is no news.
case_gone() {
  register local
  STANDIN_EVENTS='500 exit' run callcheck.exe wait:1 alive:2 'post:after' release
  expect out 'wait:1 ok 1s' gone 'alive:2 ok 0s' 'post:after 0x80010108 0s' 'release ok 0s'
  forget_killed_server
  STANDIN_FAIL=unsubscribe run callcheck.exe release alive:1
  expect out 'release ok 0s' 'alive:1 ok 0s'
  forget_killed_server
}

run_case() {
  work=$build_dir/wine/work$bits/$1
  rm -rf "$work"
  mkdir -p "$work"
  # A stand-in server left behind by a failed case would answer the next one.
  trap 'wineserver -k > /dev/null 2>&1 || true' ERR
  quietly "$work/log" "case_$1"
}

case $command in
  build) build ;;
  prefix) mkdir -p "$build_dir/wine" && quietly "$build_dir/wine/prefix$bits.log" prefix ;;
  stop) wineserver -k > /dev/null 2>&1 || true ;;
  case) run_case "$3" ;;
  *) fail "unknown command $command" ;;
esac
