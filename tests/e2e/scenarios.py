#!/usr/bin/env python3
"""End-to-end scenarios: the built program, driven through menus, buttons,
boxes and grids in a real X server, checked through a second attachment.

    scenarios.py --program build/bin/quorvel --fbserver tests/support/fbserver.sh \
                 --work DIR --screenshots DIR <scenario>
"""

import argparse
import contextlib
import os
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import qvdriver  # noqa: E402
from qvdriver import StepFailed, wait_equal, wait_for  # noqa: E402

SCENARIOS = {}


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
    """File > Connect, fill the login dialog, wait for "Connected"."""
    app.menu("File", "Connect")
    dialog = app.dialog("Database login")
    database = app.find("combo box", "Database", dialog)
    app.set_text(app.find("text", root=database), session.server.url(path))
    app.set_text(app.find("text", "Username", dialog), "SYSDBA")
    app.set_text(app.find("password text", "Password", dialog),
                 session.server.password)
    app.click_button("OK", dialog)
    app.no_dialog("Database login")
    app.wait_status("Connected")


def start_connected(session, steps, path):
    with steps("start the program and connect through the login dialog"):
        app = session.start()
        expect(app.status_panels()[0] == "Disconnected", "a new program is not disconnected")
        expect(app.menu_enabled("Database") is False, "Database menu enabled before login")
        login(session, app, path)
        expect(app.menu_enabled("Database"), "Database menu disabled after login")
    return app


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
    with steps("the connection string is remembered"):
        history = os.path.join(os.path.dirname(session.executable), "connect.hst")
    with steps("exit without an open transaction"):
        exit_program(app)
        expect(os.path.exists(history), "no connection history written")
        with open(history, encoding="utf-8") as file:
            expect(session.server.url(path) in file.read(), "the path is not in the history")

    with steps("start again with auto-commit off and change the database"):
        app = session.start()
        login(session, app, path)
        expect(app.status_panels()[1] == "", "auto-commit is on after a run that left it off")
        app.menu("Database", "Exceptions")
        window = app.child_window("Exceptions")
        app.click_button("Delete current exception", window)
        app.answer("Confirm", "OK", expect="Proceed to delete exception 'E_KEEP'")
        expect(app.menu_enabled("File", "Rollback Work"), "no open transaction shown")
    with steps("exit with an open transaction, committing it"):
        exit_program(app, commit_answer="Yes")
        expect(session.server.column(path, "SELECT RDB$EXCEPTION_NAME FROM RDB$EXCEPTIONS")
               == [], "the committed drop is not in the database")


def open_window(app, item, title):
    """Database > item; returns the child window and its grid."""
    app.menu("Database", item)
    window = app.child_window(title)
    return window, app.find("table", root=window)


@scenario
def exceptions(session, steps):
    path = session.database(["CREATE EXCEPTION E_OLD 'was there'"])
    app = start_connected(session, steps, path)
    set_auto_commit(app, True)
    with steps("Database > Exceptions lists the exceptions"):
        window, grid = open_window(app, "Exceptions", "Exceptions")
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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--fbserver", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--screenshots", required=True)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    qvdriver.reexec_in_private_bus()

    started = time.monotonic()
    session = qvdriver.Session(args.program, args.fbserver,
                               os.path.join(args.work, args.scenario), args.screenshots,
                               args.scenario)
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
