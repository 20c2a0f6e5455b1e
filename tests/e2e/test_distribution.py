"""The shipped folder and its zip: the launcher and its start page side by side, as built."""

import pathlib
import zipfile

from conftest import BUILD_DIR, LAUNCHER_EXE

REPO_ROOT = pathlib.Path(__file__).parents[2]
DIST_DIR = REPO_ROOT / "dist"
PAGE = REPO_ROOT / "page" / "index.html"


def test_dist_holds_the_built_launcher_and_the_start_page():
    assert sorted(path.name for path in DIST_DIR.iterdir()) == ["OstrivanLauncher.exe", "index.html"]
    assert (DIST_DIR / "OstrivanLauncher.exe").read_bytes() == LAUNCHER_EXE.read_bytes()
    assert (DIST_DIR / "index.html").read_bytes() == PAGE.read_bytes()


def test_release_zip_holds_the_same_files_at_its_top_level():
    with zipfile.ZipFile(BUILD_DIR / "OstrivanLauncher-1.0.0-win64.zip") as archive:
        assert sorted(archive.namelist()) == ["OstrivanLauncher.exe", "index.html"]
        assert archive.read("OstrivanLauncher.exe") == LAUNCHER_EXE.read_bytes()
        assert archive.read("index.html") == PAGE.read_bytes()
