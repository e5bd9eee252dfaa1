#!/usr/bin/env python3
"""Seed corpora of the fuzz targets, made from the sample collection.

Usage: fuzz/make_corpus.py <data folder built by tavrel-build-data>

Reads TL2008.orl (sentence texts, format codes, identifiers, table texts) and
default.ppj of the built collection and writes a few dozen small CP932 files
per target into fuzz/corpus/<name>/ (the folders are emptied first).
"""
import os
import shutil
import sqlite3
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PER_TARGET = 30


def cp932(text):
    return text.encode("cp932", errors="replace")


def write(name, seeds):
    folder = os.path.join(HERE, "corpus", name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    seen = set()
    count = 0
    for seed in seeds:
        if seed in seen or len(seed) > 4096:
            continue
        seen.add(seed)
        with open(os.path.join(folder, "seed_%02d" % count), "wb") as f:
            f.write(seed)
        count += 1
        if count == PER_TARGET:
            break


def spread(rows, n=PER_TARGET):
    """n rows spread evenly over the list."""
    if len(rows) <= n:
        return rows
    step = len(rows) / n
    return [rows[int(i * step)] for i in range(n)]


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    data = sys.argv[1]
    db = sqlite3.connect("file:%s?mode=ro" % os.path.join(data, "TL2008.orl"), uri=True)
    sentences = db.execute("SELECT ID_BN, 法文, 書式コード FROM T_文 ORDER BY ID_BN").fetchall()
    pages = [r[0] for r in db.execute("SELECT ID_FN FROM T_条 ORDER BY ID_FN")]
    divisions = [r[0] for r in db.execute("SELECT ID_SN FROM T_章 ORDER BY ID_SN")]
    tables = [r[0] for r in db.execute("SELECT 表式データ FROM T_表 ORDER BY ID_BN, 順序")]
    keywords = db.execute("SELECT ID_BN, キーワード FROM T_参 ORDER BY ID_BN").fetchall()

    bracketed = [t for _, t, _ in sentences if "（" in t or "「" in t]
    write("brackets", [cp932(t) for t in spread(bracketed)])

    linked = [(i, t) for i, t, _ in sentences if "[" in t]
    kw = dict(keywords)
    link_seeds = [bytes([n % 8]) + cp932("%s\n%s\n%s" % (i, kw.get(i, ""), t)) for n, (i, t) in enumerate(spread(linked, 20))]
    link_seeds += [bytes([1]) + cp932("%s\n\n%s" % (sentences[0][0], t[:1500])) for t in spread(tables, 10)]
    write("links", link_seeds)

    write("sentence", [bytes([n % 32]) + cp932("%s\n%s\n%s" % (i, c, t)) for n, (i, t, c) in enumerate(spread(sentences))])
    write("numbering", [bytes([n]) + cp932("%s\n%s" % (i, c)) for n, (i, t, c) in enumerate(spread(sentences, 20))]
          + [bytes([n]) + i.encode() + b"\n0000000000000000" for n, i in enumerate(spread(pages, 5) + spread(divisions, 5))])

    with open(os.path.join(data, "default.ppj"), "rb") as f:
        markers = f.read()
    lines = markers.split(b"\r\n")
    write("marker_file", [markers] + [b"\r\n".join(lines[:k]) for k in range(1, len(lines))]
          + [lines[0] + b"\r\n" + l[: 55 + k] + b"\r\n" for l in lines[1:3] for k in (-1, 0, 1, 20, 36)])

    bmk = [b"VERSION 8.08\r\n" + b"".join(p.encode() + b", book_mark_root\r\n" for p in spread(pages, k)) + b"\r\n"
           for k in (1, 2, 5, 10)]
    bmk += [cp932("VERSION 8.08\r\n　%s ,x\r\n%s\r\n,\r\n" % (pages[0], pages[-1]))]
    write("bookmark_file", bmk)

    settings = [b"44:0:1:-1:-1:-1:-1:120:80:1020:760", b"0:232:10", b"1:-1:0",
                b":".join(b"%06X" % (0x10101 * k) for k in range(16)), b"0:0:0:0:0:0:0:0:0:0:0"]
    settings += [cp932("\n".join(w.split("、")[0][:20] for _, w, _ in spread(sentences, 11)))]
    write("settings", settings)

    links = []
    for p in spread(pages, 20):
        links += [("http://%s_TAVREL" % p).encode(), ("http://%s_tavrel/" % p.lower()).encode()]
    links += [("http://%s_TAVREL" % p[:12]).encode() for p in spread(pages, 5)]
    write("link_target", links)

    words = []
    for _, t, _ in spread(sentences):
        words.append(cp932(" ".join(t[k:k + 4] for k in range(0, min(len(t), 24), 6)).replace("、", "　")))
    words += [cp932("ＡＢＣ１２３ abc　建築 '%_[]--"), b""]
    write("search_words", words)


if __name__ == "__main__":
    main()
