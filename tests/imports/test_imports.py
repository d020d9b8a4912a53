"""What Kestrane.exe asks Windows to load for it.

- It starts on every Windows its manifest declares: Windows refuses to start a program that imports
  a function its system libraries lack, so every imported function is listed here with the
  "Minimum supported client" of its reference page in Microsoft's documentation (learn.microsoft.com),
  Windows 7 or older. A new import fails this test until whoever adds it has checked its page and
  listed it. Newer calls are found at run time.
- It loads no library from its own folder: Windows looks for an imported library beside the program
  first unless it is a known one, so the import table names only known libraries, and comctl32,
  which the manifest takes from the system's side-by-side store. Every other library is
  delay-loaded, and the program loads it from the system folder before its first call
  (platform/win32/system_libraries.cpp, one .def file in platform/win32/system_libraries/ each)."""
import os
import re
import struct
import unittest
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]

# Known libraries: listed under HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs on
# Windows 7 SP1 and on Windows 8 to 11 alike, so always mapped from the system folder. (Some known
# on Windows 7, such as wininet, urlmon and usp10, are no longer known on Windows 10.)
KNOWN_LIBRARIES = {"advapi32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll",
                   "ole32.dll", "oleaut32.dll", "rpcrt4.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
                   "ws2_32.dll"}
# Not a known library: the manifest's dependency on the common controls 6 redirects it to the
# system's side-by-side store before any folder is searched.
SIDE_BY_SIDE = {"comctl32.dll"}
DELAY_LOADED = {p.stem.lower() + ".dll" for p in (SOURCE / "platform" / "win32" / "system_libraries").glob("*.def")}

OLD_ENOUGH = {"Windows 2000 Professional", "Windows XP", "Windows Vista", "Windows 7", "ODBC 1.0", "ODBC 2.0",
              "ODBC 3.0", "C runtime"}
W2K, XP, VISTA = "Windows 2000 Professional", "Windows XP", "Windows Vista"
# Every function the program imports, with its reference page's "Minimum supported client". The
# ODBC pages give the ODBC version that introduced the function instead: Windows 7's driver manager
# is ODBC 3.80. msvcrt.dll's functions, the C library and the start-up code of the MinGW runtime,
# have no such pages: "C runtime", exported by the msvcrt.dll of every 64-bit Windows.
IMPORTS = {
    "advapi32.dll": dict.fromkeys(
        ["DeregisterEventSource", "GetUserNameW", "RegisterEventSourceW", "ReportEventW"], W2K),
    "comctl32.dll": dict.fromkeys(
        ["DefSubclassProc", "InitCommonControlsEx", "RemoveWindowSubclass", "SetWindowSubclass"], VISTA),
    "crypt32.dll": {"CertGetNameStringW": XP, "CryptHashCertificate2": VISTA},
    "gdi32.dll": dict.fromkeys(
        ["CreateFontW", "DeleteObject", "GetDeviceCaps", "SelectObject", "SetBkColor", "SetBkMode", "SetTextColor",
         "StretchDIBits"], W2K),
    "kernel32.dll": {
        **dict.fromkeys(
            ["CloseHandle", "CopyFileW", "FileTimeToSystemTime", "GetComputerNameW", "CreateEventA", "CreateEventW", "CreateFileW", "CreateMutexW",
             "CreateSemaphoreA", "CreateThread", "DeleteCriticalSection", "DuplicateHandle", "EnterCriticalSection",
             "FindClose", "FindFirstFileW", "FindNextFileW", "FindResourceW", "FlushFileBuffers", "FormatMessageA",
             "FormatMessageW", "FreeLibrary", "GetCurrentProcess", "GetCurrentProcessId", "GetCurrentThread",
             "GetCurrentThreadId", "GetFileAttributesExW", "GetFileAttributesW", "GetFullPathNameW",
             "GetHandleInformation", "GetLastError", "GetModuleFileNameW", "GetModuleHandleW",
             "GetPrivateProfileStringW", "GetProcAddress", "GetProcessAffinityMask", "GetStartupInfoW",
             "GetSystemDirectoryW", "GetSystemTimeAsFileTime", "GetThreadContext", "GetThreadPriority",
             "InitializeCriticalSection", "IsDBCSLeadByteEx", "IsDebuggerPresent", "LeaveCriticalSection",
             "LoadLibraryA", "LoadLibraryExW", "LoadLibraryW", "LoadResource", "LocalAlloc", "LocalFree", "LockResource", "MoveFileExW", "MulDiv",
             "MultiByteToWideChar", "OpenProcess", "OutputDebugStringA", "RaiseException", "ReleaseMutex",
             "ReleaseSemaphore", "ResetEvent", "ResumeThread", "SetEvent", "SetFileAttributesW", "SetLastError",
             "SetProcessAffinityMask", "SetThreadContext", "SetThreadPriority", "SetUnhandledExceptionFilter",
             "SizeofResource", "Sleep", "SuspendThread", "TlsAlloc", "TlsGetValue", "TlsSetValue", "VirtualProtect",
             "VirtualQuery", "WaitForMultipleObjects", "WaitForSingleObject", "WideCharToMultiByte"], W2K),
        **dict.fromkeys(
            ["AddVectoredExceptionHandler", "RemoveVectoredExceptionHandler", "RtlCaptureContext",
             "RtlLookupFunctionEntry", "RtlUnwindEx", "RtlVirtualUnwind", "TryEnterCriticalSection",
             # FindFirstFileExW since XP; its FindExInfoBasic and FIND_FIRST_EX_LARGE_FETCH since Windows 7.
             "FindFirstFileExW", "GetProcessTimes", "ReadFile",
             "__C_specific_handler"], XP),
        **dict.fromkeys(
            ["CompareStringOrdinal", "GetFileInformationByHandleEx", "GetTickCount64", "LCMapStringEx", "SetFileInformationByHandle"], VISTA),
    },
    "mpr.dll": dict.fromkeys(["WNetAddConnection2W", "WNetCancelConnection2W"], W2K),
    "msvcrt.dll": dict.fromkeys(
        ["___lc_codepage_func", "___mb_cur_max_func", "__iob_func", "__set_app_type", "__setusermatherr",
         "__wgetmainargs", "__winitenv", "_amsg_exit", "_beginthreadex", "_cexit", "_close", "_commode",
         "_endthreadex", "_errno", "_fmode", "_initterm", "_onexit", "_read", "_setjmp", "_strdup", "_ultoa",
         "_wcmdln", "abort", "calloc", "exit", "fprintf", "fputc", "fputs", "free", "fwrite", "localeconv",
         "longjmp", "malloc", "memchr", "memcmp", "memcpy", "memmove", "memset", "printf", "realloc", "signal",
         "strcmp", "strerror", "strlen", "strncmp", "vfprintf", "wcslen"], "C runtime"),
    "odbc32.dll": {
        **dict.fromkeys(["SQLDescribeColW", "SQLDisconnect", "SQLDriverConnectW", "SQLExecDirectW", "SQLExecute",
                         "SQLFetch", "SQLGetData", "SQLNumResultCols", "SQLPrepareW"], "ODBC 1.0"),
        **dict.fromkeys(["SQLBindParameter", "SQLDriversW"], "ODBC 2.0"),
        **dict.fromkeys(["SQLAllocHandle", "SQLFreeHandle", "SQLGetDiagRecW", "SQLSetConnectAttrW", "SQLSetEnvAttr",
                         "SQLSetStmtAttrW"], "ODBC 3.0"),
    },
    "ole32.dll": dict.fromkeys(["CoCreateInstance", "CoInitializeEx", "CoTaskMemFree", "CoUninitialize"], W2K),
    "rstrtmgr.dll": dict.fromkeys(["RmEndSession", "RmGetList", "RmRegisterResources", "RmStartSession"], VISTA),
    "version.dll": dict.fromkeys(["GetFileVersionInfoSizeW", "GetFileVersionInfoW", "VerQueryValueW"], W2K),
    "wintrust.dll": dict.fromkeys(["WinVerifyTrust", "WTHelperGetProvCertFromChain", "WTHelperGetProvSignerFromChain",
                                   "WTHelperProvDataFromStateData"], XP),
    "user32.dll": {
        **dict.fromkeys(
            ["AdjustWindowRectEx", "BeginPaint", "CreateWindowExW", "DefWindowProcW", "DestroyWindow",
             "DispatchMessageW", "DrawTextW", "EndPaint", "GetActiveWindow", "GetClassInfoExW", "GetClientRect",
             "GetDC", "GetFocus", "GetKeyState", "GetMessageW", "GetParent", "GetSysColor", "GetSysColorBrush",
             "GetSystemMetrics", "GetWindowLongPtrW", "GetWindowLongW", "GetWindowRect", "GetWindowTextLengthW",
             "GetWindowTextW", "InvalidateRect", "IsWindowEnabled", "IsWindowVisible", "LoadCursorW", "LoadIconW",
             "MessageBoxW", "MonitorFromWindow", "MsgWaitForMultipleObjects", "PeekMessageW", "PostMessageW",
             "PostQuitMessage", "RegisterClassExW", "ReleaseDC", "SendMessageW", "SetFocus", "SetForegroundWindow",
             "SetTimer", "SetWindowLongPtrW", "SetWindowPos", "SetWindowTextW", "ShowWindow", "TranslateMessage",
             "UpdateWindow"], W2K),
    },
}

# The supportedOS ids of Windows' application manifest schema ("Application manifests",
# compatibility section), from Windows 7 on: the versions the README names.
SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # Windows 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # Windows 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # Windows 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # Windows 10 and 11
}


class PortableExecutable:
    """The import tables of a 64-bit Windows program, read from its file."""

    def __init__(self, path):
        self.data = Path(path).read_bytes()
        header = struct.unpack_from("<I", self.data, 0x3C)[0]
        sections, optional_size = struct.unpack_from("<H12xH", self.data, header + 6)
        optional = header + 24
        self.directories = [struct.unpack_from("<II", self.data, optional + 112 + 8 * i) for i in range(16)]
        self.sections = [struct.unpack_from("<IIII", self.data, optional + optional_size + 40 * i + 8)
                         for i in range(sections)]  # virtual size, address, raw size, raw offset

    def offset(self, rva):
        for size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address if rva - address < raw_size else None
        return None

    def text(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii") if at is not None else None

    def names(self, lookup_rva):
        """The function names of an import lookup table (ordinals as '#N')."""
        names, at = [], self.offset(lookup_rva)
        while entry := struct.unpack_from("<Q", self.data, at)[0]:
            names.append(f"#{entry & 0xFFFF}" if entry >> 63 else self.text((entry & 0x7FFFFFFF) + 2))
            at += 8
        return names

    def imports(self):
        """{library (lower case): [function, ...]} of the import table."""
        found, at = {}, self.offset(self.directories[1][0])
        while (descriptor := struct.unpack_from("<IIIII", self.data, at))[3]:
            found[self.text(descriptor[3]).lower()] = self.names(descriptor[0] or descriptor[4])
            at += 20
        return found

    def delay_imports(self):
        """{library (lower case): [function, ...]} of the delay-import descriptors. GNU ld leaves the
        Delay Import directory empty, so they are found where they lie: 32 bytes, attributes 1
        (addresses are RVAs), the RVAs of the library's name, its handle, address and name tables, no
        time stamp."""
        found = {}
        for _, _, raw_size, raw in self.sections:
            for at in range(raw, raw + raw_size - 32, 4):
                attributes, name, handle, addresses, lookup, _, _, stamp = struct.unpack_from("<8I", self.data, at)
                if attributes != 1 or stamp or None in map(self.offset, (name, handle, addresses, lookup)):
                    continue
                library = self.text(name)
                if re.fullmatch(r"[\w.-]+\.dll", library, re.IGNORECASE):
                    found[library.lower()] = self.names(lookup)
        return found


class ImportTableTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        program = PortableExecutable(os.environ["KESTRANE_EXE"])
        cls.imports = program.imports()
        cls.delay_imports = program.delay_imports()

    def test_the_tables_are_read(self):
        # A reader that found nothing would let anything through.
        self.assertIn("CreateWindowExW", self.imports.get("user32.dll", []))
        self.assertIn("CreateFileW", self.imports.get("kernel32.dll", []))
        self.assertIn("SQLDriverConnectW", self.delay_imports.get("odbc32.dll", []))
        self.assertIn("WNetAddConnection2W", self.delay_imports.get("mpr.dll", []))

    def test_the_import_table_names_only_libraries_windows_takes_from_the_system(self):
        self.assertEqual(set(self.imports) - KNOWN_LIBRARIES - SIDE_BY_SIDE, set())

    def test_every_other_library_is_one_the_program_loads_from_the_system_folder(self):
        self.assertEqual(set(self.delay_imports) - DELAY_LOADED, set())

    def test_every_function_imported_is_listed_as_windows_7_or_older(self):
        unchecked = {f"{library}!{name}": IMPORTS.get(library, {}).get(name, "not listed")
                     for table in (self.imports, self.delay_imports) for library, names in table.items()
                     for name in names if IMPORTS.get(library, {}).get(name) not in OLD_ENOUGH}
        self.assertEqual(unchecked, {}, "imports not checked against Windows 7 SP1")

    def test_the_manifest_declares_the_supported_versions_and_the_common_controls(self):
        manifest = (SOURCE / "app" / "Kestrane.manifest").read_text(encoding="utf-8")
        self.assertEqual(set(re.findall(r'<supportedOS Id="(\{[^}]+\})"', manifest)), SUPPORTED_OS)
        self.assertRegex(manifest, r'name="Microsoft\.Windows\.Common-Controls" version="6\.0\.0\.0"\s+'
                                   r'processorArchitecture="\*" publicKeyToken="6595b64144ccf1df"')


if __name__ == "__main__":
    unittest.main()
