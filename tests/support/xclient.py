"""An X client playing the desktop around the game (python-xlib): finds windows by name, types keys through
XTEST as a keyboard does, moves the pointer and the focus, asks a window to close as a window manager's close
button does (WM_DELETE_WINDOW), and reads a window's picture. xdotool falls short: its search skips the
UTF8_STRING names of SDL's message boxes and its windowclose destroys instead of asking.

Short of: one screen of 24-bit colour; keys are X keysym names ("Up", "BackSpace"), "+" joining a chord.
"""
import contextlib
import time

from PIL import Image, ImageChops
from Xlib import X, XK, display, error
from Xlib.ext import xtest
from Xlib.protocol import event

PRESS = 0.2  # seconds press() holds a key, as a player does: the game reads the keyboard once a frame


class Desktop:
    def __init__(self, name):
        self.dpy = display.Display(name)
        self.root = self.dpy.screen().root

    def name(self, window):
        utf8 = window.get_full_property(self.dpy.intern_atom("_NET_WM_NAME"), self.dpy.intern_atom("UTF8_STRING"))
        return utf8.value.decode("utf-8", "replace") if utf8 else str(window.get_wm_name() or "")

    def shown(self, under):
        """The viewable children of window under."""
        return [w for w in under.query_tree().children if w.get_attributes().map_state == X.IsViewable]

    def find(self, name, under=None):
        """The first viewable window called name, depth first; None, also when windows came and went meanwhile."""
        try:
            for child in self.shown(under or self.root):
                found = child if self.name(child) == name else self.find(name, child)
                if found:
                    return found
        except error.XError:
            pass
        return None

    def others(self, own):
        """Names of the viewable top-level windows but own, its frame and the window manager's."""
        def holds(window):
            return window.id == own.id or any(map(holds, window.query_tree().children))
        try:
            return [n for n in (self.name(w) for w in self.shown(self.root) if not holds(w)) if n != "Openbox"]
        except error.XError:  # a window went while it was looked at
            return self.others(own)

    def window_manager_running(self):
        return self.root.get_full_property(self.dpy.intern_atom("_NET_SUPPORTING_WM_CHECK"), X.AnyPropertyType)

    def keys(self, chord, down):
        names = chord.split("+")
        for name in names if down else reversed(names):
            keycode = self.dpy.keysym_to_keycode(XK.string_to_keysym(name))
            assert keycode, "no key " + name
            xtest.fake_input(self.dpy, X.KeyPress if down else X.KeyRelease, keycode)
        self.dpy.sync()

    @contextlib.contextmanager
    def holding(self, chord):
        """Keeps chord down for the block, released however it ends."""
        self.keys(chord, True)
        try:
            yield
        finally:
            self.keys(chord, False)

    def hold(self, chord, seconds):
        with self.holding(chord):
            time.sleep(seconds)

    def press(self, *chords):
        for chord in chords:
            self.hold(chord, PRESS)

    def pointer(self, x, y, window=None):
        (window or self.root).warp_pointer(x, y)
        self.dpy.sync()

    def focus(self, window=None):
        """Gives window (else the root window) the keyboard focus; true when it has it."""
        window = window or self.root
        self.dpy.set_input_focus(window, X.RevertToPointerRoot, X.CurrentTime)
        return getattr(self.dpy.get_input_focus().focus, "id", None) == window.id

    def close(self, window):
        """Asks window to close; false when it does not take the request (a window manager would kill it)."""
        protocols, delete = self.dpy.intern_atom("WM_PROTOCOLS"), self.dpy.intern_atom("WM_DELETE_WINDOW")
        if delete not in (window.get_wm_protocols() or []):
            return False
        window.send_event(event.ClientMessage(window=window, client_type=protocols,
                                              data=(32, [delete, X.CurrentTime, 0, 0, 0])), event_mask=X.NoEventMask)
        self.dpy.sync()
        return True

    def size(self, window):
        geometry = window.get_geometry()
        return geometry.width, geometry.height

    def picture(self, window):
        """The window's picture; None while it cannot be read (resized or unmapped meanwhile)."""
        try:
            size = self.size(window)
            data = window.get_image(0, 0, *size, X.ZPixmap, 0xFFFFFFFF).data
        except error.XError:
            return None
        return Image.frombytes("RGB", size, data, "raw", "BGRX")


def changed(a, b):
    """How many pixels of picture a differ from picture b, of the same size."""
    red, green, blue = ImageChops.difference(a, b).split()
    return a.width * a.height - ImageChops.lighter(ImageChops.lighter(red, green), blue).histogram()[0]
