#!/bin/sh
# Starts the program in a library folder: the one given, or the user's own,
# ~/云笈研读书匣, made when missing. The program keeps its library in the
# folder it starts in.
set -e
here=$(dirname "$(readlink -f "$0")")
program=${WENK_PROGRAM:-$here/../libexec/wenk/wenk}
folder=${1:-$HOME/云笈研读书匣}
mkdir -p -- "$folder"
cd -- "$folder"
exec "$program"
