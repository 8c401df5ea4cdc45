# Helpers for the real-window smoke test.
# SMOKE_SHOT=file.png keeps a picture of the screen at the moment of a failure.
fail() {
  echo "smoke: FAIL: $*" >&2
  [ -n "${SMOKE_SHOT:-}" ] && import -window root "$SMOKE_SHOT" 2>/dev/null
  exit 1
}

expect_eq() { [ "$2" = "$3" ] || fail "$1: expected '$2', got '$3'"; }

# Waits for a visible window whose title is exactly $1 and prints its id.
wait_window() {
  local id
  for _ in $(seq 1 150); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  fail "no window titled '$1'"
}

window_size() {
  xdotool getwindowgeometry --shell "$1" | awk -F= '/^WIDTH/{w=$2} /^HEIGHT/{h=$2} END{print w, h}'
}

focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; sleep 0.3; }

keys() { for k in "$@"; do xdotool key --clearmodifiers "$k"; sleep 0.15; done; }

type_text() { xdotool type --delay 30 "$1"; sleep 0.2; }

wait_file() {
  for _ in $(seq 1 100); do [ -e "$1" ] && { sleep 0.3; return 0; }; sleep 0.1; done
  fail "file $1 was not written"
}

# Compares a file with bytes given as a printf format.
expect_bytes() {
  local expected; expected=$(mktemp)
  printf "$3" > "$expected"
  cmp -s "$expected" "$2" || { echo "expected:"; od -c "$expected" | head; echo "got:"; od -c "$2" | head; fail "$1 differs"; }
  rm -f "$expected"
}

# Waits until window $1 is titled exactly $2.
wait_title() {
  for _ in $(seq 1 100); do
    [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ] && return 0
    sleep 0.1
  done
  fail "window title: expected '$2', got '$(xdotool getwindowname "$1" 2>/dev/null)'"
}

# Waits until no visible window is titled exactly $1.
wait_gone() {
  for _ in $(seq 1 100); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window '$1' is still shown"
}
