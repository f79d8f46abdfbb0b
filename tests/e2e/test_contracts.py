"""Contracts end to end. A contract entered in US dollars from the customer
window, with two money lines entered in the contract window, shows in the
receivables with what has come in and what is still owed, to the fen; and
a stored contract of an ordinary user's is listed for him with its grid
inside the main window."""
import sqlite3

import pyatspi

from brevia_e2e import (MAIN, cells, check_layout, choose_entry, exit_program, log_in, menu_item, on_screen, press,
                        run, set_text, trigger, type_into, wait_for)

PASSWORD = '583920'


def dictionaries(db):
    db.execute("INSERT INTO tblCurrencyRate (CurrID, CurrName, Rate, Memo) VALUES ('USD', '美元', 8.27, '-')")
    db.execute("INSERT INTO tblOperateOrigin (OriginID, OriginName, Memo) VALUES ('O1', '客户来电', '-')")
    db.execute("INSERT INTO tblOperateType (TypeID, TypeName, Memo) VALUES ('T1', '月嫂服务', '-')")
    db.execute("INSERT INTO tblOperateState (OperateStateID, OperateStateName, Memo) VALUES ('S1', '服务中', '-')")


def agency(home):
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    db.execute("INSERT INTO tblUser (UserID, UserName, Password, State, Sys) "
               "SELECT 'wang', '王芳', Password, 'Yes', 0 FROM tblUser WHERE UserID = 'Admin'")
    for right in ('301', '304', '306'):
        db.execute("INSERT INTO tblUserRight (UserID, RightID, \"Insert\", Modify, \"Delete\", Query, Print) "
                   "VALUES ('wang', ?, 1, 1, 1, 1, 1)", (right,))
    db.execute("INSERT INTO tblCustomers (CustId, CustName, SUser) VALUES ('W001', '王家', 'wang')")
    dictionaries(db)
    # Amounts are kept in ten-thousandths: 100 dollars, 827 yuan; lines of 300.10 and 200.
    db.execute("INSERT INTO tblOperates (OperateID, OperateTitle, CustID, InOrOut, SUser, CurrID, CompactAmount, RMB, "
               "EndDate) VALUES ('HT-1', '月嫂服务', 'W001', '收款', 'wang', 'USD', 1000000, 8270000, "
               "'2026-12-20 00:00:00')")
    for no, rmb in ((1, 3001000), (2, 2000000)):
        db.execute("INSERT INTO tblOperateDetail (OperateID, DetailNo, DTitle, InOut, RMB) "
                   "VALUES ('HT-1', ?, '款', '收入', ?)", (no, rmb))
    db.commit()
    db.close()


def contracts_and_receivables(program):
    log_in(program, 'wang', PASSWORD)
    main = program.window(MAIN)
    trigger(menu_item(main, '客户业务管理', '业务资料'))
    wait_for('HT-1 listed', lambda: {'HT-1', '王家', '美元'} <= cells(main))
    check_layout(main)
    # The detail page shows the contract's money lines from the first look.
    press(on_screen(main, pyatspi.ROLE_PAGE_TAB, '业务（合同）详细资料'))
    wait_for('the lines of HT-1', lambda: {'款', '收入'} <= cells(main))
    press(on_screen(main, pyatspi.ROLE_PAGE_TAB, '业务（合同）资料列表'))
    trigger(menu_item(main, '客户业务管理', '应收账款'))
    wait_for('receivables of HT-1', lambda: {'HT-1', '¥827.00', '¥500.10', '¥326.90'} <= cells(main, showing_only=False))
    check_layout(main)
    exit_program(program, main)


contracts_and_receivables.prepare = agency


def admin_agency(home):
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    db.execute("INSERT INTO tblCustomers (CustId, CustName, SUser) VALUES ('A001', '安家', 'Admin')")
    dictionaries(db)
    db.commit()
    db.close()


def rows(program, sql):
    db = sqlite3.connect(program.database())
    try:
        return db.execute(sql).fetchall()
    finally:
        db.close()


def a_contract_entered_from_the_customer_window(program):
    log_in(program, 'Admin', PASSWORD)
    main = program.window(MAIN)
    trigger(menu_item(main, '客户业务管理', '客户资料'))
    wait_for('A001 listed', lambda: 'A001' in cells(main))
    press(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '修改'))
    press(on_screen(main, pyatspi.ROLE_PAGE_TAB, '业务（合同）资料'))
    trigger(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '新增业务'))
    dlg = program.window('业务（合同）资料')
    set_text(on_screen(dlg, pyatspi.ROLE_TEXT, '业务编码：'), 'HT-9')
    set_text(on_screen(dlg, pyatspi.ROLE_TEXT, '业务标题：'), '月嫂一个月')
    for label, text in (('建档时间：', '2026-12-1'), ('签约日期：', '2026-12-2'), ('截止日期：', '2027-1-2')):
        type_into(program, on_screen(dlg, pyatspi.ROLE_TEXT, label), text, text)
    for label, item in (('业务来源：', '客户来电'), ('业务类型：', '月嫂服务'), ('收付类型：', '收款'),
                        ('业务状态：', '服务中')):
        choose_entry(program, on_screen(dlg, pyatspi.ROLE_COMBO_BOX, label), item)
    type_into(program, on_screen(dlg, pyatspi.ROLE_TEXT, '合同金额：'), '100', '100')
    choose_entry(program, on_screen(dlg, pyatspi.ROLE_COMBO_BOX, '币别名称：'), '美元')
    wait_for('827 yuan shown', lambda: on_screen(dlg, pyatspi.ROLE_TEXT, '折人民币：').queryText().getText(0, -1)
             == '¥827.00')
    # The linked customer follows the tick, and Enter on the box goes to it
    # while ticked, past it to the creation date while not.
    tick = on_screen(dlg, pyatspi.ROLE_CHECK_BOX, '该业务是否有相关联系客户')
    linked = on_screen(dlg, pyatspi.ROLE_COMBO_BOX, '联系客户：')
    created = on_screen(dlg, pyatspi.ROLE_TEXT, '建档时间：')
    for ticked, next_field in ((True, linked), (False, created)):
        program.click(tick, dx=8)  # on the box itself
        wait_for('the box ticked' if ticked else 'the box unticked',
                 lambda: tick.getState().contains(pyatspi.STATE_CHECKED) == ticked)
        wait_for('the linked customer %s' % ('enabled' if ticked else 'disabled'),
                 lambda: linked.getState().contains(pyatspi.STATE_ENABLED) == ticked)
        wait_for('the box focused', lambda: tick.getState().contains(pyatspi.STATE_FOCUSED))
        program.key('Return')
        wait_for('Enter moved on', lambda: next_field.getState().contains(pyatspi.STATE_FOCUSED))
    press(on_screen(dlg, pyatspi.ROLE_PUSH_BUTTON, '保存'))
    wait_for('the contract stored', lambda: rows(program, "SELECT CustID, SUser, RMB FROM tblOperates "
                                                         "WHERE OperateID = 'HT-9'") == [('A001', 'Admin', 8270000)])
    press(on_screen(dlg, pyatspi.ROLE_PUSH_BUTTON, '关闭'))
    program.gone('业务（合同）资料')

    # Its money lines, in the contract window.
    trigger(menu_item(main, '客户业务管理', '业务资料'))
    wait_for('HT-9 listed', lambda: 'HT-9' in cells(main))
    press(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '修改'))
    press(on_screen(main, pyatspi.ROLE_PAGE_TAB, '业务（合同）过程跟踪'))
    for no, title, price, qty in (('1', '首付', '300.1', '1'), ('2', '月中', '100', '2')):
        trigger(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '新增业务子项'))
        line = program.window('业务子项')
        set_text(on_screen(line, pyatspi.ROLE_TEXT, '子项编号：'), no)
        type_into(program, on_screen(line, pyatspi.ROLE_TEXT, '发生日期：'), '2026-12-5', '2026-12-5')
        set_text(on_screen(line, pyatspi.ROLE_TEXT, '子项主题：'), title)
        choose_entry(program, on_screen(line, pyatspi.ROLE_COMBO_BOX, '收支描述：'), '收入')
        choose_entry(program, on_screen(line, pyatspi.ROLE_COMBO_BOX, '币    别：'), '人民币')
        set_text(on_screen(line, pyatspi.ROLE_TEXT, '单    价：'), price)
        set_text(on_screen(line, pyatspi.ROLE_TEXT, '数    量：'), qty)
        press(on_screen(line, pyatspi.ROLE_PUSH_BUTTON, '保存'))
        wait_for('line %s stored' % no, lambda: rows(program, "SELECT count(*) FROM tblOperateDetail WHERE "
                                                              "OperateID = 'HT-9' AND DetailNo = %s" % no) == [(1,)])
        press(on_screen(line, pyatspi.ROLE_PUSH_BUTTON, '关闭'))
        program.gone('业务子项')

    trigger(menu_item(main, '客户业务管理', '应收账款'))
    wait_for('receivables of HT-9', lambda: {'HT-9', '安家', '¥827.00', '¥500.10', '¥326.90'} <= cells(main, showing_only=False))
    check_layout(main)
    exit_program(program, main)


a_contract_entered_from_the_customer_window.prepare = admin_agency

run([contracts_and_receivables, a_contract_entered_from_the_customer_window])
