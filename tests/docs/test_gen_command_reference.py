#!/usr/bin/python3
"""The command-reference checker must catch every way the reference can drift
from the engine's command table, and pass the tree as it is."""

import contextlib
import importlib.util
import io
import os
import re
import shutil
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
SCRIPT = os.path.join(ROOT, "tools", "gen_command_reference.py")

module_spec = importlib.util.spec_from_file_location("gen_command_reference", SCRIPT)
gen = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(gen)


def run(*args):
    """Runs the script's main; returns (status, stdout, stderr)."""
    out, err = io.StringIO(), io.StringIO()
    with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
        status = gen.main(list(args))
    return status, out.getvalue(), err.getvalue()


class TreeTest(unittest.TestCase):
    """A copy of the parts of the tree the checker reads, to break at will."""

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="docs-check-")
        self.addCleanup(shutil.rmtree, self.root)
        files = [gen.DOC_FILE] + [
            bind for _, bind in gen.FAMILIES + gen.EXTENSION_FAMILIES]
        for name in files:
            target = os.path.join(self.root, name)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copyfile(os.path.join(ROOT, name), target)

    def path(self, name):
        return os.path.join(self.root, name)

    def edit(self, name, change):
        with open(self.path(name), encoding="utf-8") as f:
            text = f.read()
        changed = change(text)
        self.assertNotEqual(changed, text, f"the edit of {name} changed nothing")
        with open(self.path(name), "w", encoding="utf-8") as f:
            f.write(changed)

    def check(self):
        return run("--check", "--root", self.root)

    def assertFailsWith(self, fragment):
        status, _, err = self.check()
        self.assertEqual(status, 1, err)
        self.assertIn(fragment, err)


class InStepTest(TreeTest):
    def test_the_tree_is_in_step(self):
        status, out, err = run("--check", "--root", ROOT)
        self.assertEqual(status, 0, err)
        self.assertIn("all 60 commands documented", out)

    def test_an_untouched_copy_is_in_step(self):
        status, _, err = self.check()
        self.assertEqual(status, 0, err)

    def test_a_written_skeleton_is_in_step(self):
        os.remove(self.path(gen.DOC_FILE))
        self.assertEqual(run("--write", "--root", self.root)[0], 0)
        status, _, err = self.check()
        self.assertEqual(status, 0, err)


class DocumentDriftTest(TreeTest):
    def drop_section(self, name):
        def change(text):
            return re.sub(r"^### `" + name + r"`$.*?(?=^### |^## )", "", text,
                          flags=re.S | re.M)
        self.edit(gen.DOC_FILE, change)

    def test_a_missing_command_is_named(self):
        self.drop_section("RotateLayer")
        self.assertFailsWith("RotateLayer (Layers) is not documented")

    def test_an_unknown_command_is_named(self):
        self.edit(gen.DOC_FILE, lambda t: t.replace(
            "### `ReleaseSoundData`", "### `PlaySound`\n\n- **Arguments:** \n"
            "- **Results:** \n- **Bad arguments:** \n\n```lua\n```\n\n### `ReleaseSoundData`"))
        self.assertFailsWith("PlaySound is documented but is not a command")

    def test_a_command_documented_twice_is_named(self):
        with open(self.path(gen.DOC_FILE), encoding="utf-8") as f:
            section = re.search(r"^### `DebugProfile`$.*?(?=^## )", f.read(),
                                re.S | re.M).group(0)
        self.edit(gen.DOC_FILE, lambda t: t + "\n" + section)
        self.assertFailsWith("DebugProfile is documented 2 times")

    def test_commands_out_of_order_are_found(self):
        self.edit(gen.DOC_FILE, lambda t: t.replace("### `PauseSoundData`", "### `@@`")
                  .replace("### `ResumeSoundData`", "### `PauseSoundData`")
                  .replace("### `@@`", "### `ResumeSoundData`"))
        self.assertFailsWith("expected PauseSoundData (in Sound) where ResumeSoundData")

    def test_a_command_in_the_wrong_family_is_found(self):
        self.drop_section("MesWndWait")
        self.edit(gen.DOC_FILE, lambda t: t.replace(
            "### `SystemExit`", "### `MesWndWait`\n\n- **Arguments:** \n- **Results:** \n"
            "- **Bad arguments:** \n\n```lua\n```\n\n### `SystemExit`"))
        self.assertFailsWith("expected SystemExit (in System) where MesWndWait (in System)")

    def test_a_stale_index_is_found(self):
        self.edit(gen.DOC_FILE, lambda t: t.replace("(#48)", "(#47)", 1))
        self.assertFailsWith("the generated index is stale")

    def test_a_missing_index_is_found(self):
        self.edit(gen.DOC_FILE, lambda t: t.replace(gen.INDEX_END, ""))
        self.assertFailsWith("the generated index (its markers) is missing")

    def test_a_section_without_its_parts_is_named(self):
        def change(text):
            start = text.index("### `ChgLayerAlpha`")
            end = text.index("### ", start + 4)
            section = text[start:end].replace("**Bad arguments:**", "**Errors:**")
            section = section.replace("```lua", "```text")
            return text[:start] + section + text[end:]
        self.edit(gen.DOC_FILE, change)
        self.assertFailsWith("ChgLayerAlpha has no Bad arguments line")
        self.assertFailsWith("ChgLayerAlpha has no Lua example")

    def test_a_renamed_family_is_found(self):
        self.edit(gen.DOC_FILE, lambda t: t.replace("## Layer effects\n", "## Effects\n"))
        self.assertFailsWith("family sections are")

    def test_write_repairs_only_the_index(self):
        self.edit(gen.DOC_FILE, lambda t: t.replace("(#48)", "(#47)", 1))
        self.assertEqual(run("--write", "--root", self.root)[0], 0)
        status, _, err = self.check()
        self.assertEqual(status, 0, err)
        with open(self.path(gen.DOC_FILE), encoding="utf-8") as f:
            repaired = f.read()
        with open(os.path.join(ROOT, gen.DOC_FILE), encoding="utf-8") as f:
            self.assertEqual(repaired, f.read())


class TableDriftTest(TreeTest):
    def test_gaps_and_clashes_in_the_numbering_are_named(self):
        self.edit("src/app/bind_system.cpp", lambda t: t.replace(
            "MakeCommand<DebugProfile>, 60}", "MakeCommand<DebugProfile>, 59}"))
        self.assertFailsWith("number 59 is claimed by")
        self.assertFailsWith("no command has number 60 of the command table")

    def test_a_command_without_a_number_is_named(self):
        self.edit("src/app/bind_system.cpp", lambda t: t.replace(
            "MakeCommand<DebugProfile>, 60}", "MakeCommand<DebugProfile>}"))
        self.assertFailsWith("DebugProfile has no number in the command table")

    def test_a_command_bound_in_two_families_is_named(self):
        # The layer family's binding file starts building an effect command.
        self.edit("src/graphics/bind_layer.cpp", lambda t: t.replace(
            '{"CreateLayer", MakeCommand<CreateLayer>, 9},',
            '{"CreateLayer", MakeCommand<CreateLayer>, 9},\n    '
            '{"StopLayerEffect", MakeCommand<CreateLayer>},'))
        self.assertFailsWith("StopLayerEffect is built by more than one binding file")

    def test_the_reference_follows_the_order_of_the_binding_file(self):
        self.edit("src/sound/bind_sound.cpp", lambda t: t.replace(
            '{"PauseSoundData", MakeCommand<PauseSoundData>, 44},', "@@").replace(
            '{"ResumeSoundData", MakeCommand<ResumeSoundData>, 45},',
            '{"PauseSoundData", MakeCommand<PauseSoundData>, 44},').replace(
            "@@", '{"ResumeSoundData", MakeCommand<ResumeSoundData>, 45},'))
        self.assertFailsWith("the generated index is stale")
        self.assertEqual(run("--write", "--root", self.root)[0], 0)
        self.assertFailsWith("expected ResumeSoundData (in Sound) where PauseSoundData")

    def test_a_family_whose_file_builds_nothing_is_named(self):
        self.edit("src/sound/bind_sound.cpp",
                  lambda t: re.sub(r'\{"\w+", MakeCommand<\w+>, \d+\},', "", t))
        self.assertFailsWith("src/sound/bind_sound.cpp (Sound): builds no command")
        self.assertFailsWith("no command has number 36 of the command table")

    def test_extension_commands_stay_out_of_the_sixty(self):
        self.edit("src/app/bind_window_icon.cpp", lambda t: t.replace(
            "MakeCommand<SetWindowIcon>}", "MakeCommand<SetWindowIcon>, 61}"))
        self.assertFailsWith("SetWindowIcon is an extension command but is among the 60")

    def test_names_lists_the_sixty_then_the_extensions(self):
        status, out, err = run("--names", "--root", self.root)
        self.assertEqual(status, 0, err)
        names = out.split()
        self.assertEqual(len(names), 61)
        self.assertEqual(names[0], "ArchiveLoad")
        self.assertEqual(names[-1], "SetWindowIcon")

    def test_an_unreadable_binding_file_is_a_failure_to_run(self):
        os.remove(self.path("src/app/bind_window.cpp"))
        status, _, err = self.check()
        self.assertEqual(status, 2)
        self.assertIn("bind_window.cpp", err)


if __name__ == "__main__":
    unittest.main()
