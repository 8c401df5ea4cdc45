#!/bin/sh
# Starts Orvanel from the desktop menu. The program keeps its station data, logs and
# DXCC list in its working folder, so give it one of the user's own:
# $XDG_DATA_HOME/orvanel (normally ~/.local/share/orvanel), seeded on first start with
# the DXCC list shipped with the program. A list already there is the user's: keep it.
set -eu

# Found beside this script, wherever the whole tree was installed (also through a symlink).
self=$(readlink -f -- "$0" 2>/dev/null || printf '%s\n' "$0")
bindir=$(CDPATH='' cd -- "$(dirname -- "$self")" && pwd -P)
shipped="$bindir/../share/orvanel/dxcc.dat"

# The XDG base directory rules say to ignore a relative (or empty) XDG_DATA_HOME.
case ${XDG_DATA_HOME:-} in
    /*) data="$XDG_DATA_HOME/orvanel" ;;
    *) data="$HOME/.local/share/orvanel" ;;
esac

mkdir -p -- "$data"
if [ ! -e "$data/dxcc.dat" ] && [ -r "$shipped" ]; then
    # Copy under another name first: an interrupted copy must not pass for the user's list.
    cp -- "$shipped" "$data/.dxcc.dat.$$"
    mv -- "$data/.dxcc.dat.$$" "$data/dxcc.dat"
fi

# A file named from where the launcher was started still names that file from the data folder.
for arg; do
    case $arg in
        -* | /*) ;;
        *) arg="$PWD/$arg" ;;
    esac
    set -- "$@" "$arg"
    shift
done

cd -- "$data"
exec "$bindir/orvanel" "$@"
