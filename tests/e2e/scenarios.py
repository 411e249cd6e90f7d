#!/usr/bin/env python3
"""End-to-end scenarios: the built program, driven through menus, buttons,
boxes and grids in a real X server, checked through a second attachment.

    scenarios.py --program build/bin/quorvel --fbserver tests/support/fbserver.sh \
                 --work DIR --screenshots DIR <scenario>
"""

import argparse
import contextlib
import os
import signal
import sys
import time
import traceback

# The source tree stays as checked out: importing the driver leaves no compiled
# file beside it (CTest and scripts/screenshots.sh run this file with -B too).
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import qvdriver  # noqa: E402
from qvdriver import StepFailed, wait_equal, wait_for  # noqa: E402

SCENARIOS = {}
DEADLINE = 75  # seconds; CTest's timeout for a scenario is 90


def scenario(function):
    SCENARIOS[function.__name__] = function
    return function


class Steps:
    """Names each step, so a failure's screenshot says where it happened."""

    def __init__(self, session):
        self.session = session
        self.count = 0

    @contextlib.contextmanager
    def __call__(self, title):
        self.count += 1
        started = time.monotonic()
        print(f"-- {self.count}. {title}", flush=True)
        try:
            yield
        except BaseException:
            slug = "".join(c if c.isalnum() else "-" for c in title.lower()).strip("-")
            self.session.record_failure(f"{self.count:02d}-{slug}")
            raise
        print(f"   ok ({time.monotonic() - started:.1f} s)", flush=True)


def expect(condition, message):
    if not condition:
        raise StepFailed(message)


# --- shared steps -------------------------------------------------------------

def login(session, app, path):
    """File > Connect, fill the login dialog, wait for "Connected".

    Returns the path the dialog offered before it was filled in.
    """
    app.menu("File", "Connect")
    dialog = app.dialog("Database login")
    database = app.find("text", root=app.find("combo box", "Database", dialog))
    offered = app.text_of(database)
    app.set_text(database, session.server.url(path))
    app.set_text(app.find("text", "Username", dialog), "SYSDBA")
    app.set_text(app.find("password text", "Password", dialog),
                 session.server.password)
    app.click_button("OK", dialog)
    app.no_dialog("Database login")
    app.wait_status("Connected")
    return offered


def start_connected(session, steps, path):
    with steps("start the program and connect through the login dialog"):
        app = session.start()
        expect(app.status_panels()[0] == "Disconnected", "a new program is not disconnected")
        expect(app.menu_enabled("Database") is False, "Database menu enabled before login")
        login(session, app, path)
        expect(app.menu_enabled("Database"), "Database menu disabled after login")
    return app


def open_window(app, item, title):
    """Database > item; returns the child window it opens."""
    app.menu("Database", item)
    return app.child_window(title)


def set_auto_commit(app, on):
    """Turns auto-commit on or off through the File menu, as panel 2 shows."""
    if (app.status_panels()[1] == "AUTO") != on:
        app.menu("File", "Auto Commit")
    wait_for(f"auto-commit {'on' if on else 'off'}",
             lambda: (app.status_panels()[1] == "AUTO") == on)


def exit_program(app, commit_answer=None):
    """File > Exit, confirm, answer "Commit work?" when asked; the program ends."""
    app.menu("File", "Exit")
    app.answer("Confirm", "OK", expect="Are you sure to exit?")
    if commit_answer is not None:
        app.answer("Confirm", commit_answer, expect="Commit work?")
    code = app.wait_exit()
    expect(code == 0, f"the program exited with {code}")


# --- scenarios ----------------------------------------------------------------

@scenario
def login_and_exit(session, steps):
    path = session.database(["CREATE EXCEPTION E_KEEP 'kept'"])
    app = start_connected(session, steps, path)
    with steps("exit without an open transaction; the path is remembered"):
        exit_program(app)
        history = os.path.join(os.path.dirname(session.executable), "connect.hst")
        expect(os.path.exists(history), "no connection history written")
        with open(history, encoding="utf-8") as file:
            expect(session.server.url(path) in file.read(), "the path is not in the history")

    with steps("start again with auto-commit off and change the database"):
        app = session.start()
        expect(login(session, app, path) == session.server.url(path),
               "the login dialog does not offer the path used last")
        expect(app.status_panels()[1] == "", "auto-commit is on after a run that left it off")
        window = open_window(app, "Exceptions", "Exceptions")
        app.click_button("Delete current exception", window)
        app.answer("Confirm", "OK", expect="Proceed to delete exception 'E_KEEP'")
        expect(app.menu_enabled("File", "Rollback Work"), "no open transaction shown")
    with steps("exit with an open transaction, committing it"):
        exit_program(app, commit_answer="Yes")
        expect(session.server.column(path, "SELECT RDB$EXCEPTION_NAME FROM RDB$EXCEPTIONS")
               == [], "the committed drop is not in the database")


@scenario
def exceptions(session, steps):
    path = session.database(["CREATE EXCEPTION E_OLD 'was there'"])
    app = start_connected(session, steps, path)
    set_auto_commit(app, True)
    with steps("Database > Exceptions lists the exceptions"):
        window = open_window(app, "Exceptions", "Exceptions")
        grid = app.find("table", "Exceptions", window)
        wait_equal("E_OLD listed", lambda: app.grid_records(grid, "NAME", "MESSAGE"),
                   [["E_OLD", "was there"]])
    with steps("New, type a name and a message, OK: the new row is listed"):
        app.click_button("Create new exception", window)
        dialog = app.dialog("Exceptions")
        app.set_text(app.find("text", "Exception Name", dialog), "E_NEW")
        app.set_text(app.find("text", "Message to show", dialog), "made by a user")
        app.click_button("OK", dialog)
        app.gone(dialog, "the exception dialog")
        wait_equal("E_NEW listed", lambda: app.grid_records(grid, "NAME", "MESSAGE"),
                   [["E_NEW", "made by a user"], ["E_OLD", "was there"]])
        expect(session.server.scalar(
            path, "SELECT RDB$MESSAGE FROM RDB$EXCEPTIONS WHERE RDB$EXCEPTION_NAME = 'E_NEW'")
            == "made by a user", "the new exception is not in the database")
    with steps("a refused statement shows the server's message in the error box"):
        app.click_button("Create new exception", window)
        dialog = app.dialog("Exceptions")
        app.set_text(app.find("text", "Exception Name", dialog), "E_OLD")
        app.set_text(app.find("text", "Message to show", dialog), "twice")
        app.click_button("OK", dialog)
        text = app.answer("Quorvel for Interbase", "OK")
        expect("E_OLD" in text and text.endswith("."), f"unexpected error text {text!r}")
        wait_equal("the list as it was", lambda: app.grid_column(grid, "NAME"),
                   ["E_NEW", "E_OLD"])
        expect(session.server.scalar(
            path, "SELECT RDB$MESSAGE FROM RDB$EXCEPTIONS WHERE RDB$EXCEPTION_NAME = 'E_OLD'")
            == "was there", "the refused statement changed the database")
        expect(app.menu_enabled("File", "Commit Work") is False,
               "a transaction is left open after the refused statement")


def select_row(app, grid, header, value):
    """Clicks the cell under header that holds value, making its row current."""
    column = app.grid_headers(grid).index(header)
    rows = wait_for(f"{value!r} under {header}", lambda: [
        r for r, cells in enumerate(app.grid_rows(grid)) if cells[column] == value])
    app.click(app.cell(grid, rows[0], column))


@scenario
def domains(session, steps):
    path = session.database(["CREATE DOMAIN D_QTY INTEGER DEFAULT 0 NOT NULL CHECK (VALUE >= 0)",
                             "CREATE DOMAIN D_NOTE VARCHAR(40)"])
    app = start_connected(session, steps, path)
    set_auto_commit(app, True)
    with steps("Database > Domains lists the user's domains with their types"):
        window = open_window(app, "Domains", "Domains")
        grid = app.find("table", "Domains", window)
        wait_equal("both domains", lambda: sorted(app.grid_column(grid, "NAME")),
                   ["D_NOTE", "D_QTY"])
        types = dict(app.grid_records(grid, "NAME", "TYPE"))
        expect("VARCHAR" in types["D_NOTE"] and "40" in types["D_NOTE"],
               f"D_NOTE's type reads {types['D_NOTE']!r}")
        expect("INTEGER" in types["D_QTY"], f"D_QTY's type reads {types['D_QTY']!r}")
    with steps("delete a domain after confirming; refresh drops it from the list"):
        select_row(app, grid, "NAME", "D_NOTE")
        app.click_button("Delete current domain", window)
        app.answer("Confirm", "OK", expect="Proceed to delete domain 'D_NOTE' from database")
        wait_equal("D_NOTE dropped", lambda: session.server.column(
            path, "SELECT RDB$FIELD_NAME FROM RDB$FIELDS WHERE RDB$FIELD_NAME STARTING 'D_'"),
            ["D_QTY"])
        app.click_button("Refresh table contents", window)
        wait_equal("the list after refresh", lambda: app.grid_column(grid, "NAME"), ["D_QTY"])


@scenario
def generators(session, steps):
    path = session.database(["CREATE GENERATOR G_OLD", "SET GENERATOR G_OLD TO 5"])
    app = start_connected(session, steps, path)
    set_auto_commit(app, True)
    gen_value = "SELECT GEN_ID({}, 0) FROM RDB$DATABASE"
    with steps("Database > Generators lists generators with their values"):
        window = open_window(app, "Generators", "Generators")
        tree = app.find(("tree table", "table", "tree"), "Generators", window)
        wait_equal("G_OLD listed", lambda: app.grid_records(
            tree, "Generator name", "Value", "System"), [["G_OLD", "5", "No"]])
    with steps("New: a name and a start value create the generator"):
        app.click_button("Create new generator", window)
        dialog = app.dialog("New generator")
        app.set_text(app.find("text", "Generator Name", dialog), "G_NEW")
        app.set_text(app.find("text", "Generator Value", dialog), "42")
        app.click_button("Ok", dialog)
        app.gone(dialog, "the generator dialog")
        wait_equal("G_NEW listed", lambda: app.grid_records(tree, "Generator name", "Value"),
                   [["G_NEW", "42"], ["G_OLD", "5"]])
        expect(session.server.scalar(path, gen_value.format("G_NEW")) == "42",
               "G_NEW does not hold 42")
    with steps("set a generator's value, refresh shows it"):
        select_row(app, tree, "Generator name", "G_OLD")
        app.click_button("Edit generator value", window)
        dialog = app.dialog("Set generator value")
        app.set_text(app.find("text", "Generator Value", dialog), "100")
        app.click_button("Ok", dialog)
        app.gone(dialog, "the generator dialog")
        expect(session.server.scalar(path, gen_value.format("G_OLD")) == "100",
               "G_OLD does not hold 100")
        app.click_button("Refresh generators list", window)
        wait_equal("the new value listed", lambda: app.grid_records(
            tree, "Generator name", "Value"), [["G_NEW", "42"], ["G_OLD", "100"]])
    with steps("a value that is no number is refused and the dialog stays"):
        select_row(app, tree, "Generator name", "G_OLD")
        app.click_button("Edit generator value", window)
        dialog = app.dialog("Set generator value")
        app.set_text(app.find("text", "Generator Value", dialog), "many")
        app.click_button("Ok", dialog)
        app.answer("Quorvel for Interbase", "OK", expect="'many' is not a valid integer value")
        app.click_button("Cancel", dialog)
        app.gone(dialog, "the generator dialog")
        expect(session.server.scalar(path, gen_value.format("G_OLD")) == "100",
               "a refused value changed G_OLD")


@scenario
def procedures(session, steps):
    path = session.database([
        "CREATE PROCEDURE P_TIMES (X INTEGER) RETURNS (Y INTEGER) AS "
        "BEGIN Y = X * 2; SUSPEND; END"])
    app = start_connected(session, steps, path)
    set_auto_commit(app, True)
    with steps("Database > Procedures lists the procedure and its parameters"):
        window = open_window(app, "Procedures", "Stored Procedures")
        grid = app.find("table", "Stored procedures", window)
        wait_for("P_TIMES listed", lambda: "P_TIMES" in app.grid_rows(grid)[0])
        inputs = app.find("table", "Input parameters", window)
        wait_for("X among the input parameters",
                 lambda: any("X" in row for row in app.grid_rows(inputs)))
    with steps("rebuild the procedure into a DDL window"):
        app.click_button("Edit procedure DDL statement", window)
        ddl = app.child_window("DDL  Statements Editor")
        editor = app.find("text", "DDL statement", ddl)
        text = wait_for("the rebuilt statement", lambda: app.text_of(editor))
        expect(text.startswith("ALTER PROCEDURE P_TIMES"), f"the DDL window holds {text!r}")
        expect("Y = X * 2;" in text, f"the body is missing from {text!r}")
    with steps("change the body and run it: the database has the new procedure"):
        app.set_text(editor, text.replace("X * 2", "X * 3"))
        app.click_button("Run DDL statement", ddl)
        wait_equal("the altered procedure", lambda: session.server.scalar(
            path, "SELECT Y FROM P_TIMES(5)"), "15")


@scenario
def triggers(session, steps):
    path = session.database([
        "CREATE TABLE T_ITEM (ID INTEGER, QTY INTEGER)",
        "CREATE TRIGGER T_ITEM_BI FOR T_ITEM ACTIVE BEFORE INSERT POSITION 0 AS "
        "BEGIN NEW.QTY = 1; END"])
    app = start_connected(session, steps, path)
    set_auto_commit(app, True)
    inactive = ("SELECT RDB$TRIGGER_INACTIVE FROM RDB$TRIGGERS "
                "WHERE RDB$TRIGGER_NAME = 'T_ITEM_BI'")
    with steps("Database > Triggers lists the trigger as active"):
        window = open_window(app, "Triggers", "Triggers List")
        grid = app.find("table", "Triggers", window)
        wait_equal("T_ITEM_BI listed", lambda: app.grid_records(
            grid, "NAME", "RELATION", "ACTIVE"), [["T_ITEM_BI", "T_ITEM", "ACTIVE"]])
    with steps("deactivate, then activate the trigger"):
        select_row(app, grid, "NAME", "T_ITEM_BI")
        app.click_button("Set trigger inactive", window)
        wait_equal("INACTIVE shown", lambda: app.grid_column(grid, "ACTIVE"), ["INACTIVE"])
        expect(session.server.scalar(path, inactive) == "1", "the trigger is still active")
        app.click_button("Set trigger active", window)
        wait_equal("ACTIVE shown", lambda: app.grid_column(grid, "ACTIVE"), ["ACTIVE"])
        expect(session.server.scalar(path, inactive) == "0", "the trigger is still inactive")
    with steps("edit the trigger's source and run ALTER TRIGGER"):
        app.click_button("Edit trigger source", window)
        editor_window = app.child_window("Trigger -T_ITEM_BI")
        editor = app.find("text", "Trigger source", editor_window)
        text = wait_for("the trigger's source", lambda: app.text_of(editor))
        expect("NEW.QTY = 1;" in text, f"the editor holds {text!r}")
        app.set_text(editor, text.replace("NEW.QTY = 1;", "NEW.QTY = 2;"))
        app.click_button('Run "ALTER TRIGER" statement', editor_window)
        wait_equal("the altered trigger at work", lambda: session.server.column(
            path, "INSERT INTO T_ITEM (ID) VALUES (1);\nSELECT QTY FROM T_ITEM;\nROLLBACK"),
            ["2"])


REPOSITORY_BOX = "Create/register Object repository table"


def make_repository(app, directory):
    """File > Object Repository Settings...: create the table in directory."""
    app.menu("File", "Object Repository Settings...")
    dialog = app.dialog(REPOSITORY_BOX)
    app.set_text(app.find("text", "Directory of object repository table", dialog), directory)
    app.click_button("OK", dialog)
    app.answer("Confirm", "OK", expect="Table 'DVSRC.DB' in directory not exists. Create It?")
    app.answer("Quorvel for Interbase", "OK", expect="Table created")
    app.gone(dialog, "the repository settings")


@scenario
def ddl_window(session, steps):
    path = session.database()
    app = start_connected(session, steps, path)
    set_auto_commit(app, True)
    statement = "CREATE TABLE T_TYPED (ID INTEGER, NAME VARCHAR(20))"
    with steps("create the repository table in the program's folder"):
        make_repository(app, session.home)
    with steps("type a statement into the DDL window and run it"):
        ddl = open_window(app, "DDL Statements", "DDL  Statements Editor")
        editor = app.find("text", "DDL statement", ddl)
        app.type_into(editor, statement)
        wait_equal("the typed text", lambda: app.text_of(editor), statement)
        app.click_button("Run DDL statement", ddl)
        wait_equal("T_TYPED created", lambda: session.server.column(
            path, "SELECT RDB$RELATION_NAME FROM RDB$RELATIONS "
                  "WHERE RDB$RELATION_NAME = 'T_TYPED'"), ["T_TYPED"])
    with steps("add the statement to the repository under a name"):
        app.click_button("Add active DDL statement to repository", ddl)
        box = app.dialog("Name of statement")
        app.set_text(app.find("text", root=box), "typed table")
        app.click_button("OK", box)
        app.gone(box, "the name box")
        repository = app.child_window("Objects repository")
        entries = app.find("table", "Repository entries", repository)
        wait_equal("the entry listed", lambda: app.grid_column(entries, "Object Name"),
                   ["typed table"])
    with steps("fetch it back from the repository into an emptied DDL window"):
        app.activate_window("DDL  Statements Editor")
        app.set_text(editor, "")
        app.click_button("Select saved DDL statement from repository", ddl)
        picker = app.dialog("Select Object Source")
        select_row(app, app.find("table", "Repository entries", picker), "Object Name",
                   "typed table")
        app.click_button("OK", picker)
        app.gone(picker, "the repository picker")
        wait_equal("the fetched statement", lambda: app.text_of(editor), statement)
    with steps("open a query as a result set"):
        session.server.column(path, "INSERT INTO T_TYPED VALUES (1, 'one');\n"
                                    "INSERT INTO T_TYPED VALUES (2, 'two');\nCOMMIT;\n"
                                    "SELECT COUNT(*) FROM T_TYPED")
        app.set_text(editor, "SELECT ID, NAME FROM T_TYPED ORDER BY ID")
        app.menu("DDL", "Open As Result Set")
        output = app.child_window("SQL Output")
        result = app.find("table", "Result set", output)
        wait_equal("the rows", lambda: app.grid_records(result, "ID", "NAME"),
                   [["1", "one"], ["2", "two"]])


def pick_relation(app, window, kind, name):
    """Picks a table or view in the structure window's picker; returns the
    structure window, titled after it."""
    app.click_button(f"Select {kind} to view structure", window)
    picker = app.dialog(f"Select {kind}")
    app.click(app.find("list item", name, picker, into_grids=True))
    app.click_button("Ok", picker)
    app.gone(picker, f"the {kind} picker")
    return app.child_window(f"{kind.capitalize()} structure -{name}")


def open_data_view(app, relation):
    """Database > Data View, pick the relation; returns its window and grid."""
    data = open_window(app, "Data View", "Data Viewer")
    app.choose_in_combo(app.find("combo box", "Table or view", data), relation)
    data = app.child_window("Table data -" + relation)
    return data, app.find("table", "Table data", data)


def edit_cell(app, grid, row, header, text):
    """Double-clicks the cell and types text over its value."""
    column = app.grid_headers(grid).index(header)
    app.click(app.cell(grid, row, column), double=True)
    # The cell's editor is no accessible child of the grid: type into it.
    time.sleep(0.2)
    app.key("ctrl+a")
    qvdriver.xdotool("type", "--delay", 5, text)
    app.key("Return")


@scenario
def structure_and_data(session, steps):
    path = session.database([
        "CREATE TABLE T_ITEM (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(20))",
        "CREATE VIEW V_BIG (ID, NAME) AS SELECT ID, NAME FROM T_ITEM WHERE ID > 1",
        "INSERT INTO T_ITEM VALUES (1, 'small')",
        "INSERT INTO T_ITEM VALUES (2, 'big')"])
    app = start_connected(session, steps, path)
    set_auto_commit(app, True)
    with steps("structure window: pick a view and see its columns"):
        window = open_window(app, "Table Structures", "Table Structure")
        window = pick_relation(app, window, "view", "V_BIG")
        columns = app.find("table", "Table structure", window)
        wait_for("the view's columns", lambda: [
            row for row in app.grid_rows(columns) if "ID" in row or "NAME" in row][1:])
    with steps("rebuild the view's statement into a DDL window"):
        app.click_button('Show view "SELECT"statement', window)
        ddl = app.child_window("DDL  Statements Editor")
        editor = app.find("text", "DDL statement", ddl)
        text = wait_for("the rebuilt statement", lambda: app.text_of(editor))
        expect(text.splitlines()[:3] == ["CREATE VIEW V_BIG ", "(ID, NAME)", "AS"],
               f"the rebuilt statement reads {text!r}")
        expect("WHERE ID > 1" in text, f"the view's query is missing from {text!r}")
    with steps("show the view's data"):
        app.activate_window("View structure -V_BIG")
        app.click_button("Show data window", window)
        data = app.child_window("Data Viewer-V_BIG")
        grid = app.find("table", "Table data", data)
        wait_equal("the view's rows", lambda: app.grid_records(grid, "ID", "NAME"),
                   [["2", "big"]])
    with steps("data view: pick a table, edit a cell and post it"):
        data, grid = open_data_view(app, "T_ITEM")
        wait_equal("the table's rows", lambda: app.grid_records(grid, "ID", "NAME"),
                   [["1", "small"], ["2", "big"]])
        edit_cell(app, grid, 0, "NAME", "renamed")
        app.click_button("Post edit", data)
        wait_equal("the posted row", lambda: session.server.column(
            path, "SELECT NAME FROM T_ITEM ORDER BY ID"), ["renamed", "big"])


def open_tab(app, window, title):
    """Shows the pane of a tab widget; returns the grid the pane holds."""
    app.click(app.find("page tab", title, window))
    return app.find("table", title, window)


@scenario
def explorer(session, steps):
    path = session.database([
        "CREATE TABLE T_CUSTOMER (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(20))",
        "CREATE TABLE T_ORDER (ID INTEGER NOT NULL, CUSTOMER INTEGER, TOTAL NUMERIC(9,2), "
        "CONSTRAINT T_ORDER_PK PRIMARY KEY (ID), "
        "CONSTRAINT T_ORDER_CUSTOMER FOREIGN KEY (CUSTOMER) REFERENCES T_CUSTOMER (ID) "
        "ON DELETE CASCADE)",
        "CREATE DESCENDING INDEX T_ORDER_TOTAL ON T_ORDER (TOTAL)",
        "CREATE TRIGGER T_ORDER_BI FOR T_ORDER ACTIVE BEFORE INSERT POSITION 0 AS "
        "BEGIN NEW.TOTAL = 0; END"])
    app = start_connected(session, steps, path)
    with steps("the explorer, open at connect, finds the table by part of its name"):
        explorer_window = app.child_window("Database Explorer")
        app.type_into(app.find("text", "Filter", explorer_window), "ord")
        item = app.find(("tree item", "table cell", "list item"), "T_ORDER", explorer_window,
                        into_grids=True)
        app.click(item, double=True)
        window = app.child_window("Table structure -T_ORDER")
    with steps("the Indices pane lists the table's indices"):
        grid = open_tab(app, window, "Indices")
        wait_equal("the indices", lambda: app.grid_records(
            grid, "Name", "Columns or expression", "Unique", "Order"),
            [["T_ORDER_CUSTOMER", "CUSTOMER", "", "ASCENDING"],
             ["T_ORDER_PK", "ID", "UNIQUE", "ASCENDING"],
             ["T_ORDER_TOTAL", "TOTAL", "", "DESCENDING"]])
    with steps("the keys pane shows the foreign key with its table and rule"):
        grid = open_tab(app, window, "Keys and constraints")
        wait_equal("the keys", lambda: app.grid_records(
            grid, "Name", "Kind", "References", "Rules or condition"),
            [["T_ORDER_CUSTOMER", "FOREIGN KEY", "T_CUSTOMER (ID)",
              "ON UPDATE RESTRICT ON DELETE CASCADE"],
             ["T_ORDER_PK", "PRIMARY KEY", "", ""]])
    with steps("a double-click on a trigger opens it in the trigger source editor"):
        grid = open_tab(app, window, "Triggers")
        wait_equal("the triggers", lambda: app.grid_column(grid, "Name"), ["T_ORDER_BI"])
        app.click(app.cell(grid, 0, 0), double=True)
        editor_window = app.child_window("Trigger -T_ORDER_BI")
        editor = app.find("text", "Trigger source", editor_window)
        text = wait_for("the trigger's source", lambda: app.text_of(editor))
        expect("NEW.TOTAL = 0;" in text, f"the editor holds {text!r}")
        no_error_box(app)


def ddl_window_on(session, steps, schema, auto_commit):
    """A database of the schema, the program connected to it with auto-commit
    as asked, and its DDL window: (path, program, window, editor)."""
    path = session.database(schema)
    app = start_connected(session, steps, path)
    set_auto_commit(app, auto_commit)
    ddl = open_window(app, "DDL Statements", "DDL  Statements Editor")
    return path, app, ddl, app.find("text", "DDL statement", ddl)


@scenario
def auto_commit_off(session, steps):
    path, app, ddl, editor = ddl_window_on(
        session, steps, ["CREATE TABLE T_LOG (ID INTEGER, NOTE VARCHAR(20))",
                         "INSERT INTO T_LOG VALUES (1, 'kept')"], auto_commit=False)
    rows = "SELECT ID || ' ' || NOTE FROM T_LOG ORDER BY ID"
    with steps("run two statements without auto-commit"):
        for statement in ("INSERT INTO T_LOG VALUES (2, 'added')",
                          "UPDATE T_LOG SET NOTE = 'changed' WHERE ID = 1"):
            app.set_text(editor, statement)
            app.click_button("Run DDL statement", ddl)
            wait_for("an open transaction", lambda: app.menu_enabled("File", "Rollback Work"))
        expect(session.server.column(path, rows) == ["1 kept"],
               "uncommitted work is visible to another attachment")
    with steps("roll back: both are undone"):
        app.menu("File", "Rollback Work")
        wait_for("no open transaction",
                 lambda: app.menu_enabled("File", "Rollback Work") is False)
        expect(session.server.column(path, rows) == ["1 kept"], "the rollback kept work")
    with steps("the same statements committed are kept"):
        for statement in ("INSERT INTO T_LOG VALUES (2, 'added')",
                          "UPDATE T_LOG SET NOTE = 'changed' WHERE ID = 1"):
            app.set_text(editor, statement)
            app.click_button("Run DDL statement", ddl)
        app.menu("File", "Commit Work")
        wait_equal("the committed rows", lambda: session.server.column(path, rows),
                   ["1 changed", "2 added"])


@scenario
def signal_ends(session, steps):
    """A session's logout sends SIGTERM: the program ends by itself, its
    uncommitted work rolled back, no attachment left on the server."""
    path, app, ddl, editor = ddl_window_on(
        session, steps, ["CREATE TABLE T_LOG (ID INTEGER)"], auto_commit=False)
    attachments = ("SELECT COUNT(*) FROM MON$ATTACHMENTS "
                   "WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION AND MON$SYSTEM_FLAG = 0")
    with steps("uncommitted work, then SIGTERM"):
        app.set_text(editor, "INSERT INTO T_LOG VALUES (1)")
        app.click_button("Run DDL statement", ddl)
        wait_for("an open transaction", lambda: app.menu_enabled("File", "Rollback Work"))
        app.process.send_signal(signal.SIGTERM)
        code = app.wait_exit(timeout=10)
        expect(code == 0, f"the program exited with {code}")
    with steps("nothing committed, nobody attached"):
        expect(session.server.column(path, "SELECT ID FROM T_LOG") == [],
               "the signal committed uncommitted work")
        expect(session.server.scalar(path, attachments) == "0",
               "the program's attachment outlived it")


@scenario
def lock_wait(session, steps):
    path, app, ddl, editor = ddl_window_on(
        session, steps, ["CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, QTY INTEGER)",
                         "INSERT INTO T VALUES (1, 10)"], auto_commit=True)
    qty = "SELECT QTY FROM T WHERE ID = 1"
    app.set_text(editor, "UPDATE T SET QTY = QTY + 5 WHERE ID = 1")
    with session.server.holding(path, ["UPDATE T SET QTY = 11 WHERE ID = 1"]) as other:
        with steps("the statement waits for the other user's lock behind a wait box"):
            app.click_button("Run DDL statement", ddl)
            box = app.dialog("Waiting for the server\u2026")
            expect(app.message_text(box) == "Waiting for the server\u2026",
                   f"the wait box says {app.message_text(box)!r}")
            # The frame still answers while the statement waits.
            expect(app.status_panels()[1] == "AUTO", "the frame's panels do not answer")
        with steps("Cancel fails the statement with the server's message"):
            app.click_button("Cancel", box)
            app.gone(box, "the wait box")
            app.answer("Quorvel for Interbase", "OK", expect="operation was cancelled")
            expect(app.menu_enabled("File", "Rollback Work") is False,
                   "the cancelled statement left a transaction open")
        other.end(commit=True)
    with steps("the lock gone, the statement changes the row once"):
        expect(session.server.scalar(path, qty) == "11", "the cancelled statement wrote")
        app.click_button("Run DDL statement", ddl)
        wait_equal("the row changed", lambda: session.server.scalar(path, qty), "16")
        no_error_box(app)


# A dialect-3 schema: names that need quotes, the types dialect 1 lacks, and
# values a careless round trip would bend (18 digits, ten-thousandths of a
# second, integer division).
DIALECT3_SCHEMA = [
    'CREATE TABLE "Customer Orders" ("Order Id" INTEGER NOT NULL PRIMARY KEY, '
    '"Note" VARCHAR(20), "Amount" NUMERIC(18,2), "Big" BIGINT, "Placed" TIMESTAMP)',
    """INSERT INTO "Customer Orders" VALUES (1, 'first', 1234567890123456.78, """
    """9000000000000000001, TIMESTAMP '2020-01-02 10:11:12.3456')""",
    """INSERT INTO "Customer Orders" VALUES (2, 'second', -0.01, -1, NULL)""",
    "CREATE PROCEDURE P_MIX (A INTEGER, B INTEGER, BIG BIGINT, D DATE, TS TIMESTAMP, "
    "FLAG BOOLEAN, N NUMERIC(18,4)) RETURNS (R INTEGER, BIG_OUT BIGINT, D_OUT DATE, "
    "TS_OUT TIMESTAMP, FLAG_OUT BOOLEAN, N_OUT NUMERIC(18,4)) AS BEGIN "
    "R = A / B; BIG_OUT = BIG + 1; D_OUT = D + 1; TS_OUT = TS; FLAG_OUT = NOT FLAG; "
    "N_OUT = N / 3; SUSPEND; END",
]
ORDER_ROWS = ("""SELECT "Order Id" || '|' || COALESCE("Note", '-') || '|' || "Amount" """
              """|| '|' || "Big" || '|' || COALESCE(CAST("Placed" AS VARCHAR(30)), '-') """
              """FROM "Customer Orders" ORDER BY 1""")
P_MIX_CALL = ("SELECT R || '|' || BIG_OUT || '|' || D_OUT || '|' || TS_OUT || '|' || "
              "FLAG_OUT || '|' || N_OUT FROM P_MIX(5, 2, 9000000000000000000, "
              "DATE '2020-02-28', TIMESTAMP '2020-01-02 10:11:12.3456', TRUE, 10.0001)")
# 5 / 2 stays 2, the TIMESTAMP keeps its time, NUMERIC(18,4) its scale.
P_MIX_RESULT = "2|9000000000000000001|2020-02-29|2020-01-02 10:11:12.3456|FALSE|3.3333"
P_MIX_PARAMETERS = (
    "SELECT P.RDB$PARAMETER_NAME || ':' || P.RDB$PARAMETER_TYPE || ':' || F.RDB$FIELD_TYPE "
    "|| ':' || COALESCE(F.RDB$FIELD_SUB_TYPE, 0) || ':' || F.RDB$FIELD_SCALE || ':' || "
    "COALESCE(F.RDB$FIELD_PRECISION, 0) FROM RDB$PROCEDURE_PARAMETERS P JOIN RDB$FIELDS F "
    "ON F.RDB$FIELD_NAME = P.RDB$FIELD_SOURCE WHERE P.RDB$PROCEDURE_NAME = 'P_MIX' "
    "ORDER BY P.RDB$PARAMETER_TYPE, P.RDB$PARAMETER_NUMBER")


def no_error_box(app):
    """A failed command shows a box; none is open."""
    boxes = [w.name for w in app.windows() if qvdriver.role_name(w) in ("dialog", "alert")]
    expect(boxes == [], f"unexpected boxes {boxes!r}")


@scenario
def dialect3(session, steps):
    path = session.database(DIALECT3_SCHEMA, dialect=3)
    app = start_connected(session, steps, path)
    with steps("the status bar says the database speaks dialect 3"):
        wait_for("'dialect 3' and the file in the status bar",
                 lambda: any(p.endswith(", dialect 3, " + os.path.basename(path))
                             for p in app.status_panels()))
    set_auto_commit(app, True)
    with steps("data view of a quoted table: one cell edited, only that value changes"):
        rows = session.server.column(path, ORDER_ROWS)
        expect(rows == ["1|first|1234567890123456.78|9000000000000000001|"
                        "2020-01-02 10:11:12.3456", "2|second|-0.01|-1|-"],
               f"the table holds {rows!r}")
        data, grid = open_data_view(app, "Customer Orders")
        wait_equal("the table's rows", lambda: app.grid_records(grid, "Order Id", "Note"),
                   [["1", "first"], ["2", "second"]])
        edit_cell(app, grid, 0, "Note", "it's edited")
        app.click_button("Post edit", data)
        rows[0] = rows[0].replace("|first|", "|it's edited|")
        wait_equal("only the edited value changed",
                   lambda: session.server.column(path, ORDER_ROWS), rows)
    with steps("an exception whose message holds quotes is stored as typed"):
        message = """It's the "customer's" order"""
        window = open_window(app, "Exceptions", "Exceptions")
        app.click_button("Create new exception", window)
        dialog = app.dialog("Exceptions")
        app.set_text(app.find("text", "Exception Name", dialog), "E_QUOTED")
        app.set_text(app.find("text", "Message to show", dialog), message)
        app.click_button("OK", dialog)
        app.gone(dialog, "the exception dialog")
        grid = app.find("table", "Exceptions", window)
        wait_equal("E_QUOTED listed", lambda: app.grid_records(grid, "NAME", "MESSAGE"),
                   [["E_QUOTED", message]])
        stored = session.server.scalar(
            path, "SELECT '<' || OCTET_LENGTH(RDB$MESSAGE) || '>' || RDB$MESSAGE || '<' "
                  "FROM RDB$EXCEPTIONS WHERE RDB$EXCEPTION_NAME = 'E_QUOTED'")
        expect(stored == f"<{len(message.encode())}>{message}<",
               f"the catalogue holds {stored!r}")
    with steps("a procedure's rebuilt text, run unchanged, keeps types and results"):
        parameters = session.server.column(path, P_MIX_PARAMETERS)
        expect(session.server.scalar(path, P_MIX_CALL) == P_MIX_RESULT,
               "P_MIX does not answer as made")
        window = open_window(app, "Procedures", "Stored Procedures")
        wait_for("P_MIX listed", lambda: "P_MIX" in app.grid_rows(
            app.find("table", "Stored procedures", window))[0])
        app.click_button("Edit procedure DDL statement", window)
        ddl = app.child_window("DDL  Statements Editor")
        text = wait_for("the rebuilt statement",
                        lambda: app.text_of(app.find("text", "DDL statement", ddl)))
        for declared in ("BIG BIGINT", "D DATE", "TS TIMESTAMP", "FLAG BOOLEAN",
                         "N NUMERIC(18,4)", "TS_OUT TIMESTAMP", "R = A / B;"):
            expect(declared in text, f"{declared!r} is missing from {text!r}")
        # Without auto-commit the open transaction tells that the text was run.
        set_auto_commit(app, False)
        app.click_button("Run DDL statement", ddl)
        wait_for("an open transaction", lambda: app.menu_enabled("File", "Rollback Work"))
        no_error_box(app)
        app.menu("File", "Commit Work")
        wait_for("no open transaction",
                 lambda: app.menu_enabled("File", "Rollback Work") is False)
        expect(session.server.column(path, P_MIX_PARAMETERS) == parameters,
               "the parameters' types changed")
        wait_equal("the same results after the round trip",
                   lambda: session.server.scalar(path, P_MIX_CALL), P_MIX_RESULT)
    with steps("exit"):
        exit_program(app)


# --- pictures for the README ----------------------------------------------------

DEMO_SQL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "demo",
                        "demo.sql")
FRAME_SIZE = (1024, 720)
SHOT_SCRIPT = """/* A price list, loaded the way isql loads it */
CREATE TABLE PRICE_LIST (ITEM VARCHAR(20) NOT NULL PRIMARY KEY, PRICE NUMERIC(9,2));
INSERT INTO PRICE_LIST VALUES ('Tea', 3.20);
INSERT INTO PRICE_LIST VALUES ('Coffee', 2.80);
COMMIT;
SET TERM ^ ;
CREATE PROCEDURE CHEAPEST RETURNS (ITEM VARCHAR(20)) AS
BEGIN
  SELECT FIRST 1 ITEM FROM PRICE_LIST ORDER BY PRICE INTO :ITEM;
  SUSPEND;
END^
SET TERM ; ^
COMMIT;
"""


def shoot(session, app, name):
    """The frame as it stands, into the pictures folder as name.png."""
    os.makedirs(session.out, exist_ok=True)
    time.sleep(0.6)  # the last paint after the data arrived
    target = os.path.join(session.out, name + ".png")
    expect(qvdriver.screenshot(target, app.frame_box()), f"no screenshot {target}")
    print(f"   {target}", flush=True)


def close_window(app, window):
    """Clicks the close box at the right end of the window's title bar."""
    box = window.queryComponent().getExtents(qvdriver._atspi().DESKTOP_COORDS)
    qvdriver.xdotool("mousemove", box.x + box.width - 14, box.y + 10)
    time.sleep(0.05)
    qvdriver.xdotool("click", 1)
    app.gone(window, "the window")


def click_at(x, y):
    qvdriver.xdotool("mousemove", x, y)
    time.sleep(0.05)
    qvdriver.xdotool("click", 1)
    time.sleep(0.3)


def maximize_window(window):
    """Clicks the maximize box, left of the close box."""
    box = window.queryComponent().getExtents(qvdriver._atspi().DESKTOP_COORDS)
    click_at(box.x + box.width - 34, box.y + 10)


def restore_window(app):
    """Clicks the restore box that a maximized window puts in the menu bar."""
    x, y, width, _ = app.frame_box()
    click_at(x + width - 31, y + 8)


@scenario
def screenshots(session, steps):
    path = os.path.join(session.work, "demo.fdb")
    with open(DEMO_SQL, encoding="utf-8") as file:
        session.server.create_database_from_script(path, file.read())
    app = start_connected(session, steps, path)
    app.resize_frame(*FRAME_SIZE)
    with steps("database explorer, filtered by part of a name"):
        explorer_window = app.child_window("Database Explorer")
        filter_box = app.find("text", "Filter", explorer_window)
        app.type_into(filter_box, "CUST")
        app.find(("tree item", "table cell", "list item"), "CUSTOMER_TOTAL", explorer_window,
                 into_grids=True)
        shoot(session, app, "explorer")
        app.click(filter_box)
        app.key("ctrl+a", "BackSpace")
    simple = [("domains", "Domains", "Domains", "Domains"),
              ("exceptions", "Exceptions", "Exceptions", "Exceptions"),
              ("generators", "Generators", "Generators", "Generators"),
              ("triggers", "Triggers", "Triggers List", "Triggers")]
    for name, item, title, grid in simple:
        with steps(f"{item} window"):
            window = open_window(app, item, title)
            table = app.find(("table", "tree table", "tree"), grid, window)
            wait_for("its rows", lambda: table.childCount > 0)
            shoot(session, app, name)
            if name != "triggers":
                close_window(app, window)
    with steps("trigger source editor, over the triggers window"):
        app.click_button("Edit trigger source", window)
        editor = wait_for("the trigger editor", lambda: next(
            (node for node in qvdriver.descendants(app.frame)
             if node.name.startswith("Trigger -") and qvdriver.showing(node)), None))
        wait_for("the trigger's source",
                 lambda: app.text_of(app.find("text", "Trigger source", editor)))
        shoot(session, app, "trigger-editor")
        close_window(app, editor)
        close_window(app, window)
    with steps("stored procedures, then their DDL in a DDL window"):
        window = open_window(app, "Procedures", "Stored Procedures")
        wait_for("the procedure's source",
                 lambda: app.text_of(app.find("text", "Procedure source", window)))
        shoot(session, app, "procedures")
        app.click_button("Edit procedure DDL statement", window)
        ddl = app.child_window("DDL  Statements Editor")
        wait_for("the rebuilt statement",
                 lambda: app.text_of(app.find("text", "DDL statement", ddl)))
        shoot(session, app, "ddl-statements")
        close_window(app, ddl)
        close_window(app, window)
    with steps("the database's metadata script"):
        ddl = open_window(app, "Extract Metadata…", "DDL  Statements Editor")
        wait_for("the script", lambda: app.text_of(
            app.find("text", "DDL statement", ddl)).startswith("/* Metadata of "))
        shoot(session, app, "extract-metadata")
        close_window(app, ddl)
    with steps("a query's result set"):
        ddl = open_window(app, "DDL Statements", "DDL  Statements Editor")
        app.set_text(app.find("text", "DDL statement", ddl),
                     "SELECT O.ORDER_ID, C.NAME, O.QTY, O.ORDERED\n"
                     "FROM ORDERS O JOIN CUSTOMER C ON C.CUST_ID = O.CUST_ID\n"
                     "ORDER BY O.ORDER_ID")
        app.menu("DDL", "Open As Result Set")
        output = app.child_window("SQL Output")
        wait_for("the rows", lambda: app.grid_rows(app.find("table", "Result set", output)))
        shoot(session, app, "query-result")
        close_window(app, output)
        close_window(app, ddl)
    with steps("table structure"):
        window = open_window(app, "Table Structures", "Table Structure")
        window = pick_relation(app, window, "table", "ORDERS")
        wait_for("the columns", lambda: app.grid_rows(app.find("table", "Table structure",
                                                                window)))
        shoot(session, app, "table-structure")
        close_window(app, window)
    with steps("data view"):
        data, grid = open_data_view(app, "CUSTOMER")
        wait_for("the rows", lambda: app.grid_rows(grid))
        shoot(session, app, "data-view")
    with steps("a grid's context menu, then its rows exported to CSV"):
        x, y = app.centre(app.cell(grid, 1, 1))
        qvdriver.xdotool("mousemove", x, y)
        time.sleep(0.05)
        qvdriver.xdotool("click", 3)
        shoot(session, app, "grid-context-menu")
        app.key("e")  # the menu's own window is not in the accessibility tree
        app.dialog("Export Rows")
        time.sleep(0.3)
        qvdriver.xdotool("type", "--delay", 5, os.path.join(session.work, "customer.csv"))
        app.key("Return")
        app.dialog("Export Rows")
        time.sleep(0.3)
        app.key("Return")
        wait_for("the export's end", lambda: "exported to" in app.message_text(
            app.dialog("Quorvel for Interbase")))
        shoot(session, app, "export")
        app.answer("Quorvel for Interbase", "OK", expect="exported to")
        close_window(app, data)
    with steps("a script run in the DDL window"):
        ddl = open_window(app, "DDL Statements", "DDL  Statements Editor")
        app.set_text(app.find("text", "DDL statement", ddl), SHOT_SCRIPT)
        app.menu("DDL", "Run Script")
        wait_for("the run's end", lambda: app.find("label", "Run result", ddl).name)
        no_error_box(app)
        maximize_window(ddl)
        shoot(session, app, "run-script")
        restore_window(app)
        close_window(app, ddl)
    with steps("who is attached now"):
        window = open_window(app, "Attachments", "Attachments")
        attachments = app.find(("tree table", "table", "tree"), "Attachments", window)
        wait_for("the attachments", lambda: attachments.childCount > 0)
        shoot(session, app, "attachments")
        close_window(app, window)
    with steps("a backup, verified by restoring it"):
        window = open_window(app, "Backup…", "Backup")
        app.set_text(app.find("text", "Backup file", window),
                     os.path.join(session.work, "demo.fbk"))
        app.click_button("Starts the job on the server", window)
        wait_for("the backup's end", lambda: any(
            label.name.startswith("Succeeded in ") for label in app.find_all("label", window)),
            timeout=60)
        shoot(session, app, "backup")
        close_window(app, window)
    with steps("statistics, with the largest tables charted"):
        window = open_window(app, "Statistics", "Statistics")
        tables = app.find(("tree table", "table", "tree"), "Tables", window)
        app.click_button("Starts the job on the server", window)
        wait_for("the tables' figures", lambda: tables.childCount > 0, timeout=60)
        shoot(session, app, "statistics")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--fbserver", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--screenshots", required=True)
    parser.add_argument("--out", help="where the screenshots scenario writes its pictures")
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    qvdriver.reexec_in_private_bus()

    # Fail before CTest's own timeout kills us outright, so the server, the X
    # server and the program are still stopped below.
    def overdue(_signal, _frame):
        raise StepFailed(f"the scenario took more than {DEADLINE} s")
    signal.signal(signal.SIGALRM, overdue)
    signal.signal(signal.SIGTERM, overdue)
    signal.alarm(DEADLINE)

    started = time.monotonic()
    session = qvdriver.Session(args.program, args.fbserver,
                               os.path.join(args.work, args.scenario), args.screenshots,
                               args.scenario)
    session.out = args.out or os.path.join(session.work, "pictures")
    steps = Steps(session)
    try:
        SCENARIOS[args.scenario](session, steps)
    except Exception:
        traceback.print_exc()
        return 1
    finally:
        session.close()
    print(f"{args.scenario}: passed in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
