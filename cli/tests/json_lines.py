"""Reads the JSON lines of velmora-cli --json on standard input, checks that
every line is one JSON object of the documented kind and that the last one
ends the run, and prints what a test compares, in an order that does not
depend on how the cards' threads met:
  phases CARD P1 P2 ...          each card's phases as they followed
  result CARD OUTCOME EXIT MSG   each card of several, by card
  end CARD OUTCOME EXIT MSG      the last line
  file PATH: PROBLEM             check's files, in order
A card of null shows as "-"; line ends in messages as " | ". Anything
wrong is printed as "BAD ..." and ends with exit code 1."""

import json
import sys

PROGRESS = {"type", "card", "phase", "text", "title", "percent", "remaining"}
OUTCOME = {"type", "card", "outcome", "exit", "message"}
PHASES = {0, 1, 2, 4, 8, 9, 10, 13, 14}
OUTCOMES = {"ok": 0, "failed": 1, "usage": 2, "stopped": 130}


def bad(why):
    print("BAD " + why)
    sys.exit(1)


def name(card):
    return "-" if card is None else card


def message(text):
    return "null" if text is None else text.replace("\n", " | ")


phases = {}
results = []
last = None
lines = sys.stdin.buffer.read().split(b"\n")
if lines[-1] != b"":
    bad("the output does not end with a line end")
for number, raw in enumerate(lines[:-1], 1):
    try:
        value = json.loads(raw.decode("utf-8"))
    except (UnicodeDecodeError, ValueError) as error:
        bad(f"line {number} is no JSON: {error}: {raw!r}")
    if not isinstance(value, dict):
        bad(f"line {number} is no object")
    if last is not None:
        bad(f"line {number} follows the end")
    kind = value.get("type")
    if kind == "progress":
        if set(value) != PROGRESS:
            bad(f"line {number} has the fields {sorted(value)}")
        if value["phase"] not in PHASES:
            bad(f"line {number} has the phase {value['phase']}")
        if not isinstance(value["text"], str) or not isinstance(value["title"], str):
            bad(f"line {number} has texts that are no strings")
        if not isinstance(value["percent"], int) or not 0 <= value["percent"] <= 100:
            bad(f"line {number} has the percent {value['percent']}")
        remaining = value["remaining"]
        if remaining is not None and (not isinstance(remaining, int) or remaining < 0):
            bad(f"line {number} has the remaining time {remaining}")
        seen = phases.setdefault(name(value["card"]), [])
        if not seen or seen[-1] != value["phase"]:
            seen.append(value["phase"])
    elif kind in ("result", "end"):
        extra = set(value) - OUTCOME
        if not OUTCOME <= set(value) or extra - {"files"}:
            bad(f"line {number} has the fields {sorted(value)}")
        if OUTCOMES.get(value["outcome"]) not in (value["exit"], None) or (
            value["outcome"] == "failed" and value["exit"] != 1
        ):
            bad(f"line {number} tells {value['outcome']} with exit {value['exit']}")
        text = f"{kind} {name(value['card'])} {value['outcome']} {value['exit']} {message(value['message'])}"
        if kind == "result":
            results.append(text)
        else:
            last = value
            end = text
    else:
        bad(f"line {number} has the type {kind!r}")
if last is None:
    bad("no end")
for card in sorted(phases):
    print("phases " + card + " " + " ".join(str(p) for p in phases[card]))
for text in sorted(results):
    print(text)
print(end)
for entry in last.get("files", []):
    print(f"file {entry['path']}: {entry['problem']}")
