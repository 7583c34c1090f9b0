#!/usr/bin/python3
"""Waits until a window whose name matches PATTERN is viewable on the X
display, and prints the seconds since START (a Unix time), or fails after
LIMIT seconds (15 unless given).

    window_shown.py START PATTERN [LIMIT]

It looks every 5 ms through one X connection: a new connection for every
look (xdotool's, 100 a second) made Wine's explorer fail to open the
display in about one start in ten, and the start then showed no window.
"""
import ctypes
import re
import sys
import time

VIEWABLE = 2


class WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("class_", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
                ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                           ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                           ctypes.POINTER(ctypes.c_uint)]
x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(WindowAttributes)]
x11.XFree.argtypes = [ctypes.c_void_p]
# A window can go between two requests about it: its errors are not fatal.
IGNORE_ERRORS = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda display, event: 0)
x11.XSetErrorHandler(IGNORE_ERRORS)


def shown(display, window, pattern):
    """Whether window, or a window below it, is viewable and named so."""
    name = ctypes.c_char_p()
    if x11.XFetchName(display, window, ctypes.byref(name)) and name.value is not None:
        named = pattern.search(name.value.decode("latin-1"))
        x11.XFree(name)
        attributes = WindowAttributes()
        if named and x11.XGetWindowAttributes(display, window, ctypes.byref(attributes)) and \
                attributes.map_state == VIEWABLE:
            return True
    root, parent = ctypes.c_ulong(), ctypes.c_ulong()
    children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
    if not x11.XQueryTree(display, window, ctypes.byref(root), ctypes.byref(parent), ctypes.byref(children),
                          ctypes.byref(count)):
        return False
    below = [children[i] for i in range(count.value)]
    if children:
        x11.XFree(children)
    return any(shown(display, child, pattern) for child in below)


def main(arguments):
    if len(arguments) not in (2, 3):
        sys.exit("usage: window_shown.py START PATTERN [LIMIT]")
    start, pattern = float(arguments[0]), re.compile(arguments[1])
    limit = float(arguments[2]) if len(arguments) == 3 else 15
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("window_shown.py: cannot open the display")
    root = x11.XDefaultRootWindow(display)
    while time.time() - start < limit:
        if shown(display, root, pattern):
            print("%.2f" % (time.time() - start))
            return
        time.sleep(0.005)
    sys.exit('error: no window "%s" within %g s' % (arguments[1], limit))


if __name__ == "__main__":
    main(sys.argv[1:])
