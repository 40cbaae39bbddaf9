#!/bin/bash
# Runs every benchmark program.
set -e
bin=$1
shopt -s nullglob
for b in "$bin"/bench_*; do echo "== $(basename "$b")"; "$b"; done
