#!/usr/bin/env python3
"""Deterministic working trees for the zip build benchmark.

  gen_tree.py large DIR   ~300 MB in a few hundred files: source-like text,
                          already-compressed (random) data and two 50 MB files
  gen_tree.py tiny DIR    50,000 tiny text files in 500 folders

The same arguments always give the same bytes and names; times are fixed too.
"""
import os
import random
import sys

MB = 1024 * 1024
WORDS = ("int void return const static struct class if else for while break "
         "switch case default include define namespace std QString auto "
         "template typename public private protected virtual override size "
         "count index value result error buffer data name path file list "
         "begin end first last next previous insert remove find update").split()
PUNCT = [" ", " ", " ", " ", "(", ")", ";\n", ", ", " = ", "->", "::", "\n    ", "{\n", "}\n"]
STAMP = 1_600_000_000  # 2020-09-13, a fixed modification time


def text_corpus(rng, size):
    """Source-like text: words and punctuation, about 3:1 deflate ratio."""
    parts = []
    total = 0
    while total < size:
        word = rng.choice(WORDS)
        if rng.random() < 0.3:
            word += str(rng.randrange(1000))
        piece = word + rng.choice(PUNCT)
        parts.append(piece)
        total += len(piece)
    return "".join(parts).encode()[:size]


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    os.utime(path, (STAMP, STAMP))


def text_slice(rng, corpus, size):
    start = rng.randrange(0, len(corpus) - size)
    return corpus[start:start + size]


def large(root):
    rng = random.Random(1)
    corpus = text_corpus(rng, 8 * MB)
    total = 0
    # Source-like files, 4 KB to 1.5 MB, about 100 MB in all.
    for i in range(220):
        size = int(4096 + rng.random() ** 2 * 1.5 * MB)
        size = min(size, len(corpus) - 1)
        write(os.path.join(root, "src", "mod%02d" % (i % 12), "file%03d.cpp" % i),
              text_slice(rng, corpus, size))
        total += size
    # Already-compressed data (random bytes), about 100 MB in all.
    for i in range(40):
        size = int(0.5 * MB + rng.random() * 4 * MB)
        write(os.path.join(root, "media", "pic%02d.jpg" % i), rng.randbytes(size))
        total += size
    # Two files of 50 MB each: a log-like text and a mixed binary.
    log = b"".join(text_slice(rng, corpus, MB) for _ in range(50))
    write(os.path.join(root, "data", "big.log"), log)
    mixed = b"".join(text_slice(rng, corpus, MB // 2) + rng.randbytes(MB // 2) for _ in range(50))
    write(os.path.join(root, "data", "big.bin"), mixed)
    total += len(log) + len(mixed)
    print("large tree: %d files, %.1f MB" % (262, total / MB))


def tiny(root):
    rng = random.Random(2)
    corpus = text_corpus(rng, MB)
    for i in range(50000):
        size = rng.randrange(20, 600)
        write(os.path.join(root, "d%03d" % (i // 100), "f%05d.txt" % i), text_slice(rng, corpus, size))
    print("tiny tree: 50000 files")


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("large", "tiny"):
        sys.exit(__doc__)
    {"large": large, "tiny": tiny}[sys.argv[1]](sys.argv[2])
