# Log book files from the keyboard: save the typed contact under a name, start a new log,
# open the file, import it on top, and save again.
# A file name box is filled as a person would: select what is there, type over it.
type_file_name() {
  local window; window=$(wait_window "$1")
  focus "$window"
  # A window shown again keeps the focus where it was left: a click puts it in the box.
  xdotool mousemove --window "$window" 120 16 click 1
  sleep 0.2
  keys ctrl+a        # in the box it selects all; only the main window means "Abrir" by it
  type_text "$2"
  keys Tab space     # the box is followed by the window's own button
  wait_gone "$1"
}

# Archivo > Guardar como...
focus "$main"
keys alt+a o
type_file_name "Guardar como..." "prueba.LBR"
wait_file prueba.LBR
wait_title "$main" "Kavento versión 9.0 - prueba.LBR"
expect_eq "first line of prueba.LBR" "1" "$(head -n 1 prueba.LBR | tr -d '\r')"
expect_eq "CR LF lines in prueba.LBR" 17 "$(grep -c $'\r$' prueba.LBR)"
head -n 2 prueba.LBR | tail -n 1 | grep -q '^"LU1ABC"'$'\r''$' || fail "prueba.LBR does not start with the call sign"
record=$(mktemp)
tail -c +4 prueba.LBR > "$record"       # the contact as written, after "1" CR LF

# Archivo > Nuevo empties the log; Abrir reads the file back; Importar appends it again.
focus "$main"
keys alt+a n
focus "$main"
keys alt+a a
type_file_name "Abrir" "prueba.LBR"
focus "$main"
keys alt+a i
type_file_name "Importar" "prueba.LBR"

# Ctrl+G writes to the name in the title: two identical contacts.
focus "$main"
keys ctrl+g
for _ in $(seq 1 50); do
  [ "$(head -n 1 prueba.LBR | tr -d '\r')" = 2 ] && break
  sleep 0.1
done
expected=$(mktemp)
{ printf '2\r\n'; cat "$record" "$record"; } > "$expected"
cmp -s "$expected" prueba.LBR || { od -c prueba.LBR | head -20; fail "prueba.LBR does not hold the contact twice"; }
rm -f "$record" "$expected"
wait_title "$main" "Kavento versión 9.0 - prueba.LBR"
focus "$main"
