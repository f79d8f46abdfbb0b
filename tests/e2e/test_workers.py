"""A domestic worker recorded in the worker window and placed with a
customer through the customer drop-down is listed on the customer window's
"受聘员工" page; the worker and unit windows show their grids and toolbars
inside the main window at a usable size."""
import sqlite3

import pyatspi

from brevia_e2e import (MAIN, cells, check_layout, choose_entry, exit_program, log_in, menu_item, on_screen,
                        press, run, set_text, trigger, wait_for)

PASSWORD = '583920'


def agency(home):
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    db.execute("INSERT INTO tblCustomers (CustId, CustName, CreateDate, SUser) "
               "VALUES ('W001', '王家', '2026-11-02', 'Admin')")
    db.execute("INSERT INTO tblShusong (ShusongID, ShusongName, Manager) VALUES ('S1', '阳光劳务', '王经理')")
    db.commit()
    db.close()
















def a_placed_worker_is_listed_with_the_customer(program):
    log_in(program, 'Admin', PASSWORD)
    main = program.window(MAIN)

    trigger(menu_item(main, '内部管理', '输送单位'))
    on_screen(main, pyatspi.ROLE_PAGE_TAB, '输送单位列表')
    wait_for('S1 listed', lambda: 'S1' in cells(main))
    check_layout(main, ('新增', '修改', '删除', '刷新', '查询', '打印'))

    trigger(menu_item(main, '内部管理', '员工档案'))
    on_screen(main, pyatspi.ROLE_PAGE_TAB, '员工档案列表')
    check_layout(main, ('新增', '修改', '删除', '刷新', '查询', '打印'))
    press(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '新增'))
    on_screen(main, pyatspi.ROLE_PAGE_TAB, '员工档案详细档案')
    set_text(on_screen(main, pyatspi.ROLE_TEXT, '员工编号：'), 'E2EW1')
    set_text(on_screen(main, pyatspi.ROLE_TEXT, '姓    名：'), '刘阿姨')
    choose_entry(program, on_screen(main, pyatspi.ROLE_COMBO_BOX, '受聘客户：'), 'W001')
    choose_entry(program, on_screen(main, pyatspi.ROLE_COMBO_BOX, '输送单位：'), '阳光劳务')
    press(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '保存'))

    def stored():
        db = sqlite3.connect(program.database())
        try:
            return db.execute("SELECT CustID, ShusongID FROM tblYuangong WHERE YuangongID = 'E2EW1'").fetchall()
        finally:
            db.close()
    wait_for('the worker stored with W001', lambda: stored() == [('W001', 'S1')])

    trigger(menu_item(main, '客户业务管理', '客户资料'))
    on_screen(main, pyatspi.ROLE_PAGE_TAB, '客户资料列表')
    wait_for('W001 listed', lambda: 'W001' in cells(main))
    press(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '修改'))
    press(on_screen(main, pyatspi.ROLE_PAGE_TAB, '受聘员工'))
    wait_for('E2EW1 on the customer\'s worker page', lambda: 'E2EW1' in cells(main))
    press(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '放弃'))
    exit_program(program, main)


a_placed_worker_is_listed_with_the_customer.prepare = agency

run([a_placed_worker_is_listed_with_the_customer])
