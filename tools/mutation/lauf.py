#!/usr/bin/env python3
"""Hand-made mutants, one at a time: apply, build, run the test binaries that
cover the file, record killed or survived, restore.

    tools/mutation/lauf.py [-r ROOT] [-b BUILD] [-o RESULT] [-t K/N] MUTANT_FILE [ID ...]

Run it from the top of a configured tree (default build folder "build") that
nothing else builds in meanwhile: the file under test is changed in place and
restored afterwards. -t K/N takes every N-th mutant from the K-th on, so N
copies of the tree can share the list. Each result is one line of RESULT
(default: BUILD/mutation.tsv): id, file:line, killed or survived, the failing
tests, the mistake.

The mutant file holds blocks:
    @ ID path/to/file.cpp
    # what the mistake is
    #! a note (why a survivor is equivalent); not read
    - original line(s), each must match exactly once as a whole block
    + replacement line(s)  (no '+' line: the lines are removed)

The runs of the real program under Xvfb (*EndeZuEnde*) are left out: they take
most of the time and check the same code through the window.
"""
import argparse, os, re, subprocess, time

BINARIES = [  # (path prefix, test binaries in the order they run)
    ("src/controls/", ["test_controls", "test_windows", "test_shell"]),
    ("src/windows/", ["test_windows", "test_shell"]),
    ("src/shell/", ["test_shell"]),
    ("src/platform/gui/", ["test_platform_gui", "test_controls", "test_windows", "test_shell"]),
    ("src/stationdata/", ["test_stationdata", "FuzzSicherung", "FuzzDatendatei", "test_windows", "test_shell"]),
    ("src/platform/", ["test_platform", "FuzzKonvertierung", "FuzzSicherung", "test_stationdata"]),
]
FUZZ_ARGS = lambda root, name: [f"{root}/tests/fuzz/corpus/{name}", f"{root}/tests/fuzz/reproducers/{name}"]


def parse(path):
    mutants, cur = [], None
    for raw in open(path, encoding="utf-8"):
        line = raw.rstrip("\n")
        if line.startswith("@ "):
            ident, datei = line[2:].split(None, 1)
            cur = {"id": ident, "file": datei.strip(), "why": "", "old": [], "new": []}
            mutants.append(cur)
        elif cur is None or not line.strip():
            continue
        elif line.startswith("# ---"):
            continue
        elif line.startswith("# "):
            cur["why"] += line[2:]
        elif line.startswith("- ") or line == "-":
            cur["old"].append(line[2:])
        elif line.startswith("+ ") or line == "+":
            cur["new"].append(line[2:])
    return mutants


def binaries_for(datei):
    for prefix, bins in BINARIES:
        if datei.startswith(prefix):
            return bins
    raise SystemExit(f"no test binaries for {datei}")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("-r", "--root", default=os.getcwd())
    ap.add_argument("-b", "--build", default="build")
    ap.add_argument("-o", "--out", default="")
    ap.add_argument("-t", "--teil", default="1/1", help="K/N: every N-th mutant from the K-th on")
    ap.add_argument("mutants")
    ap.add_argument("ids", nargs="*")
    a = ap.parse_args()
    root = os.path.abspath(a.root)
    build = os.path.join(root, a.build)
    out = a.out or os.path.join(build, "mutation.tsv")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    killed = total = 0
    k, n = (int(x) for x in a.teil.split("/"))
    for nr, m in enumerate(parse(a.mutants)):
        if a.ids and m["id"] not in a.ids:
            continue
        if nr % n != k - 1:
            continue
        pfad = os.path.join(root, m["file"])
        orig = open(pfad, encoding="utf-8").read()
        old = "\n".join(m["old"])
        # Match whole lines, leading blanks ignored.
        muster = re.compile("^[ \t]*" + r"\n[ \t]*".join(re.escape(l.strip()) for l in m["old"]) + "[ \t]*$", re.M)
        treffer = list(muster.finditer(orig))
        if len(treffer) != 1:
            # Fall back to a plain substring inside a line.
            anzahl = orig.count(old)
            if anzahl != 1:
                print(f"{m['id']}: original found {len(treffer)}/{anzahl} times, skipped", flush=True)
                continue
            start = orig.index(old)
            mutated = orig[:start] + "\n".join(m["new"]) + orig[start + len(old):]
        else:
            t = treffer[0]
            start = t.start()
            einzug = re.match(r"[ \t]*", orig[start:]).group(0)
            neu = "\n".join(einzug + l.strip() for l in m["new"])
            end = t.end()
            if not m["new"]:
                end = end + 1 if orig[end:end + 1] == "\n" else end
            mutated = orig[:start] + neu + orig[end:]
        zeile = orig[:start].count("\n") + 1
        ergebnis, wer = "survived", ""
        t0 = time.time()
        try:
            open(pfad, "w", encoding="utf-8").write(mutated)
            bins = binaries_for(m["file"])
            b = subprocess.run(["cmake", "--build", build, "-j4", "--target", *bins], capture_output=True, text=True)
            if b.returncode != 0:
                ergebnis, wer = "nobuild", (b.stdout + b.stderr)[-300:].replace("\n", " ")
            else:
                for name in bins:
                    cmd = [os.path.join(build, name)]
                    cmd += FUZZ_ARGS(root, name) if name.startswith("Fuzz") else ["--gtest_brief=1"]
                    if name == "test_shell":
                        # The runs of the real program under Xvfb are left out here.
                        cmd.append("--gtest_filter=-*EndeZuEnde*")
                    try:
                        r = subprocess.run(cmd, capture_output=True, text=True, env=env, timeout=300, cwd=build)
                    except subprocess.TimeoutExpired:
                        ergebnis, wer = "killed", f"{name}: timeout"
                        break
                    if r.returncode != 0:
                        failed = re.findall(r"^\[  FAILED  \] (\S+)", r.stdout, re.M)
                        failed = sorted(set(f for f in failed if "." in f))
                        ergebnis = "killed"
                        wer = f"{name}: " + (", ".join(failed[:4]) if failed else f"exit {r.returncode}")
                        break
        finally:
            open(pfad, "w", encoding="utf-8").write(orig)
        total += 1
        killed += ergebnis == "killed"
        dauer = time.time() - t0
        zeile_out = f"{m['id']}\t{m['file']}:{zeile}\t{ergebnis}\t{wer}\t{m['why']}"
        print(zeile_out + f"\t{dauer:.0f}s", flush=True)
        with open(out, "a", encoding="utf-8") as f:
            f.write(zeile_out + "\n")
    print(f"killed {killed}/{total}")


if __name__ == "__main__":
    main()
