#!/usr/bin/env bash
# Measures how many small faults the tests catch, module by module.
#
#   scripts/mutants.sh [module...]          run the chosen mutants (all modules when none is named)
#   scripts/mutants.sh --pick               choose a new set from the seed into scripts/mutants.tsv
#   options: --build DIR (default build-mutants)  --timeout SECONDS (per test run, default 600)
#            --list FILE (default scripts/mutants.tsv)  --resume (skip mutants already in the results)
#            --report (print the figures of BUILD/results.tsv without running anything)
# Modules run in the order named. A test run may take four times as long as the unmutated one
# (at least 30 s, at most the --timeout) before the mutant counts as killed by the time limit.
#
# A mutant flips a comparison, changes a constant by one or drops a statement in one source file
# of a module. It is named by its file and the text of the line it changes, never by line number,
# so the same set applies before and after tests or files move. For each mutant the script puts the
# changed line in place, rebuilds only that module's test program (-O0, no sanitizers, under
# nice), runs it with a time limit and puts the original back, even when interrupted. A mutant is
# killed when the test program fails or times out; one that does not compile is left out of the
# share. Results go to BUILD/results.tsv, the summary per module to the terminal.
#
# The real sample videos are hidden from the tests (VX_SAMPLE_VIDEOS points nowhere) so that the
# figures do not depend on which machine has them, and a run stays affordable.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR=$PWD  # the same relative tree in another checkout reuses the objects
exec nice -n 19 python3 - "$@" <<'PY'
import os, random, re, signal, subprocess, sys, time

SEED = 11
PER_KIND = 11  # comparisons, constants, dropped statements: 33 mutants per module
# The tests of base are the tests of db: base has no test program of its own.
MODULES = {
    "base": ("src/base", "vx_db_tests"),
    "db": ("src/db", "vx_db_tests"),
    "zones": ("src/zones", "vx_zones_tests"),
    "video": ("src/video", "vx_video_tests"),
    "detection": ("src/detection", "vx_detection_tests"),
    "trajectory": ("src/trajectory", "vx_trajectory_tests"),
    "measures": ("src/measures", "vx_measures_tests"),
    "protocol": ("src/protocol", "vx_protocol_tests"),
    "reports": ("src/reports", "vx_reports_tests"),
    "analysis": ("src/analysis", "vx_analysis_tests"),
    "cli": ("apps/velantrix", "vx_cli_tests"),
}

args = sys.argv[1:]
def option(name, default):
    if name in args:
        i = args.index(name); value = args[i + 1]; del args[i:i + 2]; return value
    return default
build = option("--build", "build-mutants")
timeout = int(option("--timeout", "600"))
list_file = option("--list", "scripts/mutants.tsv")
pick = "--pick" in args
resume = "--resume" in args
report = "--report" in args
args = [a for a in args if a not in ("--pick", "--resume", "--report")]
for a in args:
    if a not in MODULES:
        sys.exit(f"unknown module '{a}'; modules: {' '.join(MODULES)}")
chosen = args or list(MODULES)

# ---- choosing mutants ------------------------------------------------------------------------
COMPARISONS = [(" < ", " <= "), (" <= ", " < "), (" > ", " >= "), (" >= ", " > "),
               (" == ", " != "), (" != ", " == "), (" && ", " || "), (" || ", " && ")]
NUMBER = re.compile(r"(?<![\w.])(\d+)(\.\d+)?(?![\w.'])")
ASSIGNMENT = re.compile(r"^[\w.\->\[\]*()]+\s*([-+*/%|&^]?=[^=]|\+\+|--)")
CALL = re.compile(r"^[\w:.\->\[\]*]+(<[\w:, ]*>)?\(.*\);$")

def masked(line):
    """The line with string and character literals and a trailing comment blanked out."""
    out, quote, i = [], None, 0
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\": out.append("__"); i += 2; continue
            if c == quote: quote = None
            out.append(c if quote is None else "_")
        elif c in "\"'":
            quote = c; out.append(c)
        elif line.startswith("//", i):
            break
        else:
            out.append(c)
        i += 1
    return "".join(out).ljust(len(line))

def candidates(path):
    text = open(path, encoding="utf-8").read().split("\n")
    for line in text:
        code = line.strip()
        if not code or "\t" in line or code.startswith(("//", "#", "*", "/*", "static_assert")):
            continue
        scan = masked(line)
        for old, new in COMPARISONS:
            for m in re.finditer(re.escape(old), scan):
                yield "comparison", line, line[:m.start()] + new + line[m.end():]
        for m in NUMBER.finditer(scan if not code.startswith("{") else ""):  # not the rows of text tables
            whole = int(m.group(1))
            yield "constant", line, line[:m.start()] + str(whole + 1) + (m.group(2) or "") + line[m.end():]
        body = masked(line).rstrip()
        if body.strip().endswith(";") and body.count("(") == body.count(")") and not code.startswith("return"):
            stripped = body.strip()
            if ASSIGNMENT.match(stripped) or CALL.match(stripped) or stripped in ("break;", "continue;"):
                yield "drop", line, line[:len(line) - len(line.lstrip())] + ";"

def module_files(folder):
    files = []
    for root, _, names in os.walk(folder):
        for n in names:
            if n.endswith(".cpp") and not n.endswith("_test.cpp") and n != "main.cpp":
                files.append(os.path.join(root, n))
    return sorted(files)

def choose():
    rows = []
    for module, (folder, _) in MODULES.items():
        by_kind = {"comparison": [], "constant": [], "drop": []}
        for path in module_files(folder):
            seen = set()
            for kind, old, new in candidates(path):
                if (old, new) not in seen:
                    seen.add((old, new)); by_kind[kind].append((path, old, new))
        rng = random.Random(f"{SEED}-{module}")
        for kind, found in by_kind.items():
            for path, old, new in rng.sample(found, min(PER_KIND, len(found))):
                rows.append((module, kind, path, old, new))
    with open(list_file, "w", encoding="utf-8") as out:
        out.write("# module\tkind\tfile\toriginal line\tmutated line  (chosen by scripts/mutants.sh --pick)\n")
        for row in rows:
            out.write("\t".join(row) + "\n")
    print(f"{len(rows)} mutants written to {list_file}")

if pick:
    choose(); sys.exit(0)

# ---- running them ----------------------------------------------------------------------------
def load():
    rows = []
    for line in open(list_file, encoding="utf-8"):
        if line.startswith("#") or not line.strip():
            continue
        module, kind, path, old, new = line.rstrip("\n").split("\t")
        rows.append((module, kind, path, old, new))
    return rows

# Files moved to another module since the set was chosen: a mutant is looked for at the new path
# and run against the tests of the module that holds the file now.
MOVED = {"src/video/frame_times.cpp": "src/db/frame_times.cpp"}

def test_program(module, path):
    path = MOVED.get(path, path)
    return next((t for folder, t in MODULES.values() if path.startswith(folder + "/")), MODULES[module][1])

def locate(module, path, old):
    """The file holding the original line: its own, or the one file of the module it moved to."""
    path = MOVED.get(path, path)
    if os.path.exists(path) and old in open(path, encoding="utf-8").read().split("\n"):
        return path
    found = [p for p in module_files(MODULES[module][0]) if old in open(p, encoding="utf-8").read().split("\n")]
    return found[0] if len(found) == 1 else None

journal = os.path.join(build, "restore")  # the original of the file being mutated, until it is back

def restore():
    if os.path.exists(journal):
        path = open(journal + ".path", encoding="utf-8").read()
        with open(journal, "rb") as f: original = f.read()
        with open(path, "wb") as f: f.write(original)
        # Newer than any object a stopped compiler may have left from the mutant: it is rebuilt.
        os.utime(path, None)
        os.remove(journal + ".path"); os.remove(journal)

class Interrupted(Exception): pass
def interrupted(*_): raise Interrupted()
for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
    signal.signal(s, interrupted)

def sh(cmd, limit=None, env=None):
    """Runs a command in its own process group, which is killed whole on a time-out or an
    interruption, so that no compiler outlives the mutant it was given."""
    process = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env,
                               start_new_session=True)
    try:
        return process.wait(timeout=limit)
    except subprocess.TimeoutExpired:
        return "timeout"
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()

def configure():
    os.makedirs(build, exist_ok=True)
    restore()
    # ccache calls the compiler through this prefix: a warning in a mutant is not a failed build.
    prefix = os.path.abspath(os.path.join(build, "no-werror"))
    with open(prefix, "w") as f: f.write('#!/bin/sh\nexec "$@" -Wno-error\n')
    os.chmod(prefix, 0o755)
    os.environ["CCACHE_PREFIX"] = prefix
    if not os.path.exists(os.path.join(build, "build.ninja")):
        if sh(["cmake", "-S", ".", "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug",
               "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g0", "-DCMAKE_C_FLAGS_DEBUG=-O0 -g0",
               "-DVX_BENCH=OFF", "-DVX_SANITIZE=OFF"]) != 0:
            sys.exit("cmake failed")

def test_env():
    env = dict(os.environ, VX_SOURCE_DIR=os.getcwd(), VX_SAMPLE_VIDEOS="/nonexistent")
    env.pop("CCACHE_PREFIX", None)
    return env

def program(target):
    """The test program as built: most sit at the top of the build, the command line's beside it."""
    for folder in ("", "apps/velantrix"):
        path = os.path.join(build, folder, target)
        if os.path.exists(path):
            return path
    return os.path.join(build, target)

def run_tests(target, limit):
    return sh([program(target), "--gtest_fail_fast", "--gtest_brief=1"], limit, test_env())

def build_target(target):
    return sh(["cmake", "--build", build, "-j2", "--target", target])

def try_mutant(module, path, old, new, target):
    where = locate(module, path, old)
    if where is None:
        return "missing"
    with open(where, "rb") as f: original = f.read()
    with open(journal + ".path", "w", encoding="utf-8") as f: f.write(where)
    with open(journal, "wb") as f: f.write(original)
    try:
        lines = original.decode("utf-8").split("\n")
        lines[lines.index(old)] = new
        with open(where, "w", encoding="utf-8") as f: f.write("\n".join(lines))
        if build_target(target) != 0:
            return "stillborn"
        return "survived" if run_tests(target, limits[target]) == 0 else "killed"
    finally:
        restore()

def summarise(done, rows):
    """Per module: mutants, those left out (not compiled, not found, not run), killed, survived."""
    print(f"{'module':12} {'mutants':>7} {'left out':>8} {'killed':>6} {'survived':>8} {'killed %':>8}")
    for module in chosen:
        statuses = [done.get((m, p, o, n)) for m, _, p, o, n in rows if m == module]
        killed, survived = statuses.count("killed"), statuses.count("survived")
        share = f"{100 * killed / (killed + survived):.0f}" if killed + survived else "-"
        print(f"{module:12} {len(statuses):7} {len(statuses) - killed - survived:8} {killed:6} {survived:8} {share:>8}")

def read_results(path):
    done = {}
    if os.path.exists(path):
        for line in open(path, encoding="utf-8"):
            status, module, kind, file, old, new = line.rstrip("\n").split("\t")
            done[(module, file, old, new)] = status
    return done

results_file = os.path.join(build, "results.tsv")
rows = sorted((r for r in load() if r[0] in chosen), key=lambda r: chosen.index(r[0]))
if report:
    summarise(read_results(results_file), rows); sys.exit(0)
configure()
if resume:
    done = read_results(results_file)
else:
    done = {}
    open(results_file, "w").close()
limits = {}  # per test program: a few times what it takes unmutated

def baseline(target):
    """Builds and runs the unmutated tests; a program that fails leaves its modules out."""
    if target not in limits:
        built = build_target(target) == 0
        started = time.time()
        if not built or run_tests(target, timeout) != 0:
            print(f"{target} fails without any mutant: its modules are left out", file=sys.stderr)
            limits[target] = None
        else:
            limits[target] = min(timeout, max(30, int(4 * (time.time() - started))))
    return limits[target]

try:
    for n, (module, kind, path, old, new) in enumerate(rows, 1):
        key = (module, path, old, new)
        target = test_program(module, path)
        if key in done or baseline(target) is None:
            continue
        started = time.time()
        done[key] = try_mutant(module, path, old, new, target)
        with open(results_file, "a", encoding="utf-8") as f:
            f.write("\t".join((done[key], module, kind, path, old, new)) + "\n")
        print(f"[{n}/{len(rows)}] {done[key]:9} {time.time() - started:5.0f}s {path}: {new.strip()}", flush=True)
except Interrupted:
    restore()
    print("interrupted; the source is restored", file=sys.stderr)
    sys.exit(130)
finally:
    restore()
    for target in limits:  # leave the test programs built from the real source
        build_target(target)

summarise(done, rows)
PY
