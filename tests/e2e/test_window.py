"""The launcher's window as a user meets it: where it opens, what it is, and how it closes."""

import time

import pytest

from conftest import Display

WS_OVERLAPPEDWINDOW = 0x00CF0000
WS_VISIBLE = 0x10000000
WS_CLIPSIBLINGS = 0x04000000  # every top-level window gets it from the system


@pytest.fixture(params=[(1920, 1080), (1366, 768), (1024, 768)], ids=lambda size: f"{size[0]}x{size[1]}")
def screen(request):
    display = Display(*request.param)
    yield display
    display.stop()


def test_opens_centred_and_fixed_size_on_each_screen(launch, screen):
    launcher = launch(screen=screen)
    window = launcher.window()
    system = launcher.probe("screen")
    assert (system["width"], system["height"]) == (screen.width, screen.height)

    # The launcher asks for 1280 x 800 on every screen; only the system's own limit on a
    # window's outer size can make it smaller.
    x = max((screen.width - 1280) // 2, 0)
    y = max((screen.height - 800) // 2, 0)
    width, height = min(1280, system["max_track"][0]), min(800, system["max_track"][1])
    assert window["rect"] == [x, y, x + width, y + height]
    assert window["class"] == "QuorvelLauncherWnd"
    assert window["title"] == "Quorvel - Role Play Launcher"
    assert window["style"] == WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS
    assert launcher.close() == 0


def test_stays_open_until_closed_then_exits_with_zero(launch):
    launcher = launch()
    first = launcher.window()
    time.sleep(3)
    assert launcher.running()
    assert launcher.window() == first
    assert launcher.close() == 0
