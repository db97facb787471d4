#!/usr/bin/env bash
# Fails when a C++ file of the project does not match .clang-format.
set -u
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root" || exit 1
mapfile -t files < <(find . -path './build*' -prune -o -path './.git' -prune -o \
  \( -name '*.cpp' -o -name '*.h' \) -print | sort)
clang-format --dry-run --Werror "${files[@]}" || { echo "run: clang-format -i on the files above"; exit 1; }
echo "${#files[@]} files match .clang-format"
