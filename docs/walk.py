#!/usr/bin/env python3
# A player program for Qorda: each turn, every unit of its side steps one hex towards the other side
# where that hex is free ground and the unit has the action points for the step; then the turn ends.
import sys

for line in sys.stdin:
    if line.startswith("turn"):
        me, tiles, units = int(line.split()[1]), [], {}
    elif line.startswith("go"):
        for (row, column), (kind, player, points) in list(units.items()):
            to = (row, column + (1 if me == 1 else -1))
            free = 0 <= to[1] < 17 and int(tiles[row][to[1]]) < 128 and to not in units
            if player == me and free and points >= (1 if kind == "c" else 2):
                print(f"move {row},{column} {to[0]},{to[1]}")
                units[to] = units.pop((row, column))
        print("end", flush=True)
    elif line.count(",") == 17:
        tiles.append(line.split(","))
    else:
        row, column, kind, player, points, health = line.split(",")
        units[(int(row), int(column))] = (kind, int(player), int(points))
