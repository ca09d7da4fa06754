#!/usr/bin/env python3
"""Prints the structure of a PDF as stable text: pages and their sizes, link
annotations with their rectangles and targets, the outline. Object numbers
do not appear, so two PDFs with the same structure print the same text.

usage: pdfstructure.py FILE.pdf   (needs qpdf 11 or later)
"""
import json
import subprocess
import sys


def load(path):
    out = subprocess.run(["qpdf", "--json=2", "--json-key=qpdf", path],
                         check=True, capture_output=True).stdout
    data = json.loads(out)["qpdf"]
    objects = data[1]
    return data[0], objects


class Document:
    def __init__(self, path):
        self.trailer_info, self.objects = load(path)
        self.trailer = self.objects["trailer"]["value"]
        self.pages = []
        root = self.deref(self.trailer["/Root"])
        self.root = root
        self.collect_pages(self.deref(root["/Pages"]))
        self.page_index = {ref: i for i, ref in enumerate(self.pages)}

    def deref(self, value):
        seen = 0
        while isinstance(value, str) and value.endswith(" R") and seen < 32:
            entry = self.objects.get("obj:" + value, {})
            value = entry.get("value", entry.get("stream", {}).get("dict"))
            seen += 1
        return value

    def collect_pages(self, node, depth=0):
        if depth > 64 or not isinstance(node, dict):
            return
        for kid in node.get("/Kids", []):
            target = self.deref(kid)
            if isinstance(target, dict) and target.get("/Type") == "/Pages":
                self.collect_pages(target, depth + 1)
            else:
                self.pages.append(kid)

    def number(self, value):
        value = self.deref(value)
        return round(float(value), 2) if isinstance(value, (int, float)) else value

    def destination(self, dest):
        dest = self.deref(dest)
        if isinstance(dest, list) and dest:
            page = self.page_index.get(dest[0], dest[0])
            return ["page %s" % page] + [self.number(v) for v in dest[1:]]
        return dest

    def action(self, annot):
        if "/Dest" in annot:
            return "dest " + json.dumps(self.destination(annot["/Dest"]))
        act = self.deref(annot.get("/A"))
        if isinstance(act, dict):
            if "/URI" in act:
                return "uri " + str(self.deref(act["/URI"]))
            if "/D" in act:
                return "goto " + json.dumps(self.destination(act["/D"]))
            return "action " + str(act.get("/S"))
        return "none"

    def print(self):
        print("pages", len(self.pages))
        info = self.deref(self.trailer.get("/Info"))
        if isinstance(info, dict):
            for key in sorted(info):
                if key not in ("/CreationDate", "/ModDate", "/Producer"):
                    print("info", key, self.deref(info[key]))
        for i, ref in enumerate(self.pages):
            page = self.deref(ref)
            box = page.get("/MediaBox")
            node = page
            while box is None and isinstance(node, dict) and "/Parent" in node:
                node = self.deref(node["/Parent"])
                box = node.get("/MediaBox")
            print("page", i, "mediabox", [self.number(v) for v in (self.deref(box) or [])])
            for annot_ref in self.deref(page.get("/Annots")) or []:
                annot = self.deref(annot_ref)
                if not isinstance(annot, dict):
                    continue
                rect = [self.number(v) for v in self.deref(annot.get("/Rect")) or []]
                print("  annot", annot.get("/Subtype"), rect, self.action(annot))
        outlines = self.deref(self.root.get("/Outlines"))
        if isinstance(outlines, dict):
            self.print_outline(outlines.get("/First"), 0)

    def print_outline(self, ref, depth):
        count = 0
        while ref is not None and depth < 32 and count < 100000:
            item = self.deref(ref)
            if not isinstance(item, dict):
                return
            target = self.destination(item["/Dest"]) if "/Dest" in item else self.action(item)
            print("  " * depth + "outline", self.deref(item.get("/Title")), json.dumps(target))
            self.print_outline(item.get("/First"), depth + 1)
            ref = item.get("/Next")
            count += 1


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    Document(sys.argv[1]).print()
