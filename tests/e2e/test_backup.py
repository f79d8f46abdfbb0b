"""The administrator backs the database up from the menu, another
workstation adds a customer, and the restore brings the database back to
the backup; the program works on the restored data at once. The two
windows show their boxes and buttons inside them."""
import datetime
import os
import sqlite3
import subprocess

import pyatspi

from brevia_e2e import (MAIN, Failure, answer, exit_program, find, log_in, menu_item, press, run, trigger, wait_for,
                        walk)

PASSWORD = '583920'
BACKUP_QUESTION = ('系统准备备份数据，如果该文件目录存在您以前\n备份的数据，系统会将您以前备份的数据覆盖，\n'
                   '建议将数据保存在新的文件目录！按[确定]继续，\n按[取消]返回！')
RESTORE_QUESTION = ('恢复以前备份数据之前，请确认您已经备份好\n当前的数据，以免对您造成不必要的损失！按\n'
                    '[确定]系统将恢复以前的备份数据，按[取消]\n返回！')


def one_customer(home):
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    db.execute("INSERT INTO tblCustomers (CustId, CustName, SUser) VALUES ('K001', '备份前', 'Admin')")
    db.commit()
    db.close()


def confirm(program, question):
    """Presses 确定 on the question; the next box has the same caption, so
    the question's closing is not waited for."""
    _, buttons = program.message(question)
    press(buttons['确定'])


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def check_layout(window, path_min_width=300):
    """The path box and the buttons lie inside the window at a usable size."""
    wx, wy, ww, wh = extents(window)
    for node in walk(window):
        if node.getRole() not in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TEXT):
            continue
        x, y, w, h = extents(node)
        if x < wx or y < wy or x + w > wx + ww or y + h > wy + wh or w < 20 or h < 15:
            raise Failure('"%s" at %s in the window at %s' % (node.name, (x, y, w, h), (wx, wy, ww, wh)))
        if node.getRole() == pyatspi.ROLE_TEXT and w < path_min_width:
            raise Failure('path box only %d wide' % w)


def customers(path):
    db = sqlite3.connect(path)
    try:
        return sorted(r[0] for r in db.execute('SELECT CustId FROM tblCustomers'))
    finally:
        db.close()


def backup_then_restore(program):
    log_in(program, 'Admin', PASSWORD)
    main = program.window(MAIN)

    trigger(menu_item(main, '系统设置', '数据备份'))
    dlg = program.window('数据备份')
    check_layout(dlg)
    press(find(dlg, pyatspi.ROLE_PUSH_BUTTON, '备份'))
    confirm(program, BACKUP_QUESTION)
    answer(program, '数据备份成功！')
    program.gone('数据备份')
    backup = os.path.join(program.home, 'Backup', 'HKP30.hdb')
    if customers(backup) != ['K001']:
        raise Failure('backup holds %s' % customers(backup))

    # Another workstation stores a customer after the backup.
    db = sqlite3.connect(program.database(), timeout=10)
    db.execute("INSERT INTO tblCustomers (CustId, CustName, SUser) VALUES ('K002', '备份后', 'Admin')")
    db.commit()
    db.close()

    trigger(menu_item(main, '系统设置', '数据恢复'))
    dlg = program.window('数据恢复')
    check_layout(dlg)
    press(find(dlg, pyatspi.ROLE_PUSH_BUTTON, '恢复'))
    confirm(program, RESTORE_QUESTION)
    answer(program, '数据恢复成功！')
    program.gone('数据恢复')
    if customers(program.database()) != ['K001']:
        raise Failure('live database holds %s after the restore' % customers(program.database()))
    dated = [d for d in os.listdir(os.path.join(program.home, 'Backup')) if d[:1].isdigit()]
    if len(dated) != 1 or len(dated[0].split('-')) != 3:
        raise Failure('day folders %s' % dated)
    saved = [f for f in os.listdir(os.path.join(program.home, 'Backup', dated[0])) if f.endswith('.hdb')]
    if not any(customers(os.path.join(program.home, 'Backup', dated[0], f)) == ['K001', 'K002'] for f in saved):
        raise Failure('no safety copy with K002 among %s' % saved)

    # The program works on the restored data.
    trigger(menu_item(main, '客户业务管理', '客户资料'))
    def listed():
        names = {n.name for n in walk(main, -8) if n.getRole() == pyatspi.ROLE_TABLE_CELL}
        return 'K001' in names and 'K002' not in names
    wait_for('K001 alone in the customer list', listed)
    exit_program(program, main)


backup_then_restore.prepare = one_customer


def day_folder(home):
    today = datetime.date.today()
    return os.path.join(home, 'Backup', '%d-%d-%d' % (today.year, today.month, today.day))


def day_folder_taken(home):
    """A file where the day's folder would go: the day's copy cannot be made."""
    os.makedirs(os.path.join(home, 'Backup'), exist_ok=True)
    open(day_folder(home), 'w').close()


def backup_without_its_day_copy_is_done_with_a_warning(program):
    log_in(program, 'Admin', PASSWORD)
    main = program.window(MAIN)
    trigger(menu_item(main, '系统设置', '数据备份'))
    dlg = program.window('数据备份')
    press(find(dlg, pyatspi.ROLE_PUSH_BUTTON, '备份'))
    confirm(program, BACKUP_QUESTION)
    text = '数据备份成功！\n但当天的备份副本未能保存：无法创建文件夹 ' + day_folder(program.home)
    program.message(text)
    if os.environ.get('BREVIA_E2E_SHOTS'):
        subprocess.run(['import', '-window', 'root', os.path.join(os.environ['BREVIA_E2E_SHOTS'], 'daycopy.png')])
    answer(program, text)
    program.gone('数据备份')
    if customers(os.path.join(program.home, 'Backup', 'HKP30.hdb')) != []:
        raise Failure('the backup is not there')
    exit_program(program, main)


backup_without_its_day_copy_is_done_with_a_warning.prepare = day_folder_taken

run([backup_then_restore, backup_without_its_day_copy_is_done_with_a_warning])
