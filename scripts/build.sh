# Build helpers shared by test.sh and run.sh; source it, don't run it.
# Both scripts configure build/x86_64 with the same options, so running one
# after the other reuses the build instead of starting over.

OMBRE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# A stage header with the seconds the script has run so far.
ombre_stage() {
  printf '\n==== %s (at %ds) ====\n' "$*" "$SECONDS"
}

# x86_64 is the build that runs here, with its tests run under Wine.
ombre_configure_x86_64() {
  cmake -S "$OMBRE_ROOT" -B "$OMBRE_ROOT/build/x86_64" \
    -DCMAKE_TOOLCHAIN_FILE="$OMBRE_ROOT/cmake/x86_64-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DOMBRE_TESTS=ON \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$OMBRE_ROOT/scripts/wine-exec"
}

# i686 can't run on this 64-bit-only kernel: it must compile and link.
ombre_configure_i686() {
  cmake -S "$OMBRE_ROOT" -B "$OMBRE_ROOT/build/i686" \
    -DCMAKE_TOOLCHAIN_FILE="$OMBRE_ROOT/cmake/i686-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DOMBRE_TESTS=OFF
}

# ombre_build ARCH [cmake --build options]: configure, then build on both cores.
ombre_build() {
  local arch=$1
  shift
  "ombre_configure_$arch"
  cmake --build "$OMBRE_ROOT/build/$arch" -j2 "$@"
}
