"""Kestrane.exe loads on every Windows its manifest declares: Windows refuses to start a program
that imports a function its system libraries lack, so the import table names nothing newer than
Windows 7 SP1 (newer calls are found at run time)."""
import os
import re
import subprocess
import unittest
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]

# Functions a Win32 program like this one may be tempted to import, with the "Minimum supported
# client" of each from its reference page in Microsoft's documentation (learn.microsoft.com,
# Windows API index). Only what a program may call through the import table is listed: a page that
# says "Windows 7 [desktop apps only]" or older is fine to import.
NEWER_THAN_WINDOWS_7 = {
    # user32: the per-monitor density calls (High DPI reference).
    "GetDpiForWindow": "Windows 10, version 1607",
    "GetDpiForSystem": "Windows 10, version 1607",
    "AdjustWindowRectExForDpi": "Windows 10, version 1607",
    "GetSystemMetricsForDpi": "Windows 10, version 1607",
    "SystemParametersInfoForDpi": "Windows 10, version 1607",
    "EnableNonClientDpiScaling": "Windows 10, version 1607",
    "SetThreadDpiAwarenessContext": "Windows 10, version 1607",
    "GetThreadDpiAwarenessContext": "Windows 10, version 1607",
    "GetWindowDpiAwarenessContext": "Windows 10, version 1607",
    "GetAwarenessFromDpiAwarenessContext": "Windows 10, version 1607",
    "AreDpiAwarenessContextsEqual": "Windows 10, version 1607",
    "IsValidDpiAwarenessContext": "Windows 10, version 1607",
    "SetProcessDpiAwarenessContext": "Windows 10, version 1703",
    "SetDialogDpiChangeBehavior": "Windows 10, version 1703",
    "SetDialogControlDpiChangeBehavior": "Windows 10, version 1703",
    "GetDpiFromDpiAwarenessContext": "Windows 10, version 1803",
    "SetThreadDpiHostingBehavior": "Windows 10, version 1803",
    "LogicalToPhysicalPointForPerMonitorDPI": "Windows 8.1",
    "PhysicalToLogicalPointForPerMonitorDPI": "Windows 8.1",
    "SetCoalescableTimer": "Windows 8",
    "EnableMouseInPointer": "Windows 8",
    "GetPointerInfo": "Windows 8",
    "GetPointerType": "Windows 8",
    # shcore (the whole library is Windows 8.1 and later; listed below too).
    "GetDpiForMonitor": "Windows 8.1",
    "SetProcessDpiAwareness": "Windows 8.1",
    "GetProcessDpiAwareness": "Windows 8.1",
    "GetScaleFactorForMonitor": "Windows 8.1",
    # kernel32: files, copies, time, threads and libraries.
    "CopyFile2": "Windows 8",
    "CreateFile2": "Windows 8",
    "GetSystemTimePreciseAsFileTime": "Windows 8",
    "GetCurrentThreadStackLimits": "Windows 8",
    "GetOverlappedResultEx": "Windows 8",
    "PrefetchVirtualMemory": "Windows 8",
    "WaitOnAddress": "Windows 8",
    "WakeByAddressSingle": "Windows 8",
    "WakeByAddressAll": "Windows 8",
    "InitializeSynchronizationBarrier": "Windows 8",
    "EnterSynchronizationBarrier": "Windows 8",
    "GetFirmwareType": "Windows 8",
    "GetCurrentPackageFullName": "Windows 8",
    "GetCurrentPackageId": "Windows 8",
    # Windows 7 only with update KB2533623, which SP1 does not include.
    "SetDefaultDllDirectories": "Windows 8 (Windows 7 with KB2533623)",
    "AddDllDirectory": "Windows 8 (Windows 7 with KB2533623)",
    "RemoveDllDirectory": "Windows 8 (Windows 7 with KB2533623)",
    "SetThreadDescription": "Windows 10, version 1607",
    "GetThreadDescription": "Windows 10, version 1607",
    "VirtualAlloc2": "Windows 10, version 1803",
    "MapViewOfFile3": "Windows 10, version 1803",
    "CreatePseudoConsole": "Windows 10, version 1809",
    "GetTempPath2W": "Windows 11",
    "GetFileInformationByName": "Windows 11, version 24H2",
    # combase: the Windows Runtime.
    "RoInitialize": "Windows 8",
}
# Libraries that Windows 7 SP1 does not have at all.
NEWER_LIBRARIES_THAN_WINDOWS_7 = {"shcore.dll": "Windows 8.1"}

# The supportedOS ids of Windows' application manifest schema ("Application manifests",
# compatibility section), from Windows 7 on: the versions the README names.
SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # Windows 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # Windows 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # Windows 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # Windows 10 and 11
}


def imports(exe):
    """{library (lower case): [function, ...]} from the executable's import table."""
    table = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", exe], check=True, stdout=subprocess.PIPE,
                           text=True).stdout
    found, library = {}, None
    for line in table.splitlines():
        if match := re.match(r"\s*DLL Name: (\S+)", line):
            library = match.group(1).lower()
            found[library] = []
        elif library and (match := re.match(r"\t[0-9a-f]+\t +\d+ +(\w+)", line)):
            found[library].append(match.group(1))
    return found


class ImportTableTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.imports = imports(os.environ["KESTRANE_EXE"])

    def test_the_table_is_read(self):
        # A reader that found nothing would let any import through.
        self.assertIn("CreateWindowExW", self.imports.get("user32.dll", []))
        self.assertIn("CreateFileW", self.imports.get("kernel32.dll", []))

    def test_nothing_newer_than_windows_7_is_imported(self):
        newer = {f"{library}!{name}": NEWER_THAN_WINDOWS_7[name] for library, names in self.imports.items()
                 for name in names if name in NEWER_THAN_WINDOWS_7}
        newer.update({library: NEWER_LIBRARIES_THAN_WINDOWS_7[library] for library in self.imports
                      if library in NEWER_LIBRARIES_THAN_WINDOWS_7})
        self.assertEqual(newer, {}, "imports that need a newer Windows than 7 SP1")

    def test_the_manifest_declares_the_supported_versions(self):
        manifest = (SOURCE / "app" / "Kestrane.manifest").read_text(encoding="utf-8")
        self.assertEqual(set(re.findall(r'<supportedOS Id="(\{[^}]+\})"', manifest)), SUPPORTED_OS)


if __name__ == "__main__":
    unittest.main()
