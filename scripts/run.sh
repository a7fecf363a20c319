#!/usr/bin/env bash
# Installs the dependencies, builds the game and runs it headless on the bundled
# data for a bounded number of frames.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target Brinemark Tidework VisionEnginePlugin vPhysX SoundEnginePlugin
program_dir="$PWD/bin/linux-x64/release"
cd "$program_dir"
status=0
ENGINE_VIDEO="${ENGINE_VIDEO:-null}" ENGINE_FRAMES="${ENGINE_FRAMES:-600}" ENGINE_TIMESTEP="${ENGINE_TIMESTEP:-0.016666}" \
  ./Brinemark "$@" || status=$?
echo "Brinemark exited with status $status; its log is $program_dir/log.txt"
exit $status
