"""What a person sees at the main window's real size: module windows fill
the work area, the status bar's panels stand side by side, and nothing
covers the menus."""
import time

import pyatspi

from brevia_e2e import (MAIN, Failure, exit_program, extents, inside, log_in, menu_item, overlap, run, trigger,
                        wait_for, walk)

MODULES = (('客户业务管理', '客户资料', '客户资料列表'), ('内部管理', '工作人员资料', '工作人员资料列表'))


def deep(node):
    return walk(node, -8)


def status_panels(main):
    wanted = ('欢迎使用Brevia！', '操作员：', '当前系统时间：', 'http', 'NUM')
    found = [n for n in deep(main) if n.getRole() == pyatspi.ROLE_LABEL
             and n.getState().contains(pyatspi.STATE_SHOWING) and n.name.startswith(wanted)]
    return found


def menu_bar(main):
    for n in deep(main):
        if n.getRole() == pyatspi.ROLE_MENU_BAR:
            return n
    raise Failure('no menu bar')


def the_main_window_is_laid_out_for_a_person(program):
    log_in(program, 'Admin', '583920')
    main = program.window(MAIN)
    frame = extents(main)
    if frame[2] < 700 or frame[3] < 500:
        raise Failure('the main window is %dx%d' % frame[2:])

    panels = wait_for('the status panels', lambda: len(status_panels(main)) >= 4 and status_panels(main))
    boxes = [(p.name, extents(p)) for p in panels]
    for name, box in boxes:
        if not inside(box, frame):
            raise Failure('status panel "%s" %s outside the window %s' % (name, box, frame))
    for i, (a, box_a) in enumerate(boxes):
        for b, box_b in boxes[i + 1:]:
            if overlap(box_a, box_b):
                raise Failure('status panels "%s" and "%s" overlap' % (a, b))

    # The tools panel stands beside the work area, never over the menus.
    bar = extents(menu_bar(main))
    tools = program.window('文件及工具栏')
    if overlap(extents(tools), bar):
        raise Failure('the tools panel %s covers the menu bar %s' % (extents(tools), bar))

    for menu, item, list_tab in MODULES:
        trigger(menu_item(main, menu, item))
        tab = wait_for('the tab "%s"' % list_tab,
                       lambda: next((n for n in deep(main) if n.getRole() == pyatspi.ROLE_PAGE_TAB
                                     and n.name == list_tab and n.getState().contains(pyatspi.STATE_SHOWING)), None))
        time.sleep(0.5)

        def grid():
            for n in deep(main):
                if n.getRole() in (pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE) \
                        and n.getState().contains(pyatspi.STATE_SHOWING):
                    return n
            return None
        box = extents(wait_for('the list grid of "%s"' % item, grid))
        if not inside(box, frame):
            raise Failure('the grid of "%s" %s lies outside the window %s' % (item, box, frame))
        if box[2] < frame[2] * 0.6 or box[3] < frame[3] * 0.5:
            raise Failure('the grid of "%s" is only %dx%d in a %dx%d window' % ((item,) + box[2:] + frame[2:]))
        for caption in ('新增', '修改', '删除', '刷新', '查询', '打印'):
            buttons = [n for n in deep(main) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == caption
                       and n.getState().contains(pyatspi.STATE_SHOWING)]
            if not buttons:
                raise Failure('no "%s" showing in "%s"' % (caption, item))
            b = extents(buttons[0])
            if not inside(b, frame) or b[2] < 20 or b[3] < 15:
                raise Failure('"%s" of "%s" is %s' % (caption, item, b))
        if not inside(extents(tab), frame):
            raise Failure('the tab "%s" lies outside the window' % list_tab)
        if overlap(extents(tools), bar) and tools.getState().contains(pyatspi.STATE_SHOWING):
            raise Failure('the tools panel covers the menu bar')
    exit_program(program, main)


run([the_main_window_is_laid_out_for_a_person])
