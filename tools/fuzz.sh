#!/usr/bin/env bash
# Fuzzes one loader for a while: builds the clang fuzz build (build-fuzz) and runs TARGET's fuzzer
# on one core, starting from its committed corpus and, for the record, the parameter table and
# the notes, the case library, merge's shards and --patient, from a few large inputs written here
# (build-fuzz/seeds/TARGET), up to a length that
# reaches long lines and large files. New interesting inputs go to a scratch corpus under
# build-fuzz, not into git; crashes and slow or oversized inputs land in
# build-fuzz/findings/TARGET/. Extra arguments go to libFuzzer as they are, after ours.
#
#   tools/fuzz.sh TARGET SECONDS [libFuzzer options...]
#   TARGET: record, parameter_table, setting_notes, rtf_document, picture, case_library,
#           shard_merge or patient_option
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: $0 TARGET SECONDS [libFuzzer options...]" >&2
  exit 2
fi
target=$1
seconds=$2
shift 2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seeds="$root/tests/fuzz/corpus/$target"
if [ ! -d "$seeds" ]; then
  echo "no fuzz target $target (no $seeds)" >&2
  exit 2
fi
"$root/tools/install-deps.sh" --fuzz
build="$root/build-fuzz"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -DVM_FUZZ=ON -DVM_BUILD_BENCHMARKS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  "${launcher[@]}" >/dev/null
cmake --build "$build" -j"${FUZZ_BUILD_JOBS:-1}" --target "${target}_fuzzer"

corpus="$build/corpus/$target"
findings="$build/findings/$target"
large="$build/seeds/$target"
mkdir -p "$corpus" "$findings" "$large"

# Writes N bytes of repeated TEXT (a line end after each).
repeat_text() { yes "$1" | head -c "$2"; }

# Writes the byte of value N.
byte() {
  local escaped
  printf -v escaped '\\x%02x' "$1"
  printf "$escaped"
}

# A record input whose patches rewrite the whole record with 255 bytes each of the float whose
# little-endian bytes are B0..B3, after the flag byte FLAGS (see tests/fuzz/record_fuzzer.cpp).
record_rewrite() {
  local flags=$1 body offset
  shift
  body=$(for _ in $(seq 64); do printf '\\x%02x' "$@"; done)
  body=${body:0:$((255 * 4))}
  byte "$flags"
  for ((offset = 0; offset < 621360; offset += 255)); do
    byte $((offset & 255)); byte $((offset >> 8 & 255)); byte $((offset >> 16)); byte 0
    byte 255
    printf "$body"
  done
}

seeds_record() {
  record_rewrite 0xf1 0x00 0x00 0xc0 0x3f > rewritten_floats  # 1.5 everywhere, 322 x 242
  record_rewrite 0xb5 0xff 0xff 0xff 0xff > rewritten_nan     # NaN everywhere, 640 x 480
}
seeds_parameter_table() {
  repeat_text 'r;50;50;2' 1048000 > short_rows
  repeat_text 1 1048576 > one_character_lines
  head -c 1048576 /dev/zero | tr '\0' x > one_long_line
  yes '7;' | tr -d '\n' | head -c 1048576 > many_fields
}
seeds_setting_notes() {
  printf '#%d\nNota +++ opis\n*\n' $(seq 60000) | head -c 1000000 > many_notes
  { printf '#1\n'; head -c 1040000 /dev/zero | tr '\0' a; printf '\n+++\n*\n'; } > one_long_line
  { printf '#2\n'; repeat_text ab 1040001; printf '*\n'; } > many_lines
}
seeds_case_library() {
  # The shipped library seven times over under other ids: 91 cases, near the 100 allowed.
  for k in $(seq 7); do sed "s/^case: \(.*\)/case: \1_$k/" "$root/cases/teaching-cases.txt"; done \
    > many_cases
  { sed -n '/^case: /,$p' "$seeds/one_case" | sed '/^story:/q'; printf '  %s\n' $(seq 30000);
    sed -n '/^story:/,$p' "$seeds/one_case" | sed 1d; } > long_story
}
seeds_shard_merge() {
  # A whole grid in one shard of hundreds of points, the lines as the committed shards hold them.
  local csv="$seeds/csv_two_shards" json="$seeds/json_patient_two_shards" line
  line=$(sed -n 3p "$csv" | cut -d, -f2-)
  { echo "# shard 1/1 of 500 points, grid 1"; sed -n 2p "$csv"
    for i in $(seq 0 499); do echo "$i,$line"; done; } > csv_500_points
  line=$(sed -n 2p "$json" | sed -E 's/^\{"point":[0-9]+,//')
  { echo '{"shard":"1/1","points":100,"grid":"1"}'
    for i in $(seq 0 99); do echo "{\"point\":$i,$line"; done; } > json_100_points_patient
  { echo "# shard 1/1 of 2 points, grid 1"; sed -n 2p "$csv"; repeat_text 1 1040000; } > long_lines
  { echo "# shard 1/1 of 2 points, grid 1"; head -c 1048576 /dev/zero | tr '\0' 7; } > no_line_end
}
seeds_patient_option() {
  { printf 'female,'; head -c 131000 /dev/zero | tr '\0' 4; printf ',165'; } > long_age
  { printf 'male,40,'; repeat_text 0 131000 | tr -d '\n'; printf '165'; } > zeros_before_height
}

# How long an input may grow: a little beyond the largest file the loader reads, or (the notes,
# refused past 16 MiB) as far as a fuzzer still mutates at a useful pace.
limits=()
case "$target" in
  record) limits=(-max_len=655360) ;; # patches rewriting the whole record take 633620 bytes
  parameter_table | setting_notes | case_library | shard_merge)
    limits=(-max_len=$((1024 * 1024 + 4096))) ;;
  patient_option) limits=(-max_len=$((128 * 1024 + 4096))) ;;
esac
if declare -F "seeds_$target" >/dev/null && [ -z "$(ls -A "$large")" ]; then
  # yes and printf stop early on a closed pipe, as meant.
  (cd "$large" && set +o pipefail && "seeds_$target")
fi
export QT_QPA_PLATFORM=offscreen
# A smaller quarantine than the sanitizer's 256 MB, so that the 500 MB limit measures the loader
# on inputs of a megabyte rather than freed memory held back.
export ASAN_OPTIONS="abort_on_error=0:halt_on_error=1:detect_leaks=1:allocator_may_return_null=1:quarantine_size_mb=64"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
exec "$build/bin/${target}_fuzzer" "$corpus" "$seeds" "$large" \
  -max_total_time="$seconds" -rss_limit_mb=500 -timeout=10 "${limits[@]}" \
  -artifact_prefix="$findings/" -print_final_stats=1 "$@"
