# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives the built koral-config as its user does: a real X server (Xvfb),
a private D-Bus session with the accessibility bus, widgets found through
AT-SPI by role and name, and real X input at their on-screen extents.

Nothing here calls a widget's action directly: an accessible "press" or a
synthetic event would pass through modality and focus, which is what these
tests are for.
"""

import contextlib
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

SOURCE_DIR = Path(__file__).resolve().parents[2]
BINARY = os.environ.get("KORAL_E2E_BINARY", str(SOURCE_DIR / "build" / "bin" / "koral-config"))
ARTIFACTS = Path(os.environ.get("KORAL_E2E_ARTIFACTS", tempfile.gettempdir() + "/koral-e2e"))
# The tests' fault shim (tests/support/fault), preloaded to make the player slow.
FAULT_SHIM = os.environ.get("KORAL_E2E_FAULT_SHIM", str(SOURCE_DIR / "build" / "tests" / "libkoral_fault_shim.so"))
# Generous: under AddressSanitizer, with the other tests on the same two cores.
TIMEOUT = float(os.environ.get("KORAL_E2E_TIMEOUT", "30"))
SCREEN = (2100, 1300)


class StepFailed(AssertionError):
    pass


def wait_until(condition, what, timeout=TIMEOUT, interval=0.05):
    """Polls until condition() gives something true, and returns it."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise StepFailed(f"attendu en vain ({timeout:.0f} s) : {what}")
        time.sleep(interval)


class Session:
    """One X server and one D-Bus session bus for a test process."""

    def __init__(self):
        self.processes = []
        self.display = self._start_xvfb()
        # Set before the bus starts: the accessibility bus it launches names
        # its socket after them, and tests running side by side must not share one.
        os.environ["DISPLAY"] = self.display
        self.runtime_dir = tempfile.mkdtemp(prefix="koral-e2e-runtime-")
        os.environ["XDG_RUNTIME_DIR"] = self.runtime_dir
        self._start_session_bus()
        os.environ["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        os.environ["QT_QPA_PLATFORM"] = "xcb"
        os.environ.pop("QT_ACCESSIBILITY", None)
        # The accessibility bus is found through the session bus set above.
        import pyatspi  # noqa: E402 (must come after the bus)
        self.atspi = pyatspi

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        width, height = SCREEN
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        self.processes.append(xvfb)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb n'a pas démarré")
        return ":" + number

    def _start_session_bus(self):
        bus = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1", "--nopidfile"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.processes.append(bus)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()

    def close(self):
        for process in reversed(self.processes):
            process.terminate()
            with contextlib.suppress(subprocess.TimeoutExpired):
                process.wait(5)
        shutil.rmtree(self.runtime_dir, ignore_errors=True)

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)


class Widget:
    """An accessible object with the actions a user's hand has on it."""

    def __init__(self, app, accessible):
        self.app = app
        self.acc = accessible

    @property
    def name(self):
        return self.acc.name

    @property
    def role(self):
        return self.acc.getRoleName()

    def states(self):
        return set(self.acc.getState().getStates())

    def has_state(self, state):
        return getattr(self.app.atspi, "STATE_" + state) in self.states()

    def extents(self):
        extent = self.acc.queryComponent().getExtents(self.app.atspi.DESKTOP_COORDS)
        return extent.x, extent.y, extent.width, extent.height

    def centre(self):
        x, y, width, height = self.extents()
        return x + width // 2, y + height // 2

    def text(self):
        """The text of a label, field or cell: its name, or its text interface."""
        try:
            text = self.acc.queryText()
            return text.getText(0, text.characterCount)
        except NotImplementedError:
            return self.acc.name

    def value(self):
        """The current value of a slider, spin box or progress bar."""
        return self.acc.queryValue().currentValue

    def click(self, button=1, at=None, double=False):
        """A real click at the widget's centre, or at an offset (dx, dy) from its top left."""
        if at is None:
            x, y = self.centre()
        else:
            left, top, _, _ = self.extents()
            x, y = left + at[0], top + at[1]
        self.app.xdotool("mousemove", str(x), str(y))  # not --sync: it waits for a motion that never comes when the pointer is there already
        self.app.xdotool("click", "--repeat", "2" if double else "1", "--delay", "80", str(button))

    def choose(self, entry):
        """Opens a combo box by its arrow and clicks one entry of the list that drops."""
        _, _, width, height = self.extents()
        self.click(at=(width - 8, height // 2))
        item = wait_until(lambda: next((i for i in self.find_all("list item", entry)
                                        if i.extents()[2] > 0 and i.extents()[1] > 0), None),
                          f"l'entrée « {entry} » déroulée")
        item.click()
        wait_until(lambda: self.entry() == entry, f"« {entry} » choisie")

    def entry(self):
        """The entry a combo box shows: one named for what it is tells it as its
        description; Qt names the others after it."""
        return self.acc.description or self.acc.name

    def find(self, role, name=None, **kwargs):
        return self.app.find(role, name, within=self, **kwargs)

    def find_all(self, role, name=None):
        return self.app.find_all(role, name, within=self)


class KoralApp:
    """One run of koral-config in its own sandbox: program folder, player,
    computer folder and XDG folders under a temporary directory."""

    def __init__(self, session, test_name):
        self.session = session
        self.atspi = session.atspi
        self.test_name = test_name
        self.root = Path(tempfile.mkdtemp(prefix="koral-e2e-"))
        self.config_dir = self.root / "config"
        self.computer = self.root / "computer"
        self.player = self.root / "data" / "koral-config" / "demo-player"
        for folder in (self.config_dir, self.computer):
            folder.mkdir(parents=True)
        (self.root / "runtime").mkdir(mode=0o700)
        for name in ("Config.ini", "Radios.ini"):
            shutil.copy(SOURCE_DIR / "res" / name, self.config_dir / name)
        self.set_config("repertoires", "pc", str(self.computer))
        self.extra_env = {}  # what a test adds to the program's environment
        self.process = None
        self.app_acc = None
        self.steps = 0
        self.started = time.monotonic()

    # --- the sandbox on disk -------------------------------------------------

    @property
    def config_ini(self):
        return self.config_dir / "Config.ini"

    @property
    def settings_image(self):
        return self.player / "Settings.dat"

    def set_config(self, section, key, value):
        """Edits the sandbox's Config.ini before the program starts."""
        text = self.config_ini.read_text(encoding="utf-8")
        pattern = re.compile(rf"(^\[{re.escape(section)}\]\s*$.*?^{re.escape(key)}=)[^\r\n]*",
                             re.M | re.S | re.I)
        text, count = pattern.subn(lambda m: m.group(1) + value, text, count=1)
        if count != 1:
            raise ValueError(f"[{section}] {key} absent de Config.ini")
        self.config_ini.write_text(text, encoding="utf-8")

    def config_value(self, section, key):
        """What the program left in Config.ini (the first such key of the section)."""
        current = None
        for line in self.config_ini.read_text(encoding="utf-8", errors="replace").splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                current = line[1:-1].lower()
            elif current == section.lower() and "=" in line:
                name, value = line.split("=", 1)
                if name.strip().lower() == key.lower():
                    return value.strip()
        return None

    def environment(self):
        env = dict(os.environ)
        for name in ("KORAL_PLAYER", "KORAL_CONFIG_DIR"):
            env.pop(name, None)
        env.update({
            "HOME": str(self.root),
            "XDG_CONFIG_HOME": str(self.root / "xdg-config"),
            "XDG_DATA_HOME": str(self.root / "data"),
            "XDG_STATE_HOME": str(self.root / "state"),
            "XDG_CACHE_HOME": str(self.root / "cache"),
            "XDG_RUNTIME_DIR": str(self.root / "runtime"),
            "LC_ALL": "C.UTF-8",
        })
        env.update(self.extra_env)
        return env

    def slow_player(self, milliseconds_per_mebibyte):
        """Every write to a copy's temporary passes 1 MiB at a time, each taking that long."""
        # Under AddressSanitizer the shim comes before its runtime: let it.
        asan = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "verify_asan_link_order=0"]))
        self.extra_env.update({"LD_PRELOAD": FAULT_SHIM, "ASAN_OPTIONS": asan,
                               "KORAL_FAULT": f"slow:{milliseconds_per_mebibyte}:.koral-part"})

    def partial_files(self):
        """Every temporary of a copy, and their hidden folders, anywhere on the player."""
        return [os.path.join(folder, name) for folder, folders, files in os.walk(self.player)
                for name in folders + files if name.endswith(".koral-part")]

    def temporary_of(self, final_name):
        """The temporary a copy writes for a final name, in its run's folder; None when there is none."""
        found = sorted(self.player.glob(f".koral-part/run-*/*.{final_name}.koral-part"))
        return found[0] if found else None

    # --- the process ---------------------------------------------------------

    def start(self, *arguments, demo=True):
        """Starts the program as its user does; by default on a demo player."""
        command = [BINARY, "--config-dir", str(self.config_dir)]
        command += ["--demo"] if demo else []
        command += list(arguments)
        self.log = open(self.root / "program.log", "w+b")
        self.process = subprocess.Popen(command, env=self.environment(), stdout=self.log,
                                        stderr=subprocess.STDOUT)
        self.app_acc = wait_until(self._application, "l'application dans l'arbre d'accessibilité")
        return self

    def _application(self):
        if self.process.poll() is not None:
            raise StepFailed(f"le programme s'est terminé (statut {self.process.returncode})")
        desktop = self.atspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            application = desktop.getChildAtIndex(index)
            try:
                if application is not None and application.get_process_id() == self.process.pid:
                    return application
            except Exception:  # an application leaving the bus as we look
                continue
        return None

    def wait_exit(self, timeout=TIMEOUT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise StepFailed("le programme ne s'est pas terminé")

    def output(self):
        if self.process is None:
            return ""
        self.log.flush()
        self.log.seek(0)
        return self.log.read().decode("utf-8", "replace")

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.send_signal(signal.SIGKILL)
            self.process.wait()

    def cleanup(self):
        self.stop()
        if self.process is not None:
            self.log.close()
        shutil.rmtree(self.root, ignore_errors=True)

    # --- finding widgets -------------------------------------------------------

    def _matches(self, accessible, role, name):
        try:
            if accessible.getRoleName() != role:
                return False
            if name is None:
                return True
            actual = accessible.name or ""
            return name.match(actual) if isinstance(name, re.Pattern) else actual == name
        except Exception:
            return False

    def _search(self, root, role, name, showing, first):
        found = []
        stack = [root]
        while stack:
            accessible = stack.pop()
            if accessible is None:
                continue
            if self._matches(accessible, role, name):
                widget = Widget(self, accessible)
                if not showing or widget.has_state("SHOWING"):
                    found.append(widget)
                    if first:
                        return found
            try:
                children = [accessible.getChildAtIndex(i) for i in range(accessible.childCount)]
            except Exception:
                continue
            stack.extend(reversed(children))
        return found

    def find_all(self, role, name=None, within=None, showing=True):
        root = within.acc if within is not None else self.app_acc
        return self._search(root, role, name, showing, first=False)

    def find(self, role, name=None, within=None, showing=True, timeout=TIMEOUT):
        """Waits for the first showing widget of that role and accessible name."""
        where = f" dans « {within.name} »" if within is not None else ""
        return wait_until(lambda: (self.find_all(role, name, within, showing) or [None])[0],
                          f"{role} « {name} »{where}", timeout)

    def window(self, title, role="dialog", timeout=TIMEOUT):
        return wait_until(lambda: (self.windows(title, role) or [None])[0], f"la fenêtre « {title} »", timeout)

    def windows(self, title, role="dialog"):
        """The program's showing top-level windows of that title."""
        found = []
        for index in range(self.app_acc.childCount):
            child = self.app_acc.getChildAtIndex(index)
            if self._matches(child, role, title) and Widget(self, child).has_state("SHOWING"):
                found.append(Widget(self, child))
        return found

    def gone(self, role, name, within=None):
        wait_until(lambda: not self.find_all(role, name, within), f"{role} « {name} » fermé")

    # --- input -----------------------------------------------------------------

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *arguments], check=True, env={**os.environ, "DISPLAY": self.session.display})

    def key(self, *keys):
        """Real key presses to the window that has the keyboard focus."""
        self.xdotool("key", "--delay", "60", *keys)

    def type(self, text):
        self.xdotool("type", "--delay", "40", text)

    def x_window(self, title):
        """The X window ids of the program's top-level windows with that title."""
        result = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.process.pid),
                                 "--name", f"^{re.escape(title)}$"],
                                capture_output=True, text=True, env={**os.environ, "DISPLAY": self.session.display})
        return [int(line) for line in result.stdout.split()]

    def move_window(self, widget, x, y):
        """Drags a top-level window to (x, y), as a user moves it out of the way
        (the test server has no window manager, so windows open centred)."""
        ids = [i for i in self._x_windows_of(widget)]
        if not ids:
            raise StepFailed(f"fenêtre X de « {widget.name} » introuvable")
        self.xdotool("windowmove", "--sync", str(ids[0]), str(x), str(y))
        wait_until(lambda: abs(widget.extents()[0] - x) < 40 and abs(widget.extents()[1] - y) < 40,
                   f"« {widget.name} » déplacée")

    def _x_windows_of(self, widget):
        left, top, width, height = widget.extents()
        for window_id in self.x_window(widget.name):
            geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", str(window_id)],
                                      capture_output=True, text=True,
                                      env={**os.environ, "DISPLAY": self.session.display}).stdout
            values = dict(line.split("=", 1) for line in geometry.split())
            if abs(int(values["X"]) - left) < 40 and abs(int(values["Y"]) - top) < 40:
                yield window_id

    def _popups_shown(self):
        """The number of pop-up windows (menus, drop-down lists) on the screen."""
        from Xlib import X, display
        connection = display.Display(self.session.display)
        try:
            count = 0
            for window in connection.screen().root.query_tree().children:
                attributes = window.get_attributes()
                count += attributes.override_redirect and attributes.map_state == X.IsViewable
            return count
        finally:
            connection.close()

    def open_popup(self, open_it):
        """Runs what opens a pop-up menu and waits until it is on the screen
        (Qt leaves pop-up menus out of the accessibility tree)."""
        before = self._popups_shown()
        open_it()
        wait_until(lambda: self._popups_shown() > before, "le menu ouvert")

    def close_box(self, widget):
        """What a window manager sends when the caption's close box is clicked:
        WM_DELETE_WINDOW, then _NET_WM_PING until the window is gone, as window
        managers do to tell a hung program. The pings matter here: Qt 6.4 can
        hold a close request taken in while it excluded user input until the
        next X event reaches it, which on a desktop is the pointer's next move
        and on this server, without a window manager, would never come."""
        from Xlib import X, display, protocol
        connection = display.Display(self.session.display)
        try:
            window_id = next(iter(self._x_windows_of(widget)), None)
            if window_id is None:
                raise StepFailed(f"fenêtre X de « {widget.name} » introuvable")
            window = connection.create_resource_object("window", window_id)
            protocols = connection.intern_atom("WM_PROTOCOLS")

            def send(atom, *data):
                event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                                     data=(32, [connection.intern_atom(atom), *data]))
                window.send_event(event, event_mask=X.NoEventMask)
                connection.flush()

            send("WM_DELETE_WINDOW", X.CurrentTime, 0, 0, 0)
            deadline = time.monotonic() + 5
            while self.process.poll() is None and time.monotonic() < deadline:
                time.sleep(0.5)
                try:
                    send("_NET_WM_PING", X.CurrentTime, window_id, 0, 0)
                except Exception:  # the window went meanwhile
                    break
        finally:
            connection.close()

    # --- steps -------------------------------------------------------------------

    @contextlib.contextmanager
    def step(self, text):
        """Names a step; on a failure prints it and keeps a screenshot."""
        self.steps += 1
        print(f"  étape {self.steps} ({time.monotonic() - self.started:.1f} s) : {text}", flush=True)
        try:
            yield
        except BaseException as error:
            ARTIFACTS.mkdir(parents=True, exist_ok=True)
            shot = ARTIFACTS / f"{self.test_name}-{self.steps:02d}.png"
            self.session.screenshot(shot)
            print(f"  ÉCHEC à l'étape {self.steps} « {text} » : {error}\n  capture : {shot}", flush=True)
            print("  sortie du programme :\n" + self.output(), flush=True)
            raise


class KoralTestCase(unittest.TestCase):
    """One X server and bus per test file; one program run per test."""

    session = None

    @classmethod
    def setUpClass(cls):
        if KoralTestCase.session is None:
            KoralTestCase.session = Session()

    def setUp(self):
        self.app = KoralApp(KoralTestCase.session, self.id().split(".")[-1])
        self.addCleanup(self.app.cleanup)

    def step(self, text):
        return self.app.step(text)

    def start_main_window(self, *arguments, demo=True):
        with self.step("démarrer koral-config"):
            self.app.start(*arguments, demo=demo)
            window = self.app.window("Koral Config")
            self.app.move_window(window, 0, 0)
            return window

    def open_sheet(self, main_window, x=760, y=0):
        """Presses "&Réglages Koral" and moves the new sheet beside the others."""
        placed = {sheet.extents() for sheet in self.app.windows("Propriétés")}
        main_window.find("push button", "Réglages Koral").click()
        sheet = wait_until(lambda: next((s for s in self.app.windows("Propriétés") if s.extents() not in placed), None),
                           "une nouvelle feuille « Propriétés »")
        self.app.move_window(sheet, x, y)
        return sheet

    def choose_tab(self, sheet, name, role, shown):
        """Clicks a tab and waits for a widget of its page to show; returns it."""
        sheet.find("page tab", name).click()
        return sheet.find(role, shown)

    def answer_message(self, text_part, button="OK"):
        """Waits for a message box holding the text, then clicks its button."""
        def box():
            for alert in self.app.find_all("alert"):
                labels = " ".join(label.text() for label in alert.find_all("label"))
                if text_part in labels or text_part in (alert.name or ""):
                    return alert
            return None
        alert = wait_until(box, f"message « {text_part} »")
        alert.find("push button", button).click()
        return alert

    def assertExitStatus(self, expected):
        status = self.app.wait_exit()
        output = self.app.output()
        self.assertNotIn("ERROR: AddressSanitizer", output, output)
        self.assertNotIn("runtime error:", output, output)
        self.assertEqual(status, expected, output)


def main():
    try:
        unittest.main(verbosity=2)
    finally:
        if KoralTestCase.session is not None:
            KoralTestCase.session.close()


if __name__ == "__main__":
    sys.exit(main())
