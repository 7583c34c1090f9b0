#!/usr/bin/python3
"""Fails when a source file includes a room it may not use.

    tools/check_rooms.py [SOURCE_ROOT]

A room is a folder of the project; a file belongs to the deepest room that
holds it. Each room may include its own files and those of the rooms that
ROOMS lets it use, so that no room leans on one above it and the rooms form
no cycle. Every build runs this first.
"""
import os
import re
import sys

# Which rooms each room may use besides itself, from the bottom up. Tests,
# benchmarks and tools may use every room.
ROOMS = {
    "native": [],
    "cards": ["native"],
    "game": ["cards", "native"],
    "resources": [],
    "device/include": [],
    "device": ["device/include"],
    "device/chrome": ["device", "device/include"],
    "device/coredll": ["device", "device/include"],
    "device/aygshell": ["device", "device/chrome", "device/include"],
    "device/installer": ["device", "device/include"],
    "options": ["game", "cards", "native", "resources", "device", "device/include"],
    "item": ["options", "game", "cards", "native", "resources", "device", "device/include"],
    "ce": ["device/include"],
    "odds": ["game", "cards", "native", "device"],
    "today/shared": ["device", "device/include"],
    "today/shell": ["today/shared", "device", "device/chrome", "device/include"],
    "today/runner": ["today/shared", "device", "device/chrome", "device/include"],
    "today/gremlins": ["today/runner", "today/shared", "device", "device/chrome", "device/include"],
    "today": ["today/gremlins", "today/runner", "today/shell", "today/shared", "device", "device/include"],
}
USE_EVERY_ROOM = ["tests", "benchmarks", "tools"]

SOURCE_SUFFIXES = (".c", ".cpp", ".h", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def room_of(path):
    """The deepest room that holds path (relative, with slashes), or None."""
    folder = os.path.dirname(path)
    while folder:
        if folder in ROOMS or folder in USE_EVERY_ROOM:
            return folder
        folder = os.path.dirname(folder)
    return None


def rooms_below(room):
    """Every room that room uses, directly or through others."""
    below, waiting = set(), list(ROOMS.get(room, []))
    while waiting:
        used = waiting.pop()
        if used not in below:
            below.add(used)
            waiting.extend(ROOMS.get(used, []))
    return below


def table_faults():
    for room, uses in ROOMS.items():
        if room in rooms_below(room):
            yield f"tools/check_rooms.py: the table lets {room}/ use itself through other rooms"
        for used in uses:
            if used not in ROOMS:
                yield f"tools/check_rooms.py: {room}/ may use {used}/, which the table does not list"


def included_path(root, source, name):
    """The project path that name, included by source, stands for; None
    for a header from outside the project."""
    beside = os.path.normpath(os.path.join(os.path.dirname(source), name)).replace(os.sep, "/")
    if os.path.exists(os.path.join(root, beside)):
        return beside
    # A room's own path names it even before its folder exists.
    if os.path.exists(os.path.join(root, name)) or room_of(name):
        return name
    return None


def source_files(root):
    for top in sorted(set(room.split("/")[0] for room in list(ROOMS) + USE_EVERY_ROOM)):
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def include_faults(root):
    for source in source_files(root):
        room = room_of(source)
        if room in USE_EVERY_ROOM:
            continue
        with open(os.path.join(root, source), encoding="utf-8", errors="replace") as text:
            for number, line in enumerate(text, 1):
                found = INCLUDE.match(line)
                target = found and included_path(root, source, found.group(1))
                used = target and room_of(target)
                if used in (None, room) or used in ROOMS[room]:
                    continue
                allowed = ", ".join(ROOMS[room]) or "no other room"
                yield f"{source}:{number}: {room}/ may not include {target} (of {used}/); it may use {allowed}"


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    problems = list(table_faults()) + list(include_faults(root))
    for problem in problems:
        print("error: " + problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
