#!/usr/bin/env bash
# Fuzzes the model loader for 60 seconds (or the seconds given) with libFuzzer and
# AddressSanitizer, seeded with the game's generated models.
# Usage: tests/fuzz/run.sh [seconds] [game build folder, default build/ (for the seeds)]
# Crashing inputs land in build-fuzz/findings/; keep one under tests/fuzz/crashes/.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
seconds="${1:-60}"
game="$(cd "${2:-$root/build}" && pwd)"
build="$root/build-fuzz"

# clang and its fuzzer runtime are needed here only, so they are installed here only.
"$root/scripts/install-packages.sh" clang libclang-rt-14-dev

if [ ! -d "$game/assets/tunnel" ]; then
    echo "No generated assets in $game/assets: run ./run.sh or ./test.sh first." >&2
    exit 1
fi

cmake -S "$root/tests/fuzz" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
make -C "$build" -j2 ModelFuzzer

# The fuzzer's own game folder: the images every material of the game names, and a seed corpus
# of the game's models, each followed by its material file after the "#mtl" line.
work="$build/work"
seeds="$build/seeds"
corpus="$build/corpus"
findings="$build/findings"
rm -rf "$work" "$seeds"
mkdir -p "$work/assets/fuzz" "$seeds" "$corpus" "$findings"
find "$game/assets" -name '*.png' -exec cp {} "$work/assets/fuzz/" \;
for model in tunnel/door.obj tunnel/cube.obj tunnel/old_key3.obj tunnel/schalterfront.obj train/wheel.obj \
             portal/portalFrame.obj hints/switchViewSign.obj glassdoor/door2.obj; do
    material="$game/assets/${model%.obj}.mtl"
    {
        sed 's/^mtllib .*/mtllib model.mtl/' "$game/assets/$model"
        printf '\n#mtl\n'
        cat "$material"
    } > "$seeds/$(basename "$model" .obj)"
done

# Leaks of the graphics libraries (as for the sanitized suite) and of Assimp itself are not ours.
cat "$root/tests/sanitizer/lsan.supp" "$root/tests/fuzz/assimp.supp" > "$build/lsan.supp"
export LSAN_OPTIONS="suppressions=$build/lsan.supp"

cd "$work"
set +e
xvfb-run -a -s '-screen 0 1024x768x24' "$build/ModelFuzzer" -max_total_time="$seconds" -max_len=65536 \
    -rss_limit_mb=4096 -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" "$seeds" 2>&1 |
    grep -v -e '^Assimp Importer: ' -e '^IMG_Load error: ' -e '^Error, image is not truecolor.'
status=${PIPESTATUS[0]}
set -e
echo "Fuzzer exit status: $status; findings in $findings"
exit "$status"
