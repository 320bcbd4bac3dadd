#!/usr/bin/python3
"""A fake BlueZ on a private D-Bus bus, for the Bluetooth LE link tests.

Starts its own dbus-daemon, claims org.bluez on it with python3-dbusmock's bluez5
template (one adapter, hci0), prints "READY <bus address>" and then answers one JSON
command per line on stdin with one JSON line on stdout:

  {"op": "add_device", "address": "AA:BB:CC:DD:EE:01", "modalias": "usb:v045Ep0009d0001",
   "connected": true, "resolved": true}                           -> {"path": device}
  {"op": "add_service", "device": device, "handle": 12, "uuid": "...", "primary": true}
                                                                  -> {"path": service}
  {"op": "add_characteristic", "service": service, "handle": 13, "uuid": "...",
   "flags": ["write", "notify"]}                                  -> {"path": characteristic}
  {"op": "notify", "path": characteristic, "bytes": [9, 64, 0, 57]}
  {"op": "notify_text", "path": characteristic, "text": "x"}     a Value of the wrong type
  {"op": "set_resolved", "path": device, "resolved": true}
  {"op": "write_behaviour", "path": characteristic, "behaviour": "accept" | "fail" | "stall"}
  {"op": "calls", "path": object, "method": "WriteValue"}       -> {"calls": [[arg, ...], ...]}
  {"op": "log_writes", "path": characteristic, "file": name}
      from then on every WriteValue of it that succeeds appends its bytes to the file,
      as one line of hex, before the answer goes out

Every other answer is {} on success or {"error": text}. "stall" makes the next
WriteValue stop this whole process (SIGSTOP) before it answers: BlueZ hangs.

The process leaves when stdin closes and takes its bus daemon with it. Run it as the
leader of its own process group so the test can also kill both at once.
"""

import ctypes
import json
import os
import signal
import subprocess
import sys

import dbus
import dbus.bus
import dbus.mainloop.glib
import dbus.service
from dbusmock import OBJECT_MANAGER_IFACE, mockobject
from gi.repository import GLib

DEVICE_IFACE = 'org.bluez.Device1'
SERVICE_IFACE = 'org.bluez.GattService1'
CHARACTERISTIC_IFACE = 'org.bluez.GattCharacteristic1'
PR_SET_PDEATHSIG = 1


def die_with_parent():
    ctypes.CDLL('libc.so.6', use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def plain(value):
    """D-Bus values as JSON-friendly Python values."""
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, (dict, dbus.Dictionary)):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, (bytes, bytearray, dbus.ByteArray)):
        return list(bytes(value))
    if isinstance(value, (list, tuple, dbus.Array, dbus.Struct)):
        return [plain(v) for v in value]
    if isinstance(value, int):
        return int(value)
    if isinstance(value, float):
        return float(value)
    return str(value)


def read_value(_characteristic, _options):
    return dbus.Array([], signature='y')


def write_value(characteristic, value, _options):
    behaviour = getattr(characteristic, 'write_behaviour', 'accept')
    if behaviour == 'fail':
        raise dbus.exceptions.DBusException('Operation failed', name='org.bluez.Error.Failed')
    if behaviour == 'stall':
        os.kill(os.getpid(), signal.SIGSTOP)
    log = getattr(characteristic, 'write_log', None)
    if log:
        with open(log, 'a', encoding='ascii') as file:
            file.write(bytes(int(b) for b in value).hex() + '\n')


def start_notify(characteristic):
    characteristic.UpdateProperties(CHARACTERISTIC_IFACE, {'Notifying': dbus.Boolean(True)})


def stop_notify(characteristic):
    characteristic.UpdateProperties(CHARACTERISTIC_IFACE, {'Notifying': dbus.Boolean(False)})


class FakeBluez:
    def __init__(self, address):
        self.bus = dbus.bus.BusConnection(address)
        self.bus_name = dbus.service.BusName('org.bluez', self.bus, do_not_queue=True)
        self.manager = mockobject.DBusMockObject(self.bus_name, '/', OBJECT_MANAGER_IFACE, {},
                                                 os.devnull, True)
        mockobject.objects['/'] = self.manager
        self.manager.AddTemplate('bluez5', {})
        self.manager.AddAdapter('hci0', 'fake host')

    def announce(self, path):
        self.manager.object_manager_emit_added(path)

    def add_device(self, request):
        path = str(self.manager.AddDevice('hci0', request['address'], 'mouse'))
        device = mockobject.objects[path]
        device.props[DEVICE_IFACE]['Modalias'] = dbus.String(request.get('modalias', ''))
        device.props[DEVICE_IFACE]['Connected'] = dbus.Boolean(request.get('connected', True))
        device.props[DEVICE_IFACE]['ServicesResolved'] = dbus.Boolean(request.get('resolved', True))
        return {'path': path}

    def add_service(self, request):
        path = f"{request['device']}/service{request['handle']:04x}"
        self.manager.AddObject(path, SERVICE_IFACE, {
            'UUID': dbus.String(request['uuid']),
            'Primary': dbus.Boolean(request.get('primary', True)),
            'Device': dbus.ObjectPath(request['device']),
            'Includes': dbus.Array([], signature='o'),
        }, [])
        self.announce(path)
        return {'path': path}

    def add_characteristic(self, request):
        path = f"{request['service']}/char{request['handle']:04x}"
        self.manager.AddObject(path, CHARACTERISTIC_IFACE, {
            'UUID': dbus.String(request['uuid']),
            'Service': dbus.ObjectPath(request['service']),
            'Value': dbus.Array([], signature='y'),
            'Notifying': dbus.Boolean(False),
            'Flags': dbus.Array(request.get('flags', []), signature='s'),
        }, [
            ('ReadValue', 'a{sv}', 'ay', read_value),
            ('WriteValue', 'aya{sv}', '', write_value),
            ('StartNotify', '', '', start_notify),
            ('StopNotify', '', '', stop_notify),
        ])
        self.announce(path)
        return {'path': path}

    def notify(self, request):
        value = dbus.Array([dbus.Byte(b) for b in request['bytes']], signature='y', variant_level=1)
        mockobject.objects[request['path']].UpdateProperties(CHARACTERISTIC_IFACE, {'Value': value})
        return {}

    def notify_text(self, request):
        mockobject.objects[request['path']].UpdateProperties(
            CHARACTERISTIC_IFACE, {'Value': dbus.String(request['text'])})
        return {}

    def set_resolved(self, request):
        mockobject.objects[request['path']].UpdateProperties(
            DEVICE_IFACE, {'ServicesResolved': dbus.Boolean(request['resolved'])})
        return {}

    def write_behaviour(self, request):
        mockobject.objects[request['path']].write_behaviour = request['behaviour']
        return {}

    def log_writes(self, request):
        mockobject.objects[request['path']].write_log = request['file']
        return {}

    def calls(self, request):
        log = mockobject.objects[request['path']].call_log
        return {'calls': [plain(args) for (_, name, args) in log if name == request['method']]}

    def handle(self, line):
        try:
            request = json.loads(line)
            operation = getattr(self, request['op'])
            return operation(request)
        except Exception as error:  # every failure goes back to the test as text
            return {'error': f'{type(error).__name__}: {error}'}


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    # pylint: disable=consider-using-with
    # An abstract socket leaves no file behind, even when the daemon is killed.
    listen = f'unix:abstract=norvane-fake-bluez-{os.getpid()}-{os.urandom(6).hex()}'
    daemon = subprocess.Popen(['dbus-daemon', '--session', '--nofork', '--nopidfile', '--print-address=1',
                               f'--address={listen}'],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, preexec_fn=die_with_parent)
    address = daemon.stdout.readline().decode().strip()
    if not address:
        sys.stderr.write('fake_bluez: dbus-daemon gave no address\n')
        daemon.kill()
        return 1

    fake = FakeBluez(address)
    loop = GLib.MainLoop()
    pending = bytearray()

    def on_input(fd, _condition):
        chunk = os.read(fd, 65536)
        if not chunk:
            loop.quit()
            return False
        pending.extend(chunk)
        while b'\n' in pending:
            line, _, rest = bytes(pending).partition(b'\n')
            pending[:] = rest
            sys.stdout.write(json.dumps(fake.handle(line.decode())) + '\n')
            sys.stdout.flush()
        return True

    GLib.unix_fd_add_full(GLib.PRIORITY_DEFAULT, sys.stdin.fileno(),
                          GLib.IOCondition.IN | GLib.IOCondition.HUP, on_input)
    sys.stdout.write(f'READY {address}\n')
    sys.stdout.flush()
    try:
        loop.run()
    finally:
        daemon.kill()
        daemon.wait()
    return 0


if __name__ == '__main__':
    sys.exit(main())
