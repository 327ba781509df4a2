"""Reads Tavlin's "tavlin.timing" log lines ("tavlin.timing: PHASE MILLISECONDS") from
standard input and prints, for the shows in it, the median, 95th percentile and minimum of each
phase's time from the phase before it, and of the whole show. A show starts at a hot-key
press and ends when the first update that painted the view is done and the window is
exposed; a press that hides the overlay has no show."""
import re
import statistics
import sys

LINE = re.compile(r"tavlin\.timing: (.+) ([0-9.]+)$")


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(len(ordered) * p))]


marks = []
for line in sys.stdin:
    match = LINE.search(line.strip())
    if match:
        marks.append((match.group(1), float(match.group(2))))
# A build that paints before the window is exposed also marks the exposure: its shows
# end when both are done.
last = {"painted", "exposed"} if any(phase == "exposed" for phase, _ in marks) else {"painted"}

shows, current = [], None
for phase, at in marks:
    # The press that hides the overlay is logged from another thread and may come before
    # the last marks of the show it ends.
    shown = current is not None and any(p == "window shown" for p, _ in current)
    if phase == "hot key pressed" and not shown:
        current = [(phase, at)]
    elif phase == "hot key pressed":
        continue
    elif current is not None and not any(p == phase for p, _ in current):
        current.append((phase, at))
        if last <= {p for p, _ in current}:
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
