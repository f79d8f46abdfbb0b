"""An appointment entered today in the main window's schedule is in the
next login's agenda, on its page of today's appointments; the schedule's
grid fills the work area."""
import datetime
import sqlite3

import pyatspi

from brevia_e2e import (AGENDA, MAIN, Failure, cells, check_layout, choose_entry, exit_program, extents, inside, log_in,
                        menu_item, on_screen, press, run, set_text, trigger, type_into, wait_for)

PASSWORD = '583920'


def agency(home):
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    db.execute("INSERT INTO tblCustomers (CustId, CustName, SUser) VALUES ('A001', '安家', 'Admin')")
    db.commit()
    db.close()


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
    on_screen(main, pyatspi.ROLE_PAGE_TAB, '日程安排列表')
    check_layout(main, ('新增', '修改', '删除', '刷新', '查询', '打印'))
    press(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '新增'))
    day = '%d-%d-%d' % (today.year, today.month, today.day)
    type_into(program, on_screen(main, pyatspi.ROLE_TEXT, '日    期：'), day, day)
    # Enter from the date into the time, two digits, then a click into the
    # middle of the half-empty mask: typing goes on at its first blank.
    time = on_screen(main, pyatspi.ROLE_TEXT, '时    间：')
    program.key('Return')
    wait_for('the time focused', lambda: time.getState().contains(pyatspi.STATE_FOCUSED))
    program.type_keys('09')
    wait_for('"09" typed', lambda: time.queryText().getText(0, -1).startswith('09:'))
    program.click(time)
    program.type_keys('3000')
    wait_for('"09:30:00" shown', lambda: time.queryText().getText(0, -1) == '09:30:00')
    x, y, w, h = extents(time)
    if not inside(extents(time), extents(main)) or w < 60 or h < 16:
        raise Failure('time field at %s in the window at %s' % (extents(time), extents(main)))
    set_text(on_screen(main, pyatspi.ROLE_TEXT, '地    点：'), '海淀区中关村')
    choose_entry(program, on_screen(main, pyatspi.ROLE_COMBO_BOX, '客    户：'), '安家')
    set_text(on_screen(main, pyatspi.ROLE_TEXT, '联 系 人：'), '安先生')
    press(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '保存'))
    wait_for('the appointment stored',
             lambda: plans(program) == [(today.isoformat(), '09:30:00', '海淀区中关村', 'A001', '安先生')])
    # The editor window closes onto the list window, laid out like the pages.
    press(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '关闭'))
    wait_for('the plan in the list window', lambda: '海淀区中关村' in cells(main))
    check_layout(main, ('新增', '修改', '删除', '刷新', '查询', '打印'))
    exit_program(program, main)

    program.start()
    log_in(program, 'Admin', PASSWORD, keep_agenda=True)
    agenda = program.window(AGENDA)
    press(on_screen(agenda, pyatspi.ROLE_PAGE_TAB, '今日日程安排'))
    wait_for('the appointment in the agenda', lambda: {'海淀区中关村', '安家', '09:30:00'} <= cells(agenda, showing_only=False))
    # Today's notices are gone through with the record navigator.
    press(on_screen(agenda, pyatspi.ROLE_PAGE_TAB, '今日公告版信息'))
    for name in ('第一条', '上一条', '下一条', '最后一条'):
        x, y, w, h = extents(on_screen(agenda, pyatspi.ROLE_PUSH_BUTTON, name))
        if not inside((x, y, w, h), extents(agenda)) or w < 16 or h < 16:
            raise Failure('the navigator button "%s" at %s, the agenda at %s' % (name, (x, y, w, h), extents(agenda)))
    press(on_screen(agenda, pyatspi.ROLE_PUSH_BUTTON, '>>下一步'))
    program.gone(AGENDA)
    main = program.window(MAIN)
    exit_program(program, main)


an_appointment_today_is_in_the_next_agenda.prepare = agency

run([an_appointment_today_is_in_the_next_agenda])
