#!/usr/bin/env bash
# Opening a big log in the real program, measured from outside as its user waits for it: from
# pressing "Abrir" in the "Abrir" window to the first rows of the table on the screen, against
# `cat` of the same file to /dev/null. The program runs under Xvfb, driven with xdotool; the
# screen is watched with ImageMagick's `import` (about a tenth of a second a look, which bounds
# the precision). Prints both times and their ratio.
#   scripts/measure_open.sh [PROGRAM] [CONTACTS]     (default: build/orvanel, 1000000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(readlink -f "${1:-$root/build/orvanel}")
contacts=${2:-1000000}
if [ -z "${MEASURE_INSIDE_X:-}" ]; then
  export MEASURE_INSIDE_X=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$program" "$contacts"
fi
source "$root/tests/smoke/smoke_lib.sh"
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
export XDG_CONFIG_HOME="$work/.config"

# A log of varied contacts, Windows-1252 as the program writes it.
python3 - "$contacts" > libro.LBR <<'EOF'
import sys
n = int(sys.argv[1])
names = ["Juan", "María José", "Peñalosa", "Sergio", "Ana Lucía", "Óscar", "Müller"]
places = ["Rosario", "Córdoba", "Montevideo", "Valencia", "Ñuñoa", "Gandía", "Coyoacán"]
modes = ["SSB", "CW", "FT8", "RTTY", "FM"]
out = sys.stdout.buffer
out.write(b"%d\r\n" % n)
for i in range(n):
    values = ["LU%d%s" % (i % 10, chr(65 + i % 26) * 2 + chr(65 + i // 26 % 26)), names[i % 7], places[i % 7],
              places[(i + 3) % 7], places[(i + 5) % 7], str(1000 + i % 9000), "", "59", "%d/%d/%02d" % (1 + i % 28, 1 + i % 12, i % 100),
              "%02d:%02d:%02d" % (i % 24, i % 60, (i * 7) % 60), "%.3f" % (7 + (i % 300) / 1000), modes[i % 5],
              "BURO", "SI" if i % 3 else "NO", "NO", "contacto %d" % i if i % 4 == 0 else ""]
    out.write(b"".join(b'"' + v.encode("cp1252") + b'"\r\n' for v in values))
EOF

# `cat` with the file in the page cache, the best of three.
cat libro.LBR > /dev/null
best=
for _ in 1 2 3; do
  start=$(date +%s.%N); cat libro.LBR > /dev/null; end=$(date +%s.%N)
  t=$(awk "BEGIN { print $end - $start }")
  if [ -z "$best" ] || awk "BEGIN { exit !($t < $best) }"; then best=$t; fi
done

# Whether text is drawn where the table's first rows go (dark pixels below the headings).
rows_shown() {
  local darkest
  darkest=$(import -window "$main" -crop 500x90+216+110 -colorspace gray -format '%[fx:minima]' info: 2>/dev/null || echo 1)
  awk "BEGIN { exit !($darkest < 0.35) }"
}

"$program" & pid=$!
main=$(wait_window "Orvanel versión 9.0")
focus "$main"
keys alt+a a
abre=$(wait_window "Abrir")
xdotool windowmove "$abre" 0 700       # away from the table, whose pixels are watched
focus "$abre"
xdotool mousemove --window "$abre" 120 16 click 1
sleep 0.2
keys ctrl+a
type_text "libro.LBR"
keys Tab                                # to the window's "Abrir" button
rows_shown && fail "the table shows rows before the log is opened"
start=$(date +%s.%N)
xdotool key space
for _ in $(seq 1 3000); do rows_shown && break; done
end=$(date +%s.%N)
rows_shown || fail "the table showed no rows"
open=$(awk "BEGIN { print $end - $start }")
printf 'cat of %s contacts (%s bytes): %.3f s\n' "$contacts" "$(stat -c %s libro.LBR)" "$best"
printf 'Abrir to the first rows on the screen: %.3f s\n' "$open"
printf 'ratio: %.1f\n' "$(awk "BEGIN { print $open / $best }")"
