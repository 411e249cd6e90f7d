"""Drives the built program as a user or a screen reader does.

The program runs in a private X server (Xvfb) with a private session bus and
accessibility bus; controls are found through AT-SPI by role and name, and
the keyboard and mouse go through xdotool. The database lives on a private
Firebird server on a free loopback port, so a second attachment (isql-fb) can
check what the program changed while it is still attached.
"""

import contextlib
import ctypes
import os
import shutil
import signal
import struct
import subprocess
import sys
import time
import zlib

STEP_TIMEOUT = 10.0
POLL = 0.05


class StepFailed(AssertionError):
    pass


def wait_equal(what, read, expected, timeout=STEP_TIMEOUT):
    """Polls read() until it equals expected; the failure shows the last value."""
    seen = []

    def probe():
        seen[:] = [read()]
        return seen[0] == expected
    try:
        wait_for(what, probe, timeout)
    except StepFailed as error:
        raise StepFailed(f"{error}: expected {expected!r}, last saw "
                         f"{seen[0] if seen else 'nothing'!r}") from None


def wait_for(what, probe, timeout=STEP_TIMEOUT):
    """Polls probe until it returns something true; fails with `what`."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = probe()
            if value:
                return value
        except StepFailed:  # the probe knows it will never succeed
            raise
        except Exception as error:  # a vanished widget: try again
            last_error = error
        if time.monotonic() > deadline:
            detail = f" ({last_error})" if last_error else ""
            raise StepFailed(f"timed out waiting for {what}{detail}")
        time.sleep(POLL)


# --- the window system -------------------------------------------------------

def start_xvfb(log):
    """Starts Xvfb on the first free display number; returns (process, ':N')."""
    read_end, write_end = os.pipe()
    process = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
         "-nolisten", "tcp", "-noreset"],
        pass_fds=(write_end,), stdout=log, stderr=log)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        raise StepFailed("Xvfb did not start")
    return process, ":" + number


def screenshot(path, box=None):
    """Writes the screen, or the box (x, y, width, height) of it, as a PNG,
    with nothing but libX11."""
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XGetImage.restype = ctypes.c_void_p
    x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                              ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class XImage(ctypes.Structure):
        _fields_ = [(name, ctypes.c_int) for name in
                    ("width", "height", "xoffset", "format")] + \
                   [("data", ctypes.c_void_p)] + \
                   [(name, ctypes.c_int) for name in
                    ("byte_order", "bitmap_unit", "bitmap_bit_order", "bitmap_pad",
                     "depth", "bytes_per_line", "bits_per_pixel")]

    display = x11.XOpenDisplay(None)
    if not display:
        return False
    try:
        width, height = x11.XDisplayWidth(display, 0), x11.XDisplayHeight(display, 0)
        left, top = 0, 0
        if box is not None:
            left, top = max(0, box[0]), max(0, box[1])
            width, height = min(box[2], width - left), min(box[3], height - top)
        pointer = x11.XGetImage(display, x11.XDefaultRootWindow(display), left, top,
                                width, height, 0xFFFFFFFF, 2)
        image = XImage.from_address(pointer)
        if image.bits_per_pixel != 32:
            return False
        data = ctypes.string_at(image.data, image.bytes_per_line * height)
    finally:
        x11.XCloseDisplay(display)
    rows = []
    for y in range(height):
        row = data[y * image.bytes_per_line:y * image.bytes_per_line + width * 4]
        rgb = bytearray(width * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = row[2::4], row[1::4], row[0::4]
        rows.append(bytes(rgb))
    header, palette, raw = _png_body(rows, width, height)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        if palette:
            out.write(chunk(b"PLTE", palette))
        out.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        out.write(chunk(b"IEND", b""))
    return True


def _png_body(rows, width, height):
    """IHDR, PLTE and the filtered rows: a palette when the picture has at
    most 256 colours (a screen of controls mostly has), true colour if not."""
    colours = {}
    for row in rows:
        for i in range(0, len(row), 3):
            colour = row[i:i + 3]
            if colour not in colours:
                if len(colours) == 256:
                    colours = None
                    break
                colours[colour] = len(colours)
        if colours is None:
            break
    raw = bytearray()
    if colours is None:
        for row in rows:
            raw += b"\0" + row
        return struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0), b"", raw
    for row in rows:
        raw += b"\0" + bytes(colours[row[i:i + 3]] for i in range(0, len(row), 3))
    palette = b"".join(colours)
    return struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0), palette, raw


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


# --- the database -------------------------------------------------------------

class FbServer:
    """A private Firebird server (tests/support/fbserver.sh) and isql-fb on it."""

    def __init__(self, script, directory):
        self.script = script
        self.directory = directory
        result = subprocess.run([script, "start", directory], capture_output=True, text=True)
        if result.returncode != 0:
            raise StepFailed("fbserver.sh start failed: " + result.stderr)
        self.port = int(open(os.path.join(directory, "port")).read())
        self.password = open(os.path.join(directory, "password")).read().strip()

    def stop(self):
        subprocess.run([self.script, "stop", self.directory], capture_output=True)

    def url(self, path):
        return f"localhost/{self.port}:{path}"

    def create_database(self, path, statements=(), dialect=1):
        """A fresh database of the given SQL dialect holding the given schema;
        the statements are compiled in that dialect."""
        script = [f"SET SQL DIALECT {dialect};",
                  f"CREATE DATABASE '{self.url(path)}' USER 'SYSDBA' "
                  f"PASSWORD '{self.password}' PAGE_SIZE 4096;",
                  "SET TERM ^ ;"]
        script += [statement + " ^" for statement in statements]
        script += ["COMMIT ^"]
        self._isql(None, "\n".join(script) + "\n")

    def create_database_from_script(self, path, sql):
        """A fresh dialect-1 database made by an isql script (demo/demo.sql)."""
        script = ["SET SQL DIALECT 1;",
                  f"CREATE DATABASE '{self.url(path)}' USER 'SYSDBA' "
                  f"PASSWORD '{self.password}' PAGE_SIZE 4096;", sql]
        self._isql(None, "\n".join(script) + "\n")

    def column(self, path, query):
        """Values of the first column of query, read through an attachment of its own."""
        output = self._isql(path, f"SET HEADING OFF;\n{query};\n")
        return [line.strip() for line in output.splitlines() if line.strip()]

    def scalar(self, path, query):
        values = self.column(path, query)
        return values[0] if values else None

    def holding(self, path, statements):
        """Another user's open transaction that ran the statements (see HeldWork)."""
        return HeldWork(self, path, statements)

    def _isql(self, path, text):
        command = ["isql-fb", "-q", "-b", "-user", "SYSDBA", "-password", self.password]
        if path:
            command.append(self.url(path))
        result = subprocess.run(command, input=text, capture_output=True, text=True,
                                timeout=30)
        if result.returncode != 0:
            raise StepFailed(f"isql-fb failed: {result.stderr.strip()}\n{text}")
        return result.stdout


class HeldWork:
    """An isql-fb attachment whose transaction ran some statements and stays
    open: the rows it changed stay locked for every other transaction until
    end() commits or rolls it back."""

    MARK = "held-work-ran"

    def __init__(self, server, path, statements):
        self.process = subprocess.Popen(
            ["isql-fb", "-q", "-user", "SYSDBA", "-password", server.password,
             server.url(path)],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
            text=True, bufsize=1)
        script = "".join(f"{statement};\n" for statement in statements)
        self.process.stdin.write(f"{script}SELECT '{self.MARK}' FROM RDB$DATABASE;\n")
        self.process.stdin.flush()
        # isql answers each statement as it runs it: the mark comes once all ran.
        output = []
        deadline = time.monotonic() + STEP_TIMEOUT
        while time.monotonic() < deadline:
            line = self.process.stdout.readline()
            if not line or self.MARK in line:
                break
            output.append(line)
        if not line or self.MARK not in line:
            self.process.kill()
            raise StepFailed("the other user's statements did not run: " + "".join(output))

    def end(self, commit):
        self.process.stdin.write("COMMIT;\n" if commit else "ROLLBACK;\n")
        self.process.stdin.close()
        self.process.wait(STEP_TIMEOUT)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


# --- the accessibility tree ---------------------------------------------------

def _atspi():
    import pyatspi  # needs DISPLAY and the session bus set first
    return pyatspi


def role_name(node):
    return node.getRoleName()


def showing(node):
    pyatspi = _atspi()
    return node.getState().contains(pyatspi.STATE_SHOWING)


def enabled(node):
    pyatspi = _atspi()
    return node.getState().contains(pyatspi.STATE_ENABLED)


def children(node):
    result = []
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            result.append(child)
    return result


def descendants(node, into_grids=False):
    """Every node below node, breadth first; grids' cells only when asked."""
    grids = {"table", "tree table", "list", "tree"}
    queue = [node]
    while queue:
        current = queue.pop(0)
        for child in children(current):
            yield child
            if into_grids or role_name(child) not in grids:
                queue.append(child)


def labels_of(node):
    """Texts of the labels that name node (a combo box's name is its value)."""
    pyatspi = _atspi()
    texts = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for i in range(relation.getNTargets()):
                texts.append(strip_mnemonic(relation.getTarget(i).name))
    return texts


def strip_mnemonic(text):
    return text.replace("&&", "\0").replace("&", "").replace("\0", "&")


def dump(node, out, depth=0):
    """The tree under node as indented text, for a failed step's record."""
    try:
        states = node.getState().getStates()
        flags = " showing" if _atspi().STATE_SHOWING in states else ""
        out.write(f"{'  ' * depth}[{role_name(node)}] {node.name!r}{flags}\n")
        if role_name(node) in ("table", "list") and node.childCount > 60:
            out.write(f"{'  ' * depth}  ... {node.childCount} children\n")
            return
        for child in children(node):
            dump(child, out, depth + 1)
    except Exception as error:
        out.write(f"{'  ' * depth}<{error}>\n")


class Program:
    """The running program and what a user can see and do in it."""

    def __init__(self, executable, args, home, env, log):
        self.home = home
        self.log = log
        self.process = subprocess.Popen([executable, *args], env=env, cwd=home,
                                        stdout=log, stderr=log)
        self.app = wait_for("the program on the accessibility bus", self._find_app, 20)
        self.frame = wait_for("the main window", lambda: self._top("frame", "Quorvel"))

    def _find_app(self):
        desktop = _atspi().Registry.getDesktop(0)
        for app in children(desktop):
            with contextlib.suppress(Exception):
                if app.get_process_id() == self.process.pid:
                    return app
        if self.process.poll() is not None:
            raise StepFailed(f"the program exited with {self.process.returncode}")
        return None

    # Finding things ---------------------------------------------------------

    def windows(self):
        return [w for w in children(self.app) if showing(w)]

    def _top(self, role, name_start):
        for window in self.windows():
            if role_name(window) == role and window.name.startswith(name_start):
                return window
        return None

    def find(self, role, name=None, root=None, timeout=STEP_TIMEOUT, visible=True,
             into_grids=False):
        """The first control of role (and exact name) under root, or in any window."""
        roles = role if isinstance(role, (tuple, list, set)) else (role,)

        def probe():
            roots = [root] if root is not None else self.windows()
            for top in roots:
                for node in descendants(top, into_grids):
                    if role_name(node) not in roles:
                        continue
                    if name is not None and strip_mnemonic(node.name) != name and \
                            name not in labels_of(node):
                        continue
                    if visible and not showing(node):
                        continue
                    return node
            return None

        return wait_for(f"{'/'.join(roles)} {name!r}", probe, timeout)

    def find_all(self, role, root):
        return [n for n in descendants(root) if role_name(n) == role and showing(n)]

    def dialog(self, title, timeout=STEP_TIMEOUT):
        """A shown dialog or message box with the given title."""
        def probe():
            for window in self.windows():
                if role_name(window) in ("dialog", "alert", "file chooser") and \
                        window.name == title:
                    return window
            return None
        return wait_for(f"the dialog {title!r}", probe, timeout)

    def no_dialog(self, title, timeout=STEP_TIMEOUT):
        wait_for(f"the dialog {title!r} to close",
                 lambda: all(w.name != title or role_name(w) == "frame"
                             for w in self.windows()), timeout)

    def child_window(self, title, timeout=STEP_TIMEOUT):
        """A window inside the frame captioned title."""
        def probe():
            for node in descendants(self.frame):
                if role_name(node) in ("internal frame", "window", "frame", "panel",
                                       "filler") and node.name == title and \
                        showing(node):
                    return node
            return None
        return wait_for(f"the window {title!r}", probe, timeout)

    # Acting ------------------------------------------------------------------

    def press(self, node):
        """Clicks a control with the mouse, as a user does.

        Not through the accessible action: the program answers that call
        only after the command returns, and a command that shows a modal
        dialog returns when the dialog closes.
        """
        wait_for(f"{role_name(node)} {node.name!r} to be shown and enabled",
                 lambda: showing(node) and enabled(node))
        self.click(node)

    def click_button(self, name, root=None):
        button = self.find(("push button", "toggle button", "check box"), name, root)
        self.press(button)

    def menu(self, *path):
        """Chooses a menu item from the frame's menu bar, e.g. menu('File', 'Connect')."""
        node = self.find("menu bar", root=self.frame)
        for depth, name in enumerate(path):
            def item_named(parent=node, wanted=name):
                for child in children(parent):
                    if role_name(child) in ("menu", "popup menu"):  # its drop-down
                        for grandchild in children(child):
                            if strip_mnemonic(grandchild.name) == wanted and \
                                    showing(grandchild):
                                return grandchild
                    elif strip_mnemonic(child.name) == wanted and showing(child):
                        return child
                return None
            node = wait_for(f"the menu item {' > '.join(path[:depth + 1])}", item_named)
            self.press(node)

    def activate_window(self, title):
        """Brings a child window to the front through the Windows menu."""
        self.menu("Windows")
        item = wait_for(f"{title!r} in the Windows menu", lambda: next(
            (n for n in descendants(self.frame) if role_name(n).endswith("menu item")
             and showing(n) and strip_mnemonic(n.name).endswith(" " + title)), None))
        self.press(item)

    def choose_in_combo(self, combo, text):
        """Opens a combo box's list with the mouse and clicks the item."""
        self.press(combo)
        item = wait_for(f"{text!r} in the list", lambda: next(
            (n for n in descendants(combo, into_grids=True)
             if role_name(n) == "list item" and n.name == text and showing(n)), None))
        self.click(item)

    def menu_enabled(self, *path):
        bar = self.find("menu bar", root=self.frame)
        node = bar
        for name in path:
            found = None
            for child in descendants(node):
                if role_name(child) in ("menu item", "check menu item") and \
                        strip_mnemonic(child.name) == name:
                    found = child
                    break
            if found is None:
                return None
            node = found
        return enabled(node)

    @staticmethod
    def set_text(node, text):
        node.queryEditableText().setTextContents(text)

    @staticmethod
    def text_of(node):
        text = node.queryText()
        return text.getText(0, text.characterCount)

    @staticmethod
    def centre(node):
        pyatspi = _atspi()
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return box.x + box.width // 2, box.y + box.height // 2

    def click(self, node, double=False):
        x, y = self.centre(node)
        # Not --sync: it waits for a motion that never comes when the pointer
        # is already there (the same button twice).
        xdotool("mousemove", x, y)
        time.sleep(0.05)
        xdotool("click", "--repeat", 2 if double else 1, "--delay", 80, 1)

    def type_into(self, node, text):
        """Types as a user does: focus the box with the mouse, then the keys."""
        self.click(node)
        time.sleep(0.1)
        xdotool("type", "--delay", 5, text)

    def frame_box(self):
        """The frame's (x, y, width, height) on the screen."""
        box = self.frame.queryComponent().getExtents(_atspi().DESKTOP_COORDS)
        return box.x, box.y, box.width, box.height

    def resize_frame(self, width, height):
        """Places the frame at the screen's corner in the given size (there is
        no window manager to do it)."""
        found = subprocess.run(["xdotool", "search", "--pid", str(self.process.pid),
                                "--name", "^Quorvel for Interbase$"],
                               capture_output=True, text=True)
        for window in found.stdout.split():
            xdotool("windowmove", window, 0, 0)
            xdotool("windowsize", window, width, height)
        wait_for("the frame resized", lambda: self.frame_box()[2:] == (width, height))

    @staticmethod
    def key(*keys):
        xdotool("key", "--delay", 30, *keys)

    # Reading -----------------------------------------------------------------

    def status_panels(self):
        bar = self.find("status bar", root=self.frame)
        return [label.name for label in children(bar) if role_name(label) == "label"]

    def wait_status(self, text, timeout=STEP_TIMEOUT):
        return wait_for(f"{text!r} in the status bar",
                        lambda: text in self.status_panels(), timeout)

    @staticmethod
    def grid_rows(grid):
        """The grid's cells as text, row by row (without the header)."""
        table = grid.queryTable()
        rows = []
        for r in range(table.nRows):
            rows.append([table.getAccessibleAt(r, c).name for c in range(table.nColumns)])
        return rows

    @staticmethod
    def grid_headers(grid):
        table = grid.queryTable()
        return [table.getColumnHeader(c).name for c in range(table.nColumns)]

    @staticmethod
    def cell(grid, row, column):
        return grid.queryTable().getAccessibleAt(row, column)

    def grid_column(self, grid, header):
        index = self.grid_headers(grid).index(header)
        return [row[index] for row in self.grid_rows(grid)]

    def grid_records(self, grid, *headers):
        """The rows' values under the given column titles (hidden columns left out)."""
        titles = self.grid_headers(grid)
        indexes = [titles.index(header) for header in headers]
        return [[row[i] for i in indexes] for row in self.grid_rows(grid)]

    def message_text(self, box):
        return "\n".join(label.name for label in self.find_all("label", box)
                         if label.name)

    def answer(self, title, button, expect=None):
        """Answers a message box; returns its text (checked against expect)."""
        box = self.dialog(title)
        text = wait_for("the message text", lambda: self.message_text(box))
        if expect is not None and expect not in text:
            raise StepFailed(f"the box {title!r} says {text!r}, expected {expect!r}")
        self.click_button(button, box)
        self.gone(box, f"the box {title!r}")
        return text

    @staticmethod
    def gone(node, what, timeout=STEP_TIMEOUT):
        """Waits until node is hidden or destroyed (the next box may share its title)."""
        def probe():
            try:
                return not showing(node) or node.parent is None
            except Exception:
                return True
        wait_for(f"{what} to close", probe, timeout)

    def wait_exit(self, timeout=STEP_TIMEOUT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise StepFailed("the program did not exit") from None

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


# --- one run ------------------------------------------------------------------

class Session:
    """A private desktop, server and home for one scenario."""

    def __init__(self, program, fbserver, work, shots, name):
        self.name = name
        self.work = os.path.abspath(work)
        self.shots = os.path.abspath(shots)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        # Pictures of an earlier failed run would tell of faults long gone.
        if os.path.isdir(self.shots):
            for old in os.listdir(self.shots):
                if old.startswith(name + "-"):
                    os.remove(os.path.join(self.shots, old))
        self.home = os.path.join(self.work, "home")
        os.makedirs(os.path.join(self.home, ".config"))
        self.log = open(os.path.join(self.work, "session.log"), "w")
        self.program_source = program
        # The program keeps its connection history beside its executable: give
        # it a private copy so a run never touches the build tree's history.
        self.executable = os.path.join(self.work, "bin", "quorvel")
        os.makedirs(os.path.dirname(self.executable))
        try:
            os.link(program, self.executable)
        except OSError:
            shutil.copy2(program, self.executable)
        self.xvfb, self.display = start_xvfb(self.log)
        os.environ["DISPLAY"] = self.display
        os.environ.pop("XAUTHORITY", None)
        self.server = FbServer(fbserver, os.path.join(self.work, "fb"))
        self.program = None

    def database(self, statements=(), file_name="e2e.fdb", dialect=1):
        path = os.path.join(self.work, file_name)
        self.server.create_database(path, statements, dialect)
        return path

    def start(self, *args):
        runtime = os.path.join(self.work, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env = dict(os.environ,
                   HOME=self.home, XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                   XDG_RUNTIME_DIR=runtime,
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                   QT_QPA_PLATFORM="xcb", LANG="C.UTF-8", LC_ALL="C.UTF-8")
        env.pop("QT_QPA_PLATFORMTHEME", None)
        self.program = Program(self.executable, list(args), self.home, env, self.log)
        return self.program

    def record_failure(self, step):
        os.makedirs(self.shots, exist_ok=True)
        base = os.path.join(self.shots, f"{self.name}-{step}")
        try:
            if screenshot(base + ".png"):
                print(f"screenshot of the failed step: {base}.png")
        except Exception as error:
            print(f"no screenshot: {error}")
        if self.program is not None:
            with contextlib.suppress(Exception), open(base + ".tree.txt", "w") as out:
                dump(self.program.app, out)
                print(f"accessibility tree: {base}.tree.txt")
        print(f"screenshots of failed steps are in {self.shots}")
        print(f"program and X server output: {os.path.join(self.work, 'session.log')}")

    def close(self):
        if self.program is not None:
            self.program.kill()
        self.server.stop()
        self.xvfb.send_signal(signal.SIGTERM)
        with contextlib.suppress(subprocess.TimeoutExpired):
            self.xvfb.wait(5)
        self.log.close()


def reexec_in_private_bus():
    """Runs this script again inside a private session bus, once."""
    if os.environ.get("QV_E2E_BUS") == "1":
        return
    env = dict(os.environ, QV_E2E_BUS="1")
    for name in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "DISPLAY"):
        env.pop(name, None)
    command = ["dbus-run-session", "--", sys.executable, *sys.argv]
    os.execvpe(command[0], command, env)
