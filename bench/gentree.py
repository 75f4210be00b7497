#!/usr/bin/env python3
"""Writes the benchmark tree: N files in M folders, J of them junk, from a seed.
   gentree.py ROOT FILES FOLDERS JUNK SEED"""
import os, random, sys

root, nfiles, nfolders, njunk, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
rng = random.Random(seed)
folders = [root]
os.makedirs(root, exist_ok=True)
for i in range(1, nfolders):
    parent = folders[rng.randrange(len(folders))]
    path = os.path.join(parent, "d%05d" % i)
    os.mkdir(path)
    folders.append(path)
plain = [".txt", ".dat", ".cpp", ".h", ".png", ".dll", ".html", ".doc", ".tmpx", ".oldcopy", ".bakup"]
junk = ["%s.tmp", "%s.bak", "~%s.doc", "%s.old", "%s.chk", "%s.gid", "%s.~mp", "%s.sy~", "%s._mp",
        "%s.---", "%s.syd", "0%07d.nch"]
junk_at = set(rng.sample(range(nfiles), njunk))
for i in range(nfiles):
    folder = folders[i % nfolders]
    stem = "f%06d" % i
    if i in junk_at:
        pattern = junk[rng.randrange(len(junk))]
        name = pattern % (i if "%07d" in pattern else stem)
    else:
        name = stem + plain[rng.randrange(len(plain))]
    with open(os.path.join(folder, name), "wb") as f:
        f.write(b"x" * rng.randrange(1, 512))
print("tree: %d files in %d folders (%d junk), seed %d" % (nfiles, nfolders, njunk, seed))
