"""Programs cards with the real velmora through AT-SPI, as a screen reader
user would: an update onto two cards, a card too small, Stop during a large
update on a slow card, a configuration card with its script, and Cancel while
the script's children run.

transfer.py VELMORA VELMORA_CLI WORK_DIR OUTPUT_DIR

The cards are real folders (a tmpfs for the small one, a slow FUSE card for
the stop) offered as removable cards through a fixture drive tree; the
unmount at the end of a transfer goes to a stand-in for UDisks2.
"""

import os
import struct
import subprocess
import sys
import time
import zlib

import pyatspi

from drive import CLI, MESSAGE, OUTPUT, WORK, App, Machine, check, failures, labels, window_shot

FAULTCARD = os.path.join(os.path.dirname(CLI), "velmora-faultcard")


def pack(name, data):
    """An update whose one database (kind 1) holds the data; returns its path."""
    source = os.path.join(WORK, name + ".db")
    with open(source, "wb") as out:
        out.write(data)
    path = os.path.join(WORK, name + ".vlm")
    subprocess.run([CLI, "pack", "-o", path, "--device", "Skyline 400", "--database", "North Atlantic", "--major",
                    "26", "--minor", "3", "1=" + source], check=True, stdout=subprocess.DEVNULL)
    return path


def on_card(data):
    """What the card holds of a database: the data and its checksum trailer."""
    return data + struct.pack("<I", zlib.crc32(data) ^ 0xFFFFFFFF)


def read(path):
    try:
        with open(path, "rb") as source:
            return source.read()
    except OSError:
        return None


def wait_for(condition, timeout=30):
    end = time.time() + timeout
    while time.time() < end:
        if condition():
            return True
        time.sleep(0.2)
    return condition()


def enabled(node):
    return node is not None and node.getState().contains(pyatspi.STATE_ENABLED)


def idle(app):
    """The page is idle once its button offers to program again."""
    return wait_for(lambda: app.find("push button", MESSAGE[2022], timeout=0) is not None, timeout=60)


def mounted(path):
    with open("/proc/self/mountinfo") as table:
        return any(line.split()[4] == path for line in table)


def rgn_copies():
    folder = os.path.join(os.environ.get("TMPDIR", "/tmp"), f"Velmora-{os.getuid()}")
    return sorted(name for name in os.listdir(folder) if name.startswith("rgn")) if os.path.isdir(folder) else []


class SlowCard:
    """A FUSE card that takes 4 MB a second, with the writeback cache."""

    def __init__(self, mount_point):
        self.mount_point = mount_point
        self.backing = mount_point + ".backing"
        os.makedirs(self.backing, exist_ok=True)
        self.process = subprocess.Popen([FAULTCARD, "--backing", self.backing, "--rate", str(4 << 20), mount_point],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.ready = wait_for(lambda: mounted(mount_point), timeout=10)

    def close(self):
        subprocess.run(["fusermount3", "-u", "-z", self.mount_point], check=False, stderr=subprocess.DEVNULL)
        self.process.kill()
        self.process.wait()


def start(machine, stand_in_path, *arguments):
    """Starts the program on the machine's cards and presses "Program Device"
    on its transfer page, the first card selected."""
    app = App(*arguments, environment=dict(machine.environment(), PATH=stand_in_path))
    app.accessible()
    app.press("Next >")
    app.press("Next >")
    app.press(MESSAGE[2022])
    return app


def update_cards(machine, stand_in_path):
    """An update onto a card, then onto the next card with the same press."""
    data = os.urandom(3 << 20)
    update = pack("cards", data)
    first = machine.add_card("sdd", 49, "FIRST")
    app = start(machine, stand_in_path, update)
    check("program: first card done", idle(app), True)
    texts = labels(app)
    check("program: Update Complete", MESSAGE[2010] in texts, True)
    check("program: successful", MESSAGE[2011] in texts, True)
    check("program: Finish enabled", enabled(app.find("push button", "Finish")), True)
    check("program: first card byte for byte", read(f"{first}/ldr_sys/avtn_db.bin") == on_card(data), True)
    window_shot("transfer-complete", "Velmora")

    # The next card in another reader: back to the drive page, Find Drive
    # lists it first, and the same button programs it.
    second = machine.add_card("sde", 65, "ANOTHER")
    app.press("< Back")
    app.press("Find Drive")
    app.press("Next >")
    check("program: page shown anew is clean", MESSAGE[2010] in labels(app), False)
    app.press(MESSAGE[2022])
    check("program: second card done", idle(app), True)
    check("program: second card byte for byte", read(f"{second}/ldr_sys/avtn_db.bin") == on_card(data), True)
    app.press("Finish")
    check("program: exit code after Finish", app.exit_code(), 0)


def small_card(machine, stand_in_path):
    folder = f"{machine.root}/media/SMALL"
    os.makedirs(folder, exist_ok=True)
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", folder], stderr=subprocess.DEVNULL).returncode:
        print("note: no tmpfs can be mounted here; the small card is not tried")
        if os.environ.get("CI") == "true":
            failures.append("small card: mount")
        return
    try:
        machine.add_card("sdf", 81, "SMALL")
        update = pack("large", os.urandom(100000))
        app = start(machine, stand_in_path, update)
        box = app.find("alert", timeout=30) or app.find("dialog", "Velmora", timeout=0)
        text = labels(app, box) if box is not None else []
        expected = MESSAGE[2025].replace("%1$@", "100 KB").replace("%2$@", "64 KB")
        check("small card: message", expected in text, True)
        window_shot("transfer-small-card", "Velmora")
        app.press("OK")
        check("small card: idle again", idle(app), True)
        check("small card: nothing written", os.listdir(folder), [])
        app.press("Cancel")
        check("small card: exit code", app.exit_code(), 1)
    finally:
        subprocess.run(["umount", folder], check=False)


def stop_on_slow_card(machine, stand_in_path):
    folder = f"{machine.root}/media/SLOW"
    os.makedirs(folder, exist_ok=True)
    card = SlowCard(folder)
    if not card.ready:
        print("note: the slow FUSE card did not mount; Stop is not tried")
        if os.environ.get("CI") == "true":
            failures.append("slow card: mount")
        card.close()
        return
    try:
        machine.add_card("sdg", 97, "SLOW")
        copies = rgn_copies()
        update = pack("slow", os.urandom(40 << 20))
        app = start(machine, stand_in_path, update)
        writing = wait_for(lambda: os.path.exists(f"{card.backing}/ldr_sys/avtn_db.bin"), timeout=30)
        check("stop: the card is being written", writing, True)
        check("stop: Transferring Data", any(t.startswith(MESSAGE[2002]) for t in labels(app)), True)
        window_shot("transfer-running", "Velmora")
        started = time.time()
        app.press(MESSAGE[2023])
        check("stop: idle again", idle(app), True)
        check("stop: within 3 s", time.time() - started < 3.5, True)
        check("stop: no card file", os.path.exists(f"{card.backing}/ldr_sys/avtn_db.bin"), False)
        check("stop: no temporary copy", rgn_copies(), copies)
        check("stop: Finish still disabled", enabled(app.find("push button", "Finish")), False)
        window_shot("transfer-stopped", "Velmora")
        app.press("Cancel")
        check("stop: exit code", app.exit_code(), 1)

        # Terminated while it writes, as at the end of a session: the program
        # stops the transfer and cleans up before it ends.
        app = start(machine, stand_in_path, update)
        writing = wait_for(lambda: os.path.exists(f"{card.backing}/ldr_sys/avtn_db.bin"), timeout=30)
        check("terminate: the card is being written", writing, True)
        app.process.terminate()
        check("terminate: exit code", app.exit_code(timeout=5), 1)
        check("terminate: no card file", os.path.exists(f"{card.backing}/ldr_sys/avtn_db.bin"), False)
        check("terminate: no temporary copy", rgn_copies(), copies)
    finally:
        card.close()


def configuration_cards(machine, stand_in_path):
    config = os.path.join(WORK, "card.ini")
    with open(config, "w") as out:
        out.write("[avionics]\nunit=7\n")
    script = os.path.join(WORK, "prepare.sh")
    with open(script, "w") as out:
        out.write('echo prepared > "$1/prepared.txt"\n')
    card = machine.add_card("sdh", 113, "CFG")
    app = start(machine, stand_in_path, config, "/B", script)
    check("config: done", idle(app), True)
    check("config: complete", MESSAGE[2010] in labels(app), True)
    check("config: script ran on the card", read(f"{card}/prepared.txt"), b"prepared\n")
    check("config: file copied", read(f"{card}/cfg/card.ini"), b"[avionics]\nunit=7\n")
    window_shot("config-complete", "Velmora")
    app.press("Finish")
    check("config: exit code", app.exit_code(), 0)

    # Cancel while the script's children run: none of its tree is left.
    pids = os.path.join(WORK, "pids")
    with open(script, "w") as out:
        out.write(f"sh -c 'sleep 120 & echo $! >> {pids}; wait' &\necho $! >> {pids}\necho $$ >> {pids}\nwait\n")
    app = start(machine, stand_in_path, config, "/B", script)
    running = wait_for(lambda: (read(pids) or b"").count(b"\n") == 3, timeout=20)
    check("config cancel: the script's tree runs", running, True)
    window_shot("config-script-running", "Velmora")
    app.press("Cancel")
    check("config cancel: exit code", app.exit_code(), 1)
    alive = []
    for pid in (int(line) for line in (read(pids) or b"").split()):
        if not wait_for(lambda: not os.path.exists(f"/proc/{pid}") or "Z" in open(f"/proc/{pid}/stat").read().split()[2],
                        timeout=5):
            alive.append(pid)
            os.kill(pid, 9)
    check("config cancel: no process of its tree left", alive, [])


def main():
    # Each scenario has a machine of its own, with only its cards, so that the
    # card wanted is the one the drive page selects.
    # The machine has no UDisks2: a client that agrees stands in for it.
    stand_in = os.path.join(WORK, "stand-in")
    os.makedirs(stand_in, exist_ok=True)
    with open(os.path.join(stand_in, "udisksctl"), "w") as out:
        out.write("#!/bin/sh\nexit 0\n")
    os.chmod(os.path.join(stand_in, "udisksctl"), 0o755)
    stand_in_path = stand_in + ":" + os.environ.get("PATH", "/usr/bin:/bin")

    for name, scenario in (("cards", update_cards), ("small", small_card), ("slow", stop_on_slow_card),
                           ("config", configuration_cards)):
        scenario(Machine(os.path.join(WORK, "transfer-" + name)), stand_in_path)
    print(f"{len(failures)} failures; screenshots in {OUTPUT}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
