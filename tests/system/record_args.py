#!/usr/bin/python3
"""Stands in for a browser or file handler: appends its arguments (after the log path) to the
log, each argument NUL-terminated and each call ending with a line feed."""
import sys

with open(sys.argv[1], "a") as log:
    log.write("".join(arg + "\0" for arg in sys.argv[2:]) + "\n")
