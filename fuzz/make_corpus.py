#!/usr/bin/env python3
"""Seed corpora of the fuzz targets, made from the sample collection.

Usage: fuzz/make_corpus.py <data folder built by tavrel-build-data>

Reads TL2008.orl (sentence texts, format codes, identifiers, table texts) and
default.ppj of the built collection and writes a few dozen small CP932 files
per target into fuzz/corpus/<name>/ (the folders are emptied first). The
seeds of egov_xml are small law files cut from the e-Gov files of data/egov
(UTF-8).
"""
import os
import re
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


def egov_seeds():
    """Small law files (under 4,096 bytes) cut from the e-Gov files: articles
    with sub-items, definition columns and a table, a range of articles, an
    amendment's 附則, two rows of 別表第一, and an API answer with ruby,
    superscript, an unknown element, 充塡 and a grouped item (test data)."""
    egov = os.path.join(HERE, "..", "data", "egov")

    def squeezed(name):
        with open(os.path.join(egov, name), encoding="utf-8") as f:
            return re.sub(r">\s+<", "><", f.read())

    def elements(src, tag):
        found, i = [], 0
        while (i := src.find("<%s " % tag, i)) >= 0:
            j = src.find("</%s>" % tag, i)
            found.append(src[i:j + len(tag) + 3])
            i = j
        return found

    head = ('<?xml version="1.0" encoding="UTF-8"?>\n<Law Era="Showa" Year="25" Num="338" '
            'LawType="CabinetOrder" PromulgateMonth="11" PromulgateDay="16">\n'
            "<LawNum>昭和二十五年政令第三百三十八号</LawNum>\n<LawBody>\n"
            '<LawTitle Abbrev="建基法施行令">建築基準法施行令</LawTitle>\n')
    tail = "</LawBody>\n</Law>\n"

    def law(article):
        return (head + '<MainProvision><Chapter Num="7_2_2"><ChapterTitle>第七章の二の二　試験</ChapterTitle>'
                + article + "</Chapter></MainProvision>" + tail)

    def largest(src, holding):
        fits = [a for a in elements(src, "Article")
                if holding in a and "<Article " not in a[1:] and len(law(a).encode()) < 4000]
        return max(fits, key=len)

    order, act, barrier = (squeezed(n) for n in
                           ("325CO0000000338.xml", "325AC0000000201.xml", "418AC0000000091.xml"))
    seeds = [law(elements(order, "Article")[0]), law(largest(order, "<Subitem2")),
             law(largest(barrier, "<Column")), law(largest(order, "<TableStruct")),
             law(next(a for a in elements(order, "Article") if 'Num="17:18"' in a))]
    suppl = next(s for s in elements(order, "SupplProvision") if "AmendLawNum" in s and len(s) < 3000)
    seeds.append(head + suppl + tail)
    i = act.find("<AppdxTable>")
    rows = act[i:act.find("</AppdxTable>", i)].split("</TableRow>")
    seeds.append(head.replace("CabinetOrder", "Act") + rows[0] + "</TableRow>" + rows[1]
                 + "</TableRow></Table></TableStruct></AppdxTable>" + tail)
    seeds.append('<DataRoot><ApplData><LawId>999AC0000000001</LawId><LawFullText><Law Era="Reiwa" Year="2" '
                 'LawType="Act" Num="1"><LawBody><LawTitle>試験法（テストデータ）</LawTitle><MainProvision>'
                 '<Paragraph Num="1"><ParagraphNum/><ParagraphSentence><Sentence>充塡&amp;<Ruby>跨<Rt>こ</Rt>'
                 "</Ruby><Sup>2</Sup><Unknown>x</Unknown></Sentence></ParagraphSentence>"
                 '<Item Num="1:2"><ItemTitle>一及び二</ItemTitle><ItemSentence><Sentence>削除</Sentence>'
                 "</ItemSentence></Item></Paragraph></MainProvision></LawBody></Law></LawFullText></ApplData>"
                 "</DataRoot>")
    write("egov_xml", [s.encode() for s in seeds])


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

    egov_seeds()


if __name__ == "__main__":
    main()
