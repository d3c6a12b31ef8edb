#!/usr/bin/python3
"""The real program on a real Wayland desktop: KWin without a screen (its virtual backend) and KDE's desktop
portal, on a bus of their own. A hotkey task becomes a global shortcut through the GlobalShortcuts portal and
runs when its keys are pressed. The keys are pressed through the RemoteDesktop portal, the only way into a
Wayland desktop from outside, so they reach KWin as a keyboard's would.

usage: kwin_portal_e2e.py ORVANTA ORVANTACTL
Exit status 0 when the task ran on the key and not before, 1 when not, 77 where this machine has no KWin.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import dbus
import dbus.mainloop.glib
from gi.repository import GLib

KWIN = "/usr/bin/kwin_wayland"
PORTAL = "org.freedesktop.portal.Desktop"
OBJECT = "/org/freedesktop/portal/desktop"
SOCKET = "wayland-orvanta"
# Alt+Q, as evdev key codes: no shortcut of KWin's own uses it.
KEYS = [(56, 1), (16, 1), (16, 0), (56, 0)]


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.1)
    return condition()


class Desktop:
    """KWin and a session bus in a private runtime folder; the portals start on the bus as they are asked."""

    def __init__(self, root):
        self.root = root
        self.run = os.path.join(root, "run")
        self.home = os.path.join(root, "home")
        os.makedirs(self.run, mode=0o700)
        os.makedirs(self.home)
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM",
                                 "XAUTHORITY")}
        self.env.update(XDG_RUNTIME_DIR=self.run, HOME=self.home,
                        XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                        XDG_DATA_HOME=os.path.join(self.home, ".local/share"),
                        XDG_CACHE_HOME=os.path.join(self.home, ".cache"),
                        XDG_CURRENT_DESKTOP="KDE", XDG_SESSION_TYPE="wayland", WAYLAND_DISPLAY=SOCKET)
        self.processes = []
        # Services the bus starts take its environment: it is set before the bus starts.
        daemon = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=2"],
                                env=self.env, capture_output=True, text=True, check=True)
        self.bus_address = daemon.stdout.strip()
        self.bus_pid = int(daemon.stderr.strip())
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.bus_address
        # The packaged binary carries a file capability a container may not grant; a copy carries none.
        kwin = os.path.join(root, "kwin_wayland")
        shutil.copy(KWIN, kwin)
        self.kwin_log = open(os.path.join(root, "kwin.log"), "w")
        # KWin makes the display the others connect to: it must not look for one itself.
        kwin_env = {k: v for k, v in self.env.items() if k != "WAYLAND_DISPLAY"}
        self.processes.append(subprocess.Popen([kwin, "--virtual", "--no-lockscreen", "--socket", SOCKET],
                                               env=kwin_env, stdout=self.kwin_log, stderr=subprocess.STDOUT))
        self.bus = dbus.bus.BusConnection(self.bus_address)

    def has_owner(self, name):
        return bool(self.bus.name_has_owner(name))

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        try:
            os.kill(self.bus_pid, signal.SIGTERM)
        except ProcessLookupError:
            pass


class RemoteKeyboard:
    """A RemoteDesktop session with a keyboard, as an input tool gets one."""

    def __init__(self, bus):
        self.bus = bus
        self.loop = GLib.MainLoop()
        self.sender = bus.get_unique_name()[1:].replace(".", "_")
        portal = bus.get_object(PORTAL, OBJECT)
        self.remote = dbus.Interface(portal, "org.freedesktop.portal.RemoteDesktop")
        created = self.request("k1", lambda: self.remote.CreateSession(
            {"handle_token": "k1", "session_handle_token": "keys"}))
        self.session = created["session_handle"]
        self.request("k2", lambda: self.remote.SelectDevices(
            self.session, {"handle_token": "k2", "types": dbus.UInt32(1)}))
        self.request("k3", lambda: self.remote.Start(self.session, "", {"handle_token": "k3"}))

    def request(self, token, call):
        path = "%s/request/%s/%s" % (OBJECT, self.sender, token)
        answer = {}

        def on_response(code, results):
            answer.update(code=int(code), results=results)
            self.loop.quit()

        match = self.bus.add_signal_receiver(on_response, "Response", "org.freedesktop.portal.Request",
                                             PORTAL, path)
        call()
        timeout = GLib.timeout_add_seconds(20, self.loop.quit)
        self.loop.run()
        match.remove()
        if not answer:
            raise RuntimeError("the RemoteDesktop portal did not answer " + token)
        GLib.source_remove(timeout)
        if answer["code"] != 0:
            raise RuntimeError("the RemoteDesktop portal refused %s with %d" % (token, answer["code"]))
        return answer["results"]

    def press(self):
        for code, state in KEYS:
            self.remote.NotifyKeyboardKeycode(self.session, {}, code, dbus.UInt32(state))


def main():
    orvanta, orvantactl = sys.argv[1], sys.argv[2]
    if not os.path.exists(KWIN):
        print("SKIP: no KWin (kwin-wayland) on this machine")
        return 77
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    root = tempfile.mkdtemp(prefix="orvanta-kwin-")
    desktop = Desktop(root)
    try:
        if not wait_for(lambda: desktop.has_owner("org.kde.kglobalaccel"), 20):
            print("FAIL: KWin did not start\n" + open(os.path.join(root, "kwin.log")).read())
            return 1
        data = os.path.join(desktop.env["XDG_DATA_HOME"], "Orvanta")
        marker = os.path.join(root, "ran-on-the-key")
        os.makedirs(data)
        with open(os.path.join(data, "wake.ini"), "w") as ini:
            ini.write("[Option]\nmfirst=0\n")
        added = subprocess.run([orvantactl, "--data-dir", data, "add", "--trigger", "hotkey", "--hotkey", "alt+q",
                                "--launch", "/usr/bin/touch", "--params", marker],
                               env=desktop.env, capture_output=True, text=True)
        if added.returncode != 0:
            print("FAIL: the task was not added: " + added.stderr)
            return 1
        program_log = open(os.path.join(root, "orvanta.log"), "w")
        program = subprocess.Popen([orvanta], env=desktop.env, stdout=program_log, stderr=subprocess.STDOUT)
        desktop.processes.append(program)

        def log():
            program_log.flush()
            return open(os.path.join(root, "orvanta.log")).read()

        # The program is on the bus once it answers for its data folder.
        def answering():
            try:
                proxy = desktop.bus.get_object("org.orvanta.Orvanta", "/org/orvanta/Orvanta")
                folder = proxy.Get("org.orvanta.Orvanta1", "DataFolder",
                                   dbus_interface="org.freedesktop.DBus.Properties")
                return os.path.samefile(str(folder), data)
            except (dbus.exceptions.DBusException, OSError):
                return False

        if not wait_for(answering, 30):
            print("FAIL: the program did not start on the desktop\n" + log())
            return 1
        keyboard = RemoteKeyboard(desktop.bus)
        time.sleep(1)
        if os.path.exists(marker):
            print("FAIL: the task ran before its key was pressed")
            return 1
        # The shortcut is bound once the program's delayed load of its hotkey list is done.
        ran = False
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline and not ran:
            keyboard.press()
            ran = wait_for(lambda: os.path.exists(marker), 2)
        if not ran:
            print("FAIL: Alt+Q did not run the hotkey task\n--- the program:\n" + log() +
                  "\n--- KWin:\n" + open(os.path.join(root, "kwin.log")).read()[-4000:])
            return 1
        print("PASS: Alt+Q pressed on KWin ran the hotkey task through the GlobalShortcuts portal")
        return 0
    finally:
        desktop.close()
        if os.environ.get("KEEP") is None:
            shutil.rmtree(root, ignore_errors=True)
        else:
            print("kept " + root)


if __name__ == "__main__":
    sys.exit(main())
