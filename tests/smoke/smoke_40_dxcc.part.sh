# The DXCC list (open, sort by zone, close through its frame) and the About box (closed by Enter).

# Closes a window the way a window manager's close button does: a WM_DELETE_WINDOW message.
# Xvfb runs without a window manager, so Alt+F4 would reach no one.
dxcc_close_window() {
  python3 - "$1" <<'PY' || fail "could not ask window $1 to close"
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]

class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]

class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

display = x.XOpenDisplay(None)
if not display:
    sys.exit("no display")
window = int(sys.argv[1])
event = Event()
event.xclient.type = 33  # ClientMessage
event.xclient.display = display
event.xclient.window = window
event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
event.xclient.data[1] = 0  # CurrentTime
if not x.XSendEvent(display, window, 0, 0, ctypes.byref(event)):
    sys.exit("XSendEvent failed")
x.XFlush(display)
x.XCloseDisplay(display)
PY
}

dxcc_wait_gone() {
  local id
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    [ -z "$id" ] && return 0
    sleep 0.1
  done
  fail "window '$1' is still open"
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
dxcc_wait_gone "DXCC"
dxcc_alive "when the DXCC window closed"

# Ayuda > Acerca de Orvanel; Enter acts as "Aceptar".
focus "$main"
keys alt+y o
about=$(wait_window "Acerca de Orvanel")
focus "$about"
keys Return
dxcc_wait_gone "Acerca de Orvanel"
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
