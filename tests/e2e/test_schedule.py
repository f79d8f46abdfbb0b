"""An appointment entered today in the main window's schedule is in the
next login's agenda, on its page of today's appointments; the schedule's
grid fills the work area."""
import datetime
import sqlite3
import time

import pyatspi

from brevia_e2e import (AGENDA, MAIN, Failure, exit_program, log_in, menu_item, press, run, set_text, trigger,
                        wait_for, walk)

PASSWORD = '583920'


def agency(home):
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    db.execute("INSERT INTO tblCustomers (CustId, CustName, SUser) VALUES ('A001', '安家', 'Admin')")
    db.commit()
    db.close()


def deep(node):
    return walk(node, -8)


def showing(node, role, name):
    def probe():
        found = [n for n in deep(node) if n.getRole() == role and n.name == name
                 and n.getState().contains(pyatspi.STATE_SHOWING)]
        on = [n for n in found if n.getState().contains(pyatspi.STATE_ENABLED)]
        return (on or found or [None])[0]
    return wait_for('%s "%s"' % (pyatspi.Role(role), name), probe)


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def inside(outer, inner):
    ox, oy, ow, oh = outer
    x, y, w, h = inner
    return x >= ox and y >= oy and x + w <= ox + ow and y + h <= oy + oh


def cells(node):
    return {n.name for n in deep(node) if n.getRole() == pyatspi.ROLE_TABLE_CELL}


def typed(program, field, keys, shown):
    program.click(field)
    wait_for('the field focused', lambda: field.getState().contains(pyatspi.STATE_FOCUSED))
    program.key('Home')  # a masked field puts the cursor where it was clicked
    program.type_keys(keys)
    wait_for('"%s" shown' % shown, lambda: field.queryText().getText(0, -1) == shown)


def plans(program):
    db = sqlite3.connect(program.database())
    try:
        return db.execute("SELECT substr(PlanDate, 1, 10), PlanTime, Address, CustID, Linkman FROM tblPlan").fetchall()
    finally:
        db.close()


def an_appointment_today_is_in_the_next_agenda(program):
    today = datetime.date.today()
    log_in(program, 'Admin', PASSWORD)
    main = program.window(MAIN)
    trigger(menu_item(main, '客户业务管理', '日程安排'))
    showing(main, pyatspi.ROLE_PAGE_TAB, '日程安排列表')
    window = extents(main)
    grids = [n for n in deep(main) if n.getRole() in (pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE)
             and n.getState().contains(pyatspi.STATE_SHOWING)]
    grid = max(grids, key=lambda n: extents(n)[2] * extents(n)[3])
    if not inside(window, extents(grid)) or extents(grid)[2] < 400 or extents(grid)[3] < 200:
        raise Failure('schedule grid at %s in the window at %s' % (extents(grid), window))
    press(showing(main, pyatspi.ROLE_PUSH_BUTTON, '新增'))
    day = '%d-%d-%d' % (today.year, today.month, today.day)
    typed(program, showing(main, pyatspi.ROLE_TEXT, '日    期：'), day, day)
    typed(program, showing(main, pyatspi.ROLE_TEXT, '时    间：'), '093000', '09:30:00')
    set_text(showing(main, pyatspi.ROLE_TEXT, '地    点：'), '海淀区中关村')
    combo = showing(main, pyatspi.ROLE_COMBO_BOX, '客    户：')
    trigger(combo)

    def entry():
        for n in walk(combo):
            if n.getRole() == pyatspi.ROLE_LIST_ITEM and n.name == '安家' \
                    and n.getState().contains(pyatspi.STATE_SHOWING):
                return n
        return None
    program.click(wait_for('entry "安家"', entry))
    time.sleep(0.5)
    set_text(showing(main, pyatspi.ROLE_TEXT, '联 系 人：'), '安先生')
    press(showing(main, pyatspi.ROLE_PUSH_BUTTON, '保存'))
    wait_for('the appointment stored',
             lambda: plans(program) == [(today.isoformat(), '09:30:00', '海淀区中关村', 'A001', '安先生')])
    exit_program(program, main)

    program.start()
    log_in(program, 'Admin', PASSWORD, keep_agenda=True)
    agenda = program.window(AGENDA)
    press(showing(agenda, pyatspi.ROLE_PAGE_TAB, '今日日程安排'))
    wait_for('the appointment in the agenda', lambda: {'海淀区中关村', '安家', '09:30:00'} <= cells(agenda))
    press(showing(agenda, pyatspi.ROLE_PUSH_BUTTON, '>>下一步'))
    program.gone(AGENDA)
    main = program.window(MAIN)
    exit_program(program, main)


an_appointment_today_is_in_the_next_agenda.prepare = agency

run([an_appointment_today_is_in_the_next_agenda])
