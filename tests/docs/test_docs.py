"""The README and the administrator's guide it links to: the picture of the window each opens with,
links that lead somewhere, and commands that work as printed on the Windows versions they name."""
import os
import re
import struct
import sys
import unittest
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "tools"))
from bundle import PICTURE  # noqa: E402  the pictures Markdown shows, which the bundle ships with DEPLOY.md

WINDOW = "docs/window.png"
README = "README.md"
GUIDE = "DEPLOY.md"  # shipped in the release's zip as it stands, beside the pictures it shows

LINK = re.compile(r"(?<!!)\[[^\]]*\]\(([^)\s]+)\)")  # [text](target), pictures aside
FENCE = re.compile(r"^( *)```(\S*)\n(.*?)^\1```$", re.DOTALL | re.MULTILINE)
LANGUAGES = {"cmd", "powershell", "sql", "ini", "text"}
POWERSHELL_MINIMUM = re.compile(r"# PowerShell (\d+\.\d+) or later\b")
SQLCMD = re.compile(r"\bsqlcmd((?:[ \t]+-[A-Za-z]+(?:[ \t]+[^-\s`][^\s`]*)?)+)")
# What a PowerShell snippet may use only from a version on (where Windows 7's 2.0 fails it).
NEWER_POWERSHELL = [
    (re.compile(r"::new\("), 5.0),
    (re.compile(r"\bGet-FileHash\b"), 4.0),
    (re.compile(r"\b(?:Register-ScheduledTask|New-ScheduledTask\w*)\b"), 3.0),
    (re.compile(r"\bGet-OdbcDriver\b"), 3.0),
    (re.compile(r"\bGet-CimInstance\b"), 3.0),
    (re.compile(r"\[ordered\]", re.IGNORECASE), 3.0),
    (re.compile(r"\$PSItem\b"), 3.0),
    (re.compile(r"\b(?:Where-Object|Select-Object -ExpandProperty)\s+\w+\s+-(?:eq|ne|like|match)\b"), 3.0),
]


def text(name):
    return (SOURCE / name).read_text(encoding="utf-8")


def anchor(heading):
    """The anchor a heading gets where the guide is read (GitHub and most Markdown viewers)."""
    return re.sub(r"[^\w\- ]", "", heading.strip().lower()).replace(" ", "-")


def headings(markdown):
    prose = FENCE.sub("", markdown)
    return [line.lstrip("#").strip() for line in prose.splitlines() if re.match(r"#{1,6} ", line)]


def oldest_powershell_for(code):
    return max([version for feature, version in NEWER_POWERSHELL if feature.search(code)], default=2.0)


class PictureTest(unittest.TestCase):
    def test_the_readme_and_the_guide_open_with_the_picture_of_the_window(self):
        for name in (README, GUIDE):
            with self.subTest(name):
                markdown = text(name)
                self.assertEqual(PICTURE.findall(markdown), [WINDOW])
                self.assertLess(markdown.index(WINDOW), markdown.index("\n## "))
        self.assertIn("tools/screenshot", text(README))
        self.assertTrue(os.access(SOURCE / "tools" / "screenshot", os.X_OK))

        picture = (SOURCE / WINDOW).read_bytes()
        self.assertEqual(picture[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual(picture[12:16], b"IHDR")
        width, height = struct.unpack(">II", picture[16:24])
        # The window at 96 dpi, a strip 230 pixels wide and about 360 high, not the whole screen.
        self.assertTrue(200 <= width <= 260 and 300 <= height <= 420, (width, height))
        self.assertLess(len(picture), 200_000)


class LinkTest(unittest.TestCase):
    def test_every_heading_has_an_anchor_of_its_own(self):
        for name in (README, GUIDE):
            with self.subTest(name):
                anchors = [anchor(heading) for heading in headings(text(name))]
                self.assertEqual(sorted({a for a in anchors if anchors.count(a) > 1}), [])

    def test_every_link_leads_to_a_heading_or_a_file(self):
        for name in (README, GUIDE):
            markdown = text(name)
            own = {anchor(heading) for heading in headings(markdown)}
            for target in LINK.findall(FENCE.sub("", markdown)):
                with self.subTest(name, target=target):
                    path, _, fragment = target.partition("#")
                    if not path:
                        self.assertIn(fragment, own)
                        continue
                    self.assertFalse(re.match(r"\w+:", path), "a link outside the tree cannot be checked")
                    self.assertTrue((SOURCE / path).is_file())
                    if fragment:
                        self.assertIn(fragment, {anchor(h) for h in headings(text(path))})

    def test_the_guide_links_only_to_itself_as_it_ships_alone(self):
        # The bundle carries DEPLOY.md and its pictures, not the README nor the tree around it.
        self.assertEqual([target for target in LINK.findall(text(GUIDE)) if not target.startswith("#")], [])

    def test_the_readme_leads_the_administrator_to_the_guide(self):
        self.assertIn(GUIDE, LINK.findall(text(README)))


class CommandTest(unittest.TestCase):
    def test_every_code_block_names_its_language(self):
        for name in (README, GUIDE):
            for _, language, _ in FENCE.findall(text(name)):
                with self.subTest(name, language=language):
                    self.assertIn(language, LANGUAGES)

    def test_every_sqlcmd_line_stops_at_the_first_error(self):
        # Without -b, sqlcmd ends with 0 after a failed statement, and a script run by a tool fails unseen.
        for name in (README, GUIDE):
            commands = SQLCMD.findall(text(name))
            self.assertTrue(name == README or commands)
            for options in commands:
                with self.subTest(name, options=options):
                    self.assertIn("-b", options.split())

    def test_every_powershell_block_names_the_oldest_powershell_it_runs_in(self):
        blocks = [code for _, language, code in FENCE.findall(text(GUIDE)) if language == "powershell"]
        self.assertTrue(blocks)
        for code in blocks:
            with self.subTest(code.splitlines()[0]):
                named = POWERSHELL_MINIMUM.match(code.lstrip())
                self.assertIsNotNone(named, "the block's first line: # PowerShell N.N or later")
                self.assertGreaterEqual(float(named.group(1)), oldest_powershell_for(code))

    def test_no_powershell_hides_in_a_command_prompt_block(self):
        for _, language, code in FENCE.findall(text(GUIDE)):
            if language == "cmd":
                with self.subTest(code.splitlines()[0]):
                    self.assertIsNone(re.search(r"^\s*[A-Z][a-z]+-[A-Z][A-Za-z]+\b|\$\w", code, re.MULTILINE))

    def test_the_settings_writer_runs_in_the_powershell_of_windows_7(self):
        script = (SOURCE / "deploy" / "Write-KestraneSettings.ps1").read_text(encoding="ascii")
        self.assertIn("Windows PowerShell 2.0", script)
        self.assertEqual(oldest_powershell_for(script), 2.0)

    def test_the_powershell_rules_see_what_windows_7_lacks(self):
        cases = [
            ("Get-ChildItem | Where-Object { $_.Name -eq 'x' }", 2.0),
            ("Get-ChildItem | Where-Object Name -eq 'x'", 3.0),
            ("[System.Diagnostics.EventSourceCreationData]::new('Kestrane', 'Application')", 5.0),
            ("New-Object System.Diagnostics.EventSourceCreationData 'Kestrane', 'Application'", 2.0),
            ("Get-FileHash .\\Kestrane.msi", 4.0),
            ("Register-ScheduledTask -TaskName Kestrane", 3.0),
            ("Get-OdbcDriver -Platform 64-bit", 3.0),
        ]
        for code, oldest in cases:
            with self.subTest(code):
                self.assertEqual(oldest_powershell_for(code), oldest)


if __name__ == "__main__":
    unittest.main()
