#!/bin/bash
# Runs the tests of a 32-bit Windows build tree inside an emulated PC, for machines whose kernel
# executes no 32-bit code:
#   scripts/emulated-pc.sh [OPTIONS] BUILD_DIR [CTEST ARGUMENTS...]
# The options, what it does and its exit codes: scripts/emulated-pc/run.sh (--help lists them).
exec bash "$(dirname "$0")/emulated-pc/run.sh" "$@"
