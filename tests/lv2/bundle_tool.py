#!/usr/bin/env python3
"""The sample- and triple-level jobs of check_lv2.sh.

  bundle_tool.py preset-args TRIPLES LABEL   lv2apply's "-c SYMBOL VALUE" words for the
                                             preset with that label (N-Triples from sordi)
  bundle_tool.py ports TRIPLES               one line per port of an `lv2info -p` description:
                                             index, symbol, name, minimum, maximum, default,
                                             unit, properties
  bundle_tool.py identical A.wav B.wav       exit 0 when the two float WAV files hold the same
                                             sample bits, and they are not silent
  bundle_tool.py finite A.wav                exit 0 when every sample is finite and one is not 0
"""
import math
import re
import struct
import sys
from collections import defaultdict

LV2 = "http://lv2plug.in/ns/lv2core#"
TRIPLE = re.compile(r'^(\S+) <([^>]+)> (.+) \.$')


def triples(path):
    graph = defaultdict(lambda: defaultdict(list))
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = TRIPLE.match(line.strip())
            if m:
                subject, predicate, obj = m.groups()
                literal = re.match(r'^"(.*)"(\^\^<[^>]+>)?$', obj)
                graph[subject][predicate].append(literal.group(1) if literal else obj.strip("<>"))
    return graph


def preset_args(path, label):
    graph = triples(path)
    label_uri = "http://www.w3.org/2000/01/rdf-schema#label"
    presets = [s for s, p in graph.items() if label in p.get(label_uri, [])]
    if len(presets) != 1:
        sys.exit(f"{len(presets)} presets labelled {label!r}")
    words = []
    for port in graph[presets[0]][LV2 + "port"]:
        words += ["-c", graph[port][LV2 + "symbol"][0], graph[port]["http://lv2plug.in/ns/ext/presets#value"][0]]
    print(" ".join(words))


def ports(path):
    graph = triples(path)
    unit = "http://lv2plug.in/ns/extensions/units#unit"
    rows = []
    for node in graph.values():
        if LV2 + "index" not in node:
            continue
        field = lambda key: ",".join(sorted(node.get(key, []))) or "-"
        # Hosts read port values as floats.
        number = lambda key: "%.9g" % struct.unpack("<f", struct.pack("<f", float(node[key][0])))[0] if key in node else "-"
        kinds = ",".join(sorted(k.rsplit("#", 1)[1] for k in node.get("http://www.w3.org/1999/02/22-rdf-syntax-ns#type", [])))
        rows.append((int(node[LV2 + "index"][0]), "\t".join([
            node[LV2 + "index"][0], kinds, field(LV2 + "symbol"), field(LV2 + "name"),
            number(LV2 + "minimum"), number(LV2 + "maximum"), number(LV2 + "default"),
            field(unit).rsplit("#", 1)[-1], ",".join(p.rsplit("#", 1)[1] for p in sorted(node.get(LV2 + "portProperty", []))) or "-"])))
    for _, row in sorted(rows):
        print(row)


def samples(path):
    data = open(path, "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        sys.exit(f"{path}: not a WAV file")
    pos, fmt, body = 12, None, None
    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        if tag == b"fmt ":
            fmt = struct.unpack("<HHIIHH", data[pos + 8:pos + 24])
        elif tag == b"data":
            body = data[pos + 8:pos + 8 + size]
        pos += 8 + size + (size & 1)
    if fmt is None or body is None or fmt[5] != 32 or fmt[0] not in (3, 0xFFFE):
        sys.exit(f"{path}: not 32-bit float")
    return fmt[1], body


def identical(a, b):
    (ca, da), (cb, db) = samples(a), samples(b)
    if ca != cb or len(da) != len(db):
        sys.exit(f"{a} and {b} differ in shape: {ca}x{len(da)} and {cb}x{len(db)} bytes")
    if da != db:
        first = next(i for i in range(0, len(da), 4) if da[i:i + 4] != db[i:i + 4]) // 4
        sys.exit(f"{a} and {b} differ from sample {first} (frame {first // ca})")
    if not any(da):
        sys.exit(f"{a} is silent")
    print(f"identical: {len(da) // 4 // ca} frames")


def finite(a):
    channels, body = samples(a)
    values = struct.unpack(f"<{len(body) // 4}f", body)
    bad = sum(1 for v in values if not math.isfinite(v))
    if bad or not any(values):
        sys.exit(f"{a}: {bad} non-finite samples, peak {max(map(abs, values), default=0)}")
    print(f"finite: {len(values) // channels} frames, peak {max(map(abs, values)):.6g}")


if __name__ == "__main__":
    jobs = {"preset-args": (preset_args, 2), "ports": (ports, 1), "identical": (identical, 2), "finite": (finite, 1)}
    if len(sys.argv) < 2 or sys.argv[1] not in jobs or len(sys.argv) != 2 + jobs[sys.argv[1]][1]:
        sys.exit(__doc__)
    jobs[sys.argv[1]][0](*sys.argv[2:])
