"""Start-up, login and exit of the real program."""
import os

import pyatspi

from brevia_e2e import LOGIN, MAIN, Failure, button, find, log_in, press, run, walk


def admin_logs_in_and_exits(program):
    dlg = program.window(LOGIN)
    combo = find(dlg, pyatspi.ROLE_COMBO_BOX)
    items = [n.name for n in walk(combo) if n.getRole() == pyatspi.ROLE_LIST_ITEM]
    if items != ['Admin']:
        raise Failure('user list %s' % items)
    log_in(program, 'Admin', '583920')
    main = program.window(MAIN)
    status = [n.name for n in walk(main) if n.getRole() == pyatspi.ROLE_LABEL]
    if '操作员：  Admin' not in status:
        raise Failure('status bar %s' % status)
    for folder in ('Files', 'Files/Plans', 'Backup', 'Log'):
        if not os.path.isdir(os.path.join(program.home, folder)):
            raise Failure('folder %s missing' % folder)

    # No keeps the program running, and No is the default button.
    program.close_window(MAIN)
    box, buttons = program.message('真的要退出Brevia吗？')
    if box.name != '系统退出确认':
        raise Failure('exit question caption "%s"' % box.name)
    no = button(buttons, '否')
    if not no.getState().contains(pyatspi.STATE_IS_DEFAULT):
        raise Failure('No is not the default button')
    press(no)
    program.gone('系统退出确认')
    program.window(MAIN)
    if program.proc.poll() is not None:
        raise Failure('the program ended on No')

    program.close_window(MAIN)
    _, buttons = program.message('真的要退出Brevia吗？')
    press(button(buttons, '是'))
    code = program.exit_code()
    if code != 0:
        raise Failure('exit code %d' % code)


def four_wrong_passwords_end_the_program(program):
    for attempt in range(3):
        log_in(program, 'Admin', 'wrong%d' % attempt)
        box, buttons = program.message('口令输入错误，请重新输入！')
        if box.name != '系统提示':
            raise Failure('caption "%s"' % box.name)
        press(button(buttons, '确定'))
        program.gone('系统提示')
    log_in(program, 'admin', 'wrong')
    _, buttons = program.message('对不起，请与系统管理员联系！')
    press(button(buttons, '确定'))
    if program.exit_code() == 0:
        raise Failure('a locked-out login ended the program as a success')


UNREACHABLE = '/mnt/agency-share/HKP30.hdb'


def point_at_an_unreachable_share(home):
    with open(os.path.join(home, 'Server.txt'), 'w') as f:
        f.write(UNREACHABLE + '\n')


def an_unreachable_database_is_reported_and_its_line_kept(program):
    _, buttons = program.message('对不起，无法连接数据库：%s\n数据库文件不存在：%s' % (UNREACHABLE, UNREACHABLE))
    press(button(buttons, '确定'))
    if program.exit_code() == 0:
        raise Failure('a failed connection ended the program as a success')
    with open(os.path.join(program.home, 'Server.txt.bak')) as f:
        if f.read() != UNREACHABLE + '\n':
            raise Failure('the failed line was not kept')
    with open(os.path.join(program.home, 'Server.txt')) as f:
        if f.read() != os.path.join(program.home, 'Data/HKP30.hdb') + '\n':
            raise Failure('Server.txt was not reset to the default')


an_unreachable_database_is_reported_and_its_line_kept.prepare = point_at_an_unreachable_share

run([admin_logs_in_and_exits, four_wrong_passwords_end_the_program,
     an_unreachable_database_is_reported_and_its_line_kept])
