#!/bin/sh
# Usage: install.sh BUILD_DIR SOURCE_DIR
# Installs the build into a temporary prefix and checks what a user gets: every file in its
# place, a desktop entry that validates, and a launcher that prepares the data folder.
set -u
build=$1
source=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/prefix"
passed=0
failed=0

ok() { passed=$((passed + 1)); }
fail() { echo "FAIL: $*" >&2; failed=$((failed + 1)); }
check() { what=$1; shift; if "$@"; then ok; else fail "$what"; fi; }
finish() {
    echo "install: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
}

# png_size FILE: "WIDTHxHEIGHT" from the PNG header.
png_size() {
    set -- $(od -An -tu1 -j16 -N8 "$1")
    [ $# -eq 8 ] || return 1
    echo "$(($1 << 24 | $2 << 16 | $3 << 8 | $4))x$(($5 << 24 | $6 << 16 | $7 << 8 | $8))"
}

# --- the install itself -------------------------------------------------------------------
if ! (unset DESTDIR; cmake --install "$build" --prefix "$prefix") >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log" >&2
    fail "cmake --install into a temporary prefix"
    finish
fi
ok

for f in bin/orvanel bin/orvanel-desktop; do
    check "$f is an executable file" test -f "$prefix/$f" -a -x "$prefix/$f"
done
check "the shipped dxcc.dat is the one in data/" cmp -s "$source/data/dxcc.dat" "$prefix/share/orvanel/dxcc.dat"
check "the shipped cty.csv is the one in data/" cmp -s "$source/data/cty.csv" "$prefix/share/orvanel/cty.csv"
for f in share/orvanel/CTY-LICENSE.txt share/doc/orvanel/copyright share/applications/orvanel.desktop \
         share/mime/packages/orvanel.xml; do
    check "$f installed" test -s "$prefix/$f"
done
for n in 16 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${n}x${n}/apps/orvanel.png"
    check "icon ${n}x${n} is a ${n}x${n} picture" test "$(png_size "$icon" 2>/dev/null)" = "${n}x${n}"
done

# --- the desktop entry ----------------------------------------------------------------------
entry="$prefix/share/applications/orvanel.desktop"
if command -v desktop-file-validate >/dev/null; then
    # It reports warnings and hints on its output but still exits 0: both must be clean.
    if out=$(desktop-file-validate "$entry" 2>&1) && [ -z "$out" ]; then ok; else fail "desktop-file-validate: $out"; fi
else
    fail "desktop-file-validate not found (package desktop-file-utils)"
fi
exec_cmd=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
icon_name=$(sed -n 's/^Icon=//p' "$entry")
check "Exec= names the installed launcher ($exec_cmd)" test "$exec_cmd" = orvanel-desktop -a -x "$prefix/bin/$exec_cmd"
check "Icon= names the installed icon ($icon_name)" test -f "$prefix/share/icons/hicolor/48x48/apps/$icon_name.png"

# --- the program's own answers, without a display; its data folder is the one the build was
# configured for (the package's test checks its own) -----------------------------------------
out=$(DISPLAY= "$prefix/bin/orvanel" --version 2>&1)
check "--version: $out" test "$out" = "$(printf 'Orvanel %s\nCarpeta de datos: %s/share/orvanel' "$(sed -n 's/^project(Orvanel VERSION \([^ ]*\).*/\1/p' "$source/CMakeLists.txt")" "$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")")"
check "--help answers in Spanish" sh -c '"$1" --help | grep -q "^Uso: orvanel \[ARCHIVO\]"' - "$prefix/bin/orvanel"

# --- the file types the desktop entry opens, as the desktop's MIME database reads them ---------
if out=$(XDG_DATA_DIRS="$prefix/share" update-mime-database "$prefix/share/mime" 2>&1) && [ -z "$out" ]; then ok; else fail "update-mime-database: $out"; fi
for pair in lbr:application/x-orvanel-libro adi:application/x-adif adx:application/x-adx; do
    check "*.${pair%%:*} is ${pair#*:}" grep -qx "50:${pair#*:}:\*\.${pair%%:*}" "$prefix/share/mime/globs2"
    check "the desktop entry opens ${pair#*:}" grep -q "^MimeType=.*${pair#*:};" "$entry"
done

# --- the launcher -----------------------------------------------------------------------------
# In place of the program: note where it was started, end with the status asked for.
cat >"$prefix/bin/orvanel" <<'EOF'
#!/bin/sh
{ pwd -P; printf '%s\n' "$@"; } >"$FAKE_OUT"
exit "${FAKE_STATUS:-0}"
EOF
chmod +x "$prefix/bin/orvanel"
export FAKE_OUT="$tmp/started-in"

# launch [ENV...]: runs the installed launcher from an unrelated folder; $status is its exit status.
launch() {
    rm -f "$FAKE_OUT"
    status=0
    (cd / && env "$@" "$prefix/bin/orvanel-desktop") || status=$?
}
started_in() { [ -d "$1" ] && [ "$(head -n 1 "$FAKE_OUT" 2>/dev/null)" = "$(cd "$1" && pwd -P)" ]; }
seeded() { cmp -s "$prefix/share/orvanel/dxcc.dat" "$1/dxcc.dat"; }

# First start: the data folder (and its parents) is created and given the shipped list.
data="$tmp/xdg/nested/orvanel"
launch HOME="$tmp/unused" XDG_DATA_HOME="$tmp/xdg/nested"
check "first start exits 0" test "$status" -eq 0
check "first start creates and seeds \$XDG_DATA_HOME/orvanel" seeded "$data"
check "first start runs the program in the data folder" started_in "$data"

# The user's own list survives the next start.
printf '"1"\r\n"EA"\r\n"14 - Mine"\r\n"EU"\r\n' >"$data/dxcc.dat"
cp "$data/dxcc.dat" "$tmp/users-list"
launch HOME="$tmp/unused" XDG_DATA_HOME="$tmp/xdg/nested"
check "a changed dxcc.dat is not overwritten" cmp -s "$tmp/users-list" "$data/dxcc.dat"
check "second start runs in the same folder" started_in "$data"

# A folder the user already has, with station data but no list: seeded, the rest untouched.
data="$tmp/kept/orvanel"
mkdir -p "$data"
printf '"Combo1"\r\n"-3"\r\n' >"$data/USUARIO.CFG"
cp "$data/USUARIO.CFG" "$tmp/users-cfg"
launch HOME="$tmp/unused" XDG_DATA_HOME="$tmp/kept"
check "an existing folder without dxcc.dat is seeded" seeded "$data"
check "the station data in it is left alone" cmp -s "$tmp/users-cfg" "$data/USUARIO.CFG"

# Unset, empty or relative XDG_DATA_HOME: ~/.local/share (a home with a blank in its name).
for how in unset empty relative; do
    home="$tmp/home $how"
    mkdir -p "$home"
    case $how in
        unset) launch -u XDG_DATA_HOME HOME="$home" ;;
        empty) launch HOME="$home" XDG_DATA_HOME= ;;
        relative) launch HOME="$home" XDG_DATA_HOME=share ;;
    esac
    check "$how XDG_DATA_HOME: seeds ~/.local/share/orvanel" seeded "$home/.local/share/orvanel"
    check "$how XDG_DATA_HOME: runs there" started_in "$home/.local/share/orvanel"
done

# Found through PATH by way of a symlink elsewhere: the shipped list is still found.
mkdir -p "$tmp/links"
ln -s "$prefix/bin/orvanel-desktop" "$tmp/links/orvanel-desktop"
rm -f "$FAKE_OUT"
status=0
(cd / && HOME="$tmp/unused" XDG_DATA_HOME="$tmp/linked" PATH="$tmp/links:$PATH" orvanel-desktop) || status=$?
check "started through a symlink on PATH: seeded" seeded "$tmp/linked/orvanel"
check "started through a symlink on PATH: runs the program next to the real launcher" started_in "$tmp/linked/orvanel"

# A file from the file manager (a whole path) or named from the folder started in arrives whole.
(cd "$tmp/links" && HOME="$tmp/unused" XDG_DATA_HOME="$tmp/xdg/nested" "$prefix/bin/orvanel-desktop" "mi libro.adi" /a/x.LBR)
check "file arguments arrive as whole paths" test "$(tail -n +2 "$FAKE_OUT")" = "$(printf '%s\n' "$tmp/links/mi libro.adi" /a/x.LBR)"

# The program's exit status is the launcher's (it execs the program).
launch HOME="$tmp/unused" XDG_DATA_HOME="$tmp/xdg/nested" FAKE_STATUS=3
check "the program's exit status comes back" test "$status" -eq 3

finish
