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
        files = [gen.TABLE_FILE, gen.DOC_FILE] + [
            bind for _, bind, _ in gen.FAMILIES + gen.EXTENSION_FAMILIES]
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
    def test_a_command_missing_from_the_table_is_named(self):
        self.edit(gen.TABLE_FILE, lambda t: t.replace('"DebugProfile",', ""))
        self.assertFailsWith("59 commands, expected 60")
        self.assertFailsWith("DebugProfile is in a family of tools/gen_command_reference.py "
                             "but not in the command table")

    def test_a_new_command_in_the_table_is_named(self):
        self.edit(gen.TABLE_FILE, lambda t: t.replace('"DebugProfile",',
                                                      '"DebugProfile", "ShakeScreen",'))
        self.assertFailsWith("ShakeScreen is in the command table but in no family")

    def test_a_command_bound_in_another_family_is_named(self):
        # The layer family's binding file starts building an effect command.
        self.edit("src/graphics/bind_layer.cpp", lambda t: t.replace(
            '{"CreateLayer", MakeCommand<CreateLayer>},',
            '{"CreateLayer", MakeCommand<CreateLayer>},\n    '
            '{"StopLayerEffect", MakeCommand<CreateLayer>},'))
        self.assertFailsWith("src/graphics/bind_layer.cpp (Layers): builds StopLayerEffect too")

    def test_a_family_whose_file_builds_nothing_is_named(self):
        self.edit("src/sound/bind_sound.cpp",
                  lambda t: re.sub(r'\{"\w+", MakeCommand<\w+>\},', "", t))
        self.assertFailsWith("src/sound/bind_sound.cpp (Sound): does not build AllocateChunkChannel")

    def test_extension_commands_stay_out_of_the_sixty_and_in_their_family(self):
        self.edit(gen.TABLE_FILE, lambda t: t.replace('"DebugProfile",',
                                                      '"DebugProfile", "SetWindowIcon",'))
        self.edit("src/app/bind_window_icon.cpp", lambda t: t.replace(
            '{"SetWindowIcon", MakeCommand<SetWindowIcon>},', ""))
        self.assertFailsWith("SetWindowIcon is an extension command but is among the 60")
        self.assertFailsWith("src/app/bind_window_icon.cpp (Window icon): builds []")

    def test_an_unreadable_table_is_a_failure_to_run(self):
        os.remove(self.path(gen.TABLE_FILE))
        status, _, err = self.check()
        self.assertEqual(status, 2)
        self.assertIn("ScriptApi.cpp", err)


if __name__ == "__main__":
    unittest.main()
