"""Runs the real launcher under Wine on Xvfb displays that the tests start and stop themselves."""

import json
import os
import pathlib
import shutil
import subprocess
import tempfile
import time

import pytest

BUILD_DIR = pathlib.Path(os.environ.get("LAUNCHER_BUILD_DIR", pathlib.Path(__file__).parents[2] / "build/windows"))
WINE = os.environ.get("WINE_BIN", "/usr/lib/wine/wine64")
WINESERVER = "/usr/lib/wine/wineserver64"
LAUNCHER_EXE = BUILD_DIR / "src" / "OstrivanLauncher.exe"
PROBE_EXE = BUILD_DIR / "tests" / "e2e" / "window_probe.exe"
FAKE_RUNTIME_DIR = BUILD_DIR / "tests" / "fake_runtime"
FAKE_LOADER = FAKE_RUNTIME_DIR / "loader" / "WebView2Loader.dll"
FAKE_LOADER_WITHOUT_EXPORT = FAKE_RUNTIME_DIR / "noexport" / "WebView2Loader.dll"
WINDOW_CLASS = "QuorvelLauncherWnd"
WINE_CALL_TIMEOUT = 60


def windows_path(path):
    """Wine's Z: drive is the Linux root."""
    return "Z:" + str(pathlib.Path(path).resolve()).replace("/", "\\")


class Display:
    """An Xvfb screen of a chosen size; Xvfb picks a free display number itself."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            number = reader.readline().strip()
        if not number:
            self.stop()
            raise RuntimeError("Xvfb did not start")
        self.name = f":{number}"

    def stop(self):
        self.process.kill()
        self.process.wait(timeout=10)


_wine_display = None


def use_display(display):
    """A prefix's Wine server keeps the screen of its first process: a new screen needs a new one.
    Xvfb reuses display numbers, so screens are told apart as objects, not by name."""
    global _wine_display
    if _wine_display is not display:
        subprocess.run([WINESERVER, "-k"], timeout=WINE_CALL_TIMEOUT, stderr=subprocess.DEVNULL)
        subprocess.run([WINESERVER, "-w"], timeout=WINE_CALL_TIMEOUT, stderr=subprocess.DEVNULL)
        # The first Wine process starts the prefix's background services, which inherit its
        # output: boot them from a process whose output goes nowhere a test reads.
        subprocess.run([WINE, windows_path(PROBE_EXE), "screen"], env=dict(os.environ, DISPLAY=display.name),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=WINE_CALL_TIMEOUT)
        _wine_display = display


@pytest.fixture(scope="session", autouse=True)
def wine_session():
    """The Wine processes the tests started end with them."""
    yield
    subprocess.run([WINESERVER, "-k"], timeout=WINE_CALL_TIMEOUT, stderr=subprocess.DEVNULL)


@pytest.fixture(scope="session")
def display():
    screen = Display(1920, 1080)
    yield screen
    screen.stop()


class Launcher:
    """One run of OstrivanLauncher.exe from a folder of its own, with the fake runtime's call
    record and the stand-in game client's record kept beside it."""

    def __init__(self, folder, display, records, env=None):
        self.folder = pathlib.Path(folder)
        self.display = display
        self.runtime_log = records / "runtime.log"
        self.game_client_log = records / "game_client.log"
        self.env = dict(os.environ, DISPLAY=display.name, FAKE_WEBVIEW2_LOG=windows_path(self.runtime_log),
                        FAKE_WEBVIEW2_SCENARIO=windows_path(records / "scenario.txt"),
                        GAME_CLIENT_RECORD=windows_path(self.game_client_log), **(env or {}))
        self.process = None

    @property
    def exe(self):
        return self.folder / "OstrivanLauncher.exe"

    def start(self):
        use_display(self.display)
        self.process = subprocess.Popen([WINE, windows_path(self.exe)], env=self.env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self

    def probe(self, *args, timeout=WINE_CALL_TIMEOUT):
        # Files rather than pipes: a Wine service started meanwhile could hold a pipe open.
        with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
            code = subprocess.run([WINE, windows_path(PROBE_EXE), *args], env=self.env, stdout=out, stderr=err,
                                  timeout=timeout).returncode
            out.seek(0), err.seek(0)
            output, errors = out.read(), err.read()
        assert code == 0, f"window_probe {' '.join(args)}: {errors.strip()}"
        return json.loads(output) if output.strip() else None

    def window(self, wait_ms=20000):
        return self.probe("find", WINDOW_CLASS, str(wait_ms))

    def close(self, timeout=30):
        """Closes the window as the user would and returns the process's exit code."""
        self.probe("close", WINDOW_CLASS)
        return self.process.wait(timeout=timeout)

    def runtime_calls(self):
        return self.runtime_log.read_text(encoding="utf-8").splitlines() if self.runtime_log.exists() else []

    def wait_for_runtime(self, line, timeout=30):
        """Waits until the fake runtime has recorded a line starting with `line`."""
        found = wait_until(lambda: any(call.startswith(line) for call in self.runtime_calls()), timeout)
        assert found, f"the runtime never recorded {line!r}; it recorded:\n" + "\n".join(self.runtime_calls())

    def game_client_starts(self):
        """The argument lists the stand-in game client was started with, in order."""
        if not self.game_client_log.exists():
            return []
        lines = self.game_client_log.read_text(encoding="utf-8").splitlines()
        return [json.loads(line.split(" argv=", 1)[1])[1:] for line in lines if line.startswith("argc=")]

    def running(self):
        return self.process.poll() is None

    def kill(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)


@pytest.fixture
def launch(tmp_path, display):
    """Stages the launcher in a fresh folder and starts it; whatever is still running is ended."""
    started = []

    def start(folder=None, loader=FAKE_LOADER, scenario=(), env=None, screen=None):
        target = pathlib.Path(folder or tmp_path / "Launcher")
        target.mkdir(parents=True, exist_ok=True)
        shutil.copy(LAUNCHER_EXE, target / "OstrivanLauncher.exe")
        if loader:
            shutil.copy(loader, target / "WebView2Loader.dll")
        records = tmp_path / "records"
        records.mkdir(exist_ok=True)
        (records / "scenario.txt").write_text("".join(line + "\n" for line in scenario), encoding="utf-8")
        launcher = Launcher(target, screen or display, records, env).start()
        started.append(launcher)
        return launcher

    yield start
    for launcher in started:
        launcher.kill()


def wait_until(condition, timeout=20, interval=0.1):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(interval)
    return condition()
