"""A clerk whose customer right holds only the Query flag tries to change
a customer the way a person would: real clicks on the detail page's tab
and on the name field, real key presses, a click on another customer in
the list. Nothing is stored, the name field takes no typing, and the
program goes on."""
import sqlite3
import time

import pyatspi

from brevia_e2e import MAIN, Failure, exit_program, log_in, menu_item, on_screen, run, trigger

PASSWORD = '583920'


def agency(home):
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    db.execute("INSERT INTO tblUser (UserID, UserName, Password, State, Sys) "
               "SELECT 'zhao', '赵敏', Password, 'Yes', 0 FROM tblUser WHERE UserID = 'Admin'")
    db.execute("INSERT INTO tblUserRight (UserID, RightID, \"Insert\", Modify, \"Delete\", Query, Print) "
               "VALUES ('zhao', '301', 0, 0, 0, 1, 1)")
    for code, name in (('Z001', '赵家'), ('Z002', '钱家')):
        db.execute("INSERT INTO tblCustomers (CustId, CustName, SUser) VALUES (?, ?, 'zhao')", (code, name))
    db.commit()
    db.close()


def names(program):
    db = sqlite3.connect(program.database())
    try:
        return db.execute("SELECT CustId, CustName FROM tblCustomers ORDER BY CustId").fetchall()
    finally:
        db.close()


def a_query_only_clerk_changes_nothing(program):
    before = names(program)
    log_in(program, 'zhao', PASSWORD)
    main = program.window(MAIN)
    trigger(menu_item(main, '客户业务管理', '客户资料'))
    program.click(on_screen(main, pyatspi.ROLE_TABLE_CELL, 'Z001'))
    program.click(on_screen(main, pyatspi.ROLE_PAGE_TAB, '客户详细资料'))
    field = on_screen(main, pyatspi.ROLE_TEXT, '客户名称：')
    if field.getState().contains(pyatspi.STATE_ENABLED):
        raise Failure('the name field takes typing without the Modify flag')
    program.click(field)
    program.type_keys('xyz')
    program.key('Return')
    time.sleep(0.5)
    if 'xyz' in field.queryText().getText(0, -1):
        raise Failure('typing reached the name field')
    program.click(on_screen(main, pyatspi.ROLE_PAGE_TAB, '客户资料列表'))
    program.click(on_screen(main, pyatspi.ROLE_TABLE_CELL, 'Z002'))
    time.sleep(0.5)
    if names(program) != before:
        raise Failure('stored: %s' % names(program))
    exit_program(program, main)
    if names(program) != before:
        raise Failure('stored at exit: %s' % names(program))


a_query_only_clerk_changes_nothing.prepare = agency

run([a_query_only_clerk_changes_nothing])
