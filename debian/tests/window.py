"""Drives the installed program as a person would, with XTest input: its
window opens with the class its desktop entry names, draws the site, prints
the selection line of a clicked list line, and ends with status 0 when
asked to close."""
import subprocess
import sys
import time

from Xlib import X, display, protocol
from Xlib.ext import xtest

PROGRAM = "/usr/bin/dalvery"
ENTRY = "/usr/share/applications/dalvery.desktop"
# Window coordinates of the site view and of the list's inside (within its
# sunken frame), and the second line of the list.
VIEW = (5, 5, 625, 590)
LIST_INSIDE = (637, 7, 156, 101)
SECOND_LINE = "Selected Machine 2 'Crane'"
# Fewest pixels of each colour in the view as the site opens: 70 % of what
# FLTK 1.3 and 1.4 draw there on Xvfb (181,000 sky, 93,000 and 89,000 of the
# two greys of the ground, 2,440 yellow of the cubes and the excavator, 1,000
# red of the truck's cab, 244 green of its chassis, of 369,000).
LEAST = {"sky": 126000, "dark ground": 65000, "light ground": 62000,
         "yellow": 1700, "red": 700, "green": 170}


running = []  # the program, ended on a failure


def fail(message):
    print("FAIL:", message, file=sys.stderr)
    for program in running:
        program.kill()
    sys.exit(1)


# What a busy machine may take to map the window and draw its first frame.
PATIENCE = 120


def wait_for(what, seconds=PATIENCE):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        got = what()
        if got:
            return got
        time.sleep(0.2)
    return None


def colour(r, g, b):
    """The site's colours by hue, as lighting leaves them."""
    if r < 30 and g < 30 and 50 <= b <= 110:
        return "sky"
    hi = max(r, g, b)
    if abs(r - g) <= 12 and abs(g - b) <= 12:
        return "other" if hi < 25 else "dark ground" if hi < 105 else "light ground"
    if hi < 40:
        return "other"
    if r > 2 * g and r > 2 * b:
        return "red"
    if g > 2 * r and g > 2 * b:
        return "green"
    if b * 3 < r and g * 10 >= r * 8:
        return "yellow"
    return "other"


def pixels(window, area):
    """Rows of (r, g, b) of an area of a window, as the screen shows it."""
    x, y, w, h = area
    image = window.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF)
    data = image.data
    stride = len(data) // h  # 32 bits a pixel, blue first
    return [[(data[row * stride + 4 * col + 2], data[row * stride + 4 * col + 1],
              data[row * stride + 4 * col]) for col in range(w)] for row in range(h)]


def counts(window):
    found = {}
    for row in pixels(window, VIEW):
        for p in row:
            name = colour(*p)
            found[name] = found.get(name, 0) + 1
    return found


def line_centres(window):
    """The list's lines: one run of rows with dark text pixels each."""
    x, y = LIST_INSIDE[:2]
    rows = [any(max(p) < 100 for p in row) for row in pixels(window, LIST_INSIDE)]
    centres, start = [], None
    for i, text in enumerate(rows + [False]):
        if text and start is None:
            start = i
        if not text and start is not None:
            centres.append((x + LIST_INSIDE[2] // 2, y + (start + i - 1) // 2))
            start = None
    return centres


def top_level(screen):
    for w in screen.root.query_tree().children:
        if w.get_wm_class() and w.get_attributes().map_state == X.IsViewable:
            return w
    return None


def main():
    entry = dict(line.rstrip("\n").split("=", 1) for line in open(ENTRY) if "=" in line)
    dpy = display.Display()
    screen = dpy.screen()
    program = subprocess.Popen([PROGRAM], stdout=subprocess.PIPE, text=True)
    running.append(program)
    window = wait_for(lambda: top_level(screen))
    if window is None:
        fail("no window was mapped")
    instance = window.get_wm_class()[0]
    if instance != entry["StartupWMClass"]:
        fail(f"the window's instance name is {instance!r}, not the entry's {entry['StartupWMClass']!r}")
    print(f"window {window.id:#x}: class {window.get_wm_class()}, title {window.get_wm_name()!r}")

    drawn = wait_for(lambda: (lambda c: c if all(c.get(k, 0) >= n for k, n in LEAST.items()) else None)(counts(window)))
    if drawn is None:
        fail(f"the view never showed the site: {counts(window)}, at least {LEAST}")
    print("the view:", ", ".join(f"{drawn.get(k, 0)} {k}" for k in LEAST))

    centres = line_centres(window)
    if len(centres) < 2:
        fail(f"the list shows {len(centres)} lines")
    at = screen.root.translate_coords(window, *centres[1])
    x, y = at.x, at.y
    xtest.fake_input(dpy, X.MotionNotify, x=x, y=y)
    xtest.fake_input(dpy, X.ButtonPress, 1)
    xtest.fake_input(dpy, X.ButtonRelease, 1)
    dpy.sync()
    line = program.stdout.readline().rstrip("\n")
    if line != SECOND_LINE:
        fail(f"the second list line printed {line!r}, not {SECOND_LINE!r}")
    print("clicked the second line:", line)

    # The window manager's close button sends WM_DELETE_WINDOW.
    protocols = dpy.intern_atom("WM_PROTOCOLS")
    delete = dpy.intern_atom("WM_DELETE_WINDOW")
    window.send_event(protocol.event.ClientMessage(
        window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0])))
    dpy.sync()
    try:
        status = program.wait(30)
    except subprocess.TimeoutExpired:
        fail("the program did not end within 30 s of the close request")
    rest = program.stdout.read()
    if status != 0 or rest:
        fail(f"after the close request: status {status}, output {rest!r}")
    print("closed on request: status 0")
    dpy.close()


main()
