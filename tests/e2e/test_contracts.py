"""A contract of an ordinary user's with two money lines: the contract
module lists it for him with its grid inside the main window, and the
receivables show what has come in and what is still owed, to the fen."""
import sqlite3

import pyatspi

from brevia_e2e import MAIN, Failure, exit_program, log_in, menu_item, run, trigger, wait_for, walk

PASSWORD = '583920'


def agency(home):
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    db.execute("INSERT INTO tblUser (UserID, UserName, Password, State, Sys) "
               "SELECT 'wang', '王芳', Password, 'Yes', 0 FROM tblUser WHERE UserID = 'Admin'")
    for right in ('301', '304', '306'):
        db.execute("INSERT INTO tblUserRight (UserID, RightID, \"Insert\", Modify, \"Delete\", Query, Print) "
                   "VALUES ('wang', ?, 1, 1, 1, 1, 1)", (right,))
    db.execute("INSERT INTO tblCustomers (CustId, CustName, SUser) VALUES ('W001', '王家', 'wang')")
    db.execute("INSERT INTO tblCurrencyRate (CurrID, CurrName, Rate, Memo) VALUES ('USD', '美元', 8.27, '-')")
    # Amounts are kept in ten-thousandths: 100 dollars, 827 yuan; lines of 300.10 and 200.
    db.execute("INSERT INTO tblOperates (OperateID, OperateTitle, CustID, InOrOut, SUser, CurrID, CompactAmount, RMB, "
               "EndDate) VALUES ('HT-1', '月嫂服务', 'W001', '收款', 'wang', 'USD', 1000000, 8270000, "
               "'2026-12-20 00:00:00')")
    for no, rmb in ((1, 3001000), (2, 2000000)):
        db.execute("INSERT INTO tblOperateDetail (OperateID, DetailNo, DTitle, InOut, RMB) "
                   "VALUES ('HT-1', ?, '款', '收入', ?)", (no, rmb))
    db.commit()
    db.close()


def deep(node):
    return walk(node, -8)


def cells(main):
    return {n.name for n in deep(main) if n.getRole() == pyatspi.ROLE_TABLE_CELL
            and n.getState().contains(pyatspi.STATE_SHOWING)}


def every_cell(main):
    """Also the cells of columns scrolled out of sight."""
    return {n.name for n in deep(main) if n.getRole() == pyatspi.ROLE_TABLE_CELL}


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def inside(outer, inner):
    ox, oy, ow, oh = outer
    x, y, w, h = inner
    return x >= ox and y >= oy and x + w <= ox + ow and y + h <= oy + oh


def grid_fills_the_window(main):
    window = extents(main)
    grids = [n for n in deep(main) if n.getRole() in (pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE)
             and n.getState().contains(pyatspi.STATE_SHOWING)]
    if not grids:
        raise Failure('no grid showing')
    grid = max(grids, key=lambda n: extents(n)[2] * extents(n)[3])
    if not inside(window, extents(grid)) or extents(grid)[2] < 400 or extents(grid)[3] < 200:
        raise Failure('grid at %s in the window at %s' % (extents(grid), window))


def contracts_and_receivables(program):
    log_in(program, 'wang', PASSWORD)
    main = program.window(MAIN)
    trigger(menu_item(main, '客户业务管理', '业务资料'))
    wait_for('HT-1 listed', lambda: {'HT-1', '王家', '美元'} <= cells(main))
    grid_fills_the_window(main)
    trigger(menu_item(main, '客户业务管理', '应收账款'))
    wait_for('receivables of HT-1', lambda: {'HT-1', '¥827.00', '¥500.10', '¥326.90'} <= every_cell(main))
    grid_fills_the_window(main)
    exit_program(program, main)


contracts_and_receivables.prepare = agency

run([contracts_and_receivables])
