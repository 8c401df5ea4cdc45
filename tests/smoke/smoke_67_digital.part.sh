# The digital-mode program: one contact told both ways ("QSO Logged", then "Logged ADIF"), as
# the programs do, becomes one new row once "Registrar los contactos del programa digital" is
# checked in Configuración > Conexiones.
digital_port=$(python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
focus "$main"
keys alt+c o
connections=$(wait_window "Conexiones")
focus "$connections"
keys alt+r alt+u ctrl+a
type_text "$digital_port"
keys Return
wait_gone "Conexiones"
sleep 0.5
digital_count=$(head -n 1 "$radio_log" | tr -d '\r')
python3 - "$digital_port" <<'PY'
import datetime, socket, struct, sys
def text(s):
    b = s.encode()
    return struct.pack(">I", len(b)) + b
def moment(t):  # a QDateTime as Qt 5.4 streams it: Julian day, milliseconds, UTC
    return struct.pack(">qIB", t.toordinal() + 1721425, ((t.hour * 60 + t.minute) * 60 + t.second) * 1000, 1)
def header(kind):
    return struct.pack(">III", 0xADBCCBDA, 2, kind) + text("WSJT-X")
on = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0) - datetime.timedelta(minutes=1)
off = on + datetime.timedelta(seconds=45)
logged = (header(5) + moment(off) + text("JA1SMK") + text("PM95") + struct.pack(">Q", 14074000) + text("FT8")
          + text("-10") + text("-12") + text("100") + text("") + text("") + moment(on) + text("") + text("LU1ABC")
          + text("GF05") + text("") + text("") + text(""))
record = "<call:6>JA1SMK <gridsquare:4>PM95 <mode:3>FT8 <rst_sent:3>-10 <rst_rcvd:3>-12 <qso_date:8>%s <time_on:6>%s <freq:9>14.074000 <band:3>20m <EOR>" % (
    on.strftime("%Y%m%d"), on.strftime("%H%M%S"))
adif = header(12) + text("\n<adif_ver:5>3.1.0\n<programid:6>WSJT-X\n<EOH>\n" + record)
sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
for datagram in (logged, adif):
    sender.sendto(datagram, ("127.0.0.1", int(sys.argv[1])))
PY
sleep 1
focus "$main"
keys ctrl+g
for _ in $(seq 1 50); do [ "$(head -n 1 "$radio_log")" != "$digital_count" ] && break; sleep 0.1; done
expect_eq "rows after one contact told twice" "$((digital_count + 1))" "$(head -n 1 "$radio_log" | tr -d '\r')"
expect_eq "the contact's call sign and frequency" '"JA1SMK" "14.074"' "$(tail -n 16 "$radio_log" | sed -n '1p;11p' | tr -d '\r' | paste -sd ' ')"
