#!/usr/bin/python3
"""The dependency picture of the tree: no include cycle between files of different folders, and the layers
that must stay free of widgets link none (directly or through another library).

    structure_check.py SOURCE_DIR
"""
import os
import re
import sys

PRODUCT = ["entry", "forms", "reports", "reportmodule", "data", "dialogs", "platform", "schema", "apps"]
# target -> what it must never reach through target_link_libraries
FORBIDDEN = {
    "vn_data": {"vn_dialogs", "vn_host", "vn_reportmodule", "vn_reports", "Qt6::Widgets", "Qt6::Gui"},
    "vn_reportmodule": {"vn_dialogs", "vn_host", "vn_reports", "vn_forms"},
    "vn_reports": {"vn_dialogs", "vn_host", "vn_forms"},
    "vn_dataset": {"Qt6::Gui", "Qt6::Widgets"},
    "vn_server": {"Qt6::Gui", "Qt6::Widgets"},
}


def sources(root):
    for top in PRODUCT:
        for folder, _, files in os.walk(os.path.join(root, top)):
            for f in files:
                if f.endswith((".h", ".cpp")):
                    yield os.path.join(folder, f)


def include_cycles(root):
    files = list(sources(root))
    by_name = {}
    for f in files:
        by_name.setdefault(os.path.basename(f), []).append(f)
    graph = {}
    for f in files:
        with open(f, encoding="utf-8") as text:
            names = re.findall(r'^\s*#\s*include\s+"([^"]+)"', text.read(), re.M)
        graph[f] = [t for n in names for t in by_name.get(os.path.basename(n), []) if t != f]
    # Tarjan's strongly connected components, iteratively.
    index, low, on_stack, stack, result, counter = {}, {}, set(), [], [], [0]
    for start in graph:
        if start in index:
            continue
        work = [(start, iter(graph[start]))]
        index[start] = low[start] = counter[0]
        counter[0] += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, edges = work[-1]
            for nxt in edges:
                if nxt not in index:
                    index[nxt] = low[nxt] = counter[0]
                    counter[0] += 1
                    stack.append(nxt)
                    on_stack.add(nxt)
                    work.append((nxt, iter(graph[nxt])))
                    break
                if nxt in on_stack:
                    low[node] = min(low[node], index[nxt])
            else:
                work.pop()
                if work:
                    low[work[-1][0]] = min(low[work[-1][0]], low[node])
                if low[node] == index[node]:
                    component = []
                    while True:
                        member = stack.pop()
                        on_stack.discard(member)
                        component.append(member)
                        if member == node:
                            break
                    if len({os.path.dirname(m) for m in component}) > 1:
                        result.append(sorted(os.path.relpath(m, root) for m in component))
    return result


def link_closure(root):
    direct = {}
    for folder, _, files in os.walk(root):
        if "/build" in folder or "/." in folder or "CMakeLists.txt" not in files:
            continue
        with open(os.path.join(folder, "CMakeLists.txt"), encoding="utf-8") as text:
            for target, libs in re.findall(r"target_link_libraries\((\S+)\s+([^)]*)\)", text.read()):
                names = [w for w in libs.split() if w not in ("PUBLIC", "PRIVATE", "INTERFACE")]
                direct.setdefault(target, set()).update(names)

    def reach(target, seen):
        for lib in direct.get(target, ()):
            if lib not in seen:
                seen.add(lib)
                reach(lib, seen)
        return seen
    return {t: reach(t, set()) for t in FORBIDDEN}


def main(root):
    problems = ["include cycle across folders: " + " -> ".join(c) for c in include_cycles(root)]
    for target, reached in link_closure(root).items():
        for bad in sorted(reached & FORBIDDEN[target]):
            problems.append("%s links %s" % (target, bad))
    for p in problems:
        print("FAIL " + p)
    if not problems:
        print("ok   no include cycle across folders; data, report module, builders, dataset and server link no "
              "widgets")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
