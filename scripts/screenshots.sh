#!/bin/sh
# Renders every window of Orvanel offscreen into docs/screenshots/*.png (main window with
# a few contacts, user configuration, open, save as, import, search, comment, DXCC, About).
# Usage: scripts/screenshots.sh [build-folder]   (default: build; configured if needed)
# Needs: fonts-liberation2, the font the program lays its windows out with.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
out="$root/docs/screenshots"

[ -f "$build/CMakeCache.txt" ] ||
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target orvanel-screenshots -j "${JOBS:-2}"

if ! fc-list 2>/dev/null | grep -q 'LiberationSans-Regular\.ttf'; then
    echo "screenshots: Liberation Sans not found (apt-get install fonts-liberation2)" >&2
    exit 1
fi

mkdir -p "$out"
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
# Spanish dates and times in the entry form and the table, as a user of the program sees them.
# Qt reads the locale's name itself, so it needs no locale generated on this machine.
LANG=es_AR.UTF-8 LC_ALL=es_AR.UTF-8 QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" \
    "$build/tools/screenshots/orvanel-screenshots" "$out" "$root/data/dxcc.dat"
# A page of QSL labels as printed: the PDF the program wrote, as a picture.
pdftoppm -png -r 72 -singlefile "$out/etiquetas.pdf" "$out/etiquetas-hoja"
rm -f "$out/etiquetas.pdf"
