#!/usr/bin/python3
"""Reaches a running zemra-fleet over AT-SPI, as a screen reader does.

Every control of each window it visits must have a name; the main controls are found by name and
role; the fleet table shows the register's aircraft; the windows that actions done over AT-SPI
open are checked alike, and File > Quit ends the program.

Usage: zemra_fleet_atspi.py PID REGISTER REGISTRATION TAKEN READOUT
(the register's one aircraft, the day its one read-out was taken, and that read-out's file)
Exit code 0 when all holds, else 1 with each fault said on a line of its own.
"""

import sys
import time

import pyatspi
from gi.repository import Atspi, GLib

# The roles of what a user acts on, each of which a screen reader must be able to say.
CONTROL_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_MENU,
    pyatspi.ROLE_POPUP_MENU, pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_CHECK_MENU_ITEM,
    pyatspi.ROLE_RADIO_MENU_ITEM, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SLIDER,
    pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_LIST,
    pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_PAGE_TAB_LIST, pyatspi.ROLE_TOOL_BAR,
}
# A view's cells and headers are its data, said by the view; a view has thousands of them.
VIEW_ROLES = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_LIST}

RETURN = 0xFF0D
# How long a call waits for Qt's reply; a call whose action opens a modal dialog waits less.
REPLY_MS, NO_REPLY_MS, STARTUP_MS = 10000, 500, 15000

faults = []


class Stop(Exception):
    """A fault after which the rest cannot be reached."""


def fault(text):
    faults.append(text)
    print(f"FAIL: {text}", flush=True)


def wait_for(probe, what, seconds=15.0):
    """Polls until probe() gives something true, which it returns; else stops with what."""
    end = time.monotonic() + seconds
    while True:
        try:
            found = probe()
        except GLib.GError:
            found = None  # a window closing under the walk
        # Not truth: an accessible without children counts as false.
        if found is not None and found is not False and found != []:
            return found
        if time.monotonic() > end:
            raise Stop(f"{what} (waited {seconds:.0f} s)")
        time.sleep(0.2)


def said(node):
    """Role and name as a screen reader says them."""
    return f"{node.getRoleName()} '{node.name}'"


def path(node):
    """Where a node is, from its window down: each step its role, and its name or index."""
    steps = []
    while node is not None and node.getRole() != pyatspi.ROLE_APPLICATION:
        step = node.getRoleName()
        step += f" '{node.name}'" if node.name else f" #{node.getIndexInParent()}"
        steps.append(step)
        node = node.parent
    return " / ".join(reversed(steps))


def walk(node):
    """Every node under node, node first; the cells of views left out."""
    yield node
    if node.getRole() in VIEW_ROLES:
        return
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from walk(child)


def check_named(window, least):
    """Each control of the window, shown or not yet, has a name; and there are at least least of
    them, lest a tree not reached pass for a named one."""
    controls = 0
    for node in walk(window):
        if node.getRole() not in CONTROL_ROLES:
            continue
        controls += 1
        if not node.name.strip():
            fault(f"a {node.getRoleName()} without a name: {path(node)}")
    print(f"{controls} controls in {said(window)}", flush=True)
    if controls < least:
        fault(f"only {controls} controls in {said(window)}, not {least} or more")


def find(root, role, name):
    for node in walk(root):
        if node.getRole() == role and node.name == name:
            return node
    return None


def need(root, role, name):
    """The node of that role and name under root, without which the rest cannot go on."""
    node = find(root, role, name)
    if node is None:
        raise Stop(f"no {Atspi.role_get_name(role)} '{name}' in {said(root)}")
    return node


def find_all(root, expected):
    """Each (role, name) of expected under root, found by name with that role; in order."""
    found = []
    for role, name in expected:
        node = find(root, role, name)
        if node is None:
            other = [said(n) for n in walk(root) if n.name == name]
            fault(f"no {Atspi.role_get_name(role)} '{name}' in {said(root)}"
                  + (f"; with that name: {', '.join(other)}" if other else ""))
        found.append(node)
    return found


def has(node, state):
    return node.getState().contains(state)


def act(node, action, reply=True):
    """Does a named action of node. A modal dialog that it opens runs inside the call, and Quit
    ends the program: Qt replies late or never, so then no reply is awaited, and what the action
    did is looked for instead."""
    actions = node.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if action not in names:
        raise Stop(f"{path(node)} has no action '{action}', only {names}")
    if reply:
        actions.doAction(names.index(action))
        return
    Atspi.set_timeout(NO_REPLY_MS, STARTUP_MS)
    try:
        actions.doAction(names.index(action))
    except GLib.GError as error:
        if "reply" not in error.message:
            raise
    finally:
        Atspi.set_timeout(REPLY_MS, STARTUP_MS)


def application(pid):
    def probe():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid and app.childCount:
                return app
        return None
    return wait_for(probe, f"no application of pid {pid} on the AT-SPI desktop", 30)


def window(app, role, name):
    def probe():
        for index in range(app.childCount):
            node = app.getChildAtIndex(index)
            if node is not None and node.getRole() == role and node.name == name:
                return node
        return None
    return wait_for(probe, f"no {Atspi.role_get_name(role)} '{name}' among the windows", 15)


def gone(app, name, what):
    wait_for(lambda: all(w is None or w.name != name for w in app), f"{what} stayed open", 10)


def key(keysym):
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)


FILTER = (pyatspi.ROLE_TEXT, "Filter by registration or type")


def check_main(main):
    check_named(main, 15)
    tool_bar, *_ = find_all(main, [
        (pyatspi.ROLE_TOOL_BAR, "Register actions"), (pyatspi.ROLE_MENU_ITEM, "File"),
        (pyatspi.ROLE_MENU_ITEM, "Open Register URL…"), (pyatspi.ROLE_MENU_ITEM, "Quit"),
        FILTER, (pyatspi.ROLE_LABEL, "Status")])
    if tool_bar is not None:
        find_all(tool_bar, [(pyatspi.ROLE_PUSH_BUTTON, name) for name in
                            ("Open Register…", "Add Read-outs…", "Report…", "Export…")])


def fleet_table(main, registration):
    """The fleet table, once it shows the register's one aircraft in its registration column."""
    table = need(main, pyatspi.ROLE_TABLE, "Fleet ranked by life used")
    cells = table.queryTable()
    wait_for(lambda: cells.nRows == 1, f"the fleet table has {cells.nRows} rows, not 1")
    expect_cell(table, 0, "registration", registration)
    return table


def expect_cell(table, row, column, text):
    """The cell of a row in the column headed so says text, by its name as a reader says it."""
    cells = table.queryTable()
    headers = [cells.getColumnHeader(c).name for c in range(cells.nColumns)]
    if column not in headers:
        fault(f"no column '{column}' in {said(table)}, only {headers}")
        return
    cell = cells.getAccessibleAt(row, headers.index(column))
    if cell.name != text:
        fault(f"{said(table)}: row {row} says '{cell.name}' under '{column}', not '{text}'")


def check_filter(main, table):
    """Text set over AT-SPI filters the rows; the field's clear button brings them back."""
    edit = need(main, *FILTER)
    cells = table.queryTable()
    edit.queryEditableText().setTextContents("NO-SUCH-AIRCRAFT")
    wait_for(lambda: cells.nRows == 0, "a filter that matches nothing left rows")
    shown = wait_for(lambda: [n for n in walk(edit) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON
                              and has(n, pyatspi.STATE_SHOWING)],
                     "the filter shows no clear button")
    act(shown[0], "Press")
    wait_for(lambda: cells.nRows == 1, f"{path(shown[0])} did not bring the row back")
    left = edit.queryText().getText(0, -1)
    if left:
        fault(f"{path(shown[0])} left '{left}' in the filter")


def check_fleet_report(app, main):
    """The tool bar's Report opens the fleet report's dialog; its box enables its day."""
    act(need(main, pyatspi.ROLE_PUSH_BUTTON, "Report…"), "Press", reply=False)
    dialog = window(app, pyatspi.ROLE_DIALOG, "Fleet Report")
    check_named(dialog, 4)
    since, day = find_all(dialog, [
        (pyatspi.ROLE_CHECK_BOX, "Only the read-outs taken since a day"),
        (pyatspi.ROLE_SPIN_BUTTON, "First day of the report")])
    if since is not None and day is not None:
        if has(day, pyatspi.STATE_ENABLED):
            fault("the first day is enabled before its box is ticked")
        act(since, "Toggle")
        wait_for(lambda: has(day, pyatspi.STATE_ENABLED), "ticking the box did not enable its day")
    close_with_cancel(app, dialog, "the fleet report's dialog")


def check_location_dialog(app, main):
    """File > Open Register URL asks for the location in a dialog of Qt's, named as ours are."""
    act(need(main, pyatspi.ROLE_MENU_ITEM, "Open Register URL…"), "Press", reply=False)
    dialog = window(app, pyatspi.ROLE_DIALOG, "Register location")
    check_named(dialog, 3)
    close_with_cancel(app, dialog, "the register location's dialog")


def check_add(app, main, readout):
    """Add Read-outs, given a file in Qt's file dialog, asks about it in a dialog of ours. Only
    ours is checked: the file dialog, and its names, are Qt's."""
    act(need(main, pyatspi.ROLE_PUSH_BUTTON, "Add Read-outs…"), "Press", reply=False)
    chooser = window(app, pyatspi.ROLE_DIALOG, "Add Read-outs")
    need(chooser, pyatspi.ROLE_TEXT, "File name:").queryEditableText().setTextContents(readout)
    act(need(chooser, pyatspi.ROLE_PUSH_BUTTON, "Open"), "Press")
    dialog = window(app, pyatspi.ROLE_DIALOG, "Add read-outs")
    check_named(dialog, 8)
    find_all(dialog, [
        (pyatspi.ROLE_TEXT, "Registration: an aircraft of the register, or a new one"),
        (pyatspi.ROLE_TEXT, "Type of the new aircraft")])
    close_with_cancel(app, dialog, "the dialog of the read-outs to add")


def open_page(app, main, table, registration):
    """Enter in the filter goes on to the rows, and Enter there opens the current aircraft's
    page, the keys pressed through AT-SPI's registry."""
    wait_for(lambda: has(main, pyatspi.STATE_ACTIVE), "the main window is not active again")
    edit = need(main, *FILTER)
    act(edit, "SetFocus")
    wait_for(lambda: has(edit, pyatspi.STATE_FOCUSED), "the filter did not take the focus")
    key(RETURN)
    wait_for(lambda: has(table, pyatspi.STATE_FOCUSED),
             "Enter in the filter did not go on to the rows")
    key(RETURN)
    return window(app, pyatspi.ROLE_DIALOG, registration)


def check_page(app, page, registration, taken):
    """The aircraft's page and the dialogs of its buttons, each opened and closed over AT-SPI."""
    check_named(page, 12)
    history, exceedance, first_day, report, structure, *_ = find_all(page, [
        (pyatspi.ROLE_TABLE, f"History of {registration}"),
        (pyatspi.ROLE_PAGE_TAB, "Exceedance"),
        (pyatspi.ROLE_SPIN_BUTTON, "First day of the period"),
        (pyatspi.ROLE_PUSH_BUTTON, "Report of the aircraft"),
        (pyatspi.ROLE_PUSH_BUTTON, "Structural data and thresholds"),
        (pyatspi.ROLE_PAGE_TAB, "History"), (pyatspi.ROLE_PAGE_TAB, "Trend"),
        (pyatspi.ROLE_PAGE_TAB, "Over limit"), (pyatspi.ROLE_FILLER, "Pages of the aircraft")])
    if history is not None:
        expect_cell(history, 0, "taken", taken)
    if exceedance is not None and first_day is not None:
        act(exceedance, "Press")
        wait_for(lambda: has(first_day, pyatspi.STATE_SHOWING), "the Exceedance tab did not show")
    if structure is not None:
        act(structure, "Press")
        dialog = window(app, pyatspi.ROLE_DIALOG, "Structural data and thresholds")
        check_named(dialog, 15)
        close_with_cancel(app, dialog, "the structural data's dialog")
    if report is not None:
        act(report, "Press")
        dialog = window(app, pyatspi.ROLE_DIALOG, f"Report of {registration}")
        check_named(dialog, 6)
        find_all(dialog, [(pyatspi.ROLE_CHECK_BOX, "Only the read-outs taken until a day"),
                          (pyatspi.ROLE_SPIN_BUTTON, "Last day of the report")])
        close_with_cancel(app, dialog, "the aircraft report's dialog")
    act(need(page, pyatspi.ROLE_PUSH_BUTTON, "Close"), "Press")
    gone(app, registration, "the aircraft's page")


def close_with_cancel(app, dialog, what):
    name = dialog.name
    act(need(dialog, pyatspi.ROLE_PUSH_BUTTON, "Cancel"), "Press")
    gone(app, name, what)


def main(pid, register, registration, taken, readout):
    Atspi.set_timeout(REPLY_MS, STARTUP_MS)
    app = application(pid)
    main_window = window(app, pyatspi.ROLE_FRAME, f"ZEMRA Fleet — {register}")
    check_main(main_window)
    table = fleet_table(main_window, registration)
    check_filter(main_window, table)
    check_fleet_report(app, main_window)
    check_location_dialog(app, main_window)
    check_add(app, main_window, readout)
    page = open_page(app, main_window, table, registration)
    check_page(app, page, registration, taken)
    # Quit ends the program, which the calling script sees.
    act(need(main_window, pyatspi.ROLE_MENU_ITEM, "Quit"), "Press", reply=False)


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    try:
        main(int(sys.argv[1]), *sys.argv[2:])
    except Stop as stop:
        fault(str(stop))
    sys.exit(1 if faults else 0)
