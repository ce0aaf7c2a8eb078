#!/usr/bin/env bash
# Fuzzes the engine with libFuzzer (clang, address + undefined-behaviour sanitizers).
#   scripts/fuzz.sh smoke           replays the saved failing inputs, then runs every target
#                                   briefly (about 40 s each); fails on any crash, leak or timeout
#   scripts/fuzz.sh long MINUTES [TARGET]
#                                   every target (or just TARGET) for MINUTES in all, niced,
#                                   carrying on past failures; failing inputs are saved in
#                                   tests/engine/fuzz-regressions/, where a gtest replays them
# Seeds: movies made by our writer and the sample collection (build/fuzz/seeds), plus the
# small movies of the shared corpus, linked by path (never copied into the repository).
# The skin targets (fuzz_lzhuf, fuzz_skinarchive, fuzz_skinini, fuzz_skinmodel) start from
# stored skins, archives and descriptions made by fuzz_skin_seeds (fuzz_skinmodel also from our
# own description), fuzz_skinbmp from our own skin's
# pictures (skinart); they run half as long in a smoke run (their inputs are small and fast)
# and keep their failing inputs in tests/skin/fuzz-regressions/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-smoke}
build="$root/build/fuzz"
corpus_root="${VELMORA_CORPUS:-$root/../shared/corpus}"
[ -d "$corpus_root" ] || corpus_root="/work/shared/corpus"
jobs=${VELMORA_JOBS:-2}
# Seconds of wall time one input may take. libFuzzer measures wall time, so on a loaded
# machine a niced long run needs more than a quiet smoke run to tell a hang from starvation.
input_timeout=${VELMORA_FUZZ_TIMEOUT:-10}
targets=(fuzz_decode fuzz_play fuzz_truetype fuzz_avm1 fuzz_lzhuf fuzz_skinarchive fuzz_skinini fuzz_skinbmp fuzz_skinmodel)

case "$mode" in
  smoke) per_target=40 ;;
  long)
    minutes=${2:?usage: scripts/fuzz.sh long MINUTES [TARGET]}
    if [ -n "${3:-}" ]; then
      case " ${targets[*]} " in *" $3 "*) targets=("$3") ;;
        *) echo "fuzz: no target '$3' (have: ${targets[*]})" >&2; exit 2 ;; esac
    fi
    per_target=$(( minutes * 60 / ${#targets[@]} )) ;;
  *) echo "usage: scripts/fuzz.sh smoke | long MINUTES [TARGET]" >&2; exit 2 ;;
esac

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -Wno-dev -DVELMORA_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_CACHE="${VELMORA_CACHE:-$root/.cache}" >/dev/null
fi
cmake --build "$build" --target "${targets[@]}" fuzz_seeds fuzz_avm1_seeds fuzz_skin_seeds skinart -j "$jobs"

is_skin_target() { case "$1" in fuzz_lzhuf|fuzz_skin*) return 0 ;; *) return 1 ;; esac; }
regressions_of() { # target -> the folder of its saved failing inputs
  if is_skin_target "$1"; then echo "$root/tests/skin/fuzz-regressions"; else echo "$root/tests/engine/fuzz-regressions"; fi
}

seeds="$build/seeds"
rm -rf "$seeds" && "$build/fuzz/fuzz_seeds" "$seeds" >/dev/null
# Corpus movies of SWF 1-10 up to 64 KB, as links: libFuzzer reads them, nothing is copied.
links="$build/corpus-links"
rm -rf "$links" && mkdir -p "$links"
if [ -d "$corpus_root" ]; then
  n=0
  while IFS= read -r -d '' f; do
    size=$(stat -c %s "$f")
    [ "$size" -le 65536 ] || continue
    version=$(od -An -tu1 -j3 -N1 "$f" | tr -d ' ')
    [ -n "$version" ] && [ "$version" -le 10 ] || continue
    n=$((n + 1))
    ln -s "$f" "$links/$n.swf"
  done < <(find "$corpus_root" -name '*.swf' -print0 | sort -z)
fi
# The interpreter's target reads bare action blocks: those of the same corpus movies.
avm1_seeds="$build/avm1-seeds"
rm -rf "$avm1_seeds"
mapfile -t linked_movies < <(find "$links" -name '*.swf' | sort)
"$build/fuzz/fuzz_avm1_seeds" "$avm1_seeds" "${linked_movies[@]}" >/dev/null
bmp_seeds="$build/skin-bmp-seeds"
rm -rf "$bmp_seeds" && "$build/tools/skinart/skinart" "$bmp_seeds" >/dev/null
# The TrueType target starts from the machine's fonts (fonts-dejavu-core), also linked.
font_links="$build/font-links"
rm -rf "$font_links" && mkdir -p "$font_links"
for f in /usr/share/fonts/truetype/dejavu/*.ttf; do [ -f "$f" ] && ln -s "$f" "$font_links/"; done
# The skin model starts from our own description too (skinart wrote it beside the pictures).
model_seeds="$build/skin-model-seeds"
rm -rf "$model_seeds" && mkdir -p "$model_seeds" && cp "$bmp_seeds/velmora.ini" "$model_seeds/"
skin_seeds="$build/skin-seeds"
rm -rf "$skin_seeds" && "$build/fuzz/fuzz_skin_seeds" "$skin_seeds"
echo "fuzz: $(ls "$seeds" | wc -l) writer seeds, $(ls "$links" | wc -l) corpus movies ($(ls "$avm1_seeds" | wc -l) action blocks), $(ls "$font_links" | wc -l) fonts linked"

# What a failing target found, kept short enough to be read at the end of a long CI log (the
# test command prints it in its summary): the sanitizer's verdict and each failing input in
# base64, so a finding on a machine that is thrown away afterwards can still be replayed.
findings="$build/fuzz-findings.txt"
: >"$findings"
record_finding() { # target log artifacts
  {
    echo "fuzz finding in $1:"
    grep -E 'ERROR: |SUMMARY: |runtime error|#[0-9]+ 0x[0-9a-f]+ in ' "$2" | head -n 12 || true
    find "$3" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) |
      head -n 2 | while read -r input; do
        if [ "$(stat -c %s "$input")" -le 16384 ]; then
          echo "input $(basename "$input") (base64, replay: base64 -d > FILE; build/fuzz/fuzz/$1 FILE):"
          base64 -w 0 "$input"; echo
        else
          echo "input $(basename "$input"): $(stat -c %s "$input") bytes, too long to print"
        fi
      done
  } >>"$findings"
}

status=0
# Inputs that failed before must pass under the sanitizers too (the gtest replay has none).
for t in "${targets[@]}"; do
  mapfile -t saved < <(find "$(regressions_of "$t")" -maxdepth 1 -type f \
    \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
  [ ${#saved[@]} -gt 0 ] || continue
  if ASAN_OPTIONS=detect_leaks=1 "$build/fuzz/$t" -timeout=10 -rss_limit_mb=2048 "${saved[@]}" \
      >"$build/$t-regressions.log" 2>&1; then
    echo "fuzz: $t replays ${#saved[@]} saved inputs cleanly"
  else
    echo "fuzz: $t FAILED on a saved input; log: $build/$t-regressions.log" >&2
    grep -E 'Running: |ERROR: |SUMMARY: |runtime error' "$build/$t-regressions.log" | tail -n 4 >&2 || true
    status=1
  fi
done
for t in "${targets[@]}"; do
  work="$build/work/$t"          # the growing corpus of this target (build folder only)
  artifacts="$build/artifacts/$t"
  rm -rf "$artifacts"  # failing inputs of earlier runs are in the regression folder already
  mkdir -p "$work" "$artifacts"
  log="$build/$t-$mode.log"
  common=(-timeout="$input_timeout" -rss_limit_mb=2048 -max_len=262144 -artifact_prefix="$artifacts/" -print_final_stats=1)
  inputs=("$seeds" "$links")
  # Fonts are larger than movies: a whole DejaVu file must fit in one input.
  if [ "$t" = fuzz_avm1 ]; then inputs=("$seeds" "$avm1_seeds"); fi
  if [ "$t" = fuzz_truetype ]; then
    inputs=("$font_links")
    common[2]=-max_len=1048576
  fi
  seconds=$per_target
  if is_skin_target "$t"; then
    case "$t" in
      fuzz_lzhuf) inputs=("$skin_seeds/skin-lzhuf") ;;
      fuzz_skinarchive) inputs=("$skin_seeds/skin-archive") ;;
      fuzz_skinbmp) inputs=("$bmp_seeds") ;;
      fuzz_skinmodel) inputs=("$skin_seeds/skin-ini" "$model_seeds") ;;
      *) inputs=("$skin_seeds/skin-ini") ;;
    esac
    # 64 KB of stream may declare up to 3 MB of output: enough, and quick under the sanitizers.
    # Skin pictures keep the default: a whole bitmap of our skin must fit in one input.
    [ "$t" = fuzz_skinbmp ] || common[2]=-max_len=65536
    if [ "$mode" = smoke ]; then seconds=$(( per_target / 2 )); fi
  fi
  echo "=== $t: ${seconds}s ($mode) ==="
  if [ "$mode" = smoke ]; then
    set +e
    ASAN_OPTIONS=detect_leaks=1 "$build/fuzz/$t" "${common[@]}" -max_total_time="$seconds" \
      "$work" "${inputs[@]}" >"$log" 2>&1
    rc=$?
    set -e
  else
    # libFuzzer stops at the first failure; start it again on the grown corpus until the time
    # is used, so one crash does not end the session (fork mode costs too much per job here).
    : >"$log"
    rc=0
    deadline=$(( $(date +%s) + seconds ))
    while [ "$(date +%s)" -lt "$deadline" ]; do
      left=$(( deadline - $(date +%s) ))
      set +e
      ASAN_OPTIONS=detect_leaks=1 nice -n 15 "$build/fuzz/$t" "${common[@]}" -max_total_time="$left" \
        "$work" "${inputs[@]}" >>"$log" 2>&1
      run_rc=$?
      set -e
      [ "$run_rc" -eq 0 ] || rc=$run_rc
    done
  fi
  grep -E '^stat::|cov: .*ft:' "$log" | tail -n 8 || true
  found=$(find "$artifacts" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  if [ "$rc" -ne 0 ] || [ "$found" -gt 0 ]; then
    echo "fuzz: $t FAILED (exit $rc, $found failing inputs in $artifacts); log: $log" >&2
    grep -E 'ERROR: |SUMMARY: |runtime error' "$log" | head -n 10 >&2 || true
    record_finding "$t" "$log" "$artifacts"
    status=1
  else
    echo "fuzz: $t clean"
  fi
  if [ "$mode" = long ] && [ "$found" -gt 0 ]; then
    saved=$(regressions_of "$t")
    mkdir -p "$saved"
    find "$artifacts" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) \
      -exec cp -n {} "$saved/" \;
    echo "fuzz: failing inputs of $t saved in ${saved#"$root"/}/"
  fi
done
exit $status
