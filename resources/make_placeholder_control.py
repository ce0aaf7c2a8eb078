#!/usr/bin/env python3
"""Writes the stand-in for the Flash control file that Velmora carries as SHOCKWAVEOCX, for
builds that are not given the control itself: a line saying so, then every byte value twice
(line breaks, zeros and end-of-file marks among them), so a copy that is not byte-exact shows.

Usage: make_placeholder_control.py OUTPUT-FILE
"""
import sys
from pathlib import Path


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_placeholder_control.py OUTPUT-FILE')
    note = b'Velmora placeholder: this build carries no Flash control.\r\n'
    Path(sys.argv[1]).write_bytes(note + bytes(range(256)) * 2)


if __name__ == '__main__':
    main()
