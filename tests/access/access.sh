#!/usr/bin/env bash
# Starts the program in an X server with a D-Bus session and the accessibility bus, on a small
# log book in a fresh folder, and reads it with access.py.
set -euo pipefail
program=$(readlink -f "$1")
data=$(readlink -f "$2")
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${ACCESS_INSIDE:-}" ]; then
  export ACCESS_INSIDE=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash "$0" "$@"
fi
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export XDG_CONFIG_HOME="$work/.config" XDG_RUNTIME_DIR="$work" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
cp "$data/cty.csv" "$data/dxcc.dat" .
# Three contacts, the second of them LU1ABC with a comment, as a log book file.
{
  printf '3\r\n'
  for contact in 'EA4XYZ|Ana|14.200|SSB|' 'LU1ABC|Juan|7.050|CW|primer contacto' 'CE3AAA|Pedro|21.300|SSB|'; do
    IFS='|' read -r call name freq mode comment <<< "$contact"
    for value in "$call" "$name" '' '' '' '' '' 59 01/02/2024 10:00:00 "$freq" "$mode" BURO NO NO "$comment"; do
      printf '"%s"\r\n' "$value"
    done
  done
} > Principal.LBR
# The reader listens before the program starts, as Orca does: Qt learns at its start what to tell.
/usr/bin/python3 "$here/access.py" "$program"
