# The DXCC list (open, sort by zone, close through its frame) and the About box (closed by Enter).

# Closes a window the way a window manager's close button does: a WM_DELETE_WINDOW message.
# Xvfb runs without a window manager, so Alt+F4 would reach no one.
dxcc_close_window() {
  python3 - "$1" <<'PY' || fail "could not ask window $1 to close"
import ctypes as c, sys
x = c.CDLL("libX11.so.6")
x.XOpenDisplay.restype = c.c_void_p
x.XInternAtom.restype = c.c_ulong
x.XInternAtom.argtypes = [c.c_void_p, c.c_char_p, c.c_int]
x.XSendEvent.argtypes = [c.c_void_p, c.c_ulong, c.c_int, c.c_long, c.c_void_p]
x.XCloseDisplay.argtypes = [c.c_void_p]
class Message(c.Structure):  # XClientMessageEvent, padded to the size of an XEvent
    _fields_ = [("type", c.c_int), ("serial", c.c_ulong), ("send_event", c.c_int), ("display", c.c_void_p),
                ("window", c.c_ulong), ("message_type", c.c_ulong), ("format", c.c_int),
                ("data", c.c_long * 5), ("pad", c.c_long * 12)]
display = x.XOpenDisplay(None) or sys.exit("no display")
window = int(sys.argv[1])
event = Message(33, 0, 0, display, window, x.XInternAtom(display, b"WM_PROTOCOLS", 0), 32)
event.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(display, window, 0, 0, c.byref(event)) or sys.exit("XSendEvent failed")
x.XCloseDisplay(display)  # flushes the request
PY
}

dxcc_alive() { kill -0 "$pid" 2>/dev/null || fail "the program ended $1"; }

# The list is read from the working folder, as the installed program finds it.
cp "$here/../../data/dxcc.dat" dxcc.dat

# DXCC > Ver, then Ordenar > Zona in the list's own menu.
focus "$main"
keys alt+d v
dxcc=$(wait_window "DXCC")
focus "$dxcc"
keys alt+o z
sleep 0.3
dxcc_alive "while sorting the DXCC list"
expect_eq "DXCC window after sorting" "$dxcc" "$(wait_window "DXCC")"
dxcc_close_window "$dxcc"
wait_gone "DXCC"
dxcc_alive "when the DXCC window closed"

# Ayuda > Acerca de Orvanel; Enter acts as "Aceptar".
focus "$main"
keys alt+y o
about=$(wait_window "Acerca de Orvanel")
focus "$about"
keys Return
wait_gone "Acerca de Orvanel"
dxcc_alive "when the About box closed"
focus "$main"

# A call sign typed into "Indicativo" (the status bar tells its entity), then Estadísticas >
# Paises trabajados shows the log's entities; its frame's close button closes it. "&Edición"
# and "&Estadísticas" share their access key: Alt+D and the arrow reach the second.
focus "$main"
xdotool mousemove --window "$main" 130 $((edit_menu + 73)) click 1
sleep 0.3
keys Home shift+End
type_text "CE3PQ"
keys alt+d Right p
worked_window=$(wait_window "Países trabajados")
dxcc_close_window "$worked_window"
wait_gone "Países trabajados"
focus "$main"
