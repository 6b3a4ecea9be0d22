#!/usr/bin/env python3
"""Checks that every text the program shows can be translated, and is.

- lupdate, run on the sources, finds exactly the texts of translations/trovix.ts: none is
  missing and none is left over;
- every shipped language (translations/trovix_<xx>.ts but English) translates every one of them,
  plural forms included, and English gives the plural forms of every counted text;
- no string literal of words in the sources bypasses translation: each is inside a translate
  call, tr() or QT_TRANSLATE_NOOP, or is marked on its line as not shown ("// not shown", or a
  comment that says it is data, a key, a font or a file's name or contents).

usage: check_translations.py LUPDATE SOURCE_DIR TRANSLATIONS_DIR
"""
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

# Folders whose texts are no words a user reads: the settings file format, and the test fakes.
SKIPPED = ("ini", os.path.join("platform", "fake"))


def messages(ts_path):
    """(context, source) -> (numerus, [translations], unfinished) of a .ts file."""
    found = {}
    for context in ET.parse(ts_path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "unfinished"
            if kind in ("obsolete", "vanished"):
                continue
            numerus = message.get("numerus") == "yes"
            if numerus:
                forms = [f.text or "" for f in translation.iter("numerusform")]
            else:
                forms = [translation.text or ""] if translation is not None else []
            found[(name, message.findtext("source"))] = (numerus, forms, kind == "unfinished")
    return found


def literals_outside_translation(path):
    """The string literals of words in a source file that no translation call holds."""
    text = open(path, encoding="utf-8").read()
    text = re.sub(r"/\*.*?\*/", lambda m: "\n" * m.group(0).count("\n"), text, flags=re.S)
    bad = []
    statement = ""
    for number, line in enumerate(text.split("\n"), 1):
        stripped = line.strip()
        comment = re.search(r'//(?=(?:[^"]*"[^"]*")*[^"]*$).*', line)
        why = comment.group(0) if comment else ""
        code = line[: comment.start()] if comment else line
        if stripped.startswith("#"):
            statement = ""
            continue
        statement += code + "\n"
        for literal in re.finditer(r'"((?:[^"\\]|\\.)*)"', code):
            words = literal.group(1)
            if not re.search(r"[A-Za-z]{2,}[,.:;!?']? [A-Za-z]", words):
                continue
            if why and re.search(r"not (shown|translated)|data|file (name|contents|format)|"
                                 r"key|font", why, re.I):
                continue
            before = statement[: len(statement) - len(code) - 1 + literal.start()]
            if re.search(r"QByteArrayLiteral\(\s*$|static_assert\(", before):
                continue  # bytes for a file, or a message for the compiler
            opened = max(before.rfind(call) for call in
                         ("translate(", "tr(", "QT_TRANSLATE_NOOP(", "QT_TR_NOOP("))
            if opened < 0:
                bad.append(f"{path}:{number}: \"{words}\"")
        if re.search(r"[;{}]\s*$", code):
            statement = ""
    return bad


def main():
    lupdate, source, translations = sys.argv[1:4]
    problems = []
    with tempfile.TemporaryDirectory() as work:
        fresh_ts = os.path.join(work, "fresh.ts")
        subprocess.run([lupdate, "-silent", "-no-obsolete", "-locations", "none", source,
                        "-ts", fresh_ts], check=True, stdout=subprocess.DEVNULL)
        fresh = messages(fresh_ts)
    catalogue = messages(os.path.join(translations, "trovix.ts"))
    for key in sorted(set(fresh) - set(catalogue)):
        problems.append(f"not in translations/trovix.ts (run ./dev translations): {key}")
    for key in sorted(set(catalogue) - set(fresh)):
        problems.append(f"in translations/trovix.ts but no longer in the sources: {key}")

    for name in sorted(os.listdir(translations)):
        match = re.fullmatch(r"trovix_(\w+)\.ts", name)
        if not match:
            continue
        language = match.group(1)
        shipped = messages(os.path.join(translations, name))
        for key, (numerus, _, _) in sorted(fresh.items()):
            if language == "en" and not numerus:
                continue
            got = shipped.get(key)
            if got is None or got[2] or not all(got[1]) or not got[1]:
                problems.append(f"{name}: not translated: {key}")

    for folder, _, files in os.walk(source):
        if os.path.relpath(folder, source).startswith(SKIPPED):
            continue
        for file in sorted(files):
            if file.endswith((".cpp", ".h")):
                problems += literals_outside_translation(os.path.join(folder, file))

    for problem in problems:
        print(problem)
    print(f"{len(fresh)} texts; {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
