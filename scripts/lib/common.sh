# Shared by the scripts in scripts/: one build folder and one configuration
# for the demo, the tests and the pictures, so that whichever runs second
# compiles only what the first did not. Source it from the top of the clone.

HALDEN_BUILD=build
HALDEN_JOBS=$(nproc)
# Tests run three per core: most of a test's time is spent waiting on the
# simulator's timers and on sockets (a run at one per core kept the cores
# less than half busy).
HALDEN_TEST_JOBS=${HALDEN_TEST_JOBS:-$((HALDEN_JOBS * 3))}

# halden_use_ccache: the compiler cache for the builds, when there is one
# (scripts/install-deps --tests puts it there): sets HALDEN_LAUNCHER to the
# CMake options that use it. Paths below the top of the clone count as
# relative, and the build folder's own path is left out of the hash, so that
# a fresh clone in another folder finds what the last one compiled; the
# sloppiness lets precompiled headers be cached.
HALDEN_LAUNCHER=()
halden_use_ccache() {
  command -v ccache >/dev/null || return 0
  export CCACHE_BASEDIR=$PWD
  export CCACHE_NOHASHDIR=1
  export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-include_file_ctime,include_file_mtime,pch_defines,time_macros}
  HALDEN_LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
}

# halden_configure [--tests]: installs what is missing and configures the
# build folder: for the programs only, or (--tests) with the tests and
# benchmarks too. A folder configured for more is left as it is; later runs
# leave it to the build tool, which re-runs CMake when a CMakeLists.txt
# changes.
halden_configure() {
  local testing=OFF
  [ "${1:-}" = --tests ] && testing=ON
  scripts/install-deps "$@"
  halden_use_ccache
  local cache=$HALDEN_BUILD/CMakeCache.txt
  if [ -f "$HALDEN_BUILD/build.ninja" ]; then
    if grep -q '^HALDEN_WERROR:BOOL=ON$' "$cache" 2>/dev/null &&
      { [ $testing = OFF ] || grep -q '^BUILD_TESTING:BOOL=ON$' "$cache"; }; then
      return 0
    fi
    # The compiler launcher stays as the folder was made (the demo's, before
    # ccache came with the tests' packages), so that what is built stays valid.
    cmake -S . -B "$HALDEN_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALDEN_WERROR=ON -DBUILD_TESTING=$testing
    return
  fi
  cmake -S . -B "$HALDEN_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALDEN_WERROR=ON \
    -DBUILD_TESTING=$testing "${HALDEN_LAUNCHER[@]}"
}

# halden_build TARGET...: builds only those targets (all of them without any).
halden_build() {
  if [ $# -eq 0 ]; then
    cmake --build "$HALDEN_BUILD" -j"$HALDEN_JOBS"
  else
    cmake --build "$HALDEN_BUILD" -j"$HALDEN_JOBS" --target "$@"
  fi
}

# halden_start_modemsim WORKDIR [OPTION]...: starts the simulator on a free
# loopback port with its log in WORKDIR; sets HALDEN_SIM_PID and
# HALDEN_SIM_PORT. halden_stop_modemsim ends it (call it from a trap).
HALDEN_SIM_PID=""
HALDEN_SIM_PORT=""
halden_start_modemsim() {
  local work=$1
  shift
  "$HALDEN_BUILD/bin/modemsim" --port 0 --log "$work/modemsim.log" "$@" >"$work/modemsim.out" &
  HALDEN_SIM_PID=$!
  local listening=""
  for _ in $(seq 100); do
    listening=$(head -n 1 "$work/modemsim.out" 2>/dev/null || true)
    [ -n "$listening" ] && break
    kill -0 "$HALDEN_SIM_PID" 2>/dev/null || break
    sleep 0.1
  done
  case "$listening" in
    "listening on "*) ;;
    *)
      echo "the simulator did not start; its log: $work/modemsim.log" >&2
      return 1
      ;;
  esac
  HALDEN_SIM_PORT=${listening##*:}
  echo "modemsim $listening"
}

halden_stop_modemsim() {
  if [ -n "$HALDEN_SIM_PID" ]; then
    kill "$HALDEN_SIM_PID" 2>/dev/null || true
    wait "$HALDEN_SIM_PID" 2>/dev/null || true
    HALDEN_SIM_PID=""
  fi
}

# halden_demo_registry DIR PORT: a registry folder in which specterm knows the
# simulator at PORT as its last modem, with updates running.
halden_demo_registry() {
  mkdir -p "$1"
  cat >"$1/HKEY_CURRENT_USER.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\Configuration]
"StopUpdates"="False"

[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\Halden Modems]
"ModemCount"="1"
"LastModem"="Simulator"

[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\Halden Modems\\Modem1]
"ModemName"="Simulator"
"IP_Address"="127.0.0.1:$2"
REG
}

halden_have_display() {
  [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]
}
