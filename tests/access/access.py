"""Reads the running program through AT-SPI as a screen reader would (see access.sh)."""
import atexit
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

MAIN = "Orvanel versión 9.0"
failures = []
heard = []  # (event, role, name, detail) in the order they came


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)


def pump(seconds):
    loop = GLib.MainLoop()
    GLib.timeout_add(int(seconds * 1000), loop.quit)
    loop.run()


def wait_for(get, seconds=20):
    end = time.monotonic() + seconds
    while not get() and time.monotonic() < end:
        pump(0.1)
    return get()


def listen(event):
    try:
        heard.append((event.type, event.source.getRoleName(), event.source.name or "", event.detail1))
    except Exception as e:  # the source may be gone already
        heard.append((event.type, "?", str(e), event.detail1))


def walk(node):
    yield node
    if node.getRole() == pyatspi.ROLE_TABLE:
        return  # cells are made on demand: reading them all is what a screen reader never does
    for child in node:
        if child is not None:
            yield from walk(child)


def showing_windows():
    app = next((a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.get_process_id() == PROCESS.pid), None)
    return {w.name: w for w in app or () if w is not None and w.getState().contains(pyatspi.STATE_SHOWING)}


def find(root, role, name=None):
    return next((n for n in walk(root) if n.getRole() == role and (name is None or n.name == name)), None)


def keys(window_title, *names):
    # The X focus first: there is no window manager to hand it over.
    ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(PROCESS.pid), "--name", "^%s$" % window_title],
                         capture_output=True, text=True).stdout.split()
    if ids:
        subprocess.run(["xdotool", "windowfocus", "--sync", ids[0]], capture_output=True)
    for name in names:
        subprocess.run(["xdotool", "key", "--clearmodifiers", name])
        pump(0.15)


def focused_since(mark):
    return [name for event, role, name, detail in heard[mark:] if event.endswith(":focused") and detail == 1]


def check_window(window):
    """Every control that takes the focus is named; a combo box by its label, not by its text."""
    for node in walk(window):
        if node.getState().contains(pyatspi.STATE_FOCUSABLE):
            check(node.name.strip() != "", "%s: a focusable %s without a name" % (window.name, node.getRoleName()))
        if node.getRole() == pyatspi.ROLE_COMBO_BOX:
            texts = {n.queryText().getText(0, -1) if n.getRole() == pyatspi.ROLE_TEXT else n.name for n in walk(node)
                     if n.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_LIST_ITEM)}
            check(node.name not in texts, "%s: combo box named by its text %r" % (window.name, node.name))


pyatspi.Registry.registerEventListener(listen, "focus:", "object:state-changed:focused", "object:text-caret-moved",
                                       "object:state-changed:showing", "object:announcement")
PROCESS = subprocess.Popen([sys.argv[1]])
atexit.register(lambda: PROCESS.poll() is None and PROCESS.kill())
main = wait_for(lambda: showing_windows().get(MAIN), 60)
check(main is not None, "the main window is not on the accessibility bus")
if main is None:
    sys.exit(1)
check_window(main)

# The small log book of the folder, opened as the operator would.
find(main, pyatspi.ROLE_MENU_ITEM, "Abrir").queryAction().doAction(0)
opened = wait_for(lambda: showing_windows().get("Abrir"))
find(opened, pyatspi.ROLE_PUSH_BUTTON, "Abrir").queryAction().doAction(0)
table = find(main, pyatspi.ROLE_TABLE, "Contactos")
check(wait_for(lambda: table.queryTable().nRows == 3), "the log book did not open")
check([table.queryTable().getColumnHeader(c).name for c in range(table.queryTable().nColumns)] ==
      ["Indicativo", "Nombre", "QTH", "Provincia", "Ciudad", "Código Postal", "Casilla de Correo", "RST", "Fecha",
       "Hora", "Frecuencia", "Modo", "Vía", "Enviada", "Recibida", "Comentario"], "the table's column headings")

# The arrows move the current cell, and the screen reader's focus with it.
table.queryComponent().grabFocus()
pump(0.3)
mark = len(heard)
keys(main.name, "Down", "Right")
check(wait_for(lambda: focused_since(mark)[-2:] == ["LU1ABC", "Juan"], 5),
      "moving down and right from EA4XYZ: heard %s" % focused_since(mark))

# Tab from the table names the entry fields in order, then the buttons, the banner, the
# comment button, and comes back to the table.
mark = len(heard)
keys(main.name, *["Tab"] * 20)
names = []
for name in wait_for(lambda: len(focused_since(mark)) >= 20 and focused_since(mark), 10) or focused_since(mark):
    if not names or names[-1] != name:  # an editable combo box and its text field say one name
        names.append(name)
check(names[:20] == ["Indicativo", "Nombre", "QTH", "Provincia", "Ciudad", "Código Postal", "Casilla Correo", "RST",
                     "Fecha", "Hora", "Frecuencia", "Modo", "Vía", "Comentarios", "Aceptar", "Borrar Todo",
                     "Apoye a Orvanel, abre el sitio web", "Editar comentario", "Contactos", "Juan"],
      "Tab order heard: %s" % names)
# Orca takes a field whose caret moved before it was focused as already current, and never names it.
for field in ("Indicativo", "Frecuencia", "Comentarios"):
    first = next((event for event, role, name, detail in heard[mark:] if name == field
                  and (event.endswith("caret-moved") or event.endswith(":focused") and detail == 1)), "")
    check(first.endswith(":focused"), "%s told its caret before its focus" % field)

# A call sign in the log, typed: told once, not at every letter, that it was worked.
find(main, pyatspi.ROLE_TEXT, "Indicativo").queryComponent().grabFocus()
pump(0.3)
mark = len(heard)
keys(main.name, *"LU1ABC")
told = lambda: [name for event, role, name, detail in heard[mark:]
                if role == "notification" and detail == 1 or event.endswith("announcement")]
check(wait_for(lambda: any("Trabajado" in name for name in told()), 5), "typed LU1ABC, heard %s" % told())
check(len(told()) < 3, "news told at every letter: %s" % told())

# Each secondary window the menus open, and the comment window.
# The commands that change the log, end the program or start a browser are left alone.
leave_alone = {"Nuevo", "Guardar", "Agregar Contacto", "Salir", "Cortar", "Copiar", "Pegar", "Ordenar",
               "Borrar Línea", "Buscar siguiente", "Ayuda en línea", "Sitio web de Orvanel", "Abrir"}
openers = [item for item in walk(find(main, pyatspi.ROLE_MENU_BAR)) if item.getRole() == pyatspi.ROLE_MENU_ITEM
           and item.childCount == 0 and item.name not in leave_alone
           and not item.name.startswith(("Deshacer", "Rehacer"))]  # named after what they undo
openers.append(find(main, pyatspi.ROLE_PUSH_BUTTON, "Editar comentario"))
seen = set(showing_windows())
for opener in openers:
    opener.queryAction().doAction(0)
    new = wait_for(lambda: set(showing_windows()) - seen, 3)
    for title in new or ():
        print("window:", title, flush=True)
        check_window(showing_windows()[title])
    seen |= new or set()
check(len(seen) >= 12, "secondary windows read: %s" % sorted(seen))

try:
    find(main, pyatspi.ROLE_MENU_ITEM, "Salir").queryAction().doAction(0)
except Exception:
    pass  # the program may end before it answers
try:
    check(PROCESS.wait(30) == 0, "the program did not end cleanly")
except subprocess.TimeoutExpired:
    PROCESS.kill()
    check(False, "the program did not end on Salir")
print("accessibility: %d failed" % len(failures))
sys.exit(1 if failures else 0)
