"""The README's picture of the window: the file it shows, a small PNG of the window itself, made
by the command the README names."""
import os
import struct
import sys
import unittest
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "tools"))
from bundle import PICTURE  # noqa: E402  the pictures Markdown shows, which the bundle ships with DEPLOY.md

WINDOW = "docs/window.png"


class ReadmePictureTest(unittest.TestCase):
    def test_the_readme_opens_with_the_picture_of_the_window(self):
        readme = (SOURCE / "README.md").read_text(encoding="utf-8")
        self.assertEqual(PICTURE.findall(readme), [WINDOW])
        # Before the first section, so DEPLOY.md opens with it too.
        self.assertLess(readme.index(WINDOW), readme.index("\n## "))
        self.assertIn("tools/screenshot", readme)
        self.assertTrue(os.access(SOURCE / "tools" / "screenshot", os.X_OK))

        picture = (SOURCE / WINDOW).read_bytes()
        self.assertEqual(picture[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual(picture[12:16], b"IHDR")
        width, height = struct.unpack(">II", picture[16:24])
        # The window at 96 dpi, a strip 230 pixels wide and about 360 high, not the whole screen.
        self.assertTrue(200 <= width <= 260 and 300 <= height <= 420, (width, height))
        self.assertLess(len(picture), 200_000)


if __name__ == "__main__":
    unittest.main()
