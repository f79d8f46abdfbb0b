"""Analyses end to end. The customer-level analysis opened from the menu
counts the customers per level in its list and draws the pie beside it;
the time analysis's year dialog comes up on the current year and fills the
list with that year's figures; both windows keep chart, list and buttons
inside the main window without overlapping."""
import datetime

import pyatspi

from brevia_e2e import (MAIN, Failure, check_layout, deep, exit_program, extents, inside, log_in, menu_item, named,
                        on_screen, overlap, press, run, trigger, wait_for)

PASSWORD = '583920'


def agency(home):
    import sqlite3
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    db.execute("INSERT INTO tblCustLevel (LevelID, LevelName, LevelColor, Memo) VALUES ('L1', '重要客户', 255, '-')")
    db.execute("INSERT INTO tblCustLevel (LevelID, LevelName, LevelColor, Memo) VALUES ('L2', '一般客户', 16711680, '-')")
    for cust, name, level in (('C1', '张家', 'L1'), ('C2', '李家', 'L1'), ('C3', '王家', 'L2')):
        db.execute("INSERT INTO tblCustomers (CustId, CustName, LevelID, CreateDate, SUser) "
                   "VALUES (?, ?, ?, datetime('now', 'localtime', '-3 days', 'start of day'), 'Admin')",
                   (cust, name, level))
    db.execute("INSERT INTO tblOperates (OperateID, OperateTitle, CustID, InOrOut, RMB, CreateDate, SUser) "
               "VALUES ('HT-1', '月嫂服务', 'C1', '收款', 12000000, "
               "datetime('now', 'localtime', '-2 days', 'start of day'), 'Admin')")
    db.commit()
    db.close()


def list_items(node):
    return {n.name for n in deep(node) if n.getRole() == pyatspi.ROLE_LIST_ITEM}


def chart_beside_list(main, caption, buttons):
    chart = named(main, caption + '图表')
    check_layout(main, buttons, centre=chart)
    lists = [n for n in deep(main) if n.getRole() == pyatspi.ROLE_LIST and n.name == '列表'
             and n.getState().contains(pyatspi.STATE_SHOWING)]
    if not lists:
        raise Failure('no list panel beside the chart')
    if not inside(extents(lists[0]), extents(main)) or overlap(extents(lists[0]), extents(chart)):
        raise Failure('list at %s, chart at %s, window at %s' % (extents(lists[0]), extents(chart), extents(main)))


def levels_and_year(program):
    log_in(program, 'Admin', PASSWORD)
    main = program.window(MAIN)
    trigger(menu_item(main, '图表分析', '客户级别分析'))
    press(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '刷新'))
    wait_for('the levels listed', lambda: {'客户数量总计： 3 个', '  重要客户：2 个', '  一般客户：1 个'} <= list_items(main))
    chart_beside_list(main, '客户级别分析', ('刷新', '关闭'))

    trigger(menu_item(main, '图表分析', '按时间分析'))
    press(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '查询'))
    dlg = program.window('按年度业务分析')
    year = str(datetime.date.today().year)
    combo = next(n for n in deep(dlg) if n.getRole() == pyatspi.ROLE_COMBO_BOX)
    texts = [n for n in deep(combo) if n.getRole() == pyatspi.ROLE_TEXT]
    if not texts or texts[0].queryText().getText(0, -1) != year:
        raise Failure('the year dialog does not show %s' % year)
    press(next(n for n in deep(dlg) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == '确定'))
    program.gone('按年度业务分析')
    wait_for('the year listed', lambda: year + '年度新增客户数量： 3 个' in list_items(main))
    chart_beside_list(main, '按时间分析', ('查询', '关闭'))
    press(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '关闭'))
    exit_program(program, main)


levels_and_year.prepare = agency

run([levels_and_year])
