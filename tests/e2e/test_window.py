"""The window and its run sequence, watched from outside while the program runs."""
import unittest

import shutil

from background import largest_difference
from harness import BUILD, KESTRANE, World, captured

# Left, top, width, height at 96 dpi of every windowed control, and whether it shows.
EXPECTED = {
    "Memo1": ((8, 100, 205, 174), True), "Edit1": ((8, 27, 205, 21), True),
    "Button1": ((8, 280, 205, 35), True), "Edit2": ((8, 73, 205, 21), True),
    "Edit3": ((386, 294, 258, 21), True), "Memo2": ((8, 185, 201, 89), False),
    "Edit4": ((313, 35, 109, 21), True), "Edit5": ((313, 62, 109, 21), True),
    "Edit6": ((313, 89, 109, 21), True), "Edit7": ((313, 116, 109, 21), True),
    "Button2": ((305, 290, 75, 25), False), "Edit8": ((313, 8, 109, 21), True),
    "Memo3": ((224, 143, 201, 141), True), "Edit9": ((523, 8, 121, 21), True),
    "Edit10": ((523, 35, 121, 21), True), "Edit11": ((523, 62, 121, 21), True),
    "Edit12": ((523, 89, 121, 21), True), "Edit13": ((523, 143, 121, 21), True),
    "Edit14": ((523, 116, 121, 21), True), "Button3": ((224, 290, 75, 25), False),
    "Button4": ((523, 170, 121, 25), False),
}
ENABLED = {"Memo1", "Button1", "Button2", "Button3", "Button4"}


class WindowTest(unittest.TestCase):
    def check_layout(self, run, dpi):
        shown = run.settled
        scale = lambda v: round(v * dpi / 96)  # noqa: E731
        names = [c["name"] for c in shown["controls"]]
        self.assertEqual(sorted(names), sorted(EXPECTED))
        for name, (rect, visible) in EXPECTED.items():
            control = run.control(name, shown)
            with self.subTest(control=name):
                for got, want in zip(control["rect"], rect):
                    self.assertLessEqual(abs(got - scale(want)), 1)
                self.assertEqual(control["visible"], visible)
                self.assertEqual(control["enabled"], name in ENABLED)
        self.assertEqual(shown["caption"], "TavCopy")
        self.assertEqual(shown["dpi"], dpi)
        # Narrowed to the strip: 230 design pixels at any density.
        self.assertLessEqual(shown["window"][2], scale(230))
        self.assertLess(shown["client"][2], scale(224) + 1)
        self.assertEqual(run.text("Button1", shown), "START COPY")
        memo2 = run.text("Memo2", shown).split("\r\n")
        self.assertEqual(len(memo2), 31)
        self.assertEqual([i + 1 for i, line in enumerate(memo2) if line.endswith(" ")], [9, 13, 26])
        self.assertEqual(memo2[18], "    set \"destFile=%currentUser%\\")
        self.assertEqual(run.text("Memo3", shown), "")
        # The log has the focus when the window first becomes active.
        self.assertTrue(run.control("Memo1", shown)["focused"])

    def check_picture(self, run):
        """The background shows the picture area-averaged to its size, as a Fant scaler does."""
        difference = largest_difference(run.screenshot, run.settled)
        print(f"background at {run.settled['dpi']} dpi: largest difference per channel {difference}")
        self.assertLessEqual(difference, 1)

    def test_run_at_96_dpi_goes_from_start_copy_to_running_and_closes(self):
        world = World("window96")
        # The screenshot as soon as the window shows: this world has nothing to copy, and the error
        # report that follows the map step would cover the window.
        run = world.run(screenshot_when_log="")
        self.assertEqual(run.exit_code, 2, run.stderr)  # nothing configured: the update stops with an error
        self.check_layout(run, 96)
        captions = [run.text("Button1", s) for s in run.answered]
        self.assertEqual(captions[-1], "RUNNING")
        self.assertIn("START COPY", captions)
        self.assertIsNotNone(run.screenshot)
        shutil.copy(run.screenshot, BUILD / "screenshot-96dpi.png")
        self.check_picture(run)

    def test_layout_scales_at_144_dpi(self):
        run = World("window144", dpi=144).run(screenshot_when_log="")
        self.assertEqual(run.exit_code, 2, run.stderr)
        self.check_layout(run, 144)
        shutil.copy(run.screenshot, BUILD / "screenshot-144dpi.png")
        self.check_picture(run)

    def test_user_presses_start_copy_or_closes_before_the_first_tick(self):
        world = World("window-user")
        pressed = world.run(action="click")
        self.assertEqual(pressed.exit_code, 2, pressed.stderr)
        self.assertEqual(pressed.text("Button1"), "RUNNING")
        self.assertEqual(pressed.log_lines()[-1], "Failed To Map Drive. Check Credentials And Try Again.")
        # Nothing configured: the empty pattern fails the listing, the error goes to the report,
        # and the still-ticking timer ends the program while the box is open.
        self.assertEqual(pressed.message_boxes, [{"caption": "Kestrane", "text": "Invalid characters in search pattern.",
                                                  "stop_icon": True, "buttons": 1, "owned": True}])
        closed = world.run(action="close")
        self.assertEqual(closed.exit_code, 2, closed.stderr)  # no update took place
        self.assertEqual(closed.text("Button1"), "START COPY")
        self.assertEqual(closed.log_lines(), [])
        self.assertEqual(closed.message_boxes, [])

    def test_window_that_cannot_be_created_ends_with_exit_code_1(self):
        # Without any display Wine has no window driver: creating the window fails.
        world = World("window-nodisplay")
        env = {k: v for k, v in world.base_env().items() if k != "DISPLAY"}
        result = captured(["wine", KESTRANE], env, check=False, timeout=60)
        self.assertEqual(result.returncode, 1)


if __name__ == "__main__":
    unittest.main()
