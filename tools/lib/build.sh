# Shared build steps of tools/test and tools/run. Source it; TOP must be the repository root.
# Build folders: build/host (native, sanitizers on), build/win (Windows), build/fuzz (clang, libFuzzer).

BUILD_JOBS=${BUILD_JOBS:-$(nproc)}

build_log() { echo "== $*" >&2; }

# configure_and_build <folder> <cmake options...>
configure_and_build() {
  local folder=$1; shift
  # Configured every time, so that the options hold even for a folder made by hand before.
  mkdir -p "$folder"
  cmake -S "$TOP" -B "$folder" -G Ninja "$@" >"$folder.configure.log" 2>&1 ||
    { tail -n 40 "$folder.configure.log" >&2; return 1; }
  # -k 0: one broken target must not keep the others (and their tests) from being built.
  cmake --build "$folder" -j "$BUILD_JOBS" -- -k 0 >"$folder.build.log" 2>&1 || { tail -n 60 "$folder.build.log" >&2; return 1; }
}

build_host() {
  build_log "host build (build/host)"
  mkdir -p "$TOP/build"
  configure_and_build "$TOP/build/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAGEMIRA_SANITIZE=ON
}

build_windows() {
  build_log "Windows build (build/win)"
  configure_and_build "$TOP/build/win" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$TOP/cmake/mingw-w64-x86_64.cmake" -DKAGEMIRA_HOST_TOOLS="$TOP/build/host/tools/bin"
}

build_fuzz() {
  build_log "fuzz build (build/fuzz)"
  configure_and_build "$TOP/build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAGEMIRA_FUZZ=ON \
    -DKAGEMIRA_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
}
