"""The launcher with the project's fake WebView2 runtime: how it sets the browser up, keeps it
fitted to the window, survives each failing step, and hands game links to the game client."""

import getpass
import re
import time

import pytest

from conftest import FAKE_LOADER, FAKE_LOADER_WITHOUT_EXPORT, wait_until, windows_path

GAME_LINK = "fivem://connect/127.0.0.1:30120"
SENTINEL = "fivem://connect/sentinel.example:30120"
HOST_CALL = re.compile(r"CreateCoreWebView2EnvironmentWithOptions |Unexpected |"
                       r"(Environment|Controller2?|WebView|Settings|NavigationStartingArgs|WebMessageArgs)\.")


def host_calls(launcher):
    """The calls the launcher made into the runtime, without the fake's own event lines; the
    fake's reference counts and the window handle are not the launcher's to choose."""
    calls = [line for line in launcher.runtime_calls() if HOST_CALL.match(line)]
    return [re.sub(r"refs=-?\d+", "refs=N", re.sub(r"parent=0x[0-9A-Fa-f]+", "parent=HWND", call)) for call in calls]


def call_names(launcher):
    return [call.split(" ")[0] for call in host_calls(launcher)]


def event(launcher, start):
    """The record of one page event: from its start line through its "done" line."""
    calls = launcher.runtime_calls()
    first = calls.index(start)
    kind = " ".join(start.split(" ")[:2])
    last = next(i for i in range(first, len(calls)) if calls[i].startswith(kind + " done"))
    return calls[first:last + 1]


def start_url_of(folder):
    return "file:///" + windows_path(folder / "index.html").replace("\\", "/")


def test_sets_up_the_browser_exactly_as_designed(launch):
    launcher = launch()
    launcher.wait_for_runtime("Event queue empty")
    window = launcher.window()
    width, height = window["client"]
    user_data = f"C:\\users\\{getpass.getuser()}\\AppData\\Local\\QuorvelLauncher\\WebView2Data"
    start_url = start_url_of(launcher.folder)
    assert host_calls(launcher) == [
        f'CreateCoreWebView2EnvironmentWithOptions browser=<null> user_data="{user_data}" options=<null> handler=set',
        "Environment.CreateCoreWebView2Controller parent=HWND is_window=1 handler=set hr=0x00000000",
        "Controller.AddRef refs=N",
        "Controller.QueryInterface {C979903E-D4CA-4228-92EB-47EE3FA96EAB} hr=0x00000000",
        "Controller2.put_DefaultBackgroundColor A=255 R=0 G=0 B=0",
        "Controller2.Release refs=N",
        "Controller.get_CoreWebView2 hr=0x00000000",
        "WebView.get_Settings hr=0x00000000",
        "Settings.put_AreDefaultContextMenusEnabled 0",
        "Settings.put_IsStatusBarEnabled 0",
        "Settings.put_IsWebMessageEnabled 1",
        "Settings.Release refs=N",
        "WebView.add_WebMessageReceived handler=set token=1 hr=0x00000000",
        "WebView.add_NavigationStarting handler=set token=2 hr=0x00000000",
        f"Controller.put_Bounds 0 0 {width} {height}",
        "Controller.put_IsVisible 1",
        f"WebView.Navigate {start_url}",
        "NavigationStartingArgs.get_Uri hr=0x00000000",
    ]
    parent = next(line for line in launcher.runtime_calls() if line.startswith("Environment.CreateCoreWebView2Controller"))
    assert int(re.search(r"parent=(0x[0-9A-Fa-f]+)", parent).group(1), 16) == window["hwnd"]
    # The start page itself passes the game-link check untouched.
    assert event(launcher, f"Event NavigationStarting uri={start_url}")[-1].startswith(
        "Event NavigationStarting done hr=0x00000000 cancel=0 uri_freed=1")
    assert f"Navigation proceeded uri={start_url}" in launcher.runtime_calls()
    assert launcher.close() == 0


def test_start_address_of_a_folder_with_url_characters_reaches_the_page(launch, tmp_path):
    folder = tmp_path / "My Games" / "#1 100%"
    launcher = launch(folder=folder)
    launcher.wait_for_runtime("WebView.Navigate")
    prefix = "file:///" + windows_path(tmp_path).replace("\\", "/")
    assert f"WebView.Navigate {prefix}/My Games/%231 100%25/index.html" in launcher.runtime_calls()
    assert launcher.close() == 0


def test_a_start_address_far_longer_than_2046_units_is_navigated_whole(launch, tmp_path):
    folder = tmp_path.joinpath(*[f"{index:02d}" + "x" * 200 for index in range(11)])
    launcher = launch(folder=folder)
    launcher.wait_for_runtime("WebView.Navigate")
    start_url = start_url_of(folder)
    assert len(start_url) > 2300
    assert f"WebView.Navigate {start_url}" in launcher.runtime_calls()
    assert launcher.close() == 0


def test_navigation_to_a_game_link_is_cancelled_and_starts_the_game_client(launch):
    launcher = launch(scenario=[f"navigate {GAME_LINK}"])
    launcher.wait_for_runtime("Event queue empty")
    assert wait_until(launcher.game_client_starts)
    assert launcher.game_client_starts() == [[GAME_LINK]]
    record = event(launcher, f"Event NavigationStarting uri={GAME_LINK}")
    assert "NavigationStartingArgs.put_Cancel 1" in record
    assert record[-1].startswith("Event NavigationStarting done hr=0x00000000 cancel=1 uri_freed=1")
    assert f"Navigation cancelled uri={GAME_LINK}" in launcher.runtime_calls()
    assert launcher.running()
    assert launcher.close() == 0


def test_a_string_message_with_a_game_link_starts_the_game_client_without_cancelling(launch):
    launcher = launch(scenario=[f"message-string {GAME_LINK}"])
    launcher.wait_for_runtime("Event queue empty")
    assert wait_until(launcher.game_client_starts)
    assert launcher.game_client_starts() == [[GAME_LINK]]
    record = event(launcher, f"Event WebMessageReceived string={GAME_LINK}")
    assert not any("put_Cancel" in line for line in record)
    assert record[-1].startswith("Event WebMessageReceived done hr=0x00000000 string_freed=1")
    assert launcher.close() == 0


def test_a_game_link_that_would_inject_arguments_never_reaches_the_game_client(launch):
    injected = 'fivem://connect/127.0.0.1:30120" --flag "x'
    launcher = launch(scenario=[f"navigate {injected}", f"message-string {injected}",
                                "message-string fivem://connect/a b", f"message-string {SENTINEL}"])
    launcher.wait_for_runtime("Event queue empty")
    assert wait_until(launcher.game_client_starts)
    time.sleep(2)  # a wrongly started client would have been started before the sentinel's
    assert launcher.game_client_starts() == [[SENTINEL]]
    assert "NavigationStartingArgs.put_Cancel 1" in event(launcher, f"Event NavigationStarting uri={injected}")
    assert launcher.close() == 0


def test_everything_that_is_not_a_game_link_is_left_to_the_browser(launch):
    navigations = ["FIVEM://connect/127.0.0.1:30120", "Fivem://connect/x", "fivem:/connect/x", "fivem:/",
                   "https://example.org/news?x=fivem://"]
    messages = ["message-json {\"play\": \"fivem://connect/x\"}", "message-json [\"fivem://connect/x\"]",
                "message-json 42", "message-string hello", "message-string  fivem://connect/x"]
    launcher = launch(scenario=[f"navigate {uri}" for uri in navigations] + messages + [f"message-string {SENTINEL}"])
    launcher.wait_for_runtime("Event queue empty")
    assert wait_until(launcher.game_client_starts)
    time.sleep(2)
    assert launcher.game_client_starts() == [[SENTINEL]]
    calls = launcher.runtime_calls()
    assert not any("put_Cancel" in line for line in calls)
    for uri in navigations:
        assert f"Navigation proceeded uri={uri}" in calls
    done = [line for line in calls if line.startswith("Event ") and " done " in line and "Completed" not in line]
    assert len(done) == 1 + len(navigations) + len(messages) + 1
    assert all(re.search(r"(uri_freed|string_freed)=(1|none) ", line) for line in done), done
    assert launcher.close() == 0


def test_resizing_the_window_refits_the_browser(launch):
    launcher = launch()
    launcher.wait_for_runtime("WebView.Navigate")
    for command in (["resize", "QuorvelLauncherWnd", "1000", "700"], ["resize", "QuorvelLauncherWnd", "900", "520"],
                    ["minimize", "QuorvelLauncherWnd"]):
        width, height = launcher.probe(*command)["client"]
        launcher.wait_for_runtime(f"Controller.put_Bounds 0 0 {width} {height}")
    assert launcher.close() == 0


# What each failing step leaves of the set-up: the last call the launcher makes, and whether
# the browser still gets its bounds, visibility and start page.
FAILING_STEPS = {
    "environment-request": ("CreateCoreWebView2EnvironmentWithOptions", False),
    "environment-completion": ("CreateCoreWebView2EnvironmentWithOptions", False),
    "environment-null": ("CreateCoreWebView2EnvironmentWithOptions", False),
    "controller-completion": ("Environment.CreateCoreWebView2Controller", False),
    "controller-null": ("Environment.CreateCoreWebView2Controller", False),
    "get-corewebview2": ("Controller.get_CoreWebView2", False),
    "controller2": ("NavigationStartingArgs.get_Uri", True),
    "get-settings": ("NavigationStartingArgs.get_Uri", True),
}


@pytest.mark.parametrize("step", FAILING_STEPS)
def test_each_failing_step_leaves_the_window_up_and_exits_cleanly(launch, step):
    last_call, navigates = FAILING_STEPS[step]
    launcher = launch(scenario=[f"fail {step}"])
    launcher.wait_for_runtime("Environment request refused" if step == "environment-request" else "Event queue empty")
    time.sleep(0.5)
    names = call_names(launcher)
    assert names[-1] == last_call, names
    assert ("WebView.Navigate" in names) == navigates
    assert ("Controller.put_IsVisible" in names) == navigates
    assert not any(name.startswith("Unexpected") for name in names)
    if step == "controller2":
        assert "Controller2.put_DefaultBackgroundColor" not in names and "Settings.put_IsWebMessageEnabled" in names
    if step == "get-settings":
        assert not any(name.startswith("Settings.") for name in names)
    if step == "get-corewebview2":
        # The controller is kept, so it still follows the window.
        width, height = launcher.probe("resize", "QuorvelLauncherWnd", "1000", "700")["client"]
        launcher.wait_for_runtime(f"Controller.put_Bounds 0 0 {width} {height}")
    assert launcher.window()["visible"]
    assert launcher.running()
    assert launcher.close() == 0


@pytest.mark.parametrize("loader", [None, FAKE_LOADER_WITHOUT_EXPORT], ids=["no loader", "no export"])
def test_without_a_usable_loader_the_black_window_stays_until_closed(launch, loader):
    launcher = launch(loader=loader)
    assert launcher.window()["visible"]
    time.sleep(2)
    assert launcher.running()
    assert launcher.runtime_calls() == []
    assert launcher.close() == 0


def test_a_loader_found_only_on_the_library_search_path_is_used(launch):
    launcher = launch(loader=None, env={"WINEPATH": windows_path(FAKE_LOADER.parent)})
    launcher.wait_for_runtime("WebView.Navigate")
    assert launcher.close() == 0
