# Shared build steps of tools/test, tools/run, tools/bench and tools/fuzz. Source it; TOP must be the
# repository root. Build folders: build/host (native, sanitizers on), build/win (Windows),
# build/fuzz (clang, libFuzzer); tools/bench has build/bench-host and build/bench-win.

BUILD_JOBS=${BUILD_JOBS:-$(nproc)}

build_log() { echo "== $*" >&2; }

# configure_build <folder> host|windows|fuzz <more cmake options...>
# The one place where the project is configured. Configured every time, so that the options hold
# even for a folder made by hand before; a re-run on an existing folder is quick.
configure_build() {
  local folder=$1 kind=$2; shift 2
  local options=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo)
  case "$kind" in
    host) ;;
    windows) options+=(-DCMAKE_TOOLCHAIN_FILE="$TOP/cmake/mingw-w64-x86_64.cmake") ;;
    fuzz) options+=(-DKAGEMIRA_FUZZ=ON -DKAGEMIRA_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
    *) echo "configure_build: unknown kind $kind" >&2; return 2 ;;
  esac
  mkdir -p "$folder"
  cmake -S "$TOP" -B "$folder" "${options[@]}" "$@" >"$folder.configure.log" 2>&1 ||
    { tail -n 40 "$folder.configure.log" >&2; return 1; }
}

# build_targets <folder> [target...]: every target when none is named.
build_targets() {
  local folder=$1; shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  # -k 0: one broken target must not keep the others (and their tests) from being built.
  cmake --build "$folder" -j "$BUILD_JOBS" "${targets[@]}" -- -k 0 >"$folder.build.log" 2>&1 ||
    { tail -n 60 "$folder.build.log" >&2; return 1; }
}

build_host() {
  build_log "host build (build/host)"
  configure_build "$TOP/build/host" host -DKAGEMIRA_SANITIZE=ON && build_targets "$TOP/build/host"
}

build_windows() {
  build_log "Windows build (build/win)"
  configure_build "$TOP/build/win" windows -DKAGEMIRA_HOST_TOOLS="$TOP/build/host/tools/bin" &&
    build_targets "$TOP/build/win"
}

build_fuzz() {
  build_log "fuzz build (build/fuzz)"
  configure_build "$TOP/build/fuzz" fuzz && build_targets "$TOP/build/fuzz"
}
