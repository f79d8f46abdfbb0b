"""A user made and given rights by the administrator, then working under them."""
import sqlite3

import pyatspi

from brevia_e2e import (MAIN, Failure, answer, enabled, exit_program, find, labels, log_in, menu_item, press,
                        run, set_text, trigger, wait_for)

USER, NAME = 'zhangli', '张丽'
NEW_PASSWORD = 'k7#Lx2'
# Right codes and the boxes of the rights window that hold them, page by page.
GRANTED = {'系统设置': ['口令设置', '用户管理'], '客户业务管理': ['客户资料'], '图表分析': ['客户来源分析']}


def one_department(home):
    # The department list is not under test; the user only needs one to choose.
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    db.execute("INSERT INTO tblDepartment (DepartmentID, DepartmentName, Memo) VALUES ('01', '家政服务部', '上门服务')")
    db.commit()
    db.close()


def a_new_user_works_under_the_rights_given_and_changes_password(program):
    log_in(program, 'Admin', '583920')
    main = program.window(MAIN)
    trigger(menu_item(main, '系统设置', '用户管理'))
    users = program.window('用户管理')
    code = find(users, pyatspi.ROLE_TEXT, '用  户ID：')
    press(find(users, pyatspi.ROLE_PUSH_BUTTON, '新增'))
    # The code of an existing user cannot be typed over; a new row's can.
    wait_for('the code field to take typing', lambda: not code.getState().contains(pyatspi.STATE_READ_ONLY))
    set_text(code, USER)
    set_text(find(users, pyatspi.ROLE_TEXT, '用户名称：'), NAME)
    program.choose(find(users, pyatspi.ROLE_COMBO_BOX, '部　　门：'), '家政服务部')
    set_text(find(users, pyatspi.ROLE_TEXT, '职　　务：'), '家政顾问')
    press(find(users, pyatspi.ROLE_PUSH_BUTTON, '保存'))
    answer(program, '新增用户口令为583920，请提醒用户及时修改！')

    press(find(users, pyatspi.ROLE_PUSH_BUTTON, '权限分配'))
    rights = program.window('权限分配')
    shown = labels(rights)
    if USER not in shown or NAME not in shown:
        raise Failure('rights window header %s' % shown)
    for page, boxes in GRANTED.items():
        press(find(rights, pyatspi.ROLE_PAGE_TAB, page))
        for caption in boxes:
            box = find(rights, pyatspi.ROLE_CHECK_BOX, caption)
            press(box)
            wait_for('"%s" ticked' % caption, lambda: box.getState().contains(pyatspi.STATE_CHECKED))
    press(find(rights, pyatspi.ROLE_PUSH_BUTTON, '保存'))
    wait_for('the rights stored', lambda: stored_rights(program) == ['101', '102', '301', '405'])
    press(find(rights, pyatspi.ROLE_PUSH_BUTTON, '关闭'))
    program.gone('权限分配')
    press(find(users, pyatspi.ROLE_PUSH_BUTTON, '关闭'))
    program.gone('用户管理')
    exit_program(program, main)

    # The user works under exactly the rights given.
    program.start()
    log_in(program, USER, '583920')
    main = program.window(MAIN)
    expected = {('系统设置', '口令设置'): True, ('系统设置', '用户管理'): True, ('系统设置', '数据备份'): False,
                ('客户业务管理', '客户资料'): True, ('客户业务管理', '联系人资料'): False,
                ('图表分析', '客户来源分析'): True, ('图表分析', '客户级别分析'): False,
                ('基础资料', '客户级别定义'): False}

    def states():
        return {k: enabled(menu_item(main, *k)) for k in expected}
    try:
        wait_for('the menu to follow the rights', lambda: states() == expected, timeout=5)
    except Failure:
        raise Failure('enabled menu items %s, expected %s' % (states(), expected))

    # Holding 102 is not enough: user management is for system users.
    trigger(menu_item(main, '系统设置', '用户管理'))
    answer(program, '对不起，只有系统管理员才享有该权限！')
    if program.showing_window('用户管理'):
        raise Failure('user management opened for an ordinary user')

    trigger(menu_item(main, '系统设置', '口令设置'))
    dlg = program.window('口令设置')
    set_text(find(dlg, pyatspi.ROLE_PASSWORD_TEXT, '旧口令：'), '583920')
    set_text(find(dlg, pyatspi.ROLE_PASSWORD_TEXT, '新口令：'), NEW_PASSWORD)
    set_text(find(dlg, pyatspi.ROLE_PASSWORD_TEXT, '确认口令：'), NEW_PASSWORD)
    press(find(dlg, pyatspi.ROLE_PUSH_BUTTON, '保存'))
    answer(program, '口令修改成功！')
    program.gone('口令设置')
    exit_program(program, main)

    # The old password no longer opens the program; the new one does.
    program.start()
    log_in(program, USER, '583920')
    answer(program, '口令输入错误，请重新输入！')
    log_in(program, USER, NEW_PASSWORD)
    main = program.window(MAIN)
    status = labels(main)
    if '操作员：  ' + USER not in status:
        raise Failure('status bar %s' % status)


def stored_rights(program):
    db = sqlite3.connect(program.database())
    try:
        return sorted(r[0] for r in db.execute('SELECT RightID FROM tblUserRight WHERE UserID = ?', (USER,)))
    finally:
        db.close()


a_new_user_works_under_the_rights_given_and_changes_password.prepare = one_department

run([a_new_user_works_under_the_rights_given_and_changes_password])
