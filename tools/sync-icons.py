#!/usr/bin/env python3
"""Copies the icon files named in src/platform/SymbolIcons.cpp from an unpacked copy of the
@tabler/icons npm package into resources/icons/ and rewrites resources/icons/icons.qrc.

    cd /tmp && npm pack @tabler/icons && tar xzf tabler-icons-*.tgz
    tools/sync-icons.py /tmp/package
"""
import pathlib
import re
import shutil
import sys

root = pathlib.Path(__file__).resolve().parent.parent
pkg = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else pathlib.Path("/tmp/package")
table = (root / "src/platform/SymbolIcons.cpp").read_text()
files = sorted(set(re.findall(r'\{"[^"]+", "((?:outline|filled)/[^"]+)"\}', table)))
dest = root / "resources/icons"
dest.mkdir(parents=True, exist_ok=True)
for old in dest.glob("*.svg"):
    old.unlink()
for f in files:
    src = pkg / "icons" / (f + ".svg")
    if not src.exists():
        sys.exit(f"missing in the icon set: {f}")
    shutil.copy(src, dest / (f.replace("/", "-") + ".svg"))
shutil.copy(pkg / "LICENSE", dest / "LICENSE")
lines = ['<RCC>', '  <qresource prefix="/icons">']
lines += [f'    <file>{f.replace("/", "-")}.svg</file>' for f in files]
lines += ['  </qresource>', '</RCC>', '']
(dest / "icons.qrc").write_text("\n".join(lines))
print(f"{len(files)} icons")
