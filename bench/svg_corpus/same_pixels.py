#!/usr/bin/python3
"""Tells whether two folders of pictures hold the same pixels: every PNG in BEFORE must
decode to exactly the same RGBA, at the same size, as the one of its name in AFTER.
A change that should leave the drawing as it was is checked by rendering the corpus with
the build before it and the build after it.
usage: same_pixels.py BEFORE AFTER   (exit 1 when a picture differs or is missing)"""
import os, sys
import numpy as np
from PIL import Image

before, after = sys.argv[1:3]
names = sorted(n for n in os.listdir(before) if n.endswith('.png'))
differ = []
for name in names:
    other = os.path.join(after, name)
    if not os.path.exists(other):
        differ.append((name, 'missing'))
        continue
    a = np.asarray(Image.open(os.path.join(before, name)).convert('RGBA'))
    b = np.asarray(Image.open(other).convert('RGBA'))
    if a.shape != b.shape:
        differ.append((name, 'size %dx%d, before %dx%d' % (b.shape[1], b.shape[0], a.shape[1], a.shape[0])))
    elif not np.array_equal(a, b):
        channel = np.abs(a.astype(np.int16) - b.astype(np.int16)).max(axis=2)
        differ.append((name, '%d pixels differ, by up to %d' % (int((channel > 0).sum()), int(channel.max()))))
print('same pixels: %d of %d' % (len(names) - len(differ), len(names)))
for name, why in differ:
    print('  %s: %s' % (name, why))
sys.exit(1 if differ else 0)
