#!/bin/sh
# Makes payload/manual.txt read-only, as the example project expects: git
# keeps no read-only bit, so a fresh clone has a writable file. Under Wine a
# file without write permission reads as FILE_ATTRIBUTE_READONLY; on Windows
# use "attrib +r payload\manual.txt" instead.
set -e
chmod a-w "$(dirname "$0")/payload/manual.txt"
