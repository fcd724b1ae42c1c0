#!/usr/bin/env bash
# Builds both architectures and runs every test under Wine, in a private X
# server with one wineserver and the prefix build/wineprefix. Exits with
# ctest's status.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build.sh

ombre_stage "Dependencies"
bash scripts/deps.sh

ombre_stage "Build x86_64 with tests"
ombre_build x86_64

ombre_stage "Build i686"
ombre_build i686

ombre_stage "Wine environment"
source scripts/wine-env.sh
# Tests get their own screen even when a DISPLAY is set: nothing on a real
# one can steal their focus, and they don't cover the developer's windows.
ombre_wine_session --force

ombre_stage "Tests"
status=0
ctest --test-dir build/x86_64 --output-on-failure --timeout 120 || status=$?
exit "$status"
