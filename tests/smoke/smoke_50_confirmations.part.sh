# Archivo > Importar confirmaciones from the keyboard, with a report holding one record the log
# does not have; the closing message, copied with Ctrl+C, says so.
printf 'LoTW\n<EOH>\n<CALL:6>ZL1ZZZ <BAND:3>20M <MODE:3>SSB <QSO_DATE:8>20230312 <TIME_ON:4>0700 <QSL_RCVD:1>Y <EOR>\n' \
  > informe.adi
focus "$main"
keys alt+a f
confirmations=$(wait_window "Importar confirmaciones")
focus "$confirmations"
keys ctrl+a
type_text "$work/informe.adi"     # the log folder is another since "Directorios"
keys Return
# The message has the window's title: it is the other window of that name.
box=
for _ in $(seq 1 150); do
  box=$(xdotool search --onlyvisible --name '^Importar confirmaciones$' 2>/dev/null | grep -vx "$confirmations" | head -n 1 || true)
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || fail "no message after importing the confirmations"
focus "$box"
keys ctrl+c
said=$(xclip -o -selection clipboard 2>/dev/null || true)
case "$said" in
  *"Registros leídos: 1."*"Contactos marcados como QSL recibida: 0."*"Registros sin contacto en el libro: 1."*) ;;
  *) fail "the confirmations message said: $said" ;;
esac
keys Return                     # "Aceptar"
wait_gone "Importar confirmaciones"
focus "$main"
