"""Reads Tavlin's "tavlin.timing" log lines ("tavlin.timing: PHASE MILLISECONDS") from
standard input and prints, for the shows in it, the median, 95th percentile and minimum of each
phase's time from the phase before it, and of the whole show. A show starts at a hot-key
press and ends when the first update that painted the view is done; a press that hides
the overlay has no show."""
import re
import statistics
import sys

LINE = re.compile(r"tavlin\.timing: (.+) ([0-9.]+)$")


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(len(ordered) * p))]


shows, current = [], None
for line in sys.stdin:
    match = LINE.search(line.strip())
    if not match:
        continue
    phase, at = match.group(1), float(match.group(2))
    if phase == "hot key pressed":
        current = [(phase, at)]
    elif current is not None and not any(p == phase for p, _ in current):
        current.append((phase, at))
        if phase == "painted":
            if len(current) > 2:
                shows.append(current)
            current = None

if not shows:
    sys.exit("no shows in the log")
steps = {}
order = []
for show in shows:
    for (_, before), (phase, at) in zip(show, show[1:]):
        if phase not in steps:
            steps[phase] = []
            order.append(phase)
        steps[phase].append(at - before)
print(f"phases of {len(shows)} shows (ms from the phase before; median, p95, min):")
for phase in order:
    values = steps[phase]
    print(f"  {phase:<18} {statistics.median(values):7.2f} {percentile(values, 0.95):7.2f} {min(values):7.2f}")
whole = [show[-1][1] - show[0][1] for show in shows]
print(f"  {'press to painted':<18} {statistics.median(whole):7.2f} {percentile(whole, 0.95):7.2f} {min(whole):7.2f}")
