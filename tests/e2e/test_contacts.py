"""A contact made from the customer window belongs to the user who made
it: the contact module lists it for him, not for another ordinary user; the
module's grid and toolbar show inside the main window."""
import sqlite3

import pyatspi

from brevia_e2e import (MAIN, Failure, cells, check_layout, exit_program, log_in, menu_item, on_screen, press, run,
                        set_text, trigger, wait_for)

PASSWORD = '583920'


def agency(home):
    """Two ordinary users with the customer and contact rights, and one
    customer of wang's."""
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    for user, name in (('wang', '王芳'), ('li', '李强')):
        db.execute("INSERT INTO tblUser (UserID, UserName, Password, State, Sys) "
                   "SELECT ?, ?, Password, 'Yes', 0 FROM tblUser WHERE UserID = 'Admin'", (user, name))
        for right in ('301', '302'):
            db.execute("INSERT INTO tblUserRight (UserID, RightID, \"Insert\", Modify, \"Delete\", Query, Print) "
                       "VALUES (?, ?, 1, 1, 1, 1, 1)", (user, right))
    db.execute("INSERT INTO tblCustomers (CustId, CustName, CreateDate, SUser) "
               "VALUES ('W001', '王家', '2026-11-02', 'wang')")
    db.commit()
    db.close()












def open_contacts(program, main):
    trigger(menu_item(main, '客户业务管理', '联系人资料'))
    on_screen(main, pyatspi.ROLE_PAGE_TAB, '联系人资料列表')


def a_contact_belongs_to_its_creator(program):
    log_in(program, 'wang', PASSWORD)
    main = program.window(MAIN)
    trigger(menu_item(main, '客户业务管理', '客户资料'))
    on_screen(main, pyatspi.ROLE_PAGE_TAB, '客户资料列表')
    wait_for('W001 listed', lambda: 'W001' in cells(main))
    press(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '修改'))
    press(on_screen(main, pyatspi.ROLE_PAGE_TAB, '联系人资料'))
    trigger(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '新增联系人'))
    dlg = program.window('联系人')
    set_text(on_screen(dlg, pyatspi.ROLE_TEXT, '联系人代码：'), 'E2E1')
    set_text(on_screen(dlg, pyatspi.ROLE_TEXT, '联系人姓名：'), '王小二')
    press(on_screen(dlg, pyatspi.ROLE_PUSH_BUTTON, '保存'))

    def stored():
        db = sqlite3.connect(program.database())
        try:
            return db.execute("SELECT CustID, SUser FROM tblLinkmans WHERE LinkmanID = 'E2E1'").fetchall()
        finally:
            db.close()
    wait_for('the contact stored for wang', lambda: stored() == [('W001', 'wang')])
    press(on_screen(dlg, pyatspi.ROLE_PUSH_BUTTON, '关闭'))
    program.gone('联系人')

    open_contacts(program, main)
    wait_for('E2E1 in wang\'s contact list', lambda: 'E2E1' in cells(main))
    check_layout(main, ('新增', '修改', '删除', '刷新', '查询', '打印', 'Email地址导出'))
    exit_program(program, main)

    program.start()
    log_in(program, 'li', PASSWORD)
    main = program.window(MAIN)
    open_contacts(program, main)
    try:
        wait_for('E2E1 listed for li', lambda: 'E2E1' in cells(main), timeout=5)
    except Failure:
        exit_program(program, main)
        return
    raise Failure('li sees wang\'s contact E2E1')


a_contact_belongs_to_its_creator.prepare = agency

run([a_contact_belongs_to_its_creator])
