#!/usr/bin/env python3
"""Helpers of the host check (hosts.sh), standard library only.

  host-check.py signal FRAMES OUT.wav      the check signal as test-signal.lua plays it
  host-check.py compare A.wav B.wav FRAMES  the first FRAMES stereo frames of both agree within 1e-6
"""
import array
import struct
import sys

RATE = 44100


def check_signal(frames):
    """The samples test-signal.lua plays from the moment the transport rolls."""
    state, out, burst = 1, array.array("f"), RATE // 4
    for frame in range(frames):
        scale = 33554432 if (frame // burst) % 2 == 0 else 1073741824
        for _ in range(2):
            state = (state * 1103515245 + 12345) % 2147483648
            out.append(((state >> 7) - 8388608) / scale)
    return out


def write_float_wav(path, samples):
    samples = array.array("f", samples)
    if sys.byteorder != "little":
        samples.byteswap()
    data = samples.tobytes()
    fmt = struct.pack("<HHIIHH", 3, 2, RATE, RATE * 8, 8, 32)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def read_float_wav(path):
    """Interleaved 32-bit float samples of a stereo RIFF/WAVE file (other chunks skipped)."""
    with open(path, "rb") as f:
        blob = f.read()
    if blob[:4] != b"RIFF" or blob[8:12] != b"WAVE":
        sys.exit(f"{path}: not a WAV file")
    pos, fmt, data = 12, None, None
    while pos + 8 <= len(blob):
        ident, size = blob[pos:pos + 4], struct.unpack("<I", blob[pos + 4:pos + 8])[0]
        chunk = blob[pos + 8:pos + 8 + size]
        if ident == b"fmt ":
            fmt = struct.unpack("<HHIIHH", chunk[:16])
        elif ident == b"data":
            data = chunk
        pos += 8 + size + (size & 1)
    if not fmt or data is None:
        sys.exit(f"{path}: no fmt or data chunk")
    tag, channels, rate, _, _, bits = fmt
    if tag not in (3, 0xFFFE) or bits != 32 or channels != 2 or rate != RATE:
        sys.exit(f"{path}: not 32-bit float stereo at {RATE} Hz (format {tag}, {bits} bits, {channels} channels, {rate} Hz)")
    samples = array.array("f")
    samples.frombytes(data[:len(data) // 4 * 4])
    if sys.byteorder != "little":
        samples.byteswap()
    return samples


def compare(a_path, b_path, frames):
    a, b = read_float_wav(a_path), read_float_wav(b_path)
    n = 2 * frames
    if len(a) < n or len(b) < n:
        sys.exit(f"too short: {len(a) // 2} and {len(b) // 2} frames, {frames} wanted")
    worst, at = 0.0, 0
    for i in range(n):
        d = abs(a[i] - b[i])
        if d > worst:
            worst, at = d, i
    peak = max(abs(x) for x in a[:n])
    print(f"{frames} frames, peak {peak:.6f}, largest difference {worst:.3g} at frame {at // 2}")
    if peak < 1e-3:
        sys.exit("the exported audio is (nearly) silent")
    if worst > 1e-6:
        sys.exit(f"{a_path} and {b_path} differ by more than 1e-6")


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "signal":
        write_float_wav(sys.argv[3], check_signal(int(sys.argv[2])))
    elif len(sys.argv) == 5 and sys.argv[1] == "compare":
        compare(sys.argv[2], sys.argv[3], int(sys.argv[4]))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
