"""Mass e-mail opens from F8 inside the main window's work area with its
contact list and address lists at a usable size, and gives the navigation
back when closed; F9 opens the envelope labels over every contact."""
import sqlite3

import pyatspi

from brevia_e2e import MAIN, Failure, exit_program, extents, inside, key_until, log_in, press, run, wait_for, walk

PASSWORD = '583920'


def agency(home):
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    db.execute("INSERT INTO tblCustomers (CustId, CustName, PostCode, Address, SUser) "
               "VALUES ('M001', '张家', '100080', '海淀路1号', 'Admin')")
    for code, name, email in (('K1', '张三', 'zs@example.cn'), ('K2', '李四', 'ls@example.cn')):
        db.execute("INSERT INTO tblLinkmans (LinkmanID, CustID, Name, Email, SUser) VALUES (?, 'M001', ?, ?, 'Admin')",
                   (code, name, email))
    db.commit()
    db.close()


def deep(node):
    return walk(node, -8)


def showing(node, role, name=None):
    def probe():
        for n in deep(node):
            if n.getRole() == role and (name is None or n.name == name) \
                    and n.getState().contains(pyatspi.STATE_SHOWING):
                return n
        return None
    return wait_for('%s "%s"' % (pyatspi.Role(role), name), probe)


def cells(node):
    return {n.name for n in deep(node) if n.getRole() == pyatspi.ROLE_TABLE_CELL
            and n.getState().contains(pyatspi.STATE_SHOWING)}


def usable(window, node, what, width, height):
    x, y, w, h = extents(node)
    if not inside((x, y, w, h), extents(window)) or w < width or h < height:
        raise Failure('%s at %s in the window at %s' % (what, (x, y, w, h), extents(window)))


def mail_and_envelopes(program):
    log_in(program, 'Admin', PASSWORD)
    main = program.window(MAIN)
    # The keys go to the window under the pointer's click: no window
    # manager hands the focus over.
    focus = showing(main, pyatspi.ROLE_LABEL, '欢迎使用Brevia！')
    key_until(program, focus, 'F8', 'the mail window',
              lambda: any(n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == '发送'
                          and n.getState().contains(pyatspi.STATE_SHOWING) for n in walk(main)))
    wait_for('the contacts listed', lambda: {'zs@example.cn', 'ls@example.cn'} <= cells(main))
    for caption in ('发送', '邮件内容', '查询', '邮件工具', '服务器设置', '关闭', '>', '<', '>>', '<<'):
        usable(main, showing(main, pyatspi.ROLE_PUSH_BUTTON, caption), caption, 20, 15)
    lists = [n for n in deep(main) if n.getRole() == pyatspi.ROLE_LIST and n.name in ('待发送邮件列表', '发送失败邮件列表')
             and n.getState().contains(pyatspi.STATE_SHOWING)]
    if len(lists) != 2:
        raise Failure('address lists showing: %s' % [n.name for n in lists])
    for n in lists:
        usable(main, n, n.name, 150, 80)
    press(showing(main, pyatspi.ROLE_PUSH_BUTTON, '>>'))
    wait_for('both addresses pending',
             lambda: {'zs@example.cn', 'ls@example.cn'} <= {c.name for c in deep(lists[0])
                                                              if c.getRole() == pyatspi.ROLE_LIST_ITEM})
    press(showing(main, pyatspi.ROLE_PUSH_BUTTON, '关闭'))
    showing(main, pyatspi.ROLE_PUSH_BUTTON, '客户资料')  # the navigation is back

    key_until(program, focus, 'F9', 'the envelope window', lambda: program.showing_window('信封标签'))
    env = program.window('信封标签')
    wait_for('the envelope list', lambda: {'张三', '李四', '100080'} <= cells(env))
    press(showing(env, pyatspi.ROLE_PUSH_BUTTON, '关闭'))
    program.gone('信封标签')
    exit_program(program, main)


mail_and_envelopes.prepare = agency

run([mail_and_envelopes])
