#!/usr/bin/env python3
"""The JSON Schema of descriptions against the ledview command.

    schema_test.py LEDVIEW SOURCE_DIR WORK_DIR

The schema is a valid draft 2020-12 schema and `ledview schema` prints it as
it is in the repository; the examples, the demo's description and what
`demo --json` and `inspect` write validate against it; and every broken
description of the table is refused by both the schema and `ledview build`,
at the same object path.
"""
import copy
import json
import os
import shutil
import subprocess
import sys

import jsonschema
from jsonschema import Draft202012Validator

LEDVIEW, SOURCE, WORK = sys.argv[1:4]
SCHEMA_FILE = os.path.join(SOURCE, "tools/ledview/schema/ledview.schema.json")
EXAMPLES = os.path.join(SOURCE, "tools/ledview/examples")
DEMO = os.path.join(SOURCE, "tools/ledview/demo/demo.json")

failures = []
passed = 0


def check(ok, what):
    global passed
    if ok:
        passed += 1
    else:
        failures.append(what)
        print("FAILED:", what)


def ledview(*args):
    return subprocess.run([LEDVIEW, *args], capture_output=True, text=True, check=False)


def ledview_bytes(*args):
    return subprocess.run([LEDVIEW, *args], capture_output=True, check=True).stdout


def dotted(parts):
    """["pages", 0, "areas"] as pages[0].areas, the way build names paths."""
    out = ""
    for p in parts:
        out += "[%d]" % p if isinstance(p, int) else ("." if out else "") + p
    return out


def schema_path(validator, instance):
    """The object path of the schema's best error, as build would name it:
    a missing or unexpected property is named itself, not its object."""
    error = jsonschema.exceptions.best_match(validator.iter_errors(instance))
    if error is None:
        return None
    parts = list(error.absolute_path)
    if error.validator == "required":
        missing = [k for k in error.validator_value if k not in error.instance]
        parts.append(missing[0])
    elif error.validator in ("additionalProperties", "unevaluatedProperties"):
        allowed = set(error.schema.get("properties", {}))
        parts.append(next(k for k in error.instance if k not in allowed))
    return dotted(parts), error.message


# The schema is a draft 2020-12 schema, and the command prints it unchanged.
with open(SCHEMA_FILE, "rb") as f:
    schema_bytes = f.read()
schema = json.loads(schema_bytes)
try:
    Draft202012Validator.check_schema(schema)
    check(True, "metaschema")
except jsonschema.exceptions.SchemaError as e:
    check(False, "the schema breaks the draft 2020-12 metaschema: %s" % e.message)
validator = Draft202012Validator(schema)
printed = subprocess.run([LEDVIEW, "schema"], capture_output=True, check=False)
check(printed.returncode == 0 and printed.stdout == schema_bytes, "`ledview schema` prints the schema file")
check(json.loads(printed.stdout) == schema, "`ledview schema` prints JSON")

shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)

# Every example and the demo's description validate. The demo's source
# names the schema by a path that reaches it from its folder; the examples
# name it as `ledview schema > ledview.schema.json` saves it beside a copy,
# so that they still find it once copied out with the schema.
examples = sorted(os.path.join(EXAMPLES, n) for n in os.listdir(EXAMPLES) if n.endswith(".json"))
check(len(examples) >= 4, "the examples are there")
copied = os.path.join(WORK, "copied")
os.makedirs(copied)
with open(os.path.join(copied, "ledview.schema.json"), "wb") as f:
    f.write(ledview_bytes("schema"))
for path in examples + [DEMO]:
    with open(path, encoding="utf-8") as f:
        d = json.load(f)
    errors = [dotted(e.absolute_path) + ": " + e.message for e in validator.iter_errors(d)]
    check(not errors, "%s validates: %s" % (path, errors))
    folder = os.path.dirname(path) if path == DEMO else copied
    named = os.path.join(folder, d.get("$schema", ""))
    check(os.path.isfile(named) and open(named, "rb").read() == schema_bytes,
          "%s names the schema (%s)" % (path, d.get("$schema")))

# What the command writes validates and names the schema beside it.
demo = os.path.join(WORK, "demo.json")
check(ledview("demo", "--json", demo).returncode == 0, "demo --json")
with open(demo, encoding="utf-8") as f:
    d = json.load(f)
check(d.get("$schema") == "ledview.schema.json", "demo --json names ledview.schema.json")
check(not list(validator.iter_errors(d)), "demo --json validates")

# A speed above 8, as other programs may store it, goes through inspect as
# rawspeed, which validates and builds the same bytes again.
raw = os.path.join(WORK, "raw.json")
with open(raw, "w", encoding="utf-8") as f:
    json.dump({"pages": [{"areas": [{"rect": [0, 0, 32, 16], "components": [{"elements": [
        {"type": "string", "text": "Hi", "rawspeed": 12}]}]}]}]}, f)
for name, source in [("hello", os.path.join(EXAMPLES, "hello.json")), ("pictures", os.path.join(EXAMPLES, "pictures.json")),
                     ("raw", raw)]:
    bill, again, rebuilt = (os.path.join(WORK, name + ext) for ext in (".bill", "-again.json", "-again.bill"))
    check(ledview("build", source, "-o", bill).returncode == 0, "build " + name)
    check(ledview("inspect", bill, "-o", again).returncode == 0, "inspect " + name)
    with open(again, encoding="utf-8") as f:
        d = json.load(f)
    errors = [dotted(e.absolute_path) + ": " + e.message for e in validator.iter_errors(d)]
    check(not errors and d.get("$schema") == "ledview.schema.json", "inspect's %s validates: %s" % (name, errors))
    check(ledview("build", again, "-o", rebuilt).returncode == 0, "build inspect's " + name)
    with open(bill, "rb") as a, open(rebuilt, "rb") as b:
        check(a.read() == b.read(), "inspect's %s builds the same bytes" % name)
    if name == "raw":
        element = d["pages"][0]["areas"][0]["components"][0]["elements"][0]
        check(element.get("rawspeed") == 12 and "speed" not in element, "inspect says speed 12 as rawspeed: %s" % element)

# Broken descriptions: each row changes one thing in a description that
# builds, and names the object path both refuse it at.
E = "pages[0].areas[0].components[0].elements[0]"
BASE = {"sign": {"width": 64, "height": 16, "mode": 2},
        "pages": [{"areas": [{"components": [{"elements": [{"type": "string", "text": "Hi"}]}]}]}]}


def element(**fields):
    d = copy.deepcopy(BASE)
    d["pages"][0]["areas"][0]["components"][0]["elements"][0] = fields
    return d


def changed(edit):
    d = copy.deepcopy(BASE)
    edit(d)
    return d


BROKEN = [
    # (what, description, path, words build's message has)
    ("a string for a number", element(type="string", text="Hi", delay="5"), E + ".delay", "0 to 65535"),
    ("a delay out of range", element(type="string", text="Hi", delay=70000), E + ".delay", "0 to 65535"),
    ("speed 9", element(type="string", text="Hi", speed=9), E + ".speed", "9 is not a whole number from 0 to 8"),
    ("a negative stay", element(type="string", text="Hi", stay=-1), E + ".stay", "0 to 4294967295"),
    ("a stored speed in reach of speed", element(type="string", text="Hi", rawspeed=5), E + ".rawspeed", "9 to 65535"),
    ("speed and rawspeed", element(type="string", text="Hi", speed=1, rawspeed=12), E + ".speed", "not both"),
    ("an unknown field", element(type="string", text="Hi", colur=1), E + ".colur", "unknown field"),
    ("an unknown entry effect", element(type="string", text="Hi", entry="ScrollLeft"), E + ".entry", "unknown effect"),
    ("an unknown exit effect", element(type="string", text="Hi", exit="Fade"), E + ".exit", "unknown effect"),
    ("an unknown colour", element(type="picture", text="Hi", colour="purple"), E + ".colour", "unknown colour"),
    ("a colour above 7", element(type="picture", text="Hi", colour=9), E + ".colour", "0..7"),
    ("colour and format", element(type="picture", text="Hi", colour="red", format=3), E + ".format", "not both"),
    ("an unknown element type", element(type="video"), E + ".type", "unknown element type"),
    ("a type without a row and no payload", element(type=9, text="Hi"), E + ".type", "payload"),
    ("fields beside payload bytes", element(type=9, payload="00", text="Hi"), E + ".text", "unknown field"),
    ("hex that is not", element(type="string", textbytes="4g"), E + ".textbytes", "hex"),
    ("both png and text", element(type="picture", png="a.png", text="Hi"), E, "exactly one of png or text"),
    ("neither text nor textbytes", element(type="string", size=16), E, "exactly one of text or textbytes"),
    ("a size for a PNG frame", element(type="animation", frames=[{"png": "a.png", "width": 3}]), E + ".frames[0].width", "PNG"),
    ("frames and texts", element(type="animation", frames=["a"], texts=["b"]), E, "not both"),
    ("too few clock digits", element(type="timer", digits={"texts": ["0", "1"]}), E + ".digits.texts", "11 frames"),
    ("an unknown alignment", element(type="picture", text="Hi", align="middle"), E + ".align", "left, centre or right"),
    ("a boolean for a word", element(type="string", text="Hi", singleline="yes"), E + ".singleline", "true/false"),
    ("missing pages", changed(lambda d: d.pop("pages")), "pages", "missing"),
    ("no pages", changed(lambda d: d.update(pages=[])), "pages", "at least one"),
    ("no elements", changed(lambda d: d["pages"][0]["areas"][0]["components"][0].update(elements=[])),
     "pages[0].areas[0].components[0].elements", "at least one"),
    ("an unknown top-level field", changed(lambda d: d.update(signs={})), "signs", "unknown field"),
    ("a schema name that is no string", changed(lambda d: d.update({"$schema": 5})), "$schema", "string"),
    ("sign mode 5", changed(lambda d: d["sign"].update(mode=5)), "sign.mode", "1 to 4"),
    ("sign mode 3", changed(lambda d: d["sign"].update(mode=3)), "sign.mode", "the modes are 1, 2 and 4"),
    ("a sign 0 wide", changed(lambda d: d["sign"].update(width=0)), "sign.width", "1 to 8192"),
    ("a rect side out of range", changed(lambda d: d["pages"][0]["areas"][0].update(rect=[0, 0, 70000, 16])),
     "pages[0].areas[0].rect[2]", "0..65535"),
    ("a rect of three", changed(lambda d: d["pages"][0]["areas"][0].update(rect=[0, 0, 16])), "pages[0].areas[0].rect", "[x, y, width, height]"),
    ("no rect and no sign", changed(lambda d: d.pop("sign")), "pages[0].areas[0].rect", "missing"),
    ("a fraction", changed(lambda d: d["pages"][0].update(playtime=1.5)), "pages[0].playtime", "whole number"),
    ("a page border above 8", changed(lambda d: d["pages"][0].update(border=9)), "pages[0].border", "0 to 8"),
    ("a component border above 8", changed(lambda d: d["pages"][0]["areas"][0]["components"][0].update(border=12)),
     "pages[0].areas[0].components[0].border", "0 to 8"),
    ("a stored border in reach of border", changed(lambda d: d["pages"][0].update(rawborder=8)), "pages[0].rawborder", "9 to 4294967295"),
    ("border and rawborder", changed(lambda d: d["pages"][0].update(border=1, rawborder=9)), "pages[0].border", "not both"),
    ("a text size of 0", element(type="picture", text="Hi", size=0), E + ".size", "1 to 1024"),
    ("a text size above 1024", element(type="picture", text="Hi", size=2000), E + ".size", "1 to 1024"),
    ("a timer target that is no date", element(type="timer", target="2030-01-01"), E + ".target", "YYYY-MM-DD hh:mm:ss"),
]

for what, d, path, words in BROKEN:
    name = "broken-%02d" % BROKEN.index((what, d, path, words))
    source = os.path.join(WORK, name + ".json")
    out = os.path.join(WORK, name + ".bill")
    with open(source, "w", encoding="utf-8") as f:
        json.dump(d, f)
    built = ledview("build", source, "-o", out)
    prefix = "ledview: %s: " % source
    line = built.stderr.strip()
    built_path = line[len(prefix):].split(": ", 1)[0] if line.startswith(prefix) else None
    check(built.returncode == 1 and not os.path.exists(out), "%s: build refuses it" % what)
    check(built_path == path and words in line, "%s: build says %r, expected %s: ...%s..." % (what, line, path, words))
    found = schema_path(validator, d)
    check(found is not None and found[0] == path,
          "%s: the schema says %s, expected %s" % (what, found, path))

print("schema: %d passed, %d failed" % (passed, len(failures)))
sys.exit(1 if failures else 0)
