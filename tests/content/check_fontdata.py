"""Regenerates the built-in font data into a scratch folder and compares it
with the committed files. Exits 77 (skipped) when Unifont is not installed."""
import filecmp
import os
import subprocess
import sys
import tempfile

source = sys.argv[1]
if not any(os.path.exists(p) for p in ("/usr/share/unifont/unifont.hex",
                                        "/usr/share/unifont/unifont.hex.gz")):
    print("unifont is not installed; skipping")
    sys.exit(77)
with tempfile.TemporaryDirectory() as out:
    subprocess.run([sys.executable, os.path.join(source, "tools/fontgen/make_fontdata.py"),
                    "--out", out], check=True)
    for name in ("fontdata.h", "ascfont.cpp", "hzkfont.cpp", "gbunicode.cpp"):
        committed = os.path.join(source, "src/content/fontdata", name)
        if not filecmp.cmp(os.path.join(out, name), committed, shallow=False):
            print(f"{name} differs from what the generator makes")
            sys.exit(1)
print("font data reproduced")
