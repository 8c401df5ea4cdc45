# Reemplazar, Deshacer and Directorios from the keyboard. The log holds LU1ABC alone, saved
# as prueba.LBR.

# Edición > Reemplazar (Ctrl+R): the call sign replaced everywhere, then saved.
focus "$main"
keys ctrl+r
replace_window=$(wait_window "Reemplazar")
focus "$replace_window"
type_text "LU1ABC"
keys Tab
type_text "LU9ZZZ"
keys Tab Tab Tab Tab space     # past both check boxes and "Reemplazar" to "Reemplazar todo"
keys Return                     # the message that says how many cells changed
focus "$replace_window"
keys Tab space                  # "Cancelar"
wait_gone "Reemplazar"
focus "$main"
keys ctrl+g
for _ in $(seq 1 50); do
  [ "$(sed -n 2p prueba.LBR | tr -d '\r')" = '"LU9ZZZ"' ] && break
  sleep 0.1
done
[ "$(sed -n 2p prueba.LBR | tr -d '\r')" = '"LU9ZZZ"' ] || fail "Reemplazar todo did not change the call sign"

# Ctrl+Z takes the replacement back; saved again, the file is as before.
keys ctrl+z ctrl+g
for _ in $(seq 1 50); do
  [ "$(sed -n 2p prueba.LBR | tr -d '\r')" = '"LU1ABC"' ] && break
  sleep 0.1
done
[ "$(sed -n 2p prueba.LBR | tr -d '\r')" = '"LU1ABC"' ] || fail "Deshacer did not bring the call sign back"

# Configuración > Directorios: a folder of its own for the logs; "Guardar como..." then
# writes there.
mkdir -p "$work/libros"
keys alt+c d
folders_window=$(wait_window "Directorios")
focus "$folders_window"
keys ctrl+a
type_text "$work/libros"
keys Tab Tab space              # past "Examinar..." to "Aceptar"
wait_gone "Directorios"
focus "$main"
keys alt+a o
type_file_name "Guardar como..." "en carpeta.LBR"
wait_file "libros/en carpeta.LBR"
wait_title "$main" "Kavento versión 9.0 - en carpeta.LBR"
cmp -s prueba.LBR "libros/en carpeta.LBR" || fail "the log saved in the chosen folder differs"
focus "$main"
