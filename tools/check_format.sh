#!/usr/bin/env bash
# Checks every C++ source of the project against .clang-format without
# changing anything; lists what differs and fails if anything does. Build
# folders are not sources: the files git tracks, or would track, are read.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

mapfile -t sources < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
clang-format --dry-run -Werror "${sources[@]}"
