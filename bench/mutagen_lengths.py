"""The yardstick of bench/scan_mixed.sh: lists the files of one folder with mutagen's playing time of
each, one "name<TAB>seconds" line per file, sorted by name; 0 for a file mutagen cannot read.
    python3 mutagen_lengths.py DIR"""
import os
import sys

import mutagen

folder = sys.argv[1]
for name in sorted(os.listdir(folder)):
    path = os.path.join(folder, name)
    if not os.path.isfile(path):
        continue
    try:
        f = mutagen.File(path)
        length = f.info.length if f is not None else 0
    except Exception:
        length = 0
    print("%s\t%d" % (name, round(length)))
