#!/bin/sh
# Kills samvel, ludric, dwcimport, blankmap and tavik --save at random moments, KILLS times each (100
# unless given), and reruns each after every kill; prints what the kills left
# and fails when a file was neither old nor new, a rerun did not make what an
# unkilled run makes, or a temporary file outlived a rerun.
#   tests/faults/kill_rerun.sh [BUILD] [KILLS]
set -eu
build=${1:-build}
kills=${2:-100}
cmake --build "$build" --target faults_tests
TAVIK_KILL_RERUNS=$kills "$build/tests/faults_tests" --gtest_filter='KillAndRerun.*'
