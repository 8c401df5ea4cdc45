# The radio: hamlib's dummy radio behind rigctld, read once "Leer frecuencia y modo del equipo"
# is checked in Configuración > Conexiones; the contact added next holds its frequency and mode.
radio_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
timeout 120 rigctld -m 1 -T 127.0.0.1 -t "$radio_port" >/dev/null 2>&1 & radio_pid=$!
radio_f= radio_m=
for _ in $(seq 1 50); do { exec 3<>"/dev/tcp/127.0.0.1/$radio_port"; } 2>/dev/null && break; sleep 0.1; done
printf 'F 14074000\nM USB 2400\n' >&3
read -r -t 5 radio_f <&3 && read -r -t 5 radio_m <&3 && exec 3>&-
expect_eq "rigctld set to 14.074 MHz USB" "RPRT 0 RPRT 0" "$radio_f $radio_m"
focus "$main"
keys alt+c o
connections=$(wait_window "Conexiones")
focus "$connections"
keys space Tab Tab ctrl+a       # the check box has the focus; then over the port
type_text "$radio_port"
keys Return                     # "Aceptar"
wait_gone "Conexiones"
sleep 1.5                       # the form follows within a second
radio_log="libros/en carpeta.LBR"
radio_count=$(head -n 1 "$radio_log")
focus "$main"
keys F4 ctrl+g
for _ in $(seq 1 50); do [ "$(head -n 1 "$radio_log")" != "$radio_count" ] && break; sleep 0.1; done
# The last contact's frequency and mode: its 11th and 12th of sixteen lines.
expect_eq "frequency and mode read from the radio" '"14.074" "SSB"' "$(tail -n 6 "$radio_log" | head -n 2 | tr -d '\r' | paste -sd ' ')"
kill "$radio_pid" 2>/dev/null || true
wait "$radio_pid" 2>/dev/null || true
