# The DX cluster: a node of the test's own asks for the call sign and sends one spot; the spot
# shows marked as a new entity in "Cluster DX", and a double click takes it to the form.
cluster_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
timeout 120 python3 - "$cluster_port" "$work/cluster-login" >/dev/null 2>&1 <<'PY' & cluster_pid=$!
import socket, sys, time
node, _ = socket.create_server(("127.0.0.1", int(sys.argv[1]))).accept()
node.sendall(b"\xff\xfb\x01Welcome to the test node\r\nlogin: ")
open(sys.argv[2], "wb").write(node.makefile("rb").readline())
node.sendall(b"DX de EA4XYZ:     14025.0  ZS6XY        CW 599                         1234Z\r\n")
time.sleep(120)
PY
sleep 0.5                       # the node listening
focus "$main"
keys alt+c o
connections=$(wait_window "Conexiones")
focus "$connections"
keys alt+v; type_text "127.0.0.1"   # by the access keys of "Servidor:", "Puerto:", "Indicativo:"
keys alt+t ctrl+a; type_text "$cluster_port"
keys alt+i; type_text "LU1ABC"
keys Return
wait_gone "Conexiones"
wait_file "$work/cluster-login"
expect_eq "call sign sent at the login prompt" "LU1ABC" "$(tr -d '\r\n' < "$work/cluster-login")"
focus "$main"
keys alt+d c
cluster=$(wait_window "Cluster DX")
sleep 1
# The first row's colour: a new entity (South Africa is in no contact of this log).
expect_eq "colour of the spot's row" "#F49A9A" "$(import -window "$cluster" -crop 1x1+40+72 -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -n 1)"
xdotool mousemove --window "$cluster" 120 72 click --repeat 2 --delay 100 1
sleep 0.5
radio_count=$(head -n 1 "$radio_log")
focus "$main"
keys F4 ctrl+g
for _ in $(seq 1 50); do [ "$(head -n 1 "$radio_log")" != "$radio_count" ] && break; sleep 0.1; done
expect_eq "call sign and frequency of the spot" '"ZS6XY" "14.025"' "$(tail -n 16 "$radio_log" | sed -n '1p;11p' | tr -d '\r' | paste -sd ' ')"
kill "$cluster_pid" 2>/dev/null || true
wait "$cluster_pid" 2>/dev/null || true
