"""Dictionary entries made through their windows, as the database then holds them."""
import sqlite3

import pyatspi

from brevia_e2e import (MAIN, Failure, find, log_in, menu_item, press, run, set_text, trigger, wait_for,
                        walk)

RED, GREEN, BLUE = 0x33, 0x66, 0x99
# The value colours are stored as: red in the low byte.
COLOUR_ID = RED | GREEN << 8 | BLUE << 16


def colour_dialog(program):
    """The desktop's colour chooser, known by its red box whatever its title."""
    a = program.app()
    for i in range(a.childCount if a else 0):
        w = a.getChildAtIndex(i)
        if w is None or not w.getState().contains(pyatspi.STATE_SHOWING):
            continue
        spins = {n.name.split('(')[0]: n for n in walk(w) if n.getRole() == pyatspi.ROLE_SPIN_BUTTON}
        if '红' in spins:
            return w, spins
    return None


# The lists are the program's grids: a tree to assistive tools (rows may be
# grouped), whose rows are table cells.
def cells(table):
    return sum(1 for n in walk(table) if n.getRole() == pyatspi.ROLE_TABLE_CELL)


def a_level_with_a_new_colour_is_stored(program):
    log_in(program, 'Admin', '583920')
    main = program.window(MAIN)
    trigger(menu_item(main, '基础资料', '客户级别定义'))
    levels = program.window('客户级别设置')
    list_rows = find(levels, pyatspi.ROLE_TREE)
    before = cells(list_rows)
    press(find(levels, pyatspi.ROLE_PUSH_BUTTON, '新增'))
    wait_for('a new row in the list', lambda: cells(list_rows) > before)
    set_text(find(levels, pyatspi.ROLE_TEXT, '客户级别代码：'), 'VIP')
    set_text(find(levels, pyatspi.ROLE_TEXT, '客户级别名称：'), '贵宾客户')

    # The colour is made in the colour window through the desktop's chooser.
    press(find(levels, pyatspi.ROLE_PUSH_BUTTON, '颜色信息'))
    colours = program.window('颜色设置信息')
    press(find(colours, pyatspi.ROLE_PUSH_BUTTON, '新增'))
    chooser, spins = wait_for('the colour chooser', lambda: colour_dialog(program))
    for name, value in (('红', RED), ('绿', GREEN), ('蓝', BLUE)):
        spins[name].queryValue().currentValue = value
    press(find(chooser, pyatspi.ROLE_PUSH_BUTTON, '确定'))
    wait_for('the chooser to close', lambda: colour_dialog(program) is None)
    grid = find(colours, pyatspi.ROLE_TREE)
    wait_for('the new colour in the colour list',
             lambda: any(n.name == str(COLOUR_ID) for n in walk(grid) if n.getRole() == pyatspi.ROLE_TABLE_CELL))
    press(find(colours, pyatspi.ROLE_PUSH_BUTTON, '关闭'))
    program.gone('颜色设置信息')

    # The level's drop-down offers the new colour at once.
    program.choose(find(levels, pyatspi.ROLE_COMBO_BOX), str(COLOUR_ID))
    set_text(find(levels, pyatspi.ROLE_TEXT, '描　      述：'), '年消费十万以上')
    trigger(find(levels, pyatspi.ROLE_PUSH_BUTTON, '保存'))
    wait_for('the level stored', lambda: stored_level(program) is not None)
    trigger(find(levels, pyatspi.ROLE_PUSH_BUTTON, '关闭'))
    program.gone('客户级别设置')

    level = stored_level(program)
    if level != ('贵宾客户', COLOUR_ID, '年消费十万以上'):
        raise Failure('stored level %s, expected colour %d' % (level, COLOUR_ID))
    db = sqlite3.connect(program.database())
    try:
        if db.execute('SELECT count(*) FROM tblColor WHERE ColorID = ?', (COLOUR_ID,)).fetchone()[0] != 1:
            raise Failure('the chosen colour is not in the colour table once')
    finally:
        db.close()


def stored_level(program):
    db = sqlite3.connect(program.database())
    try:
        return db.execute("SELECT LevelName, LevelColor, Memo FROM tblCustLevel WHERE LevelID = 'VIP'").fetchone()
    finally:
        db.close()


run([a_level_with_a_new_colour_is_stored])
