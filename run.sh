#!/bin/sh
# Installs what is missing, builds The Velmora and starts it.
set -e
cd "$(dirname "$0")"
./setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF
cmake --build build -j"$(nproc)"
exec ./build/bin/velmora "$@"
