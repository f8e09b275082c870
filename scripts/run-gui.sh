#!/usr/bin/env bash
# Runs a command with a display: the one there is, or a private Xvfb screen.
set -u
if [ -n "${DISPLAY:-}" ]; then exec "$@"; fi
exec xvfb-run -a -s "-screen 0 1024x768x24" "$@"
