#!/usr/bin/python3
"""Renders fixed cases through the command-line host and compares the output
samples with recorded SHA-256 digests.

    golden_render.py check  REFERENCES WORKDIR -- HOST... PLUGIN
    golden_render.py update REFERENCES WORKDIR -- HOST... PLUGIN

HOST... is the host's command line, with an emulator in front where one is
needed (Wine for the Windows build). `check` fails on any difference or
missing case; `update` rewrites REFERENCES and is meant only for a deliberate
change of the sound arithmetic that has been shown to be right.

The digest covers the decoded samples as little-endian float32, channel
after channel, not the file bytes, so a different WAV writer changes nothing.
Every note starts and ends on a block boundary (441 frames at 44100 Hz, so
10 ms), which keeps the renders independent of where in a block a note acts.
"""

import array
import hashlib
import os
import struct
import subprocess
import sys

RATE = 44100
BLOCK = 441
SECONDS = "3"
NOTES = ["0.1:0.8", "0.5:0.2:72:40", "1.2:0.6:64:127", "2.5:0.3"]

# name -> host options; every program, then the targets and compensation
# modes that no factory program uses.
CASES = [(f"program-{p}", ["--program", str(p)]) for p in range(12)] + [
    ("bandwidth-both", ["--program", "1", "--set", "ENV Target=Filter Bandwidth",
                        "--set", "ENV Compensation=Both"]),
    ("mix-down-left", ["--program", "9", "--set", "ENV Target=Filter Mix",
                       "--set", "ENV Direction=Down", "--set", "ENV Compensation=Left"]),
    ("frequency-sharp", ["--program", "5", "--set", "ENV Attack=0", "--set", "ENV Decay=0",
                         "--set", "ENV Sustain=40", "--set", "ENV Release=0",
                         "--set", "ENV Vol Compensation=24"]),
]


def wav_channels(path):
    """Float samples of a WAV file as one float32 array per channel."""
    with open(path, "rb") as f:
        data = f.read()
    if data[0:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError(f"{path}: not a WAV file")
    pos, fmt, samples = 12, None, None
    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        body = data[pos + 8:pos + 8 + size]
        if tag == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", body)
            if fmt[0] == 0xFFFE:  # extensible: the sub-format's first two bytes
                fmt = (struct.unpack_from("<H", body, 24)[0],) + fmt[1:]
        elif tag == b"data":
            samples = body
        pos += 8 + size + (size & 1)
    if fmt is None or samples is None:
        raise ValueError(f"{path}: no format or no data")
    kind, channels, bits = fmt[0], fmt[1], fmt[5]
    if kind != 3 or bits not in (32, 64):
        raise ValueError(f"{path}: not float samples (format {kind}, {bits} bits)")
    values = array.array("f" if bits == 32 else "d", samples)
    if sys.byteorder != "little":
        values.byteswap()
    return [array.array("f", values[c::channels]) for c in range(channels)]


def digest(channels):
    h = hashlib.sha256()
    for channel in channels:
        if sys.byteorder != "little":
            channel = array.array("f", channel)
            channel.byteswap()
        h.update(channel.tobytes())
    return f"{len(channels)}x{len(channels[0]) if channels else 0}:{h.hexdigest()}"


def render(host, workdir, name, options):
    out = os.path.join(workdir, f"{name}.wav")
    command = host + ["--quiet", "--signal", "noise", "--seconds", SECONDS, "--tail", "0",
                      "--block", str(BLOCK), "--output", out] + options
    for note in NOTES:
        command += ["--note", note]
    subprocess.run(command, check=True)
    return digest(wav_channels(out))


def read_references(path):
    references = {}
    if os.path.exists(path):
        with open(path) as f:
            for line in f:
                if line.strip() and not line.startswith("#"):
                    name, value = line.split()
                    references[name] = value
    return references


def main(argv):
    if len(argv) < 6 or argv[0] not in ("check", "update") or argv[3] != "--":
        print(__doc__, file=sys.stderr)
        return 2
    mode, references_path, workdir, host = argv[0], argv[1], argv[2], argv[4:]
    os.makedirs(workdir, exist_ok=True)
    rendered = {name: render(host, workdir, name, options) for name, options in CASES}

    if mode == "update":
        temporary = references_path + ".tmp"
        with open(temporary, "w") as f:
            f.write("# golden renders: case, channels x frames, SHA-256 of the float32 samples\n")
            for name, _ in CASES:
                f.write(f"{name} {rendered[name]}\n")
        os.replace(temporary, references_path)
        print(f"wrote {len(CASES)} references to {references_path}")
        return 0

    expected = read_references(references_path)
    failures = [name for name, _ in CASES if expected.get(name) != rendered[name]]
    for name in failures:
        print(f"{name}: expected {expected.get(name, '(none)')}, rendered {rendered[name]}")
    print(f"{len(CASES) - len(failures)} of {len(CASES)} renders match")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
