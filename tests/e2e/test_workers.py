"""A domestic worker recorded in the worker window and placed with a
customer through the customer drop-down is listed on the customer window's
"受聘员工" page; the worker and unit windows show their grids and toolbars
inside the main window at a usable size."""
import sqlite3
import time

import pyatspi

from brevia_e2e import MAIN, Failure, exit_program, log_in, menu_item, press, run, set_text, trigger, wait_for, walk

PASSWORD = '583920'


def agency(home):
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    db.execute("INSERT INTO tblCustomers (CustId, CustName, CreateDate, SUser) "
               "VALUES ('W001', '王家', '2026-11-02', 'Admin')")
    db.execute("INSERT INTO tblShusong (ShusongID, ShusongName, Manager) VALUES ('S1', '阳光劳务', '王经理')")
    db.commit()
    db.close()


def deep(node):
    return walk(node, -8)


def showing(node, role, name):
    """The first enabled node of role and name that is on screen."""
    def probe():
        found = [n for n in deep(node) if n.getRole() == role and n.name == name
                 and n.getState().contains(pyatspi.STATE_SHOWING)]
        on = [n for n in found if n.getState().contains(pyatspi.STATE_ENABLED)]
        return (on or found or [None])[0]
    return wait_for('%s "%s"' % (pyatspi.Role(role), name), probe)


def cells(main):
    return {n.name for n in deep(main) if n.getRole() == pyatspi.ROLE_TABLE_CELL
            and n.getState().contains(pyatspi.STATE_SHOWING)}


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def inside(outer, inner):
    ox, oy, ow, oh = outer
    x, y, w, h = inner
    return x >= ox and y >= oy and x + w <= ox + ow and y + h <= oy + oh


def choose(program, combo, item):
    trigger(combo)

    def entry():
        for n in walk(combo):
            if n.getRole() == pyatspi.ROLE_LIST_ITEM and n.name == item \
                    and n.getState().contains(pyatspi.STATE_SHOWING):
                return n
        return None
    program.click(wait_for('entry "%s" in the open list' % item, entry))
    time.sleep(0.5)


def check_layout(main, captions):
    """The largest grid on screen and the toolbar's commands lie inside the window."""
    window = extents(main)
    grids = [n for n in deep(main) if n.getRole() in (pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE)
             and n.getState().contains(pyatspi.STATE_SHOWING)]
    if not grids:
        raise Failure('no grid showing')
    grid = max(grids, key=lambda n: extents(n)[2] * extents(n)[3])
    if not inside(window, extents(grid)) or extents(grid)[2] < 400 or extents(grid)[3] < 200:
        raise Failure('grid at %s in the window at %s' % (extents(grid), window))
    for caption in captions:
        b = showing(main, pyatspi.ROLE_PUSH_BUTTON, caption)
        if not inside(window, extents(b)):
            raise Failure('"%s" at %s outside the window at %s' % (caption, extents(b), window))


def a_placed_worker_is_listed_with_the_customer(program):
    log_in(program, 'Admin', PASSWORD)
    main = program.window(MAIN)

    trigger(menu_item(main, '内部管理', '输送单位'))
    showing(main, pyatspi.ROLE_PAGE_TAB, '输送单位列表')
    wait_for('S1 listed', lambda: 'S1' in cells(main))
    check_layout(main, ('新增', '修改', '删除', '刷新', '查询', '打印'))

    trigger(menu_item(main, '内部管理', '员工档案'))
    showing(main, pyatspi.ROLE_PAGE_TAB, '员工档案列表')
    check_layout(main, ('新增', '修改', '删除', '刷新', '查询', '打印'))
    press(showing(main, pyatspi.ROLE_PUSH_BUTTON, '新增'))
    showing(main, pyatspi.ROLE_PAGE_TAB, '员工档案详细档案')
    set_text(showing(main, pyatspi.ROLE_TEXT, '员工编号：'), 'E2EW1')
    set_text(showing(main, pyatspi.ROLE_TEXT, '姓    名：'), '刘阿姨')
    choose(program, showing(main, pyatspi.ROLE_COMBO_BOX, '受聘客户：'), 'W001')
    choose(program, showing(main, pyatspi.ROLE_COMBO_BOX, '输送单位：'), '阳光劳务')
    press(showing(main, pyatspi.ROLE_PUSH_BUTTON, '保存'))

    def stored():
        db = sqlite3.connect(program.database())
        try:
            return db.execute("SELECT CustID, ShusongID FROM tblYuangong WHERE YuangongID = 'E2EW1'").fetchall()
        finally:
            db.close()
    wait_for('the worker stored with W001', lambda: stored() == [('W001', 'S1')])

    trigger(menu_item(main, '客户业务管理', '客户资料'))
    showing(main, pyatspi.ROLE_PAGE_TAB, '客户资料列表')
    wait_for('W001 listed', lambda: 'W001' in cells(main))
    press(showing(main, pyatspi.ROLE_PUSH_BUTTON, '修改'))
    press(showing(main, pyatspi.ROLE_PAGE_TAB, '受聘员工'))
    wait_for('E2EW1 on the customer\'s worker page', lambda: 'E2EW1' in cells(main))
    press(showing(main, pyatspi.ROLE_PUSH_BUTTON, '放弃'))
    exit_program(program, main)


a_placed_worker_is_listed_with_the_customer.prepare = agency

run([a_placed_worker_is_listed_with_the_customer])
