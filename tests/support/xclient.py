"""An X client playing the desktop around the game (python-xlib): finds a window by name, types keys through
XTEST as a keyboard does, moves the pointer and the focus, asks a window to close as a window manager's close
button does (WM_DELETE_WINDOW), and takes a window's picture as a PIL image.

xdotool falls short here: its search skips windows named in UTF8_STRING (SDL's message boxes) and its
windowclose destroys the window instead of asking. Short of: one screen of 24-bit colour; keys are X keysym
names ("Up", "BackSpace", "p"), joined by "+" for a chord ("alt+Return").
"""
import contextlib
import time

from PIL import Image, ImageChops
from Xlib import X, XK, Xatom, display, error
from Xlib.ext import xtest
from Xlib.protocol import event

MODIFIERS = {"alt": "Alt_L", "ctrl": "Control_L", "shift": "Shift_L"}
PRESS = 0.2  # seconds a key is held by press(): a player's press, as the game reads the keyboard once a frame


class Desktop:
    def __init__(self, name):
        self.dpy = display.Display(name)
        self.root = self.dpy.screen().root

    def close_connection(self):
        self.dpy.close()

    def name(self, window):
        for atom, kind in ((self.dpy.intern_atom("_NET_WM_NAME"), self.dpy.intern_atom("UTF8_STRING")),
                           (Xatom.WM_NAME, X.AnyPropertyType)):
            prop = window.get_full_property(atom, kind)
            if prop is not None and prop.value:
                value = prop.value
                return value.decode("utf-8", "replace") if isinstance(value, bytes) else str(value)
        return ""

    def viewable(self, window):
        return window.get_attributes().map_state == X.IsViewable

    def find(self, name, under=None):
        """The first viewable window called name, searched depth first, or None (also when windows came and went)."""
        try:
            for child in (under or self.root).query_tree().children:
                if self.viewable(child):
                    found = child if self.name(child) == name else self.find(name, child)
                    if found:
                        return found
        except error.XError:
            pass
        return None

    def others(self, own):
        """Names of the viewable top-level windows other than own or its frame, the window manager's aside."""
        def holds(window):
            return window.id == own.id or any(holds(child) for child in window.query_tree().children)
        try:
            windows = [w for w in self.root.query_tree().children if self.viewable(w) and not holds(w)]
            return [n for n in map(self.name, windows) if n != "Openbox"]
        except error.XError:  # a window went while it was looked at: look again
            return self.others(own)

    def window_manager_running(self):
        return self.root.get_full_property(self.dpy.intern_atom("_NET_SUPPORTING_WM_CHECK"), X.AnyPropertyType)

    def keys(self, chord, down):
        names = [MODIFIERS.get(n, n) for n in chord.split("+")]
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

    def focus(self, window):
        """Gives window the keyboard focus (None: the root window); true when the focus is there."""
        self.dpy.set_input_focus(window or self.root, X.RevertToPointerRoot, X.CurrentTime)
        self.dpy.sync()
        focused = self.dpy.get_input_focus().focus
        return getattr(focused, "id", focused) == (window or self.root).id

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
        """The window's picture, or None while it cannot be read (resized or unmapped meanwhile)."""
        try:
            width, height = self.size(window)
            image = window.get_image(0, 0, width, height, X.ZPixmap, 0xFFFFFFFF)
        except error.XError:
            return None
        return Image.frombytes("RGB", (width, height), image.data, "raw", "BGRX")


def changed(a, b):
    """How many pixels of picture a differ from picture b, of the same size."""
    red, green, blue = ImageChops.difference(a, b).split()
    return a.width * a.height - ImageChops.lighter(ImageChops.lighter(red, green), blue).histogram()[0]
