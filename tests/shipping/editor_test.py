#!/usr/bin/python3
"""The editor support files parse, and their grammars read their own sample
as intended: the TextMate grammar's line rules (with Python's regular
expressions, which read these patterns as Oniguruma does) and, where Vim is
installed, the Vim syntax file."""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

EDITOR = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "editor")
SAMPLE = os.path.join(EDITOR, "sample.tsl")


def sample_lines():
    with open(SAMPLE, encoding="utf-8") as f:
        return f.read().splitlines()


def line_of(text):
    return next(i for i, line in enumerate(sample_lines()) if text in line)


class TextMateGrammar(unittest.TestCase):
    def setUp(self):
        folder = os.path.join(EDITOR, "vscode")
        with open(os.path.join(folder, "package.json"), encoding="utf-8") as f:
            self.package = json.load(f)
        path = self.package["contributes"]["grammars"][0]["path"]
        with open(os.path.join(folder, path), encoding="utf-8") as f:
            self.grammar = json.load(f)
        json.load(open(os.path.join(folder, "language-configuration.json"), encoding="utf-8"))

    def rule(self, name):
        return self.grammar["repository"][name]

    def test_every_pattern_compiles_and_every_include_resolves(self):
        def walk(node):
            if isinstance(node, dict):
                for key in ("match", "begin", "end"):
                    if key in node:
                        re.compile(node[key])
                include = node.get("include", "")
                if include.startswith("#"):
                    self.assertIn(include[1:], self.grammar["repository"], include)
                for value in node.values():
                    walk(value)
            elif isinstance(node, list):
                for value in node:
                    walk(value)
        walk(self.grammar)
        self.assertEqual(self.grammar["scopeName"],
                         self.package["contributes"]["grammars"][0]["scopeName"])

    def test_the_sample_lines_split_as_the_engine_reads_them(self):
        lines = sample_lines()
        self.assertRegex(lines[0], "^" + self.rule("comment")["match"])
        call = re.search(self.rule("call-line")["match"], lines[line_of("@chapter2")])
        self.assertEqual(call.group(2), "chapter2.tsl")
        choice = re.search(self.rule("choice")["match"], lines[line_of("garden.tsl")])
        self.assertEqual((choice.group(2), choice.group(4)), ("Go to the garden", "garden.tsl"))
        rubies = re.findall(self.rule("ruby")["match"], lines[line_of("かん")])
        self.assertEqual([(base, text) for base, _, text, _ in rubies], [("漢", "かん"), ("字", "じ")])
        block = self.rule("script-block")
        self.assertEqual(block["name"], "meta.embedded.block.lua")
        self.assertIn({"include": "source.lua"}, block["patterns"])
        self.assertRegex(lines[line_of("# a script")].strip(), self.rule("script-comment")["match"])


@unittest.skipUnless(shutil.which("vim"), "Vim is not installed")
class VimSyntax(unittest.TestCase):
    PROBES = [("% sample.tsl", "tslComment"), ("a script", "tslScriptComment"),
              ("local window", "luaStatement"), ("The rain", ""),
              ("% a comment", "tslComment"), ("\\\\", "tslLineBreak"),
              ("かん", "tslRubyText"), ("chapter2", "tslCallTarget"),
              ("garden.tsl", "tslChoiceTarget")]

    def test_the_sample_gets_its_groups(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "groups")
            probes = "\n".join(
                f"call add(g:seen, synIDattr(synID({line_of(text) + 1}, "
                f"stridx(getline({line_of(text) + 1}), '{text}') + 1, 1), 'name'))"
                for text, _ in self.PROBES)
            script = os.path.join(tmp, "probe.vim")
            with open(script, "w", encoding="utf-8") as f:
                f.write(f"let g:seen = []\n{probes}\ncall writefile(g:seen, '{out}')\nqall!\n")
            subprocess.run(["vim", "-es", "-u", "NONE", "-N", "-i", "NONE",
                            "--cmd", "set rtp^=" + os.path.join(EDITOR, "vim"),
                            "-c", "filetype on", "-c", "syntax on", "-c", "edit " + SAMPLE,
                            "-c", "source " + script], check=False, timeout=60)
            with open(out, encoding="utf-8") as f:
                seen = f.read().splitlines()
        self.assertEqual(seen, [group for _, group in self.PROBES])


if __name__ == "__main__":
    unittest.main()
