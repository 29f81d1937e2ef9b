"""Small X11 helpers for window_test.sh, on the display named by $DISPLAY.

  xwindows.py others ID   prints "id name" for each viewable top-level window
                          other than ID or its frame (a message box, say), one a line
  xwindows.py close ID    asks window ID to close, as a window manager does
                          when its close button is pressed (WM_DELETE_WINDOW)
  xwindows.py unfocus ID  gives the keyboard focus to the root window and
                          fails unless window ID has lost it
  xwindows.py focus ID    gives the keyboard focus to window ID

xdotool does neither: its search skips windows whose name is a UTF8_STRING
(SDL's message boxes), and its windowclose is not a close request.
"""
import sys

from Xlib import X, Xatom, display
from Xlib.protocol import event


def window_name(dpy, window):
    for atom, kind in ((dpy.intern_atom("_NET_WM_NAME"), dpy.intern_atom("UTF8_STRING")),
                       (Xatom.WM_NAME, X.AnyPropertyType)):
        prop = window.get_full_property(atom, kind)
        if prop is not None and prop.value:
            value = prop.value
            return value.decode("utf-8", "replace") if isinstance(value, bytes) else str(value)
    return ""


def holds(window, own_id):
    """True when window is own_id or one of its ancestors (a window manager's frame)."""
    return window.id == own_id or any(holds(child, own_id) for child in window.query_tree().children)


def others(dpy, own_id):
    for child in dpy.screen().root.query_tree().children:
        if child.get_attributes().map_state != X.IsViewable or holds(child, own_id):
            continue
        print(child.id, window_name(dpy, child))


def close(dpy, window_id):
    window = dpy.create_resource_object("window", window_id)
    wm_protocols = dpy.intern_atom("WM_PROTOCOLS")
    wm_delete_window = dpy.intern_atom("WM_DELETE_WINDOW")
    if wm_delete_window not in (window.get_wm_protocols() or []):
        sys.exit("the window does not take WM_DELETE_WINDOW: a window manager would kill it")
    message = event.ClientMessage(window=window, client_type=wm_protocols,
                                  data=(32, [wm_delete_window, X.CurrentTime, 0, 0, 0]))
    window.send_event(message, event_mask=X.NoEventMask)


def unfocus(dpy, window_id):
    dpy.set_input_focus(dpy.screen().root, X.RevertToPointerRoot, X.CurrentTime)
    dpy.sync()
    if dpy.get_input_focus().focus == window_id:
        sys.exit("the window kept the keyboard focus")


def focus(dpy, window_id):
    window = dpy.create_resource_object("window", window_id)
    dpy.set_input_focus(window, X.RevertToPointerRoot, X.CurrentTime)
    dpy.sync()
    focused = dpy.get_input_focus().focus
    if getattr(focused, "id", focused) != window_id:
        sys.exit("the window did not take the keyboard focus")


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("others", "close", "unfocus", "focus"):
        sys.exit(__doc__)
    dpy = display.Display()
    window_id = int(sys.argv[2], 0)
    if sys.argv[1] == "others":
        others(dpy, window_id)
    elif sys.argv[1] == "unfocus":
        unfocus(dpy, window_id)
    elif sys.argv[1] == "focus":
        focus(dpy, window_id)
    else:
        close(dpy, window_id)
    dpy.sync()
    dpy.close()


if __name__ == "__main__":
    main()
