# Editing from the keyboard: a third contact with another call sign, a sort by call sign,
# a deleted line, and the log saved again. The log holds two identical contacts saved as
# prueba.LBR; the entry fields still hold what was typed for them.
edit_record=$(mktemp)
tail -n +2 prueba.LBR | head -n 16 > "$edit_record"   # one of the two contacts, as written
[ "$(wc -l < "$edit_record")" = 16 ] || fail "prueba.LBR does not hold a whole contact"

# The call-sign field lies at (80, 64) in the window's client area, below the menu bar; the
# 554-pixel client area lies between the menu bar and the 20-pixel status bar.
focus "$main"
read -r edit_width edit_height < <(window_size "$main")
edit_menu=$((edit_height - 554 - 20)); [ "$edit_menu" -ge 0 ] || edit_menu=0
xdotool mousemove --window "$main" 130 $((edit_menu + 73)) click 1
sleep 0.3
keys Home shift+End
type_text "aa1zz"
keys F4
sleep 0.3

# A click on the table below its rows gives it the focus; Ctrl+Home and Down make the
# second contact's call sign current. "Ordenar" by call sign puts aa1zz first and keeps
# the current row, so "Borrar Línea" takes the first LU1ABC; Ctrl+G writes the log.
xdotool mousemove --window "$main" 480 $((edit_menu + 72 + 400)) click 1
sleep 0.3
keys ctrl+Home Down
keys ctrl+o
keys ctrl+l
keys ctrl+g
for _ in $(seq 1 50); do
  [ "$(sed -n 2p prueba.LBR | tr -d '\r')" = '"aa1zz"' ] && break
  sleep 0.1
done

# The new contact is the old one with another call sign and the date and time the program
# stamped for it, which are read back from the file.
edit_expected=$(mktemp)
{
  printf '2\r\n"aa1zz"\r\n'
  sed -n 2,8p "$edit_record"
  sed -n 10,11p prueba.LBR
  sed -n 11,16p "$edit_record"
  cat "$edit_record"
} > "$edit_expected"
[ -n "$(sed -n 10p prueba.LBR | tr -d '\r"')" ] || fail "the new contact has no date"
cmp -s "$edit_expected" prueba.LBR || {
  echo "expected:"; od -c "$edit_expected" | head -40; echo "got:"; od -c prueba.LBR | head -40
  fail "prueba.LBR after sort and delete"
}
rm -f "$edit_record" "$edit_expected"
wait_title "$main" "Kavento versión 9.0 - prueba.LBR"
focus "$main"

# A click on the "Indicativo" heading shows the first contact current, and "Borrar Línea"
# takes that one (aa1zz), not the last; Ctrl+G writes what is left.
xdotool mousemove --window "$main" $((192 + 23 + 30)) $((edit_menu + 72 + 9)) click 1
sleep 0.3
keys ctrl+l ctrl+g
for _ in $(seq 1 50); do
  [ "$(head -n 1 prueba.LBR | tr -d '\r')" = 1 ] && break
  sleep 0.1
done
[ "$(sed -n 2p prueba.LBR | tr -d '\r')" = '"LU1ABC"' ] || fail "a heading click, then Borrar Línea, took the wrong contact"
