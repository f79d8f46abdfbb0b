"""A clerk brings a spreadsheet of workers (.xls, written here by xlwt) into
the worker window: the command on the list's tool bar, the file dialog,
the columns guessed from the headers, the check with its duplicates merged,
the store and its report; the workers are then in the database and the
list. With BREVIA_SHOTS set, each page is photographed into that folder."""
import datetime
import os
import sqlite3
import subprocess

import pyatspi
import xlwt

from brevia_e2e import (MAIN, Failure, cells, deep, exit_program, find, log_in, menu_item, on_screen, press, run,
                        set_text, trigger, wait_for)

PASSWORD = '583920'
HEADERS = ['员工编号', '姓名', '性别', '出生日期', '身份证号', '手机', '部门', '籍贯', '家庭住址', '备注']
SURNAMES = '张王李赵刘陈杨黄周吴'


def identity(n):
    body = '11010119%09d' % n
    weights = [7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2]
    return body + '10X98765432'[sum(int(d) * w for d, w in zip(body, weights)) % 11]


def agency(home):
    db = sqlite3.connect(home + '/Data/HKP30.hdb')
    db.execute("INSERT INTO tblDepartment (DepartmentID, DepartmentName, Memo) VALUES ('D1', '家政部', '-')")
    db.execute("INSERT INTO tblYuangong (YuangongID, Name, Mobile, ID) VALUES ('Y0001', '王秀英', '13900000001', ?)",
               (identity(7),))
    db.commit()
    db.close()
    book = xlwt.Workbook(encoding='utf-8')
    sheet = book.add_sheet('员工')
    dates = xlwt.easyxf(num_format_str='YYYY-MM-DD')
    for c, h in enumerate(HEADERS):
        sheet.write(0, c, h)
    for i in range(1, 41):
        name = SURNAMES[i % 10] + '阿姨' + str(i)
        row = ['E%04d' % i, name, '女', datetime.date(1975 + i % 20, i % 12 + 1, 1), identity(1000 + i),
               '138%08d' % i, '家政部', '安徽', '合肥市蜀山区%d号' % i, '']
        if i == 3:
            row[1], row[5] = '王秀英', '13900000001'  # Y0001 by name and mobile
        if i == 5:
            row[0] = ''  # no code
        if i == 8:
            row[4] = row[4][:-1] + ('1' if row[4][-1] != '1' else '2')  # a wrong check character
        if i == 9:
            row[6] = '外星部'
        for c, v in enumerate(row):
            if isinstance(v, datetime.date):
                sheet.write(i, c, v, dates)
            elif v:
                sheet.write(i, c, v)
    book.save(home + '/workers.xls')


def shoot(program, name):
    folder = os.environ.get('BREVIA_SHOTS')
    if folder:
        subprocess.run(['import', '-window', 'root', os.path.join(folder, name + '.png')], check=True, timeout=30)


def a_spreadsheet_of_workers_is_brought_in(program):
    log_in(program, 'Admin', PASSWORD)
    main = program.window(MAIN)
    trigger(menu_item(main, '内部管理', '员工档案'))
    on_screen(main, pyatspi.ROLE_PAGE_TAB, '员工档案列表')
    shoot(program, 'import-0-command')
    # A tool button shows its action's caption without the trailing dots.
    command = on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '导入员工资料')
    trigger(command)

    chooser = program.window('请选择要导入的员工资料文件')
    name_box = wait_for('the file name box', lambda: next(
        (n for n in deep(chooser) if n.getRole() == pyatspi.ROLE_TEXT
         and n.getState().contains(pyatspi.STATE_EDITABLE) and n.getState().contains(pyatspi.STATE_SHOWING)), None))
    set_text(name_box, program.home + '/workers.xls')
    open_button = wait_for('the open button', lambda: next(
        (n for n in deep(chooser) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name.startswith('打开')), None))
    trigger(open_button)

    dialog = program.window('导入员工资料')
    on_screen(dialog, pyatspi.ROLE_PUSH_BUTTON, '下一步 >')
    shoot(program, 'import-1-mapping')
    trigger(find(dialog, pyatspi.ROLE_PUSH_BUTTON, '下一步 >'))
    summary = wait_for('the check', lambda: next(
        (n for n in deep(dialog) if n.getRole() == pyatspi.ROLE_LABEL and n.name.startswith('共 40 行')), None))
    if summary.name != '共 40 行：可新增 38 行，与已有员工重复 1 行，有误 1 行（不导入），带提示 2 行。':
        raise Failure('the check says ' + summary.name)
    trigger(find(dialog, pyatspi.ROLE_PUSH_BUTTON, '全部合并'))
    wait_for('the duplicate ticked', lambda: any(
        n.getRole() == pyatspi.ROLE_TABLE_CELL and n.name == '合并' and n.getState().contains(pyatspi.STATE_CHECKED)
        for n in deep(dialog)))
    shoot(program, 'import-2-check')
    trigger(find(dialog, pyatspi.ROLE_PUSH_BUTTON, '开始导入'))
    result = wait_for('the report', lambda: next(
        (n for n in deep(dialog) if n.getRole() == pyatspi.ROLE_LABEL and n.name.startswith('导入完成')), None))
    if result.name != '导入完成：新增员工 38 条，合并 1 条，跳过 1 条。':
        raise Failure('the report says ' + result.name)
    shoot(program, 'import-3-report')
    trigger(find(dialog, pyatspi.ROLE_PUSH_BUTTON, '关闭'))
    program.gone('导入员工资料')

    db = sqlite3.connect(program.database())
    try:
        workers = db.execute('SELECT COUNT(*) FROM tblYuangong').fetchone()[0]
        merged = db.execute("SELECT Name, Native FROM tblYuangong WHERE YuangongID = 'Y0001'").fetchone()
        log = [r[0] for r in db.execute('SELECT Operate FROM tblLog ORDER BY LogID DESC LIMIT 2')]
    finally:
        db.close()
    if workers != 39 or merged != ('王秀英', '安徽'):
        raise Failure('stored: %d workers, Y0001 %r' % (workers, merged))
    if log != ['内部管理-员工资料-导入 workers.xls：新增员工 38 条，合并 1 条，跳过 1 条。', '内部管理-员工资料-导入']:
        raise Failure('log: %r' % log)
    shoot(program, 'import-4-list')
    # The list keeps its current worker in view, below the new ones.
    wait_for('the new workers listed', lambda: 'E0040' in cells(main))
    exit_program(program, main)


a_spreadsheet_of_workers_is_brought_in.prepare = agency


def customers_file(home):
    with open(home + '/customers.csv', 'w', encoding='gb18030', newline='') as f:
        f.write('客户代码,客户名称,电话,手机,地址\r\n')
        for i in range(1, 11):
            f.write('K%03d,客户%d,010-6512%04d,1380000%04d,北京市东城区%d号\r\n' % (i, i, i, i, i))


def the_customer_window_asks_for_what_the_file_lacks(program):
    log_in(program, 'Admin', PASSWORD)
    main = program.window(MAIN)
    trigger(menu_item(main, '客户业务管理', '客户资料'))
    on_screen(main, pyatspi.ROLE_PAGE_TAB, '客户资料列表')
    trigger(on_screen(main, pyatspi.ROLE_PUSH_BUTTON, '导入客户资料'))
    chooser = program.window('请选择要导入的客户资料文件')
    name_box = wait_for('the file name box', lambda: next(
        (n for n in deep(chooser) if n.getRole() == pyatspi.ROLE_TEXT
         and n.getState().contains(pyatspi.STATE_EDITABLE) and n.getState().contains(pyatspi.STATE_SHOWING)), None))
    set_text(name_box, program.home + '/customers.csv')
    trigger(wait_for('the open button', lambda: next(
        (n for n in deep(chooser) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name.startswith('打开')), None)))
    dialog = program.window('导入客户资料')
    # The customer's required dictionaries and date, one value for every row.
    for caption in ('客户类型：', '客户来源：', '客户级别：', '客户状态：', '建档日期：'):
        on_screen(dialog, pyatspi.ROLE_LABEL, caption)
    shoot(program, 'import-5-customers')
    trigger(find(dialog, pyatspi.ROLE_PUSH_BUTTON, '取消'))
    program.gone('导入客户资料')
    exit_program(program, main)


the_customer_window_asks_for_what_the_file_lacks.prepare = customers_file

if __name__ == '__main__':
    run([a_spreadsheet_of_workers_is_brought_in, the_customer_window_asks_for_what_the_file_lacks])
