#!/usr/bin/python3
# The screen reader's side of the end-to-end test: reads the running game
# through AT-SPI and answers the test's commands, one per line on stdin.
#
#   tree                    the main window's objects: depth, role, name, states
#   press NAME              the press action of the object called NAME
#   next-flash MS           a pad lights and goes dark again: "flash NAME"
#   wait-name MS NAME       an object called NAME appears: "found NAME"
#   events                  the pads' state changes heard so far
#   said MS                 the game's next message: "said TEXT"
#   flashes N MS            the next N pads lit and dark again after the last
#                           message: "flash NAME" each
#   focus MS NAME           the focus is on the object called NAME: "focus NAME"
#   quit
#
# Every answer ends with a line "end", or "error ..." when it failed. Debian's
# python3-pyatspi, hence Debian's own interpreter.
import os
import sys
import time

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

# The main window's caption, handed over by the build that made the game.
WINDOW_TITLE = os.environ.get("TOLVEX_CAPTION", "")
PAD_PREFIX = "Pulsador "


# Names are Spanish, whatever the locale the test runs under.
sys.stdin.reconfigure(encoding="utf-8")
sys.stdout.reconfigure(encoding="utf-8")


def say(line):
    sys.stdout.write(line + "\n")
    sys.stdout.flush()


def wait_for_bus(limit_s):
    # Importing pyatspi asks for the accessibility bus; were the launcher not
    # yet on the session bus, D-Bus would start a second one of its own.
    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    end = time.monotonic() + limit_s
    while time.monotonic() < end:
        owned = session.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                  "NameHasOwner", GLib.Variant("(s)", ("org.a11y.Bus",)),
                                  GLib.VariantType("(b)"), Gio.DBusCallFlags.NONE, 1000, None)
        if owned.unpack()[0]:
            return True
        time.sleep(0.02)
    return False


if not WINDOW_TITLE:
    say("error TOLVEX_CAPTION, the main window's caption, is not set")
    sys.exit(1)

if not wait_for_bus(10):
    say("error the accessibility bus launcher is not on the session bus")
    sys.exit(1)

import pyatspi  # noqa: E402
from gi.repository import Atspi  # noqa: E402

heard = []
lights = []  # (lit, name) of every pad light that came or went, in order
said = []  # (text, how many lights had come and gone before it)
said_read = 0
lights_read = 0


def on_state_changed(event):
    try:
        name = event.source.name
    except Exception:  # the object may be gone already
        return
    if name.startswith(PAD_PREFIX):
        heard.append("%s %d %s" % (event.type, event.detail1, name))
        if event.type == "object:state-changed:checked":
            lights.append((event.detail1 == 1, name))


# A notification is spoken when it is shown; its name is what it says.
def on_showing(event):
    try:
        if event.detail1 != 1 or event.source.getRole() != pyatspi.ROLE_NOTIFICATION:
            return
        said.append((event.source.name, len(lights)))
    except Exception:
        return


pyatspi.Registry.registerEventListener(on_state_changed, "object:state-changed:pressed",
                                       "object:state-changed:checked")
pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")


def pump():
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def poll(done, limit_ms):
    end = time.monotonic() + limit_ms / 1000.0
    while True:
        pump()
        result = done()
        if result or time.monotonic() > end:
            return result
        time.sleep(0.002)


def main_window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is None:
            continue
        # Every read goes to the game, never to a copy kept here.
        app.set_cache_mask(Atspi.Cache.NONE)
        for child in app:
            if child is not None and child.getRole() == pyatspi.ROLE_FRAME and child.name == WINDOW_TITLE:
                return child
    return None


def walk(obj, depth=0):
    yield depth, obj
    for child in obj:
        if child is not None:
            yield from walk(child, depth + 1)


def states(obj):
    return sorted(pyatspi.stateToString(s) for s in obj.getState().getStates())


def find(name):
    window = main_window()
    if window is None:
        return None
    for _, obj in walk(window):
        if obj.name == name:
            return obj
    return None


def pads():
    window = main_window()
    if window is None:
        return []
    return [obj for _, obj in walk(window)
            if obj.getRole() == pyatspi.ROLE_PUSH_BUTTON and obj.name.startswith(PAD_PREFIX)]


def lit_pad(candidates):
    for pad in candidates:
        if pad.getState().contains(pyatspi.STATE_PRESSED):
            return pad
    return None


def flashes(count):
    # Each pad's light and its going dark, counted from the last message read.
    names, i = [], lights_read
    while len(names) < count:
        on = next((j for j in range(i, len(lights)) if lights[j][0]), None)
        if on is None:
            return None
        off = next((j for j in range(on + 1, len(lights)) if not lights[j][0] and lights[j][1] == lights[on][1]), None)
        if off is None:
            return None
        names.append(lights[on][1])
        i = off + 1
    return names, i


def command(words):
    global said_read, lights_read
    verb = words[0]
    if verb == "tree":
        window = poll(main_window, 10000)
        if window is None:
            return say("error no window called " + WINDOW_TITLE)
        for depth, obj in walk(window):
            say("%d\t%s\t%s\t%s" % (depth, obj.getRoleName(), obj.name, ",".join(states(obj))))
    elif verb == "press":
        obj = find(" ".join(words[1:]))
        if obj is None:
            return say("error nothing called " + " ".join(words[1:]))
        action = obj.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if "Press" not in names:
            return say("error no press action among " + repr(names))
        action.doAction(names.index("Press"))
    elif verb == "next-flash":
        limit = int(words[1])
        candidates = pads()
        pad = poll(lambda: lit_pad(candidates), limit)
        if pad is None:
            return say("error no pad lit")
        if not poll(lambda: not pad.getState().contains(pyatspi.STATE_PRESSED), limit):
            return say("error the pad stays lit")
        say("flash " + pad.name)
    elif verb == "wait-name":
        name = " ".join(words[2:])
        if poll(lambda: find(name), int(words[1])) is None:
            return say("error nothing called " + name)
        say("found " + name)
    elif verb == "said":
        if not poll(lambda: len(said) > said_read, int(words[1])):
            return say("error nothing said")
        text, lights_before = said[said_read]
        said_read += 1
        lights_read = lights_before
        say("said " + text)
    elif verb == "flashes":
        found = poll(lambda: flashes(int(words[1])), int(words[2]))
        if found is None:
            return say("error %d flashes did not come" % int(words[1]))
        names, lights_read = found
        for name in names:
            say("flash " + name)
    elif verb == "focus":
        name = " ".join(words[2:])
        has_focus = lambda obj: obj is not None and obj.getState().contains(pyatspi.STATE_FOCUSED)  # noqa: E731
        if not poll(lambda: has_focus(find(name)), int(words[1])):
            return say("error %s does not have the focus" % name)
        say("focus " + name)
    elif verb == "events":
        pump()
        for line in heard:
            say(line)
    else:
        return say("error unknown command " + verb)
    say("end")


say("ready")
for line in sys.stdin:
    words = line.split()
    if not words:
        continue
    if words[0] == "quit":
        break
    try:
        command(words)
    except Exception as e:  # the test reads the failure, the probe stays up
        say("error %s: %s" % (type(e).__name__, e))
