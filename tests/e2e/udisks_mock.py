# SPDX-License-Identifier: GPL-3.0-or-later
"""A stand-in for udisks2 on a private bus that the program takes for the
system bus (DBUS_SYSTEM_BUS_ADDRESS): python3-dbusmock's generic objects,
answering Unmount and PowerOff, or failing them on request."""

import contextlib
import os
import subprocess
import sys
import time

import dbus

SERVICE = "org.freedesktop.UDisks2"
MANAGER = "/org/freedesktop/UDisks2/Manager"
BLOCK = "/org/freedesktop/UDisks2/block_devices/sdz1"
DRIVE = "/org/freedesktop/UDisks2/drives/Koral"
MOCK = "org.freedesktop.DBus.Mock"

BUSY = "raise dbus.exceptions.DBusException('Target is busy', name='org.freedesktop.UDisks2.Error.DeviceBusy')"
REFUSED = "raise dbus.exceptions.DBusException('Not authorized', name='org.freedesktop.UDisks2.Error.NotAuthorized')"


class UDisksMock:
    def __init__(self, mount_point, unmount="", power_off=""):
        self.processes = []
        self.bus_address = self._start_bus()
        os.environ["DBUS_SYSTEM_BUS_ADDRESS"] = self.bus_address
        self.bus = dbus.bus.BusConnection(self.bus_address)
        self._start_service()
        self._add_objects(mount_point, unmount, power_off)

    def _start_bus(self):
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1", "--nopidfile"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.processes.append(bus)
        return bus.stdout.readline().strip()

    def _start_service(self):
        env = {**os.environ, "DBUS_SYSTEM_BUS_ADDRESS": self.bus_address}
        self.processes.append(subprocess.Popen(
            ["/usr/bin/python3", "-m", "dbusmock", "--system", SERVICE, MANAGER, SERVICE + ".Manager"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        deadline = time.monotonic() + 30
        while not self.bus.name_has_owner(SERVICE):
            if time.monotonic() > deadline:
                raise RuntimeError("le faux udisks2 n'a pas démarré")
            time.sleep(0.05)

    def _add_objects(self, mount_point, unmount, power_off):
        manager = self.mock(MANAGER)
        manager.AddMethod(SERVICE + ".Manager", "GetBlockDevices", "a{sv}", "ao",
                          f"ret = [dbus.ObjectPath('{BLOCK}')]")
        manager.AddObject(BLOCK, SERVICE + ".Block", {"Drive": dbus.ObjectPath(DRIVE)}, [])
        block = self.mock(BLOCK)
        point = dbus.Array([dbus.ByteArray(os.fsencode(mount_point) + b"\0")], signature="ay")
        block.AddProperties(SERVICE + ".Filesystem", {"MountPoints": point})
        block.AddMethod(SERVICE + ".Filesystem", "Unmount", "a{sv}", "", unmount)
        manager.AddObject(DRIVE, SERVICE + ".Drive", {}, [("PowerOff", "a{sv}", "", power_off)])

    def mock(self, path):
        return dbus.Interface(self.bus.get_object(SERVICE, path), MOCK)

    def calls(self, path):
        """The names of the methods called on an object, in order."""
        return [str(call[1]) for call in self.mock(path).GetCalls()]

    def close(self):
        for process in reversed(self.processes):
            process.terminate()
            with contextlib.suppress(subprocess.TimeoutExpired):
                process.wait(5)
        os.environ.pop("DBUS_SYSTEM_BUS_ADDRESS", None)
