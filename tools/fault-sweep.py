#!/usr/bin/env python3
"""Plants small deliberate faults in the product one at a time and tells which the test
suite catches.

Each fault is (id, file, exact anchor text, replacement, what it breaks); ALTERNATIVES gives
a fault further (file, anchor, replacement) places, tried in order, for code that has moved
since the fault was written. For each one the script checks the anchor occurs exactly once,
writes the replacement, rebuilds the test
programs incrementally, runs CTest (stopping at the first failure), records the outcome
and puts the file back, also on Ctrl-C or any error. A fault whose anchor is not found is
reported as "anchor missing", never as caught, so it can be re-anchored after the code
moves. The tree is left as it was found.

    tools/fault-sweep.py                  # every fault, build/ of this tree
    tools/fault-sweep.py --only F03,F17   # some of them
    tools/fault-sweep.py --check          # only tell which anchors apply
    tools/fault-sweep.py --source DIR --build DIR --out FILE --lock FILE

The table goes to stdout and to --out (default: BUILD/fault-sweep.txt, outside git).
"""

import argparse
import contextlib
import datetime
import fcntl
import os
import re
import signal
import subprocess
import sys
import time

FAULTS = [
    # --- translator
    ("F01", "db/sql/lexer.cpp",
     "day < 1 || day > daysInMonth(year, month))",
     "day < 1 || day > daysInMonth(year, month) + 1)",
     "date literal: the day after a month's last is accepted"),
    ("F02", "db/sql/sqlite_emitter.cpp",
     '(e.negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"))',
     '(e.negated ? QStringLiteral(" IS NULL") : QStringLiteral(" IS NOT NULL"))',
     "Is Null / Is Not Null swapped"),
    ("F03", "db/sql/sqlite_emitter.cpp",
     "if (item.desc)\n                t += QStringLiteral(\" DESC\");",
     "if (!item.desc)\n                t += QStringLiteral(\" DESC\");",
     "ORDER BY direction flipped"),
    ("F04", "db/sql/sqlite_emitter.cpp",
     'parts.join(isAnd ? QStringLiteral(" AND ") : QStringLiteral(" OR "))',
     'parts.join(isAnd ? QStringLiteral(" OR ") : QStringLiteral(" AND "))',
     "AND and OR swapped"),
    ("F05", "db/sql/sqlite_emitter.cpp",
     'sql += QStringLiteral(" LIMIT ") + s.top;',
     'sql += QStringLiteral(" LIMIT ") + s.top + QStringLiteral(" + 1");',
     "TOP n returns one row too many"),
    # --- collation, sort, dates, script, creation
    ("F06", "db/collation.cpp",
     "if (lx != ly) return lx < ly ? -1 : 1;",
     "if (lx != ly) return lx < ly ? 1 : -1;",
     "ASCII text comparison flipped"),
    ("F07", "db/collation.cpp",
     "return 1; // ß ẞ -> ss",
     "return 2; // ß ẞ -> ss",
     "ß folds to ae"),
    ("F08", "db/collation.cpp",
     "if (pc != End && (pc == Any || pc == tc)) continue;",
     "if (pc != End && (pc == tc)) continue;",
     "like: '?' and '_' no longer match one character"),
    ("F09", "db/sort.cpp",
     "return la < lb ? -1 : la > lb ? 1 : 0;",
     "return la < lb ? 1 : la > lb ? -1 : 0;",
     "sort: a text sorts after the longer texts it starts"),
    ("F10", "db/sort.cpp",
     "if (na || nb) return na == nb ? 0 : (na ? -1 : 1);",
     "if (na || nb) return na == nb ? 0 : (na ? 1 : -1);",
     "sort: Null last when ascending"),
    ("F11", "db/datetime.cpp",
     "h > 23 || mi > 59 || se > 59) return std::nullopt;",
     "h > 24 || mi > 59 || se > 59) return std::nullopt;",
     "stored time: hour 24 accepted"),
    ("F12", "db/script.cpp",
     "quote = u']';",
     "quote = QChar();",
     "script splitter: ';' inside [brackets] splits"),
    ("F13", "db/create.cpp",
     "c.type = sql::fieldTypeFromDeclared(info.text(2));",
     "c.type = sql::fieldTypeFromDeclared(info.text(1));",
     "reference data typed from the wrong column"),
    ("F14", "db/connection.cpp",
     'executeEngine(QStringLiteral("ROLLBACK"));',
     'executeEngine(QStringLiteral("COMMIT"));',
     "rollback commits instead"),
    ("F15", "db/dataset.cpp",
     "match = m_store.real(r, c) == probe.real(0, 0);",
     "match = m_store.real(r, c) >= probe.real(0, 0);",
     "locate on a real column matches larger values"),
    # --- common
    ("F16", "common/text.cpp",
     "return digits[10] == (10 - sum % 10) % 10;",
     "return digits[10] == (10 - sum % 10);",
     "VAT check digit 0 refused"),
    ("F17", "common/text.cpp",
     "if (end < 0) end = list.size(); // the missing final separator",
     "if (end < 0) end = list.size() - 1; // the missing final separator",
     "last token without separator loses a character"),
    ("F18", "common/text.cpp",
     "return list.endsWith(separator) ? separators : separators + 1;",
     "return list.endsWith(separator) ? separators + 1 : separators;",
     "token count flipped on the final separator"),
    ("F19", "common/scadenze.cpp",
     "if (!ok || !std::isfinite(mesi) || !(mesi > 0)) return std::nullopt;",
     "if (!ok || !std::isfinite(mesi) || !(mesi >= 0)) return std::nullopt;",
     "zero months gives an expiry"),
    ("F20", "common/filterclause.cpp",
     "if (!upper) return name + op + u'#' + dateParts(dt.date()) + u'#';",
     "if (upper) return name + op + u'#' + dateParts(dt.date()) + u'#';",
     "export filter: date bounds without/with the day's end swapped"),
    ("F21", "common/filterclause.cpp",
     'return up != u"ID" && !up.contains(u"ID_") &&',
     'return up != u"ID" && !up.contains(u"XID_") &&',
     "filter window offers ID_ key columns"),
    ("F22", "common/paths.cpp",
     "const QString cut = name.trimmed().left(15);",
     "const QString cut = name.trimmed().left(16);",
     "computer name cut at 16"),
    ("F23", "common/controls/gridlayout.cpp",
     'if (forzaPredefiniti || griglie.isNull(QStringLiteral("CampiPredefiniti"))) {',
     "if (forzaPredefiniti) {",
     "grid layout: missing default layout not written"),
    ("F24", "common/controls/gridlayout.cpp",
     "if (totaleCampi != griglia.columnCount() ||",
     "if (totaleCampi > griglia.columnCount() ||",
     "grid layout: a grown grid keeps the old layout"),
    ("F25", "common/records.cpp",
     "if (previous != deleted) query.next();",
     "if (previous == deleted) query.next();",
     "delete: cursor stepped the wrong way"),
    # --- programs
    ("F26", "app/shell/startup.cpp",
     "where Concluso=true and DataInizio < #",
     "where DataInizio < #",
     "history: unconcluded appointments archived too"),
    ("F27", "app/shell/startup.cpp",
     "for (int i = 1; i <= count; ++i) {",
     "for (int i = 1; i < count; ++i) {",
     "update script: last statement not run"),
    ("F28", "app/shell/frmutilita.cpp",
     "db::Transaction transazione(m_dm.Connessione);",
     "db::Transaction transazione(m_dm.Connessione);\n        transazione.commit();",
     "season cancel: no rollback on failure"),
    ("F29", "app/printing/scrittura.cpp",
     "contesto.id = chiave(tipoReport == 17 ? dm.Table3 : dm.Table1);",
     "contesto.id = chiave(tipoReport == 16 ? dm.Table3 : dm.Table1);",
     "print job: staff key for the wrong report"),
    ("F30", "app/printing/scrittura.cpp",
     '!valoreSiNo(dm.TableOpzioni, QStringLiteral("StampanteDefault")));',
     'valoreSiNo(dm.TableOpzioni, QStringLiteral("StampanteDefault")));',
     "print job: printer set-up flag inverted"),
    ("F31", "app/printing/catalogo.cpp",
     "if (numero < 1 || numero > 23) return std::nullopt;",
     "if (numero < 1 || numero > 22) return std::nullopt;",
     "catalogue: last report missing"),
    ("F32", "app/archives/comuni.cpp",
     "if (postcodes.recordCount() == 1) {",
     "if (postcodes.recordCount() <= 1) {",
     "postcode finder: a town without streets gives an empty postcode"),
    ("F33", "app/archives/listform.cpp",
     "QStringLiteral(\" like '\") + common::QuotaFiltro(text) + QStringLiteral(\"*'\");",
     "QStringLiteral(\" like '\") + text + QStringLiteral(\"*'\");",
     "search box: quotes not doubled"),
    ("F34", "app/archives/detailform.cpp",
     "if (!testo(r.control).isEmpty()) continue;",
     "if (testo(r.control).isEmpty()) continue;",
     "record: required-field check inverted"),
    ("F35", "app/archives/esercizi.cpp",
     "if (current > 0) q.locate(QStringLiteral(\"Id\"), current);",
     "if (current > 0) q.first();",
     "exercises: resizing pictures loses the current row"),
]

# The same faults where the code now lives (the single date reader, the transaction scopes,
# the list panel, the required checks by value).
ALTERNATIVES = {
    "F01": [("db/datetime.cpp", "    return day <= len;", "    return day <= len + 1;")],
    "F14": [("db/connection.cpp",
             '        d->run(QStringLiteral("ROLLBACK"));\n    } catch (const DatabaseError&) {\n        d->finish(false);',
             '        d->run(QStringLiteral("COMMIT"));\n    } catch (const DatabaseError&) {\n        d->finish(false);')],
    "F33": [("app/archives/listpanel.cpp",
             "QStringLiteral(\" like '\") + common::QuotaFiltro(text) + QStringLiteral(\"*'\");",
             "QStringLiteral(\" like '\") + text + QStringLiteral(\"*'\");")],
    "F34": [("app/archives/detailform.cpp",
             "    default:\n        return v.toString().trimmed().isEmpty();",
             "    default:\n        return !v.toString().trimmed().isEmpty();")],
}

PROGRAMS = ["vastrel", "stampa", "esportazioni", "vastrel-sql"]

_interrupted = False


def _on_signal(signum, _frame):
    global _interrupted
    _interrupted = True
    raise KeyboardInterrupt(f"signal {signum}")


@contextlib.contextmanager
def build_lock(path):
    """Serialises builds and test runs with other work that takes the same lock."""
    if not path:
        yield
        return
    with open(path, "w") as f:
        fcntl.flock(f, fcntl.LOCK_EX)
        try:
            yield
        finally:
            fcntl.flock(f, fcntl.LOCK_UN)


def run(cmd, cwd, timeout, env=None):
    """Runs a command in its own process group; returns (code, output, timed_out)."""
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            text=True, errors="replace", start_new_session=True, env=env)
    try:
        out, _ = proc.communicate(timeout=timeout)
        return proc.returncode, out, False
    except BaseException as e:
        with contextlib.suppress(ProcessLookupError):
            os.killpg(proc.pid, signal.SIGKILL)
        out, _ = proc.communicate()
        if isinstance(e, subprocess.TimeoutExpired):
            return -1, out, True
        raise


def build_targets(build):
    bindir = os.path.join(build, "bin")
    names = sorted(n for n in os.listdir(bindir) if n.endswith("_tests"))
    names += [p for p in PROGRAMS if os.path.exists(os.path.join(bindir, p))]
    return names


def failed_tests(output):
    tests, listing = [], False
    for line in output.splitlines():
        if "The following tests FAILED" in line:
            listing = True
            continue
        if listing:
            m = re.match(r"\s*\d+ - (\S+)", line)
            if m:
                tests.append(m.group(1))
    if not tests:  # interrupted before the summary: the first failing line
        for line in output.splitlines():
            m = re.search(r"Test\s+#\d+: (\S+) \.+\*+(Failed|Timeout|Exception)", line)
            if m:
                tests.append(m.group(1))
    return tests


def place(fault, source):
    """The first (path, original text, anchor, replacement) whose anchor occurs exactly once."""
    fid, rel, anchor, replacement, _what = fault
    counts = []
    for rel, anchor, replacement in [(rel, anchor, replacement)] + ALTERNATIVES.get(fid, []):
        path = os.path.join(source, rel)
        if not os.path.exists(path):
            counts.append(f"{rel}: gone")
            continue
        with open(path, encoding="utf-8") as f:
            original = f.read()
        n = original.count(anchor)
        if n == 1:
            return path, original, anchor, replacement, rel
        counts.append(f"{rel}: {n} matches")
    return None, None, None, None, "; ".join(counts)


def sweep_one(fault, args, targets):
    path, original, anchor, replacement, where = place(fault, args.source)
    if path is None:
        ambiguous = any(c.endswith(" matches") and not c.endswith(": 0 matches") for c in where.split("; "))
        return ("anchor ambiguous" if ambiguous else "anchor missing"), where, fault[1]
    if args.check:
        return "anchor found", "", where
    try:
        with open(path, "w", encoding="utf-8") as f:
            f.write(original.replace(anchor, replacement, 1))
        with build_lock(args.lock):
            code, out, _ = run(["cmake", "--build", args.build, "-j2", "--target", *targets],
                               args.source, args.build_timeout)
            if code != 0:
                return "does not build", out.strip().splitlines()[-1][:80] if out.strip() else "", where
            env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
            start = time.monotonic()
            code, out, timed_out = run(["ctest", "-j2", "--stop-on-failure", "--timeout",
                                        str(args.test_timeout)], args.build, args.suite_timeout,
                                       env)
            took = time.monotonic() - start
        time.sleep(3)  # outside the lock: a build waiting on it goes before the next fault
        if timed_out:
            return "caught", f"suite hung, stopped after {took:.0f} s", where
        if code != 0:
            names = failed_tests(out)
            return "caught", ", ".join(names[:2]) + (" …" if len(names) > 2 else ""), where
        return "missed", f"suite green in {took:.0f} s", where
    finally:
        with open(path, "w", encoding="utf-8") as f:
            f.write(original)


def main():
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--source", default=here)
    p.add_argument("--build")
    p.add_argument("--out")
    p.add_argument("--only", help="comma-separated fault ids")
    p.add_argument("--check", action="store_true", help="only report which anchors apply")
    p.add_argument("--no-control", action="store_true", help="skip the run without a fault")
    p.add_argument("--lock", help="lock file shared with other builds on this machine")
    p.add_argument("--test-timeout", type=int, default=120, help="seconds per test")
    p.add_argument("--suite-timeout", type=int, default=1200, help="seconds per suite run")
    p.add_argument("--build-timeout", type=int, default=3600)
    args = p.parse_args()
    args.source = os.path.abspath(args.source)
    args.build = os.path.abspath(args.build or os.path.join(args.source, "build"))
    args.out = args.out or os.path.join(args.build, "fault-sweep.txt")
    faults = FAULTS
    if args.only:
        wanted = set(args.only.split(","))
        faults = [f for f in FAULTS if f[0] in wanted]

    signal.signal(signal.SIGTERM, _on_signal)
    signal.signal(signal.SIGHUP, _on_signal)
    targets = [] if args.check else build_targets(args.build)
    rows = []
    head = subprocess.run(["git", "rev-parse", "--short", "HEAD"], cwd=args.source,
                          capture_output=True, text=True).stdout.strip()
    title = f"fault sweep of {args.source} at {head}, {datetime.datetime.now():%Y-%m-%d %H:%M}"
    print(title, flush=True)
    if not args.check and not args.no_control:
        # The suite must be green without a fault, or every fault would look caught.
        with build_lock(args.lock):
            code, out, _ = run(["cmake", "--build", args.build, "-j2", "--target", *targets],
                               args.source, args.build_timeout)
            if code == 0:
                env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
                start = time.monotonic()
                code, out, _ = run(["ctest", "-j2"], args.build, args.suite_timeout, env)
                print(f"control run without a fault: {'green' if code == 0 else 'FAILED'} in "
                      f"{time.monotonic() - start:.0f} s", flush=True)
        if code != 0:
            print("the suite fails without a fault: " + ", ".join(failed_tests(out)), file=sys.stderr)
            return 2
    try:
        for fault in faults:
            result, detail, where = sweep_one(fault, args, targets)
            rows.append((fault[0], where, fault[4], result, detail))
            print(f"{fault[0]}  {result:16}  {where}: {fault[4]}  [{detail}]", flush=True)
    except KeyboardInterrupt:
        print("interrupted: the file in work was restored", file=sys.stderr)
    finally:
        if not args.check and rows:
            # Rebuild the restored tree so the build folder matches the sources again.
            with build_lock(args.lock):
                run(["cmake", "--build", args.build, "-j2", "--target", *targets], args.source,
                    args.build_timeout)
    caught = sum(1 for r in rows if r[3] == "caught")
    applied = sum(1 for r in rows if r[3] in ("caught", "missed"))
    lines = [title, "", f"| id | file | fault | result | detail |", "|---|---|---|---|---|"]
    lines += [f"| {r[0]} | {r[1]} | {r[2]} | {r[3]} | {r[4]} |" for r in rows]
    lines += ["", f"caught {caught} of {applied} applied faults ({len(rows)} listed)"]
    text = "\n".join(lines) + "\n"
    print("\n" + text)
    if not args.check:
        with open(args.out, "w", encoding="utf-8") as f:
            f.write(text)
    dirty = subprocess.run(["git", "diff", "--name-only"], cwd=args.source, capture_output=True,
                           text=True).stdout
    touched = {f[1] for f in FAULTS} | {a[0] for alts in ALTERNATIVES.values() for a in alts}
    changed = [l for l in dirty.splitlines() if l in touched]
    if changed:
        print("WARNING: product files differ from git:\n" + "\n".join(changed), file=sys.stderr)
        return 1
    return 0 if not _interrupted else 130


if __name__ == "__main__":
    sys.exit(main())
