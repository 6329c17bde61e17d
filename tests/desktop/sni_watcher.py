#!/usr/bin/python3
# A StatusNotifierWatcher with a host registered, as a desktop's panel provides it: prints
# each item that registers ("<bus name> <object path>"), one line each, and runs until killed.
import sys
from gi.repository import Gio, GLib

XML = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
  </interface>
</node>"""
items = []


def on_call(connection, sender, path, interface, method, params, invocation):
    if method == "RegisterStatusNotifierItem":
        name = params.unpack()[0]
        # An item gives its bus name or only its path; the sender is then the bus name.
        service, item_path = (sender, name) if name.startswith("/") else (name, "/StatusNotifierItem")
        items.append(service + item_path)
        print(service, item_path, flush=True)
    invocation.return_value(None)


def on_get(connection, sender, path, interface, prop):
    if prop == "RegisteredStatusNotifierItems":
        return GLib.Variant("as", items)
    if prop == "IsStatusNotifierHostRegistered":
        return GLib.Variant("b", True)
    return GLib.Variant("i", 0)


def on_bus(connection, name):
    info = Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0]
    connection.register_object("/StatusNotifierWatcher", info, on_call, on_get, None)


Gio.bus_own_name(Gio.BusType.SESSION, "org.kde.StatusNotifierWatcher", Gio.BusNameOwnerFlags.NONE,
                 on_bus, lambda *a: print("watcher ready", file=sys.stderr, flush=True),
                 lambda *a: sys.exit("could not own the watcher's name"))
GLib.MainLoop().run()
