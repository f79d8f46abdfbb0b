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
from gi.repository import GLib
from Xlib import X, display, protocol
from Xlib.ext import xtest

TIMEOUT = 20.0
LOGIN = 'Brevia2003(网络版)'
MAIN = 'Brevia2003（网络版）'
AGENDA = '今日事'


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
        self.proc = None
        self.start()
        self.x = display.Display()

    def start(self):
        """Starts the program (again, once the last run has ended) on the same directory."""
        if self.proc is not None and self.proc.poll() is None:
            raise Failure('the program is still running')
        env = dict(os.environ, BREVIA_HOME=self.home, QT_QPA_PLATFORM='xcb',
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1')
        self.proc = subprocess.Popen([os.path.join(self.build, 'brevia')], env=env)

    def database(self):
        """The SQLite file the program works on, as brevia-admin init made it."""
        return os.path.join(self.home, 'Data', 'HKP30.hdb')

    def app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            a = desktop.getChildAtIndex(i)
            if a is not None and a.name == 'Brevia' and a.get_process_id() == self.proc.pid:
                return a
        return None

    def showing_window(self, title):
        a = self.app()
        for i in range(a.childCount if a else 0):
            w = a.getChildAtIndex(i)
            if w is not None and w.name == title and w.getState().contains(pyatspi.STATE_SHOWING):
                return w
        return None

    def window(self, title, timeout=TIMEOUT):
        return wait_for('window "%s"' % title, lambda: self.showing_window(title), timeout)

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

    def click(self, node, dx=None):
        """A real mouse click in the middle of node, or dx pixels from its left
        edge, for what AT-SPI cannot do (choosing an item of a drop-down list)."""
        x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        xtest.fake_input(self.x, X.MotionNotify, x=x + (w // 2 if dx is None else dx), y=y + h // 2)
        xtest.fake_input(self.x, X.ButtonPress, 1)
        xtest.fake_input(self.x, X.ButtonRelease, 1)
        self.x.sync()

    def choose(self, combo, item):
        """Opens a drop-down list and clicks its item, as a user does."""
        self.click(combo)

        def shown():
            for n in walk(combo):
                if (n.getRole() == pyatspi.ROLE_LIST_ITEM and n.name == item
                        and n.getState().contains(pyatspi.STATE_SHOWING)):
                    return n
            return None
        self.click(wait_for('item "%s" in the open list' % item, shown))
        wait_for('"%s" chosen' % item, lambda: combo.name == item)

    def type_keys(self, text):
        """Key presses as a keyboard sends them, to the widget with the focus
        (digits, letters and a few signs: what a date or a code needs)."""
        from Xlib import XK
        names = {'-': 'minus', '/': 'slash', '.': 'period', ':': 'colon', ' ': 'space'}
        for ch in text:
            code = self.x.keysym_to_keycode(XK.string_to_keysym(names.get(ch, ch)))
            if not code:
                raise Failure('no key for "%s"' % ch)
            xtest.fake_input(self.x, X.KeyPress, code)
            xtest.fake_input(self.x, X.KeyRelease, code)
            self.x.sync()
            time.sleep(0.02)

    def key(self, name):
        """One named key (BackSpace, Tab, Return, End) pressed and released."""
        from Xlib import XK
        code = self.x.keysym_to_keycode(XK.string_to_keysym(name))
        xtest.fake_input(self.x, X.KeyPress, code)
        xtest.fake_input(self.x, X.KeyRelease, code)
        self.x.sync()

    def showing(self):
        """The windows on screen with their labels, to tell what a failed wait met instead."""
        a = self.app()
        seen = []
        for i in range(a.childCount if a else 0):
            w = a.getChildAtIndex(i)
            if w is not None and w.getState().contains(pyatspi.STATE_SHOWING):
                labels = [n.name for n in walk(w) if n.getRole() == pyatspi.ROLE_LABEL and n.name]
                seen.append('"%s" %s' % (w.name, labels[:8]))
        return '; '.join(seen) or 'no window'

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


def extents(node):
    """(x, y, width, height) of node on the screen."""
    return tuple(node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS))


def inside(inner, outer):
    x, y, w, h = inner
    ox, oy, ow, oh = outer
    return x >= ox and y >= oy and x + w <= ox + ow and y + h <= oy + oh


def overlap(a, b):
    ax, ay, aw, ah = a
    bx, by, bw, bh = b
    return ax < bx + bw and bx < ax + aw and ay < by + bh and by < ay + ah


def labels(node):
    return [n.name for n in walk(node) if n.getRole() == pyatspi.ROLE_LABEL]


def set_text(node, text):
    node.queryEditableText().setTextContents(text)


def press(button):
    button.queryAction().doAction(0)


def trigger(node):
    """Runs node's first action without waiting for it to end. A menu item
    answers only after its action has run, i.e. after the modal window it
    opens has closed; so the answer is not waited for, and the scenario
    watches for the window instead."""
    pyatspi.setTimeout(250, 250)
    try:
        node.queryAction().doAction(0)
    except GLib.GError:
        pass
    finally:
        pyatspi.setTimeout(800, 15000)  # the library's own values


def menu_item(main, menu, item):
    """The item of one of the main window's menus; menu is its caption without the accelerator."""
    bar = find(main, pyatspi.ROLE_MENU_BAR)
    for i in range(bar.childCount):
        top = bar.getChildAtIndex(i)
        if top.name.split('(')[0] == menu:
            return find(top, pyatspi.ROLE_MENU_ITEM, item)
    raise Failure('no menu "%s"' % menu)


def enabled(node):
    return node.getState().contains(pyatspi.STATE_ENABLED)


def log_in(program, user, password, keep_agenda=False):
    dlg = program.window(LOGIN)
    combo = find(dlg, pyatspi.ROLE_COMBO_BOX)
    set_text(find(combo, pyatspi.ROLE_TEXT), user)
    set_text(find(dlg, pyatspi.ROLE_PASSWORD_TEXT), password)
    press(find(dlg, pyatspi.ROLE_PUSH_BUTTON, '确定'))
    # A login that succeeds shows the day's agenda first; ">>下一步" closes it.
    # A refused one shows a message instead, which the scenario answers.
    def next_screen():
        for title in (AGENDA, '系统提示', MAIN):
            if program.showing_window(title):
                return title
        return None
    if wait_for('the agenda, a message or the main window', next_screen) == AGENDA and not keep_agenda:
        today = program.window(AGENDA)
        press(find(today, pyatspi.ROLE_PUSH_BUTTON, '>>下一步'))
        program.gone(AGENDA)
    return dlg


def button(buttons, prefix):
    for name, b in buttons.items():
        if name.startswith(prefix):
            return b
    raise Failure('no button "%s" among %s' % (prefix, sorted(buttons)))


def answer(program, text, choice='确定', caption='系统提示'):
    """Waits for the message box showing text and presses one of its buttons."""
    box, buttons = program.message(text)
    if caption is not None and box.name != caption:
        raise Failure('caption "%s" of "%s"' % (box.name, text))
    press(button(buttons, choice))
    program.gone(box.name)


def exit_program(program, main):
    trigger(menu_item(main, '系统设置', '退出系统 (X)'))
    answer(program, '真的要退出Brevia吗？', '是', '系统退出确认')
    code = program.exit_code()
    if code != 0:
        raise Failure('exit code %d' % code)


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
            try:
                print('  on screen: ' + program.showing())
            except Exception:  # the program may be gone
                pass
        finally:
            program.stop()
    sys.exit(1 if failed else 0)


# ---- helpers of the module scenarios -------------------------------------

def deep(node):
    """Every node below node: a module's widgets sit deeper inside the main
    window than a dialog's."""
    return walk(node, -8)


def on_screen(node, role, name):
    """The first node of role and name that shows, an enabled one where
    several have the same caption (the list and the detail page each have a
    "新增")."""
    def probe():
        found = [n for n in deep(node) if n.getRole() == role and n.name == name
                 and n.getState().contains(pyatspi.STATE_SHOWING)]
        on = [n for n in found if n.getState().contains(pyatspi.STATE_ENABLED)]
        return (on or found or [None])[0]
    return wait_for('%s "%s"' % (pyatspi.Role(role), name), probe)


def cells(node, showing_only=True):
    """The texts of the table cells below node; with showing_only False also
    those of columns scrolled out of sight."""
    return {n.name for n in deep(node) if n.getRole() == pyatspi.ROLE_TABLE_CELL
            and (not showing_only or n.getState().contains(pyatspi.STATE_SHOWING))}


def choose_entry(program, combo, item):
    """Opens a drop-down through its action (the field may lie below the
    fold of a scrolled form) and clicks its entry as a user does."""
    trigger(combo)

    def entry():
        for n in walk(combo):
            if n.getRole() == pyatspi.ROLE_LIST_ITEM and n.name == item \
                    and n.getState().contains(pyatspi.STATE_SHOWING):
                return n
        return None
    program.click(wait_for('entry "%s" in the open list' % item, entry))
    time.sleep(0.5)  # the list folds away before the next click


def type_into(program, field, keys, shown):
    """A click into the field, Home (a masked field puts the cursor where it
    was clicked), key presses, and the text the field then shows."""
    program.click(field)
    wait_for('the field focused', lambda: field.getState().contains(pyatspi.STATE_FOCUSED))
    program.key('Home')
    program.type_keys(keys)
    wait_for('"%s" shown' % shown, lambda: field.queryText().getText(0, -1) == shown)


def check_layout(main, captions=(), centre=None):
    """The largest grid on screen (or the centre given, such as a chart)
    fills a usable part of the window, and the commands named lie inside it."""
    window = extents(main)
    if centre is not None:
        grids = [centre]
    else:
        grids = [n for n in deep(main) if n.getRole() in (pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE)
                 and n.getState().contains(pyatspi.STATE_SHOWING)]
    if not grids:
        raise Failure('no grid showing')
    grid = max(grids, key=lambda n: extents(n)[2] * extents(n)[3])
    if not inside(extents(grid), window) or extents(grid)[2] < 400 or extents(grid)[3] < 200:
        raise Failure('grid at %s in the window at %s' % (extents(grid), window))
    for caption in captions:
        b = on_screen(main, pyatspi.ROLE_PUSH_BUTTON, caption)
        if not inside(extents(b), window):
            raise Failure('"%s" at %s outside the window at %s' % (caption, extents(b), window))


def named(node, name):
    """The first showing node of that accessible name, whatever its role."""
    return wait_for('"%s"' % name, lambda: next((n for n in deep(node) if n.name == name
                                                 and n.getState().contains(pyatspi.STATE_SHOWING)), None))


def key_until(program, target, key, what, probe, tries=3):
    """Clicks target and presses key until probe holds: on a loaded machine
    a key sent right after the click can reach the window before it has
    taken the focus, and nothing happens."""
    for attempt in range(tries):
        program.click(target)
        program.key(key)
        try:
            return wait_for(what, probe, TIMEOUT / tries)
        except Failure:
            if attempt == tries - 1:
                raise
