#!/bin/sh
# Usage: package.sh BUILD_PACKAGE_DIR
# The Debian package `make package` built, unpacked: the folder where the packaged program
# says it looks for its data must be in the package and hold the country file and DXCC list.
set -u
deb=$(ls "$1"/orvanel_*.deb | head -n 1) || exit 1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root" || exit 1
folder=$(DISPLAY= "$root/usr/bin/orvanel" --version | sed -n 's/^Carpeta de datos: //p')
if [ -n "$folder" ] && [ -s "$root$folder/cty.csv" ] && [ -s "$root$folder/dxcc.dat" ]; then
    echo "package: $(basename "$deb") holds cty.csv and dxcc.dat in $folder, where the program looks"
else
    echo "package: FAIL: the program looks in «$folder»; the package has no cty.csv and dxcc.dat there" >&2
    exit 1
fi
