"""Drives the real velmora through AT-SPI, as a screen reader would.

drive.py VELMORA VELMORA_CLI WORK_DIR OUTPUT_DIR [LANGUAGE]

Every check compares the program's own texts exactly, those of the string
table of LANGUAGE (ENU, DEU, ...: res/strings/LANGUAGE.txt), which the
program is started to speak. A screenshot of every
page goes to OUTPUT_DIR; a failure leaves the screen as it was in
failure-N.png beside them.
"""

import os
import subprocess
import sys
import time

import pyatspi

VELMORA, CLI, WORK, OUTPUT = sys.argv[1:5]
LANGUAGE = sys.argv[5] if len(sys.argv) > 5 else "ENU"
LOCALES = {"ENU": "en_US.UTF-8", "DEU": "de_DE.UTF-8"}
failures = []


def messages():
    """The string table the program was built with."""
    table = {}
    source = os.path.join(os.path.dirname(__file__), "..", "..", "..", "..", "res", "strings", LANGUAGE + ".txt")
    with open(source, encoding="utf-8") as lines:
        for line in lines:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            number, text = line.split(None, 1)
            text = text[1:-1]
            text = text.replace("\\n", "\n").replace('\\"', '"').replace("\\t", "\t").replace("\\\\", "\\")
            table[int(number)] = text
    return table


MESSAGE = messages()


def text(number, *arguments):
    """A message with its arguments in place of %1$@, %2$@, ..."""
    formatted = MESSAGE[number]
    for index, argument in enumerate(arguments):
        formatted = formatted.replace(f"%{index + 1}$@", argument)
    return formatted


def button(number, *arguments):
    """A button's name as a screen reader hears it: without its accelerator mark."""
    return text(number, *arguments).replace("&", "")


def check(what, seen, expected):
    if seen != expected:
        failures.append(what)
        print(f"FAIL {what}: {seen!r}, expected {expected!r}")
        shot(f"failure-{len(failures)}")
    else:
        print(f"ok   {what}")


def shot(name, window="root"):
    subprocess.run(["import", "-window", window, os.path.join(OUTPUT, name + ".png")], check=False)


def window_shot(name, title):
    """A screenshot of the program's window with the title."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"],
                           capture_output=True, text=True).stdout.split()
    shot(name, found[-1] if found else "root")


class App:
    """One run of the program."""

    def __init__(self, *arguments, environment=None, scale=None):
        env = {name: value for name, value in os.environ.items() if name not in ("LANGUAGE", "LC_ALL", "LC_MESSAGES")}
        env["LANG"] = LOCALES[LANGUAGE]
        env.update(environment or {})
        if scale:
            env["QT_SCALE_FACTOR"] = str(scale)
        self.log = os.path.join(WORK, "velmora.log")
        self.root = None
        # Qt's connection to a fresh Xvfb has been seen to fail now and then
        # while Xlib's got through; that is the test machine's, so start again.
        for attempt in range(3):
            with open(self.log, "w") as log:
                self.process = subprocess.Popen([VELMORA, *arguments], env=env, cwd=WORK,
                                                stdout=subprocess.DEVNULL, stderr=log)
            try:
                self.process.wait(1)
            except subprocess.TimeoutExpired:
                return
            with open(self.log) as log:
                if "could not connect to display" not in log.read():
                    return
            print(f"note: velmora could not connect to the display, attempt {attempt + 1}")
            time.sleep(0.5)

    def accessible(self, timeout=20):
        """The program's accessible application, once it is on the bus."""
        end = time.time() + timeout
        while time.time() < end:
            if self.process.poll() is not None:
                with open(self.log) as log:
                    raise RuntimeError("velmora ended with %d: %s" % (self.process.returncode, log.read()))
            desktop = pyatspi.Registry.getDesktop(0)
            for index in range(desktop.childCount):
                application = desktop.getChildAtIndex(index)
                try:
                    if application is not None and application.get_process_id() == self.process.pid:
                        self.root = application
                        return application
                except Exception:
                    continue
            time.sleep(0.2)
        raise RuntimeError("velmora did not show up on the accessibility bus")

    def find(self, role, name=None, timeout=10, within=None):
        """The first showing object of the role (and name), searched breadth first."""
        end = time.time() + timeout
        while True:
            root = within or self.root or self.accessible()
            found = search(root, role, name)
            if found is not None or time.time() > end:
                return found
            time.sleep(0.2)

    def press(self, name, role="push button"):
        button = self.find(role, name)
        if button is None:
            raise RuntimeError(f"no {role} '{name}'")
        action = button.queryAction()
        names = [action.getName(index) for index in range(action.nActions)]
        action.doAction(names.index("Press") if "Press" in names else 0)
        time.sleep(0.5)

    def exit_code(self, timeout=10):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            return "still running"


def search(root, role, name):
    queue = [root]
    while queue:
        node = queue.pop(0)
        if node is None:
            continue
        try:
            states = node.getState()
            showing = states.contains(pyatspi.STATE_SHOWING)
            if node.getRoleName() == role and (name is None or node.name == name) and showing:
                return node
            queue.extend(node.getChildAtIndex(i) for i in range(node.childCount))
        except Exception:
            continue
    return None


def labels(app, within=None):
    """The texts of every showing label."""
    texts = []
    queue = [within or app.root]
    while queue:
        node = queue.pop(0)
        try:
            if node.getRoleName() == "label" and node.getState().contains(pyatspi.STATE_SHOWING) and node.name:
                texts.append(node.name)
            queue.extend(node.getChildAtIndex(i) for i in range(node.childCount))
        except Exception:
            continue
    return texts


def combo_items(app):
    combo = app.find("combo box")
    if combo is None:
        return None
    items = []
    queue = [combo]
    while queue:
        node = queue.pop(0)
        if node.getRoleName() in ("list item", "menu item"):
            items.append(node.name)
        queue.extend(node.getChildAtIndex(i) for i in range(node.childCount))
    return items


def labelled_by(node):
    """The name of the label that a screen reader announces with the node."""
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and relation.getNTargets() > 0:
            return relation.getTarget(0).name
    return None


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as out:
        out.write(text)


class Machine:
    """A fixture machine: a system disk and cards in USB readers, each card a
    real folder of the work folder offered as its mount point."""

    def __init__(self, root):
        self.root = root
        self.mounts = ["21 1 8:1 / / rw - ext4 /dev/sda1 rw", "22 21 0:22 / /proc rw - proc proc rw"]
        write(f"{root}/sys/devices/pci0/block/sda/removable", "0\n")
        os.makedirs(f"{root}/sys/class/block", exist_ok=True)
        os.makedirs(f"{root}/by-label", exist_ok=True)
        self.write_table()

    def add_card(self, disk, minor, label):
        folder = f"{self.root}/media/{label}"
        os.makedirs(folder, exist_ok=True)
        write(f"{self.root}/sys/devices/usb1/block/{disk}/removable", "1\n")
        write(f"{self.root}/sys/devices/usb1/block/{disk}/{disk}1/partition", "1\n")
        os.symlink(f"../../devices/usb1/block/{disk}/{disk}1", f"{self.root}/sys/class/block/{disk}1")
        os.symlink(f"../../{disk}1", f"{self.root}/by-label/{label}")
        self.mounts.append(f"{30 + len(self.mounts)} 21 8:{minor} / {folder} rw - vfat /dev/{disk}1 rw")
        self.write_table()
        return folder

    def write_table(self):
        write(f"{self.root}/mountinfo", "\n".join(self.mounts) + "\n")

    def environment(self):
        return {"VELMORA_MOUNTINFO": f"{self.root}/mountinfo", "VELMORA_SYSFS": f"{self.root}/sys",
                "VELMORA_BY_LABEL": f"{self.root}/by-label"}


def refusals():
    damaged = os.path.join(WORK, "damaged.vlm")
    with open(os.path.join(WORK, "nav.vlm"), "rb") as source:
        data = bytearray(source.read())
    data[40] ^= 0x5A
    with open(damaged, "wb") as out:
        out.write(data)
    cases = [("no-file", [], 2015), ("extension", ["update.vlmx"], 2016), ("flag", ["/X", "update.vlm"], 2000),
             ("missing", [os.path.join(WORK, "missing.vlm")], 11800), ("damaged", [damaged], 11801)]
    for name, arguments, message in cases:
        app = App(*arguments)
        app.accessible()
        box = app.find("alert") or app.find("dialog")
        check(f"refusal {name}: box", box is not None, True)
        if box is None:
            app.process.kill()
            continue
        check(f"refusal {name}: caption", box.name, "Velmora")
        check(f"refusal {name}: text", MESSAGE[message] in labels(app, box), True)
        window_shot(f"refusal-{name}", "Velmora")
        app.press(button(20210))
        check(f"refusal {name}: exit code", app.exit_code(), 1)
        check(f"refusal {name}: no wizard", app.process.returncode is not None, True)


def update_wizard(machine, cards, scale=None):
    suffix = f"-{int(scale * 100)}" if scale else ""
    app = App(os.path.join(WORK, "nav.vlm"), environment=machine.environment(), scale=scale)
    app.accessible()
    frame = app.find("dialog", "Velmora") or app.find("frame", "Velmora")
    check(f"wizard{suffix}: title", frame is not None, True)
    welcome = text(2024, "Velmora")
    texts = labels(app)
    for expected in (welcome, text(20100), "Skyline 400", text(20101), text(20102), "North Atlantic"):
        check(f"welcome{suffix}: {expected.splitlines()[0]}", expected in texts, True)
    check(f"welcome{suffix}: no Back", app.find("push button", button(20200), timeout=0), None)
    window_shot(f"welcome{suffix}", "Velmora")

    app.press(button(20201))
    check(f"drive page{suffix}: instructions", text(20110) in labels(app), True)
    check(f"drive page{suffix}: group", app.find("panel", MESSAGE[11813]) is not None, True)
    items = combo_items(app)
    check(f"drive page{suffix}: cards", items, [f"{card} ({WORK}/machine/media/{card})" for card in cards])
    check(f"drive page{suffix}: combo labelled by its instructions", labelled_by(app.find("combo box")), MESSAGE[11814])
    window_shot(f"drives{suffix}", "Velmora")
    return app


def main():
    subprocess.run([CLI, "pack", "-o", os.path.join(WORK, "nav.vlm"), "--device", "Skyline 400", "--database",
                    "North Atlantic", "--major", "26", "--minor", "3", "1=" + CLI], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    refusals()

    # The configuration card's greeting, and Cancel.
    app = App("card.ini")
    app.accessible()
    texts = labels(app)
    check("welcome config: greeting", text(2027, "Velmora") in texts, True)
    check("welcome config: no labels", [t for t in texts if t in (text(20100), text(20101), text(20102))], [])
    window_shot("welcome-config", "Velmora")
    app.press(button(20201))
    app.press(button(20201))
    check("transfer config: instructions", MESSAGE[2030] in labels(app), True)
    app.press(button(20203))
    check("config: exit code after Cancel", app.exit_code(), 1)

    machine = Machine(os.path.join(WORK, "machine"))
    machine.add_card("sdb", 17, "CARD")
    app = update_wizard(machine, ["CARD"])
    # A card plugged in later shows up on Find Drive, the first one selected.
    machine.add_card("sdc", 33, "AAA")
    check("find drive: not before asked", combo_items(app), [f"CARD ({WORK}/machine/media/CARD)"])
    app.press(button(20111))
    check("find drive: both cards", combo_items(app),
          [f"AAA ({WORK}/machine/media/AAA)", f"CARD ({WORK}/machine/media/CARD)"])
    window_shot("drives-found", "Velmora")

    app.press(button(9309, "Velmora"))
    about = app.find("dialog", text(9311, "Velmora"))
    check("about: box", about is not None, True)
    if about is not None:
        texts = labels(app, about)
        check("about: version line", any(t.startswith(text(9310, "")) for t in texts), True)
        check("about: legal notice", "Copyright © 2026 Velmora. All rights reserved." in texts, True)
        window_shot("about", text(9311, "Velmora"))
        app.press(button(20120))

    app.press(button(20201))
    check("transfer: instructions", MESSAGE[2001] in labels(app), True)
    check("transfer: button", app.find("push button", MESSAGE[2022]) is not None, True)
    finish = app.find("push button", button(20202))
    check("transfer: Finish disabled", finish is not None and not finish.getState().contains(pyatspi.STATE_ENABLED),
          True)
    window_shot("transfer", "Velmora")
    app.press(button(20203))
    check("update: exit code after Cancel", app.exit_code(), 1)

    # The same at 200 %: nothing clipped.
    app = update_wizard(machine, ["AAA", "CARD"], scale=2)
    app.press(button(20201))
    window_shot("transfer-200", "Velmora")
    app.press(button(20203))
    check("200%: exit code", app.exit_code(), 1)

    print(f"{len(failures)} failures; screenshots in {OUTPUT}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
