#!/usr/bin/env python3
"""Instructions per frame from a callgrind output file of vardex_count_frames.

Prints three lines, "name count": the module's own code (the instructions
executed in the module's object), the module with the host services it
calls (every call from outside the module into it, inclusive), and the
host's walk (everything else the frames cost).
"""
import re
import sys

MODULE = re.compile(r"Vardex_Instr[^/]*$")
NAMED = re.compile(r"^\((\d+)\)(?: (.*))?$")


class Names:
    """callgrind's compressed names: "(id) name" defines, "(id)" refers."""

    def __init__(self):
        self.byId = {}

    def read(self, text):
        m = NAMED.match(text)
        if not m:
            return text
        if m.group(2) is not None:
            self.byId[m.group(1)] = m.group(2)
        return self.byId.get(m.group(1), text)


def figures(path):
    objects, functions = Names(), Names()
    objectOf = {}           # function -> object it was seen in
    own = into = total = 0
    ob = fn = None
    cob = cfn = None
    callPending = False
    with open(path) as lines:
        for line in lines:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            key, _, value = line.partition("=")
            if key == "ob" and _:
                ob = objects.read(value)
            elif key == "fn" and _:
                fn = functions.read(value)
                objectOf.setdefault(fn, ob)
            elif key == "cob" and _:
                cob = objects.read(value)
            elif key == "cfn" and _:
                cfn = functions.read(value)
            elif key in ("calls",) and _:
                callPending = True
            elif key in ("fl", "fi", "fe", "cfi", "cfl", "positions", "events", "version",
                         "creator", "pid", "cmd", "part", "desc", "thread") and _:
                continue
            elif line.startswith("summary:") or line.startswith("totals:"):
                total = max(total, int(line.split()[1]))
            elif line[0] in "0123456789+-*":
                fields = line.split()
                cost = int(fields[1]) if len(fields) > 1 else 0
                if callPending:
                    callee = cob or objectOf.get(cfn) or ob
                    if MODULE.search(callee or "") and not MODULE.search(ob or ""):
                        into += cost
                    callPending = False
                    cob = cfn = None
                elif MODULE.search(ob or ""):
                    own += cost
    return own, into, total


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: callgrind_figures.py CALLGRIND_OUT FRAMES")
    own, into, total = figures(sys.argv[1])
    frames = int(sys.argv[2])
    if total <= 0 or into <= 0:
        sys.exit(f"{sys.argv[1]}: no instructions of the module counted (total {total}, into the module {into})")
    print(f"module_own {own / frames:.0f}")
    print(f"module_with_services {into / frames:.0f}")
    print(f"host_walk {(total - into) / frames:.0f}")


main()
