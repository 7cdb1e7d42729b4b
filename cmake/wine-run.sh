#!/usr/bin/env bash
# Runs a Windows program under Wine in the prefix of a build folder: wine-run.sh BUILD PROGRAM ARGS...
set -e
here=$(dirname "$(readlink -f "$0")")
. "$here/wine-env.sh" "$1"
shift
exec wine "$@"
