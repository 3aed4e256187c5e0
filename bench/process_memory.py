"""What the benchmark scripts share: the memory of a process tree.

Resident sizes (RSS) count a shared library's pages once in every process that maps it; the
proportional set size (PSS) divides each page among the processes that map it, so the PSS of a
tree is what the tree adds to the machine. PSS depends on what else runs: a library that other
programs map too counts less.
"""
import os


def tree_pids(pid):
    """A process and all its descendants."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                ppid = int(f.read().rsplit(")", 1)[1].split()[1])
            children.setdefault(ppid, []).append(int(entry))
        except (OSError, ValueError, IndexError):
            pass
    pids, todo = [], [pid]
    while todo:
        p = todo.pop()
        pids.append(p)
        todo.extend(children.get(p, []))
    return pids


def process_memory_kib(pid):
    """(name, RSS, PSS) of one process in KiB, or None when it has gone."""
    try:
        with open(f"/proc/{pid}/comm") as f:
            name = f.read().strip()
        values = {}
        with open(f"/proc/{pid}/smaps_rollup") as f:
            for line in f:
                key, _, rest = line.partition(":")
                if key in ("Rss", "Pss"):
                    values[key] = int(rest.split()[0])
        return name, values.get("Rss", 0), values.get("Pss", 0)
    except OSError:
        return None


def tree_memory_kib(pid):
    """(name, RSS, PSS) in KiB of every process of the tree."""
    return [m for m in (process_memory_kib(p) for p in tree_pids(pid)) if m is not None]


def tree_rss_kib(pid):
    """Resident memory of a process and all its descendants, in KiB."""
    return sum(rss for _, rss, _ in tree_memory_kib(pid))
