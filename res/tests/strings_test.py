"""The string tables against each other and against the dialog templates.

strings_test.py RES_DIR

Every language table has the ids of ENU.txt, no more, each with the very
placeholders of the English text; every text that a template of res/ui/ names
by its id (<string comment="ID">) is the English table's text of that id, so
that the template and the module never drift apart.
"""

import glob
import os
import re
import sys
import xml.etree.ElementTree as ElementTree

RES = sys.argv[1]
failures = []


def table(path):
    entries = {}
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            match = re.fullmatch(r'(\d+)\s+"(.*)"', line)
            if match is None:
                failures.append(f"{path}:{number}: not an entry: {line}")
                continue
            text = match.group(2).replace("\\n", "\n").replace('\\"', '"').replace("\\t", "\t")
            text = text.replace("\\\\", "\\")
            if match.group(1) in entries:
                failures.append(f"{path}:{number}: id {match.group(1)} twice")
            entries[match.group(1)] = text
    return entries


def placeholders(text):
    return sorted(re.findall(r"%[1-9]\$@", text))


english = table(os.path.join(RES, "strings", "ENU.txt"))
for path in sorted(glob.glob(os.path.join(RES, "strings", "*.txt"))):
    name = os.path.basename(path)
    if name == "ENU.txt":
        continue
    other = table(path)
    for missing in sorted(set(english) - set(other), key=int):
        failures.append(f"{name}: no text for {missing}")
    for extra in sorted(set(other) - set(english), key=int):
        failures.append(f"{name}: {extra} is not in ENU.txt")
    for number in sorted(set(english) & set(other), key=int):
        if placeholders(other[number]) != placeholders(english[number]):
            failures.append(f"{name}: {number} has {placeholders(other[number])}, "
                            f"ENU.txt {placeholders(english[number])}")
        if english[number].count("&") != other[number].count("&"):
            failures.append(f"{name}: {number} has not the accelerator marks of ENU.txt")

named = 0
for path in sorted(glob.glob(os.path.join(RES, "ui", "*.ui"))):
    for string in ElementTree.parse(path).iter("string"):
        number = string.get("comment")
        if number is None:
            if string.text and string.get("notr") != "true":
                failures.append(f"{os.path.basename(path)}: '{string.text}' has no string id")
            continue
        named += 1
        if english.get(number) != (string.text or ""):
            failures.append(f"{os.path.basename(path)}: '{string.text}' is {english.get(number)!r} in ENU.txt")
if named == 0:
    failures.append("no template names a string id")

for failure in failures:
    print("FAIL", failure)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
