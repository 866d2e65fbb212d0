// SPDX-License-Identifier: GPL-3.0-or-later
// Tells Lumbra, on the session bus, which window has the focus: its app id,
// its class, its process and whether it is a native Wayland window. Lumbra
// is never started for it; while Lumbra is not running nothing is said, and
// when it appears it is told the window that has the focus then.
'use strict';

const { Gio, GLib, Meta, Shell } = imports.gi;

const LUMBRA_NAME = 'io.github.lumbra.lumbra';
const LUMBRA_PATH = '/io/github/lumbra/lumbra';
const FOCUS_INTERFACE = 'io.github.lumbra.lumbra.Focus1';
// Owned while the extension runs: Lumbra watches it to know that it is told.
const PRESENCE_NAME = 'io.github.lumbra.lumbra.ShellExtension';

// Only for Lumbra's own tests: with LUMBRA_TEST_FOCUS in the Shell's
// environment, a test gives windows the focus as a click would, and reads
// the Shell's environment (the X display of XWayland).
const TEST_PATH = '/io/github/lumbra/lumbra/TestFocus';
const TEST_INTERFACE = `
<node>
  <interface name="io.github.lumbra.lumbra.TestFocus">
    <method name="FocusWindow">
      <arg name="wm_class_or_app_id" type="s" direction="in"/>
      <arg name="focused" type="b" direction="out"/>
    </method>
    <method name="Getenv">
      <arg name="name" type="s" direction="in"/>
      <arg name="value" type="s" direction="out"/>
    </method>
  </interface>
</node>`;

// The app id the Shell knows the window by ("foot.desktop"), else the one
// the window gives itself, else its class. The Shell names windows it could
// not match to an application "window:N": that is no id.
function appIdOf(window) {
    const app = Shell.WindowTracker.get_default().get_window_app(window);
    const id = app ? app.get_id() : null;
    if (id && !id.startsWith('window:'))
        return id;
    return window.get_gtk_application_id() || window.get_wm_class() || '';
}

function report(window) {
    if (!window)
        return;
    const pid = window.get_pid();
    const args = new GLib.Variant('(ssib)', [
        appIdOf(window),
        window.get_wm_class() || '',
        pid > 0 ? pid : 0,
        window.get_client_type() === Meta.WindowClientType.WAYLAND,
    ]);
    Gio.DBus.session.call(LUMBRA_NAME, LUMBRA_PATH, FOCUS_INTERFACE, 'WindowActivated', args,
        null, Gio.DBusCallFlags.NO_AUTO_START, -1, null, (connection, result) => {
            try {
                connection.call_finish(result);
            } catch (e) {
                // Lumbra went away meanwhile; it is told again when it is back.
            }
        });
}

function matches(window, name) {
    const wanted = name.toLowerCase();
    return [appIdOf(window).replace(/\.desktop$/, ''), window.get_wm_class(),
        window.get_wm_class_instance()].some(n => n && n.toLowerCase() === wanted);
}

class TestFocus {
    constructor() {
        this._object = Gio.DBusExportedObject.wrapJSObject(TEST_INTERFACE, this);
        this._object.export(Gio.DBus.session, TEST_PATH);
    }

    FocusWindow(name) {
        const window = global.get_window_actors().map(a => a.get_meta_window())
            .find(w => matches(w, name));
        if (!window)
            return false;
        // A window that has only just appeared may not take the focus yet:
        // the caller asks again until it has it.
        window.activate(global.get_current_time());
        return global.display.focus_window === window;
    }

    Getenv(name) {
        return GLib.getenv(name) || '';
    }

    destroy() {
        this._object.unexport();
    }
}

class Extension {
    enable() {
        this._focusId = global.display.connect('notify::focus-window',
            () => report(global.display.focus_window));
        // Also at once when Lumbra already runs.
        this._watchId = Gio.bus_watch_name(Gio.BusType.SESSION, LUMBRA_NAME,
            Gio.BusNameWatcherFlags.NONE, () => report(global.display.focus_window), null);
        if (GLib.getenv('LUMBRA_TEST_FOCUS'))
            this._test = new TestFocus();
        this._nameId = Gio.bus_own_name_on_connection(Gio.DBus.session, PRESENCE_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null);
    }

    disable() {
        Gio.bus_unown_name(this._nameId);
        global.display.disconnect(this._focusId);
        Gio.bus_unwatch_name(this._watchId);
        this._test?.destroy();
        this._test = null;
    }
}

function init() {
    return new Extension();
}
