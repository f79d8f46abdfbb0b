"""A database on a read-only mount: said once at start-up, and the program
still logs in and ends through "退出系统".

The mount needs a mount namespace of the script's own, so root; elsewhere
the scenario is skipped."""
import ctypes
import os
import shutil
import subprocess
import sys

from brevia_e2e import MAIN, answer, exit_program, log_in, run

CLONE_NEWNS = 0x00020000


def read_only_mount(home):
    """Puts the database on a read-only tmpfs inside home and names it in Server.txt."""
    mount = os.path.join(home, 'ro')
    os.mkdir(mount)
    subprocess.run(['mount', '-t', 'tmpfs', 'none', mount], check=True)
    shutil.copy(os.path.join(home, 'Data', 'HKP30.hdb'), mount)
    subprocess.run(['mount', '-o', 'remount,ro', mount], check=True)
    with open(os.path.join(home, 'Server.txt'), 'w', encoding='utf-8') as f:
        f.write(os.path.join(mount, 'HKP30.hdb') + '\n')


def shot(name):
    folder = os.environ.get('BREVIA_E2E_SHOTS')
    if folder:
        subprocess.run(['import', '-window', 'root', os.path.join(folder, name + '.png')], check=False)


def read_only_database_is_said_once_and_the_program_ends(program):
    text = '数据库文件是只读的：%s\n您只能查阅资料，不能保存任何修改。' % os.path.join(program.home, 'ro', 'HKP30.hdb')
    program.message(text)
    shot('readonly-startup')
    answer(program, text)
    log_in(program, 'Admin', '583920')
    main = program.window(MAIN)
    shot('readonly-main')
    exit_program(program, main)


read_only_database_is_said_once_and_the_program_ends.prepare = read_only_mount

if __name__ == '__main__':
    if os.geteuid() != 0 or ctypes.CDLL(None, use_errno=True).unshare(CLONE_NEWNS) != 0:
        print('SKIP read-only mount: no mount namespace of our own')
        sys.exit(0)
    # Nothing mounted here reaches the system's own mount table.
    subprocess.run(['mount', '--make-rprivate', '/'], check=True)
    run([read_only_database_is_said_once_and_the_program_ends])
