#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, configures, builds (with gcc) and runs every test
# through CTest; then the same suite built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, clang-tidy over the sources, and each fuzz target
# for 30 s. Every build treats compiler warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
ctest --test-dir build --output-on-failure -j2

CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTIMER_SANITIZE=ON
cmake --build build-asan
ctest --test-dir build-asan --output-on-failure -j2

scripts/tidy.sh build

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTIMER_FUZZ=ON -DTIMER_FUZZ_SECONDS=30
cmake --build build-fuzz --target fuzz_replies fuzz_sim_frames fuzz_config fuzz_verify fuzz_telnet
ctest --test-dir build-fuzz -L fuzz --output-on-failure
