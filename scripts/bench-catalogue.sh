#!/usr/bin/env bash
# The catalogue benchmark: GetFileList over a category of 10,000 movies against a bare
# enumeration with one size search per file, as a ratio measured in the same run, on the
# Windows build this host can run (see scripts/bench-windows.sh).
exec bash "$(dirname "$0")/bench-windows.sh" catalogue_bench
