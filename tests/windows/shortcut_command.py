#!/usr/bin/env python3
"""Prints what a Windows shortcut (.lnk) starts, one item a line: the program, the working folder and the
arguments, as Explorer would take them from the shell link's own fields."""
import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR, HAS_ARGUMENTS = 1, 2, 4, 8, 16, 32
IS_UNICODE = 0x80


def read(path):
    data = open(path, "rb").read()
    flags = struct.unpack_from("<I", data, 20)[0]
    at = 76  # the header
    if flags & HAS_ID_LIST:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    target = ""
    if flags & HAS_LINK_INFO:
        size, header_size, info_flags, _, base_path = struct.unpack_from("<5I", data, at)
        if info_flags & 1:  # a local path
            end = data.index(b"\0", at + base_path)
            target = data[at + base_path:end].decode("latin-1")
        at += size
    strings = {}
    for flag in (HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR, HAS_ARGUMENTS):
        if flags & flag:
            count = struct.unpack_from("<H", data, at)[0]
            width = 2 if flags & IS_UNICODE else 1
            raw = data[at + 2:at + 2 + count * width]
            strings[flag] = raw.decode("utf-16-le" if width == 2 else "latin-1").rstrip("\0 ")
            at += 2 + count * width
    return target, strings.get(HAS_WORKING_DIR, ""), strings.get(HAS_ARGUMENTS, "")


for item in read(sys.argv[1]):
    print(item)
