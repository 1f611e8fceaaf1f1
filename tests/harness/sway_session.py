"""A private headless sway (the real Wayland compositor, with layer-shell, a virtual keyboard and pointer, and
screencopy) and what the end-to-end tests do on it: start clients, add and change outputs, press keys (wtype),
take screenshots (grim). sway refuses to run as root, so it runs as `nobody` with a runtime folder of its own;
root's clients reach its socket all the same. A second sway nested in the first (its Wayland backend: each of
its outputs a window of the first) has outputs that can go during a run: the first sway's headless outputs
cannot be disabled or unplugged. Every wait is bounded; a session ends only what it started."""
from __future__ import annotations

import contextlib
import json
import os
import shutil
import subprocess
import tempfile
from pathlib import Path

from x11_display import HarnessError, end_processes, stop_server, wait_until

PATH = "/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"


class SwaySession(contextlib.AbstractContextManager):
    def __init__(self, artifacts: Path, outputs=((640, 480),), parent: "SwaySession | None" = None):
        """`outputs`: the size of each output, placed side by side from the left. With `parent`, a sway nested
        in that one, with one output (a window of the parent, its size the parent's tiling gives)."""
        self.artifacts = Path(artifacts)
        self.sizes = list(outputs)
        self.parent = parent
        self.processes: list[subprocess.Popen] = []
        self.sway = None
        self.work = None

    def __enter__(self):
        self.artifacts.mkdir(parents=True, exist_ok=True)
        self.work = Path(tempfile.mkdtemp(prefix="orlinde-sway-"))
        self.work.chmod(0o755)  # sway, as nobody, reads its config here
        if self.parent:  # the parent's runtime folder: the nested sway is its client
            self.runtime = self.parent.runtime
            backend = ["WLR_BACKENDS=wayland", f"WAYLAND_DISPLAY={self.parent.socket}"]
        else:
            self.runtime = self.work / "run"
            self.runtime.mkdir(mode=0o700)
            shutil.chown(self.runtime, "nobody", "nogroup")
            backend = ["WLR_BACKENDS=headless"]
        taken = set(self.runtime.iterdir())
        config = self.work / "config"
        width, height = self.sizes[0]
        config.write_text("xwayland disable\n" + ("" if self.parent else
                                                   f"output HEADLESS-1 resolution {width}x{height} position 0 0\n"))
        config.chmod(0o644)
        self.log = open(self.artifacts / ("nested-sway.log" if self.parent else "sway.log"), "wb")
        self.sway = subprocess.Popen(
            ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "env", "-i", f"PATH={PATH}",
             f"HOME={self.work}", f"XDG_RUNTIME_DIR={self.runtime}", *backend, "WLR_RENDERER=pixman",
             "WLR_LIBINPUT_NO_DEVICES=1", "sway", "-c", str(config)],
            stdout=self.log, stderr=subprocess.STDOUT, start_new_session=True)
        try:
            self.socket = wait_until(lambda: self._socket(taken), 20, "sway's Wayland socket")
            self.ipc = wait_until(lambda: next(iter(set(self.runtime.glob("sway-ipc.*.sock")) - taken), None), 20,
                                  "sway's IPC socket")
            wait_until(lambda: len(self.outputs()) == 1, 20, "sway's first output")
            if self.parent:
                return self
            x = width
            for size in self.sizes[1:]:
                self.add_output(*size, x, 0)
                x += size[0]
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def _socket(self, taken: set):
        for path in set(self.runtime.glob("wayland-*")) - taken:
            if not path.name.endswith(".lock"):
                return path.name
        if self.sway.poll() is not None:
            raise HarnessError(f"sway ended with status {self.sway.returncode}; see sway.log")
        return None

    def __exit__(self, *exc):
        end_processes(self.processes)
        stop_server(self.sway)
        if getattr(self, "log", None):
            self.log.close()
        if self.work:
            shutil.rmtree(self.work, ignore_errors=True)
        return False

    def nested_output_window(self, name: str) -> dict:
        """The window of this sway that shows the output `name` of a sway nested in it."""
        def find(node):
            if node.get("name") == f"wlroots - {name}":
                return node
            return next(filter(None, (find(c) for c in node.get("nodes", []) + node.get("floating_nodes", []))),
                        None)
        return wait_until(lambda: find(json.loads(self.swaymsg("-r", "-t", "get_tree"))), 10, f"the window of {name}")

    def remove_nested_output(self, nested: "SwaySession", name: str) -> None:
        """Takes the output `name` away from the sway nested in this one: closes the window that shows it."""
        self.swaymsg(f"[con_id={self.nested_output_window(name)['id']}]", "kill")
        wait_until(lambda: (lambda names: names is not None and name not in names)(nested.output_names()), 20,
                   f"{name} gone")

    def move_nested_output(self, name: str, workspace: str) -> None:
        """Moves the window of a nested sway's output `name` to `workspace`: on one not shown, the nested sway's
        output gets no more frames, and its clients no more call-backs."""
        self.swaymsg(f"[con_id={self.nested_output_window(name)['id']}]", "move", "to", "workspace", workspace)

    def add_nested_output(self) -> str:
        """A new output of a nested sway (a new window in its parent); its name."""
        before = wait_until(self.output_names, 20, "the outputs")
        self.run("swaymsg", "create_output")  # its answer can come too late (see output_names); the output comes
        return wait_until(lambda: next(iter((self.output_names() or before) - before), None), 20, "the new output")

    @property
    def env(self) -> dict:
        """The environment of a client of this compositor: no X display, this runtime folder and socket."""
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "XSCREENSAVER_WINDOW")}
        env.update(XDG_RUNTIME_DIR=str(self.runtime), WAYLAND_DISPLAY=self.socket, SWAYSOCK=str(self.ipc))
        return env

    def start(self, *command, env=None, stdin=subprocess.DEVNULL) -> subprocess.Popen:
        process = subprocess.Popen([str(c) for c in command], env={**self.env, **(env or {})}, stdin=stdin,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.processes.append(process)
        return process

    def run(self, *command, env=None, timeout=30) -> subprocess.CompletedProcess:
        return subprocess.run([str(c) for c in command], env={**self.env, **(env or {})}, capture_output=True,
                              timeout=timeout, stdin=subprocess.DEVNULL)

    def swaymsg(self, *args) -> str:
        result = self.run("swaymsg", *args)
        if result.returncode != 0:
            raise HarnessError(f"swaymsg {' '.join(args)}: {result.stdout.decode()} {result.stderr.decode()}")
        return result.stdout.decode()

    def outputs(self) -> list[dict]:
        """The active outputs, each with its name and rect (x, y, width, height in layout coordinates)."""
        return [o for o in json.loads(self.swaymsg("-r", "-t", "get_outputs")) if o.get("active")]

    def output_names(self) -> set[str] | None:
        """The active outputs' names, or None when sway does not answer within swaymsg's three seconds: a nested
        sway waits on its parent while it makes or drops an output's window, longer on a busy machine."""
        result = self.run("swaymsg", "-r", "-t", "get_outputs")
        if result.returncode != 0:
            return None
        return {o["name"] for o in json.loads(result.stdout) if o.get("active")}

    def output(self, name: str) -> dict:
        return next(o for o in self.outputs() if o["name"] == name)

    def add_output(self, width: int, height: int, x: int, y: int) -> str:
        before = {o["name"] for o in self.outputs()}
        self.swaymsg("create_output")
        name = wait_until(lambda: next(iter({o["name"] for o in self.outputs()} - before), None), 10,
                          "the new output")
        self.swaymsg("output", name, "resolution", f"{width}x{height}", "position", str(x), "0" if y == 0 else str(y))
        wait_until(lambda: (lambda r: (r["x"], r["width"]) == (x, width))(self.output(name)["rect"]), 10,
                   f"{name} placed")
        return name

    def screenshot(self, name: str, output: str | None = None) -> Path:
        """A PNG of one output (or of the whole layout), kept in the artefacts folder."""
        path = self.artifacts / name
        self.run("grim", *(["-o", output] if output else []), path, timeout=30).check_returncode()
        return path

    def press(self, *keys: str, first_delay_ms: int = 0) -> None:
        """Named keys (xkb names: Escape, a, Left) pressed and released in turn through the virtual keyboard.
        `first_delay_ms`: each wtype brings a virtual keyboard with a keymap of its own, and its first key can
        come before the client has the keyboard or that keymap."""
        args = ["-s", str(first_delay_ms)] if first_delay_ms else []
        for key in keys:
            args += ["-k", key]
        self.run("wtype", *args).check_returncode()
