#!/usr/bin/env python3
"""Checks what Ardour saved for Skarvel after a preset was picked in the plug-in's editor.

    compare-session.py SESSION.ardour BEFORE.ardour

1. The values Ardour stores for the 36 parameters (its Controllables: what its own controls,
   generic editor and automation lanes show) must equal the values in the plug-in's chunk saved
   beside them (the state the plug-in itself restores).
2. Ardour must have recorded no automation the user did not play: every automation point must
   hold the value the parameter had before the pick (BEFORE.ardour, the session as it was
   loaded). Ardour itself writes such points when the transport stops in Touch mode.

Prints one line per difference and exits 1 when anything is stale or recorded, or when the
preset did not change (the click missed, or Ardour went away)."""
import base64
import sys
import xml.etree.ElementTree as ET


def skarvel(path):
    for processor in ET.parse(path).getroot().iter("Processor"):
        if processor.get("type") == "lxvst" and "Skarvel" in (processor.get("name") or ""):
            return processor
    sys.exit(f"{path}: no Skarvel processor")


def stored_values(processor):
    return {int(c.get("parameter")): (c.get("name"), float(c.get("value")))
            for c in processor.findall("Controllable") if c.get("parameter") is not None}


def chunk_values(processor):
    text = base64.b64decode(processor.find("lxvst/chunk").text).decode()
    name, values, in_params = "", {}, False
    for line in text.splitlines():
        if line.startswith("Params:"):
            in_params = True
        elif in_params and ":" in line:
            key, value = line.strip().split(":", 1)
            values[key] = float(value)
        elif line.strip().startswith("name:"):
            name = line.split(":", 1)[1].strip()
    return name, values


def main(path, before_path):
    processor = skarvel(path)
    stored = stored_values(processor)
    before = stored_values(skarvel(before_path))
    name, chunk = chunk_values(processor)
    name_before, _ = chunk_values(skarvel(before_path))
    if name == name_before:
        print(f"  the preset is still {name!r}: the pick did not happen (see the screenshots)")
        return 1

    stale = [(key, value, chunk.get(key)) for key, value in stored.values()
             if chunk.get(key) is None or abs(value - chunk[key]) > 1e-6]
    print(f"  preset {name!r}: {len(stale)} of {len(stored)} values Ardour stores differ from the chunk")
    for key, value, saved in stale:
        print(f"    {key:12} Ardour {value:<10.6g} chunk {saved}")

    recorded = []
    for automation in processor.iter("AutomationList"):
        identifier = automation.get("automation-id") or ""
        if not identifier.startswith("parameter-"):
            continue
        parameter = int(identifier.split("-", 1)[1])
        key, old = before[parameter]
        for line in (automation.findtext("events") or "").split("\n"):
            fields = line.split()
            if len(fields) == 2 and abs(float(fields[1]) - old) > 1e-6:
                recorded.append((key, fields[0], float(fields[1]), old))
    print(f"  automation points that are not the value before the pick: {len(recorded)}")
    for key, when, value, old in recorded:
        print(f"    {key:12} at {when}: {value:.6g} (before the pick {old:.6g})")
    return 1 if stale or recorded else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
