"""Customers belong to the users who make them: each ordinary user sees his
own, a system user sees them all."""
import sqlite3
import time

import pyatspi

from brevia_e2e import (MAIN, Failure, answer, exit_program, log_in, menu_item, press, run, set_text, trigger, wait_for,
                        walk)

PASSWORD = '583920'


def agency(home):
    """Two ordinary users with the customer right, the dictionaries a new
    customer needs, and one customer that already belongs to li."""
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    for user, name in (('wang', '王芳'), ('li', '李强')):
        db.execute("INSERT INTO tblUser (UserID, UserName, Password, State, Sys) "
                   "SELECT ?, ?, Password, 'Yes', 0 FROM tblUser WHERE UserID = 'Admin'", (user, name))
        db.execute("INSERT INTO tblUserRight (UserID, RightID, \"Insert\", Modify, \"Delete\", Query, Print) "
                   "VALUES (?, '301', 1, 1, 1, 1, 1)", (user,))
    for table, code, name, entry in (('tblVocation', 'VocationId', 'VocationName', ('V1', '家庭')),
                                     ('tblCustOrigin', 'OriginID', 'OriginName', ('O1', '朋友介绍')),
                                     ('tblCustLevel', 'LevelID', 'LevelName', ('L1', '重要客户')),
                                     ('tblCustState', 'StateID', 'StateName', ('S1', '正常'))):
        db.execute('INSERT INTO %s (%s, %s, Memo) VALUES (?, ?, ?)' % (table, code, name), entry + ('-',))
    db.execute("INSERT INTO tblCustomers (CustId, CustName, VocationID, OriginID, LevelID, StateId, CreateDate, SUser) "
               "VALUES ('L001', '李家老客户', 'V1', 'O1', 'L1', 'S1', '2026-11-02', 'li')")
    db.commit()
    db.close()


def deep(node):
    # A module's widgets sit deeper inside the main window than a dialog's.
    return walk(node, -8)


def showing(node, role, name):
    """The node of role and name, the first enabled one where several have
    the same caption: the list and the detail page each have a "新增", the
    detail page and the additional information a "保存", and only the one
    that fits the moment is enabled."""
    def probe():
        found = [n for n in deep(node) if n.getRole() == role and n.name == name]
        # Hidden pages (the schedule's customer view) have fields of the same name.
        seen = [n for n in found if n.getState().contains(pyatspi.STATE_SHOWING)] or found
        on = [n for n in seen if n.getState().contains(pyatspi.STATE_ENABLED)]
        return (on or seen or [None])[0]
    return wait_for('%s "%s"' % (pyatspi.Role(role), name), probe)


def choose(program, combo, item):
    """Opens a drop-down and clicks its entry. The field keeps its label as
    its name, so what was chosen is seen in the stored row afterwards."""
    # The form scrolls in the small main window and the field may lie
    # below the fold: its list is opened through its action, not a click.
    trigger(combo)

    def entry():
        for n in walk(combo):
            if n.getRole() == pyatspi.ROLE_LIST_ITEM and n.name == item \
                    and n.getState().contains(pyatspi.STATE_SHOWING):
                return n
        return None
    program.click(wait_for('entry "%s" in the open list' % item, entry))
    time.sleep(0.5)  # the list folds away before the next click


def codes_listed(main):
    return {n.name for n in deep(main) if n.getRole() == pyatspi.ROLE_TABLE_CELL
            and n.name[:1] in 'WL' and n.name[1:].isdigit()}


def open_customers(program, user):
    log_in(program, user, PASSWORD)
    main = program.window(MAIN)
    trigger(menu_item(main, '客户业务管理', '客户资料'))
    showing(main, pyatspi.ROLE_PAGE_TAB, '客户资料列表')
    return main


def stored(program, code):
    db = sqlite3.connect(program.database())
    try:
        return db.execute('SELECT CustName, VocationID, OriginID, LevelID, StateId, substr(CreateDate, 1, 10), SUser '
                          'FROM tblCustomers WHERE CustId = ?', (code,)).fetchall()
    finally:
        db.close()


def each_user_sees_his_own_customers(program):
    main = open_customers(program, 'wang')
    wait_for('wang\'s empty list', lambda: codes_listed(main) == set())
    press(showing(main, pyatspi.ROLE_PUSH_BUTTON, '新增'))
    set_text(showing(main, pyatspi.ROLE_TEXT, '客户代码：'), 'W001')
    set_text(showing(main, pyatspi.ROLE_TEXT, '客户名称：'), '王家新客户')
    # Saving too early names the first field still empty.
    trigger(showing(main, pyatspi.ROLE_PUSH_BUTTON, '保存'))
    answer(program, '请选择输入行业类别！')
    for label, item in (('客户类型：', '家庭'), ('客户来源：', '朋友介绍'), ('客户级别：', '重要客户'),
                        ('客户状态：', '正常')):
        choose(program, showing(main, pyatspi.ROLE_COMBO_BOX, label), item)
    # The date is typed as a clerk types it: a click into the field, keys.
    date = showing(main, pyatspi.ROLE_TEXT, '建档日期：')
    program.click(date)
    wait_for('the date field focused', lambda: date.getState().contains(pyatspi.STATE_FOCUSED))
    program.type_keys('2026-12-10')
    wait_for('the typed date shown', lambda: date.queryText().getText(0, -1) == '2026-12-10')
    press(showing(main, pyatspi.ROLE_PUSH_BUTTON, '保存'))
    wait_for('the customer stored for wang',
             lambda: stored(program, 'W001') == [('王家新客户', 'V1', 'O1', 'L1', 'S1', '2026-12-10', 'wang')])
    press(showing(main, pyatspi.ROLE_PAGE_TAB, '客户资料列表'))
    wait_for('W001 in wang\'s list', lambda: codes_listed(main) == {'W001'})
    exit_program(program, main)

    program.start()
    main = open_customers(program, 'li')
    try:
        wait_for('li\'s own customer only', lambda: codes_listed(main) == {'L001'}, timeout=5)
    except Failure:
        raise Failure('li sees %s' % sorted(codes_listed(main)))
    exit_program(program, main)

    program.start()
    main = open_customers(program, 'Admin')
    try:
        wait_for('every customer for the system user', lambda: codes_listed(main) == {'L001', 'W001'}, timeout=5)
    except Failure:
        raise Failure('Admin sees %s' % sorted(codes_listed(main)))
    exit_program(program, main)


each_user_sees_his_own_customers.prepare = agency

run([each_user_sees_his_own_customers])
