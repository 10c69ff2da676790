#!/bin/bash
# Runs the EchoLink binding's Windows side under Wine, without a display.
#
#   wine_tests.sh build ARCH         cross-builds tests/host/com/cross with MinGW-w64
#   wine_tests.sh prefix ARCH        makes the Wine prefix (once) and keeps a wineserver running
#   wine_tests.sh stop ARCH          stops that wineserver and everything it runs
#   wine_tests.sh case ARCH NAME     runs one test case
#
# ARCH is x86_64 or i686. PARLOX_SOURCE and PARLOX_BUILD name the source and build trees.
set -euo pipefail

arch=$1
command=$2
source_dir=${PARLOX_SOURCE:?}
build_dir=${PARLOX_BUILD:?}

if [[ $arch == x86_64 ]]; then
  bits=64 package=x86-64 loader=/usr/lib/wine/wine64
else
  bits=32 package=i686 loader=/usr/lib/wine/wine
fi
cross_dir=$build_dir/win$bits
bin=$cross_dir/bin
export WINEPREFIX=$build_dir/wine/prefix$bits
export WINEARCH=win$bits
export WINEDEBUG=-all
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

need() {
  command -v "$1" > /dev/null || [[ -x $1 ]] || fail "$1 is missing: apt-get install $2"
}

build() {
  need $arch-w64-mingw32-g++ g++-mingw-w64-$package
  need $arch-w64-mingw32-widl mingw-w64-tools
  [[ -f /usr/include/wine/wine/windows/oaidl.idl ]] || fail "oaidl.idl is missing: apt-get install libwine-dev"
  cmake -S "$source_dir/tests/host/com/cross" -B "$cross_dir" \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-$arch.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$cross_dir" -j2
}

prefix() {
  need $loader "wine$bits"
  need wineserver "wine$bits"
  mkdir -p "$build_dir/wine"
  quietly "$build_dir/wine/prefix$bits.log" make_prefix
}

make_prefix() {
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    timeout 300 $loader wineboot -i
    wineserver -w
  fi
  # A persistent wineserver spares each case the start of a new one.
  wineserver -p
}

# Runs a command with its output, and that of every Wine process it starts, in a file, shown
# afterwards: Wine's own background processes would otherwise hold ctest's pipe open.
quietly() {
  local log=$1
  shift
  set +e
  (set -e; "$@") > "$log" 2>&1 < /dev/null
  local status=$?
  set -e
  cat "$log"
  return $status
}

stop() {
  wineserver -k > /dev/null 2>&1 || true
}

# Runs a Windows program with a time limit. Its output goes to files, since a server that COM
# starts inherits it and would hold a pipe open.
run() {
  timeout 60 $loader "$@"
}

win_path() {
  echo "Z:${1//\//\\}"
}

work=
use_inproc() {
  run regsvr32 /s "$(win_path "$bin/standin.dll")" || fail "could not register standin.dll"
}
use_server() {
  run "$bin/standin-server.exe" /RegServer || fail "could not register standin-server.exe"
}

expect_file() {
  local file=$1
  diff -u - "$file" || fail "$file differs from what was expected (above)"
}

# Runs a Windows program with its standard output in FILE and its standard error in FILE.err,
# their lines ending in LF.
capture() {
  local file=$1
  shift
  local status=0
  run "$@" > "$file" 2> "$file.err" || status=$?
  sed -i 's/\r$//' "$file" "$file.err"
  return $status
}

# hostcheck SECONDS LINE, with its output in $work/out and $work/out.err and the stand-in's
# record in $work/record.
hostcheck() {
  rm -f "$work"/record
  STANDIN_RECORD=$(win_path "$work/record") capture "$work/out" "$bin/hostcheck.exe" "$@"
}

session() {
  export STANDIN_CALL='SP1ŁÄB-L'
  export STANDIN_EVENTS=$'300 chat Grüße aus Köln\\r\\nzweite Zeile\n400 other XX1ABC\n500 chat \n600 chat <b>73</b> \\\\ € 日本 📻\n4500 chat after the wait\n4700 closing'
  hostcheck 2 'Hallo Welt, 73 — ☺ ü'
  expect_file "$work/out" <<'OUT'
chat: Grüße aus Köln\r\nzweite Zeile
chat: 
chat: <b>73</b> \\ € 日本 📻
call sign: SP1ŁÄB-L
posted: Hallo Welt, 73 — ☺ ü
chat: after the wait
closing
released
OUT
  expect_file "$work/record" <<'RECORD'
created EventObject
subscribed
created SetupConfig
created SysopConfig
posted: Hallo Welt, 73 — ☺ ü
unsubscribed
released EventObject
released SetupConfig
released SysopConfig
RECORD
}

case_session_in_process() {
  use_inproc
  session
}

case_session_local_server() {
  use_server
  session
  # Only this build's server counts: other builds on the machine may run theirs. On a busy
  # machine it may take a few seconds to end.
  local server
  server=$(win_path "$bin/standin-server.exe")
  for _ in {1..50}; do
    [[ $(pgrep -af standin-server.exe) == *"$server"* ]] || return 0
    sleep 0.1
  done
  fail "the stand-in server still runs five seconds after release"
}

# Without type information from the object, the event identifiers come from the registered
# type library, whatever its version.
case_registered_type_library() {
  use_inproc
  export STANDIN_TYPEINFO=none STANDIN_EVENTS=$'200 chat one\n300 closing'
  hostcheck 0 x
  grep -qx 'chat: one' "$work/out" && grep -qx closing "$work/out" || fail "events not recognized: $(cat "$work/out")"
}

# With no type information anywhere, the first event is taken to be 1 and the second 2; the
# stand-in's chat (3) then means nothing, and its unused event (1) reads as closing.
case_no_type_information() {
  use_inproc
  run reg delete 'HKCR\TypeLib\{4CF5B97B-A0F5-41F3-848C-6E25FAB62AD3}' /f > /dev/null
  export STANDIN_TYPEINFO=none STANDIN_EVENTS=$'200 chat one\n300 other x'
  hostcheck 0 x
  expect_file "$work/out" <<'OUT'
closing
call sign: N0CALL-L
posted: x
released
OUT
}

case_long_text() {
  use_inproc
  export STANDIN_EVENTS='200 chat*25000 ab€\r'
  hostcheck 0 "$(printf 'x%.0s' {1..30000})"
  local expected
  expected="chat: $(printf 'ab€\\r%.0s' {1..25000})"
  [[ $(sed -n 1p "$work/out") == "$expected" ]] || fail "the 100,000-character text did not arrive intact"
  [[ $(grep -c '^posted: x\{30000\}$' "$work/record") == 1 ]] || fail "the 30,000-character line did not arrive intact"
}

expect_failure() {
  local pattern=$1
  [[ $(cat "$work/status") == 1 ]] || fail "hostcheck did not fail (status $(cat "$work/status"))"
  grep -q -- "$pattern" "$work/out.err" || fail "no '$pattern' in: $(cat "$work/out.err")"
}

hostcheck_failing() {
  hostcheck "$@" && echo 0 > "$work/status" || echo $? > "$work/status"
}

case_creation_fails() {
  use_server
  STANDIN_FAIL=event hostcheck_failing 0 x
  expect_failure 'creating the EchoLink event object failed: 0x80070005'
  use_inproc
  STANDIN_FAIL=sysop hostcheck_failing 0 x
  expect_failure 'creating EchoLink.SysopConfig failed: 0x80070005'
  # Whatever was made is let go, in order.
  expect_file "$work/record" <<'RECORD'
created EventObject
subscribed
created SetupConfig
refused sysop
unsubscribed
released EventObject
released SetupConfig
RECORD
  run reg delete 'HKCR\CLSID\{D1FB3C9A-BB2D-446A-A74A-E771F134ED56}' /f > /dev/null
  hostcheck_failing 0 x
  expect_failure 'creating the EchoLink event object failed: 0x80040154'
}

case_post_fails() {
  use_server
  STANDIN_FAIL=post hostcheck_failing 0 x
  expect_failure 'posting a chat line failed: 0x80004005'
  grep -qx 'released SysopConfig' "$work/record" || fail "the objects were not released after the failure"
}

# Events reach the binding only while its thread dispatches messages.
case_events_need_pumping() {
  export STANDIN_EVENTS=$'200 chat one\n300 closing'
  for register in use_inproc use_server; do
    $register
    capture "$work/out" "$bin/bindingcheck.exe" unpumped
    expect_file "$work/out" <<'OUT'
before 0
after 2
OUT
  done
}

case_events_after_release() {
  use_inproc
  export STANDIN_KEEP_SINKS=1 STANDIN_EVENTS=$'200 chat one\n300 closing'
  capture "$work/out" "$bin/bindingcheck.exe" after-release || fail "bindingcheck failed after release"
  expect_file "$work/out" <<< 'events 0'
}

# EchoLink closes while a line is being posted, and Parlox lets go of it from the Closing
# handler: the post still returns, and the event object, in use by it, goes when it does.
case_closing_during_post() {
  export STANDIN_CLOSE_ON_POST=1
  for register in use_inproc use_server; do
    $register
    rm -f "$work/record"
    STANDIN_RECORD=$(win_path "$work/record") capture "$work/out" "$bin/bindingcheck.exe" close-on-closing
    expect_file "$work/out" <<'OUT'
closing
posted
OUT
    expect_file "$work/record" <<'RECORD'
created EventObject
subscribed
created SetupConfig
created SysopConfig
posted: 73
unsubscribed
released SetupConfig
released SysopConfig
post returns
released EventObject
RECORD
  done
}

# Every identifier and place the binding uses is in the stand-in's type library, which was typed
# from EchoLink's published description, not from the binding.
case_contract() {
  capture "$work/out" "$bin/bindingcheck.exe" contract "$(win_path "$bin/standin.dll")" || true
  expect_file "$work/out" <<'OUT'
found the type library
found the event object's class
found the event object's interface
found the event interface
found SetupConfig's interface
found SysopConfig's interface
found ReadStationCall at its place
found PostChatLine at its place
found Closing at its place
found ChatTextReceived at its place
OUT
}

value() {
  sed -n "s/^$1 //p" "$2"
}

within() {
  local name=$1 value=$2 low=$3 high=$4
  ((value >= low && value <= high)) || fail "$name is $value ms, expected $low to $high"
}

case_wait() {
  capture "$work/out" "$bin/bindingcheck.exe" wait 3
  within elapsed "$(value elapsed "$work/out")" 3000 3400
}

# When EchoLink closes during the four-second wait, Parlox's unload step asks the program to quit:
# the wait returns at once and leaves the request to the message loop around it.
case_closing_during_wait() {
  export STANDIN_EVENTS='1000 closing'
  for register in use_inproc use_server; do
    $register
    capture "$work/out" "$bin/bindingcheck.exe" quit-on-closing
    local closing returned
    closing=$(value closing "$work/out")
    returned=$(value returned "$work/out")
    within "Closing" "$closing" 500 1500
    within "the wait's end after Closing" $((returned - closing)) 0 500
    grep -qx 'quit 3' "$work/out" || fail "the quit request is gone after the wait: $(cat "$work/out")"
  done
}

# A wait started inside another re-arms the shared timer: a 1 s wait begun one second into a 3 s
# wait ends both, two seconds in.
case_wait_nested() {
  capture "$work/out" "$bin/bindingcheck.exe" nested
  within inner "$(value inner "$work/out")" 2000 2400
  within outer "$(value outer "$work/out")" 2000 2400
}

# Waits in two running copies of a program share the timer too: a second wait that starts a
# second after the first moves the end of both.
case_wait_two_processes() {
  capture "$work/first" "$bin/bindingcheck.exe" wait 3 &
  local first=$!
  until grep -q started "$work/first" 2> /dev/null; do sleep 0.1; done
  sleep 1
  capture "$work/second" "$bin/bindingcheck.exe" wait 3
  wait $first
  within "the first wait" "$(value elapsed "$work/first")" 4000 5000
  within "the second wait" "$(value elapsed "$work/second")" 3000 3400
  local apart=$(($(value ended "$work/first") - $(value ended "$work/second")))
  within "the time between their ends" "${apart#-}" 0 200
}

run_case() {
  local name=$1
  work=$build_dir/wine/work$bits/$name
  rm -rf "$work"
  mkdir -p "$work"
  [[ -x $loader ]] || fail "$loader is missing: apt-get install wine$bits"
  [[ -f $bin/hostcheck.exe ]] || fail "the cross build is missing: $cross_dir"
  # A stand-in server left behind by a failed case would answer the next one.
  trap 'wineserver -k > /dev/null 2>&1 || true' ERR
  quietly "$work/log" "case_$name"
}

case $command in
  build) build ;;
  prefix) prefix ;;
  stop) stop ;;
  case) run_case "$3" ;;
  *) fail "unknown command $command" ;;
esac
