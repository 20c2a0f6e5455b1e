"""The built executable as it ships: what it imports and the two resources it carries."""

import xml.etree.ElementTree as ElementTree

import pefile
import pytest

from conftest import LAUNCHER_EXE

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "dwmapi.dll", "ole32.dll", "shell32.dll", "msvcrt.dll"}
RT_VERSION, RT_MANIFEST = 16, 24
ENGLISH_US = 1033


@pytest.fixture(scope="module")
def pe():
    image = pefile.PE(str(LAUNCHER_EXE))
    yield image
    image.close()


def resources(pe):
    """(type, id, language) of every resource in the file."""
    found = []
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                found.append((kind.id, name.id, language.id))
    return sorted(found)


def resource_bytes(pe, kind):
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id == kind:
            data = entry.directory.entries[0].directory.entries[0].data.struct
            return pe.get_data(data.OffsetToData, data.Size)
    raise AssertionError(f"no resource of type {kind}")


def test_is_a_64_bit_gui_program_importing_only_system_dlls(pe):
    assert pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]
    assert pe.OPTIONAL_HEADER.Subsystem == pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"]
    imported = {entry.dll.decode().lower() for entry in pe.DIRECTORY_ENTRY_IMPORT}
    assert imported <= SYSTEM_DLLS, imported - SYSTEM_DLLS
    assert {"kernel32.dll", "user32.dll", "dwmapi.dll", "ole32.dll"} <= imported


def test_carries_exactly_a_manifest_and_a_version_block(pe):
    assert resources(pe) == [(RT_VERSION, 1, ENGLISH_US), (RT_MANIFEST, 1, ENGLISH_US)]


def test_manifest_runs_as_invoker_on_windows_8_1_and_10(pe):
    raw = resource_bytes(pe, RT_MANIFEST)
    assert raw.startswith(b'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>')
    v1, v3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
    compat = "{urn:schemas-microsoft-com:compatibility.v1}"
    root = ElementTree.fromstring(raw)
    assert root.tag == f"{v1}assembly" and root.get("manifestVersion") == "1.0"
    assert [child.tag for child in root] == [f"{v1}assemblyIdentity", f"{v1}description", f"{v3}trustInfo",
                                            f"{compat}compatibility"]
    assert root.find(f"{v1}assemblyIdentity").attrib == {
        "version": "1.0.0.0", "processorArchitecture": "amd64", "name": "Ostrivan.Launcher.Client", "type": "win32"}
    assert root.find(f"{v1}description").text == "Ostrivan Roleplay Setup and Client Launcher"
    level = root.find(f"{v3}trustInfo/{v3}security/{v3}requestedPrivileges/{v3}requestedExecutionLevel")
    assert level.attrib == {"level": "asInvoker", "uiAccess": "false"}
    systems = [os.get("Id") for os in root.findall(f"{compat}compatibility/{compat}application/{compat}supportedOS")]
    assert systems == ["{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"]
    # Awareness is set at run time; no DPI, common-controls or long-path settings here.
    assert b"dpiAware" not in raw and b"Common-Controls" not in raw and b"longPathAware" not in raw


def test_version_block_names_the_product(pe):
    fixed = pe.VS_FIXEDFILEINFO[0]
    assert (fixed.FileVersionMS, fixed.FileVersionLS) == (0x00010000, 0)
    assert (fixed.ProductVersionMS, fixed.ProductVersionLS) == (0x00010000, 0)
    assert (fixed.FileFlagsMask, fixed.FileFlags) == (0x3F, 0)
    assert fixed.FileOS == 0x40004
    assert (fixed.FileType, fixed.FileSubtype) == (1, 0)
    assert (fixed.FileDateMS, fixed.FileDateLS) == (0, 0)

    tables = [table for info in pe.FileInfo[0] if info.Key == b"StringFileInfo" for table in info.StringTable]
    assert [table.LangID for table in tables] == [b"040904B0"]
    strings = {key.decode(): value.decode() for key, value in tables[0].entries.items()}
    assert strings == {
        "CompanyName": "Ostrivan Project",
        "FileDescription": "Ostrivan Launcher Setup & Client",
        "FileVersion": "1.0.0.0",
        "InternalName": "OstrivanLauncher",
        "LegalCopyright": "Copyright (C) 2026 Ostrivan Project",
        "OriginalFilename": "OstrivanLauncher.exe",
        "ProductName": "Ostrivan Launcher",
        "ProductVersion": "1.0.0.0",
    }
    translations = [var.entry for info in pe.FileInfo[0] if info.Key == b"VarFileInfo" for var in info.Var]
    assert translations == [{b"Translation": "0x0409 0x04b0"}]
