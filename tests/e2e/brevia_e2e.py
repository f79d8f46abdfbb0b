"""Helpers for driving the real program through AT-SPI.

Widgets are found by role and text, as a user finds them; every wait has a
deadline, and the program is killed when a scenario ends, whatever happened.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi
from Xlib import X, display, protocol

TIMEOUT = 20.0


class Failure(Exception):
    pass


def wait_for(what, probe, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            found = probe()
        except Exception:  # the tree changes under us while windows come and go
            found = None
        if found:
            return found
        time.sleep(0.1)
    raise Failure('timed out waiting for ' + what)


def walk(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


class Program:
    """The program `brevia` started on a fresh application directory."""

    def __init__(self, build, prepare=None):
        self.build = build
        self.home = tempfile.mkdtemp(prefix='brevia-e2e-')
        subprocess.run([os.path.join(build, 'brevia-admin'), 'init'], check=True, timeout=60,
                       env=dict(os.environ, BREVIA_HOME=self.home), stdout=subprocess.DEVNULL)
        if prepare:
            prepare(self.home)
        env = dict(os.environ, BREVIA_HOME=self.home, QT_QPA_PLATFORM='xcb',
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1')
        self.proc = subprocess.Popen([os.path.join(build, 'brevia')], env=env)
        self.x = display.Display()

    def app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            a = desktop.getChildAtIndex(i)
            if a is not None and a.name == 'Brevia' and a.get_process_id() == self.proc.pid:
                return a
        return None

    def window(self, title, timeout=TIMEOUT):
        def probe():
            a = self.app()
            for i in range(a.childCount if a else 0):
                w = a.getChildAtIndex(i)
                if w is not None and w.name == title and w.getState().contains(pyatspi.STATE_SHOWING):
                    return w
            return None
        return wait_for('window "%s"' % title, probe, timeout)

    def gone(self, title, timeout=TIMEOUT):
        def probe():
            a = self.app()
            if a is None:
                return True
            for i in range(a.childCount):
                w = a.getChildAtIndex(i)
                if w is not None and w.name == title and w.getState().contains(pyatspi.STATE_SHOWING):
                    return False
            return True
        wait_for('window "%s" to close' % title, probe, timeout)

    def message(self, text, timeout=TIMEOUT):
        """The message box showing text; returns (box, its buttons by name)."""
        def probe():
            a = self.app()
            for i in range(a.childCount if a else 0):
                w = a.getChildAtIndex(i)
                if w is None or not w.getState().contains(pyatspi.STATE_SHOWING):
                    continue
                nodes = list(walk(w))
                if any(n.name == text and n.getRoleName() == 'label' for n in nodes):
                    return w, {n.name: n for n in nodes if n.getRole() == pyatspi.ROLE_PUSH_BUTTON}
            return None
        return wait_for('message "%s"' % text, probe, timeout)

    def exit_code(self, timeout=TIMEOUT):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure('the program did not end')

    def close_window(self, title):
        """What the close box does: WM_DELETE_WINDOW to the top-level window."""
        root = self.x.screen().root
        name_atom = self.x.intern_atom('_NET_WM_NAME')
        utf8 = self.x.intern_atom('UTF8_STRING')
        protocols = self.x.intern_atom('WM_PROTOCOLS')
        delete = self.x.intern_atom('WM_DELETE_WINDOW')

        def find(win):
            prop = win.get_full_property(name_atom, utf8)
            if prop is not None and prop.value.decode('utf-8', 'replace') == title:
                return win
            for child in win.query_tree().children:
                hit = find(child)
                if hit:
                    return hit
            return None
        win = wait_for('X window "%s"' % title, lambda: find(root))
        event = protocol.event.ClientMessage(window=win, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        win.send_event(event)
        self.x.flush()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.x.close()
        shutil.rmtree(self.home, ignore_errors=True)


def find(node, role, name=None):
    for n in walk(node):
        if n.getRole() == role and (name is None or n.name == name):
            return n
    raise Failure('no %s "%s"' % (pyatspi.Role(role), name))


def set_text(node, text):
    node.queryEditableText().setTextContents(text)


def press(button):
    button.queryAction().doAction(0)


def run(scenarios):
    build = sys.argv[1]
    failed = 0
    for scenario in scenarios:
        program = Program(build, getattr(scenario, 'prepare', None))
        started = time.monotonic()
        try:
            scenario(program)
            print('PASS %s (%.1f s)' % (scenario.__name__, time.monotonic() - started))
        except Exception as e:  # report every scenario, then fail the run
            failed += 1
            print('FAIL %s: %s' % (scenario.__name__, e))
        finally:
            program.stop()
    sys.exit(1 if failed else 0)
