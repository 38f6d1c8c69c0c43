#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpus under fuzz/corpus/<target>/.

Each seed is a small, meaningful input in the byte layout its target reads
(see ByteReader.h: numbers little-endian, read front to back). The PNG seeds
are the editor's nine images plus tiny images of every other colour type,
bit depth and interlacing. Run it again after changing a layout; the fuzzers
never write into this folder (scripts/run-fuzzers.sh works on a copy).
"""
import shutil
import struct
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
CORPUS = HERE / "corpus"
MAGIC = 0x70666674
VERSION = 0x00010000

# The effect's defaults and factory programs (parameters 0..13).
DEFAULTS = [1, 20, 20, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0]
PROGRAMS = [
    ("---- default ----", DEFAULTS),
    ("1 oct bandwidth", [2, 2000, 12, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0]),
    ("1x2 oct bandwidth", [2, 2000, 25, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0]),
    ("2x2 oct bandwidth", [2, 2000, 50, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0]),
    ("3x2 oct bandwidth", [2, 2000, 100, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0]),
    ("Glissando", [1, 20, 20, 100, 1, 1200, 500, 100, 1000, 90, 0, 20, 1, 0]),
    ("Glissando Decrescendo", [2, 2000, 30, 100, 1, 1200, 500, 100, 1000, 90, 1, 8, 0, 0]),
    ("High Frequencies", [1, 8000, 20, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0]),
    ("Low Frequencies", [0, 3000, 20, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0]),
    ("Middle Frequencies", [2, 2000, 15, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0]),
    ("Uplifting", [0, 300, 25, 100, 1, 4000, 500, 100, 1500, 100, 0, 18, 1, 0]),
]


def u8(v): return struct.pack("<B", v & 0xFF)
def u16(v): return struct.pack("<H", v & 0xFFFF)
def i32(v): return struct.pack("<i", v)
def u32(v): return struct.pack("<I", v & 0xFFFFFFFF)
def f32(v): return struct.pack("<f", v)
def f64(v): return struct.pack("<d", v)


def header(version=VERSION):
    return i32(MAGIC) + i32(version)


def values(vals):
    return b"".join(f64(v) for v in vals)


def program_chunk(vals=DEFAULTS):
    return header() + values(vals)


def bank_chunk(programs=PROGRAMS, empty_slots=1):
    out = header()
    for name, vals in programs:
        out += i32(len(name)) + name.encode() + u8(1) + values(vals)
    for i in range(empty_slots):
        name = "- %d -" % (len(programs) + i + 1)
        out += i32(len(name)) + name.encode() + u8(0)
    return out


def write(target, name, data):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


# ---- chunks: a setup byte (bit 0 bank, bit 1 effOpen first, bit 2 select a program first,
# bits 3.. which program), then the chunk ------------------------------------------------------
def chunk_seeds():
    program, bank = 0x00, 0x01
    write("chunks", "program-defaults", u8(program) + program_chunk())
    write("chunks", "program-after-open", u8(program | 2) + program_chunk(PROGRAMS[5][1]))
    write("chunks", "program-truncated", u8(program) + program_chunk()[:60])
    write("chunks", "program-bare-values", u8(program) + values(DEFAULTS))
    write("chunks", "program-wrong-magic", u8(program) + i32(0x12345678) + program_chunk()[4:])
    write("chunks", "program-out-of-range",
          u8(program) + header() + values([9, -5, 1e9, float("nan"), 7, -1, 1e308,
                                           float("inf"), float("-inf"), 0.5, 3, 99, -2, 5]))
    write("chunks", "magic-only", u8(program) + i32(MAGIC) + b"\x00\x00")
    write("chunks", "bank-factory", u8(bank) + bank_chunk())
    write("chunks", "bank-after-select", u8(bank | 2 | 4 | (11 << 3)) + bank_chunk())
    full = bank_chunk()
    cut = len(header()) + sum(4 + len(n) + 1 + 8 * 14 for n, _ in PROGRAMS[:5]) + 30
    write("chunks", "bank-truncated-in-preset-5", u8(bank) + full[:cut])
    write("chunks", "bank-more-presets", u8(bank) + bank_chunk(PROGRAMS + PROGRAMS[1:4], 0))
    write("chunks", "bank-negative-name",
          u8(bank) + header() + i32(-3) + b"abc" + u8(1) + values(DEFAULTS))
    write("chunks", "bank-uninitialised", u8(bank) + header() + i32(4) + b"none" + u8(0))
    write("chunks", "bank-old-version", u8(bank) + header(0x0000FFFF) + values(DEFAULTS))


# ---- PNG --------------------------------------------------------------------------------------
def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def pack_row(samples, depth):
    if depth >= 8:
        fmt = ">B" if depth == 8 else ">H"
        return b"".join(struct.pack(fmt, s) for s in samples)
    bits, out = "", bytearray()
    for s in samples:
        bits += format(s, "0%db" % depth)
    bits += "0" * (-len(bits) % 8)
    for i in range(0, len(bits), 8):
        out.append(int(bits[i:i + 8], 2))
    return bytes(out)


ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2),
         (0, 1, 1, 2)]


def png(width, height, depth, colour, pixel, extra=b"", interlace=False):
    """pixel(x, y) answers the samples of one pixel; rows use filter 0."""
    raw = bytearray()
    passes = ADAM7 if interlace else [(0, 0, 1, 1)]
    for x0, y0, dx, dy in passes:
        xs = range(x0, width, dx)
        if not xs:
            continue
        for y in range(y0, height, dy):
            samples = [s for x in xs for s in pixel(x, y)]
            raw += b"\x00" + pack_row(samples, depth)
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, 1 if interlace else 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + extra +
            png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def png_seeds():
    for image in sorted((HERE.parent / "img").glob("*.png")):
        shutil.copyfile(image, CORPUS / "png" / image.name)
    palette = png_chunk(b"PLTE", bytes([255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255]))
    write("png", "grey-1bit.png", png(9, 3, 1, 0, lambda x, y: [(x + y) % 2]))
    write("png", "grey-8bit-trns.png",
          png(4, 4, 8, 0, lambda x, y: [x * 64], png_chunk(b"tRNS", struct.pack(">H", 64))))
    write("png", "grey-16bit.png", png(3, 2, 16, 0, lambda x, y: [x * 30000 + y]))
    write("png", "grey-alpha-8bit.png", png(3, 3, 8, 4, lambda x, y: [x * 100, y * 100]))
    write("png", "palette-4bit-trns.png",
          png(5, 2, 4, 3, lambda x, y: [(x + y) % 4], palette + png_chunk(b"tRNS", b"\x00\x80")))
    write("png", "palette-2bit.png", png(7, 1, 2, 3, lambda x, y: [x % 4], palette))
    write("png", "rgb-16bit.png", png(2, 2, 16, 2, lambda x, y: [x * 65535, y * 65535, 4660]))
    write("png", "rgb-8bit-trns.png",
          png(2, 2, 8, 2, lambda x, y: [x * 255, 0, y * 255],
              png_chunk(b"tRNS", struct.pack(">HHH", 255, 0, 0))))
    write("png", "rgba-16bit.png", png(2, 3, 16, 6, lambda x, y: [1, 2, 3, x * 40000]))
    write("png", "rgb-interlaced.png",
          png(5, 5, 8, 2, lambda x, y: [x * 50, y * 50, 128], interlace=True))
    write("png", "rgba-1x1.png", png(1, 1, 8, 6, lambda x, y: [10, 20, 30, 40]))
    # A text chunk that claims 1.8 GB in a file of a hundred bytes.
    write("png", "huge-chunk-length.png",
          png(2, 2, 8, 2, lambda x, y: [x, y, 0], b"\x70\x00\x00\x00iTXtabc"))
    whole = png(4, 4, 8, 2, lambda x, y: [x, y, 0])
    write("png", "truncated.png", whole[:len(whole) - 20])
    write("png", "signature-only.png", whole[:8])


# ---- parameter texts: target (0..13 the effect's parameters, 14 and 15 defined from the input),
# [definition], value (double), normalised value (float), output size, text ---------------------
def text_seed(target, text, v=0.0, opt=0.5, out_size=25, definition=b""):
    return u8(target) + definition + f64(v) + f32(opt) + u8(out_size) + text.encode()


def name(key, text):
    return i32(key) + u8(len(text)) + text.encode()


def text_seeds():
    write("param_text", "choice-name", text_seed(0, "Highpass", 2.0))
    write("param_text", "choice-lower-case", text_seed(0, "highpass", 1.0))
    write("param_text", "above-maximum", text_seed(1, "99999", 19999.0, 1.0))
    write("param_text", "number-with-tail", text_seed(3, "  -12.5e1xyz", 37.5, 0.25, 3))
    write("param_text", "overflow", text_seed(5, "1e400", 8000.0, 2.0, 1))
    write("param_text", "tiny", text_seed(7, "0.000001", 0.0, -1.0, 0))
    write("param_text", "direction", text_seed(10, "Down", 1.0, 1.0))
    write("param_text", "target-name", text_seed(4, "Filter Freq", 3.7, 0.9))
    write("param_text", "empty", text_seed(13, "", -0.0, 0.0, 8))
    write("param_text", "bad-index-low", text_seed(14, "42", 4.2, 0.42, 16,
                                                   u8(0) + f64(5) + f64(0) + f64(0) + f64(0.25) +
                                                   f64(2.0) + u8(2) + name(0, "Zero") +
                                                   name(0, "")))
    write("param_text", "bad-index-high", text_seed(15, "1.5", 1.5, 0.7, 32,
                                                    u8(2) + i32(1) + i32(3) + f64(0.5) + u8(3) +
                                                    name(0, "A") + name(1, "") + name(2, "C")))
    write("param_text", "long-text", text_seed(1, "7" * 300, 20.0, 0.5, 47))


# ---- dispatcher sequences: host answers, then actions (see DispatcherFuzzer.cpp) -------------
def host(product=b"", version=0, tempo=120.0):
    return (u8(len(product)) + product + i32(version) + u8(1) + i32((1 << 10) | (1 << 13)) +
            f64(0.0) + f64(tempo) + i32(4) + i32(4))


def value(v):
    if v == 0: return u8(0)
    if v == 1: return u8(1)
    if v == -1: return u8(2)
    if 0 <= v < 256: return u8(3) + u8(v)
    if 0 <= v < 65536: return u8(7) + u16(v)
    return u8(4) + i32(v)


def opt(v):
    if v == 0.0: return u8(0)
    if v == 1.0: return u8(1)
    if v == 44100.0: return u8(2)
    if v == 0.5: return u8(3)
    return u8(6) + f32(v)


def dispatch(opcode, index=0, val=0, option=0.0, pointer=0, text=b"", extra=b""):
    out = u8(0) + u16(opcode + 1) + u16(index + 5) + value(val) + opt(option) + u8(pointer)
    if pointer == 2:
        out += u8(len(text)) + text
    return out + extra


def set_param(index, v): return u8(2) + u16(index + 3) + opt(v)
def get_param(index): return u8(3) + u16(index + 3)


def process(callback, frames, signal=1, samples=b""):
    return u8(4) + u8(callback) + u16(frames) + u8(signal) + samples


def midi(*events):
    out = u8(5) + u8(len(events))
    for delta, data in events:
        out += u8(0) + u16(delta + 8) + bytes(data)
    return out


def sysex(delta, data):
    return u8(5) + u8(1) + u8(1) + u16(delta + 8) + u8(len(data)) + bytes(data)


def chunk(bank, data): return u8(6) + u8(1 if bank else 0) + u16(len(data)) + data


def start(block=512):
    return (dispatch(0) + dispatch(10, option=48000.0) + dispatch(11, val=block) +
            dispatch(12, val=1))


def dispatcher_seeds():
    write("dispatcher", "session", host() + start() + midi((0, [0x90, 60, 100])) +
          process(0, 512) + process(1, 300, 2, bytes(range(256)) * 2 + bytes(88)) +
          process(2, 512) + midi((10, [0x80, 60, 0])) + process(0, 512) + set_param(1, 0.5) +
          get_param(1) + process(2, 128, 0))
    write("dispatcher", "programs-and-texts", host() + dispatch(0) + dispatch(2, val=5) +
          dispatch(3) + dispatch(4, pointer=2, text=b"my sound") + dispatch(5, pointer=1) +
          dispatch(29, index=11, pointer=1) + dispatch(7, index=1, pointer=1) +
          dispatch(6, index=2, pointer=1) + dispatch(8, index=13, pointer=1) +
          dispatch(27, index=0, pointer=2, text=b"Bandpass") +
          dispatch(50, index=27, val=1, pointer=2, text=b"440") +
          dispatch(50, index=7, val=1, option=0.25, pointer=1) + dispatch(50, index=8, val=10))
    write("dispatcher", "chunks", host() + start(256) + dispatch(23, index=0, pointer=1) +
          dispatch(23, index=1, pointer=1) + chunk(False, program_chunk(PROGRAMS[10][1])) +
          chunk(True, bank_chunk()) + chunk(True, bank_chunk()[:300]) + process(0, 256))
    write("dispatcher", "envelope-sweep", host(b"", 1000) + start(64) +
          set_param(4, 1.0) + set_param(5, 0.0) + midi((0, [0x90, 64, 127])) +
          b"".join(process(i % 3, 64) for i in range(12)) + midi((5, [0x80, 64, 0])) +
          b"".join(process(i % 3, 64, 2, bytes(range(0, 256, 2))) for i in range(6)))
    write("dispatcher", "speakers-and-pins", host() + dispatch(0) +
          dispatch(42, val=1, pointer=1, extra=u16(1 + 2) + u16(1 + 2)) +
          dispatch(69, val=1, pointer=1, extra=u16(2) + u16(2)) +
          dispatch(33, index=0, pointer=1) + dispatch(34, index=1, pointer=1) +
          dispatch(33, index=2, pointer=1) + dispatch(51, pointer=2, text=b"receiveVstMidiEvent") +
          dispatch(66, pointer=1) + dispatch(45, pointer=1) + dispatch(47, pointer=1) +
          dispatch(48, pointer=1) + dispatch(49) + dispatch(58) + dispatch(22) +
          process(1, 100, 1))
    # More events than the list record declares (it names two; hosts send as many as they have).
    write("dispatcher", "many-events", host() + start(128) +
          midi(*[(i, [0x90, 40 + i, 90]) for i in range(8)]) +
          process(0, 128) + midi(*[(i, [0x80, 40 + i, 0]) for i in range(5)]) + process(1, 128))
    write("dispatcher", "odd-host", host(b"Some Host 7", 0x7FFFFFFF, -1.0) +
          dispatch(10, option=8000.0) + dispatch(11, val=1) + process(0, 1) +
          dispatch(10, option=384000.0) + dispatch(11, val=4096) + dispatch(12, val=1) +
          sysex(0, [0xF0, 1, 2, 0xF7]) + dispatch(12, val=0) + dispatch(0) + dispatch(0) +
          # The input ends inside the block: the rest of its samples read as zeros.
          process(2, 4096, 3, f32(1e-40) * 2 + f32(1e30) * 4 + f32(float("nan")) * 4))


def be32(v): return struct.pack(">I", v & 0xFFFFFFFF)


def state_file(kind, body, plugin_id=0x68687A32, count=14, name=b"Glissando"):
    """A program file as the host saves it: opaque (FPCh) or per-parameter (FxCk)."""
    rest = kind + be32(1) + be32(plugin_id) + be32(10000) + be32(count) + name.ljust(28, b"\0")
    return b"CcnK" + be32(len(rest) + len(body)) + rest + body


def wav(tag, channels, bits, frames, rate=44100, extensible=False, declared=None):
    data = bytes((i * 37) & 0xFF for i in range(frames * channels * bits // 8))
    fmt = u16(0xFFFE if extensible else tag) + u16(channels) + u32(rate) + \
        u32(rate * channels * bits // 8) + u16(channels * bits // 8) + u16(bits)
    if extensible:
        fmt += u16(22) + u16(bits) + u32(3) + u16(tag) + \
            bytes([0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71])
    body = b"WAVE" + b"fmt " + u32(len(fmt)) + fmt + b"data" + \
        u32(declared if declared is not None else len(data)) + data
    return b"RIFF" + u32(len(body)) + body


def aiff(channels, frames, rate_bytes=b"\x40\x0E\xAC\x44\0\0\0\0\0\0"):
    data = bytes((i * 11) & 0xFF for i in range(frames * channels * 2))
    comm = struct.pack(">hIh", channels, frames, 16) + rate_bytes
    body = b"AIFF" + b"COMM" + be32(len(comm)) + comm + b"SSND" + be32(len(data) + 8) + \
        be32(0) + be32(0) + data
    return b"FORM" + be32(len(body)) + body


def host_input_seeds():
    """The first byte chooses: 0 command line (arguments split at zero bytes),
    1 a --set text, 2 a state file, 3 an audio file."""
    lines = {
        "render": ["plug.so", "-g", "saw:110", "--seconds", "2.5", "-n", "0.25:1.5:67:90",
                   "-s", "Filter Freq=2000 Hz", "-o", "out.flac", "--format", "s24"],
        "several-inputs": ["plug.so", "--output=out/", "--tail", "0", "a.wav", "--", "-b.wav"],
        "state": ["plug.so", "--load-state", "s.fxp", "-S", "3=0.25", "--save-state=t.fxp"],
        "pipes": ["plug.so", "-i", "-", "-o", "-", "-r", "48000", "--json", "-q"],
    }
    for name, args in lines.items():
        write("host_input", "cmd-" + name, u8(0) + b"\0".join(a.encode() for a in args))
    for name, text in {"number": b"2000", "unit": b"20000 Hz", "choice": b"off",
                       "exponent": b"2e3hz"}.items():
        write("host_input", "text-" + name, u8(1) + text)
    write("host_input", "state-opaque",
          u8(2) + state_file(b"FPCh", be32(120) + program_chunk(PROGRAMS[5][1])))
    write("host_input", "state-values",
          u8(2) + state_file(b"FxCk", b"".join(struct.pack(">f", 0.5) for _ in range(14))))
    records = b"".join(state_file(b"FxCk", b"".join(struct.pack(">f", v / 13) for v in range(14)),
                                  name=n.encode()[:27]) for n, _ in PROGRAMS + [("- 12 -", [])])
    write("host_input", "bank", u8(2) + b"CcnK" + be32(148 + len(records)) + b"FxBk" + be32(2) +
          be32(0x68687A32) + be32(10000) + be32(12) + be32(5) + bytes(124) + records)
    write("host_input", "wav-16-stereo", u8(3) + wav(1, 2, 16, 64))
    write("host_input", "wav-24-mono", u8(3) + wav(1, 1, 24, 40))
    write("host_input", "wav-float-extensible", u8(3) + wav(3, 2, 32, 32, 96000, True))
    write("host_input", "wav-truncated", u8(3) + wav(1, 2, 16, 64, declared=100000))
    write("host_input", "aiff-16-stereo", u8(3) + aiff(2, 50))


# ---- lv2_state: a setup byte (bits 0-1 offered as our type, another type, no such key; bit 2
# mutate a program), the program the instance starts from, then the state or the mutation -------
def lv2_state_seeds():
    write("lv2_state", "program-glissando", u8(0) + u8(0) + program_chunk(PROGRAMS[5][1]))
    write("lv2_state", "other-type", u8(1) + u8(3) + program_chunk(PROGRAMS[8][1]))
    write("lv2_state", "no-such-key", u8(2) + u8(9) + program_chunk())
    write("lv2_state", "one-byte-short", u8(0) + u8(6) + program_chunk()[:-1])
    write("lv2_state", "bare-values", u8(0) + u8(1) + values(DEFAULTS) + b"\x00" * 8)
    write("lv2_state", "out-of-range", u8(0) + u8(4) + header() +
          values([9, 1e9, -5, float("nan"), 7, -1, 1e300, 200, float("inf"), 101, 2, 99, 5, 2]))
    # Program 10 (Uplifting), its Filter Freq's top byte and the version's third byte flipped.
    write("lv2_state", "mutated-program", u8(4) + u8(2) + u8(10) + u8(23) + u8(0x40) +
          u8(6) + u8(0x01))


def main():
    if CORPUS.exists():
        shutil.rmtree(CORPUS)
    (CORPUS / "png").mkdir(parents=True)
    chunk_seeds()
    png_seeds()
    text_seeds()
    dispatcher_seeds()
    host_input_seeds()
    lv2_state_seeds()


if __name__ == "__main__":
    main()
