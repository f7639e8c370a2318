# What a screen reader finds in the running program, read through the
# accessibility bus (AT-SPI): names and roles, the Press action of buttons,
# and the caption line's changes. Prints "FAIL: ..." and exits 1 at the
# first fault.
#
#   accessibility.py <file the stand-in viewer writes its arguments to>
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

viewer_args = sys.argv[1]


def fail(what):
    print("FAIL: " + what)
    sys.exit(1)


def wait_for(find, what, seconds=15):
    for _ in range(seconds * 10):
        found = find()
        if found:
            return found
        time.sleep(0.1)
    fail(what)


def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app and app.name == "Velodane":
            return app
    return None


def walk(acc):
    yield acc
    for child in acc:
        if child:
            yield from walk(child)


def window(name):
    app = program()
    if not app:
        return None
    for w in app:
        if w and w.name == name and w.getRoleName() == "frame" and w.getState().contains(pyatspi.STATE_SHOWING):
            return w
    return None


def named(root, role, name):
    for acc in walk(root):
        if acc.getRoleName() == role and acc.name == name:
            return acc
    fail("no %s named %r in %r" % (role, name, root.name))


def press(button):
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        fail("%r has no Press action: %s" % (button.name, names))
    action.doAction(names.index("Press"))


def viewer_got(document):
    try:
        with open(viewer_args) as f:
            return any(line.rstrip("\n").endswith(document) for line in f)
    except OSError:
        return False


group = "กลุ่มชุดดินที่ "
intro = wait_for(lambda: window("คำอธิบายกลุ่มชุดดิน"), "no intro window named คำอธิบายกลุ่มชุดดิน")
named(intro, "image", "คำอธิบายกลุ่มชุดดิน")
exit_button = named(intro, "push button", "ออกจากโปรแกรม")
if exit_button.description != "อออกจากโปรแกรม":
    fail("the exit button's description is %r" % exit_button.description)
press(named(intro, "push button", "เลือกกลุ่มชุดดิน"))

menu = wait_for(lambda: window("เลือกกลุ่มชุดดิน"), "Press on the enter button did not show the menu")
buttons = [acc.name for acc in walk(menu) if acc.getRoleName() == "push button"]
expected = [group + str(n) for n in range(1, 63)] + ["กลับหน้าหลัก", "ออกจากโปรแกรม"]
if sorted(buttons) != sorted(expected):
    fail("the menu's buttons are named %s" % sorted(set(buttons) ^ set(expected)))
named(menu, "image", "คำอธิบายกลุ่มชุดดินในประเทศไทย")
label = named(menu, "label", "")

events = []
pyatspi.Registry.registerEventListener(
    lambda e: events.append((e.type, e.source.getRoleName())),
    "object:property-change:accessible-name", "object:text-changed")

press(named(menu, "push button", group + "37"))
wait_for(lambda: viewer_got("/vd37.doc"), "Press on group 37 did not hand vd37.doc to the viewer")

# The pointer onto group 25 (column 3, row 5 of the block) in the window's
# own pixels.
extents = menu.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
subprocess.run(["xdotool", "mousemove", str(extents.x + 274), str(extents.y + 150)], check=True)
subprocess.run(["xdotool", "mousemove", str(extents.x + 275), str(extents.y + 151)], check=True)
loop = GLib.MainLoop()
GLib.timeout_add(1500, loop.quit)
loop.run()
if label.name != group + "25":
    fail("the caption line reads %r after the pointer moved onto group 25" % label.name)
text = label.queryText()
if text.getText(0, -1) != group + "25":
    fail("the caption line's text is %r" % text.getText(0, -1))
for kind in ("object:property-change:accessible-name", "object:text-changed:insert"):
    if (kind, "label") not in events:
        fail("no %s from the caption line: %s" % (kind, events))
print("accessibility: names, roles, Press actions and the caption line's changes as designed")
