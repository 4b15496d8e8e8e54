#!/usr/bin/python3
"""specterm-dataset --measure against an independent numpy computation.

Blocks come from modemsim (a carrier and tones at known levels) over FTP on
loopback. numpy repeats the analyzer's chain from the block's bytes (decoding,
window, transform, dB, the trace rows) and the measurement formulas, and every
printed value must agree: dB to 0.01, MHz to 0.001, points exactly. The C/N of
the carrier over its occupied band must lie within 1 dB of what the
simulator's options imply: the noise has a flat density N, the carrier a
density of carrier-db above it over the symbol rate Rs (a root-raised-cosine
pulse of unit energy), so its power is 10^(carrier-db/10) N Rs, and over a
band B the noise is N B: C/N = carrier-db + 10 log10(Rs / B), and for the
band of the pulse, B = Rs (1 + roll-off).

    measure_numpy.py --bin BUILD/bin
"""

import argparse
import ftplib
import io
import math
import os
import subprocess
import sys
import tempfile

import numpy as np

N = 4096
POINTS = 2048
ROLL_OFF = 0.35
DB_TOLERANCE = 0.01
MHZ_TOLERANCE = 0.001


# ----- the simulator -----------------------------------------------------

class ModemSim:
    def __init__(self, binary, options, log):
        self.proc = subprocess.Popen([binary, "--port", "0", "--log", log] + options,
                                     stdout=subprocess.PIPE, text=True)
        line = self.proc.stdout.readline()
        if not line.startswith("listening on "):
            raise RuntimeError("modemsim did not start: " + line)
        self.port = int(line.rsplit(":", 1)[1])

    def blocks(self, count):
        """The blocks of `count` fresh captures."""
        out = []
        with ftplib.FTP() as ftp:
            ftp.connect("127.0.0.1", self.port, timeout=20)
            ftp.login("", "")
            for _ in range(count):
                ftp.storbinary("STOR capt_spec:", io.BytesIO(b"\x01"))
                data = io.BytesIO()
                ftp.retrbinary("RETR spectrum:", data.write)
                out.append(data.getvalue())
        return out

    def stop(self):
        self.proc.terminate()
        self.proc.wait(timeout=20)


# ----- the analyzer's chain ------------------------------------------------

def decode(section):
    b = np.frombuffer(section, dtype=np.uint8).astype(np.float64)
    return np.where(b < 128, b, b - 255.5).astype(np.float32)


def span_scale(span):
    for limit, scale in ((100, 1), (10, 10), (1, 100), (0.1, 1000), (0.01, 10000)):
        if span >= np.float32(limit):
            return scale
    return 100000


def process(block, window):
    """One block's current row: plot x (float32), dB (float32), SpanScale."""
    centre = int.from_bytes(block[2:6], "big") / 1000.0
    k = min(int.from_bytes(block[6:8], "big"), 12)
    rate = 1000.0 / 2.0 ** (k + 1)
    low = np.float32(centre - 0.3 * rate)
    high = np.float32(centre + 0.3 * rate)
    scale = span_scale(np.float32(high - low))
    first, second = block[30:30 + N], block[30 + N:30 + 2 * N]
    i, q = decode(first), decode(second)
    if len(set(first[:8])) == 1 and len(set(second[:8])) == 1:
        i[0], q[0] = decode(first[8:9])[0], decode(second[8:9])[0]
    if window:
        n = np.arange(1, N + 1, dtype=np.float64)
        w = 0.5 * np.cos((n - N / 2 + 0.5) * 3.14159 / (N / 2) - 0.5) + 0.5
        i = (i * w).astype(np.float32)
        q = (q * w).astype(np.float32)
    spectrum = np.fft.fft(i.astype(np.float64) + 1j * q.astype(np.float64))
    p = np.arange(POINTS)
    bins = np.where(p < 1024, p, p - 1024 + 3072)
    frac = np.where(bins <= N // 2, bins / N, -(N - bins) / N)
    x = ((frac * rate + centre) * scale).astype(np.float32)
    power = spectrum.real[bins] ** 2 + spectrum.imag[bins] ** 2
    with np.errstate(divide="ignore"):
        y = np.where(power > 0, 10 * np.log10(power), 0.0)
    return x, np.maximum(y, 0).astype(np.float32), scale


def rows(blocks, window):
    """The current, video average and peak hold rows after the blocks."""
    average = hold = None
    for count, block in enumerate(blocks, start=1):
        x, y, scale = process(block, window)
        if count == 1:
            average, hold, hold_x = y.copy(), y.copy(), x
        else:
            average = ((count - 1) / count * average.astype(np.float64) + 1 / count * y.astype(np.float64)).astype(
                np.float32)
            hold = np.maximum(hold, y)
    return {"current": (x, y, scale), "average": (x, average, scale), "peakhold": (hold_x, hold, scale)}


# ----- the formulas ------------------------------------------------------

def enbw(window):
    if not window:
        return 1.0
    n = np.arange(1, N + 1, dtype=np.float64)
    w = 0.5 * np.cos((n - N / 2 + 0.5) * 3.14159 / (N / 2) - 0.5) + 0.5
    return N * np.sum(w * w) / np.sum(w) ** 2


def prominence(v, k):
    def side(step):
        low, j = v[k], k + step
        while 0 <= j < len(v) and v[j] <= v[k]:
            low = min(low, v[j])
            j += step
        return low
    return v[k] - max(side(-1), side(1))


def expected(row, low, high, window, threshold=0.0, excursion=6.0, peaks=10):
    x, y, scale = row
    order = np.r_[POINTS // 2:POINTS, 0:POINTS // 2]
    f = x[order].astype(np.float64) / 10 / scale
    v = y[order].astype(np.float64)
    p = 10 ** (v / 10)
    inside = (f >= low) & (f <= high)
    s, n = p[inside].sum(), int(inside.sum())
    out = {"band": (low, high), "points": n}
    noise = np.median(p[~inside]) / math.log(2) if (~inside).any() else None
    out["noise per point"] = 10 * math.log10(noise) if noise else None
    out["band power"] = 10 * math.log10(s / enbw(window)) if n else None
    out["C/N"] = 10 * math.log10((s - n * noise) / (n * noise)) if n and noise and s > n * noise else None
    if n:
        running = np.cumsum(p[inside])
        fb = f[inside]
        out["occupied bandwidth"] = fb[np.argmax(running >= 0.995 * s)] - fb[np.argmax(running >= 0.005 * s)]
        top = int(np.argmax(v[inside]))
        k = np.flatnonzero(inside)[top]
        out["peak in band"] = (int(order[k]) + 1, f[k], v[k])
    table = []
    for k in range(1, POINTS - 1):
        if v[k] > v[k - 1] and v[k] > v[k + 1] and v[k] >= np.float32(threshold) and prominence(v, k) >= excursion:
            table.append((int(order[k]) + 1, f[k], v[k]))
    table.sort(key=lambda t: -t[2])
    out["peaks"] = table[:peaks]
    return out


# ----- the tool's lines ----------------------------------------------------

def number(text, unit):
    if text == "n/a":
        return None
    value, got = text.rsplit(" ", 1)
    assert got == unit, text
    return float(value)


def point(text):
    if text == "n/a":
        return None
    parts = text.split()
    assert parts[2] == "MHz" and parts[4] == "dB", text
    return int(parts[0]), float(parts[1]), float(parts[3])


def parse(output):
    got = {"peaks": []}
    for line in output.splitlines():
        name, value = line.split(": ", 1)
        if name == "band":
            lo, rest = value.split(" to ")
            got["band"] = (float(lo), number(rest, "MHz"))
        elif name == "points":
            got["points"] = int(value)
        elif name in ("band power", "noise per point", "C/N"):
            got[name] = number(value, "dB")
        elif name == "occupied bandwidth":
            got[name] = number(value, "MHz")
        elif name == "peak in band":
            got[name] = point(value)
        else:
            assert name == "peak %d" % (len(got["peaks"]) + 1), line
            got["peaks"].append(point(value))
    return got


def close(a, b, tolerance):
    return (a is None and b is None) or (a is not None and b is not None and abs(a - b) <= tolerance)


def same_point(a, b):
    return a[0] == b[0] and close(a[1], b[1], MHZ_TOLERANCE) and close(a[2], b[2], DB_TOLERANCE)


def compare(label, got, want):
    problems = []
    if not (close(got["band"][0], want["band"][0], 1e-6) and close(got["band"][1], want["band"][1], 1e-6)):
        problems.append("band %s, expected %s" % (got["band"], want["band"]))
    if got["points"] != want["points"]:
        problems.append("points %d, expected %d" % (got["points"], want["points"]))
    for name in ("band power", "noise per point", "C/N"):
        if not close(got[name], want[name], DB_TOLERANCE):
            problems.append("%s %s, expected %s" % (name, got[name], want[name]))
    if not close(got["occupied bandwidth"], want.get("occupied bandwidth"), MHZ_TOLERANCE):
        problems.append("occupied bandwidth %s, expected %s" % (got["occupied bandwidth"],
                                                               want.get("occupied bandwidth")))
    want_peak, got_peak = want.get("peak in band"), got["peak in band"]
    if (want_peak is None) != (got_peak is None) or (want_peak is not None and not same_point(got_peak, want_peak)):
        problems.append("peak in band %s, expected %s" % (got["peak in band"], want.get("peak in band")))
    if len(got["peaks"]) != len(want["peaks"]) or not all(map(same_point, got["peaks"], want["peaks"])):
        problems.append("peaks %s\n  expected %s" % (got["peaks"], want["peaks"]))
    for problem in problems:
        print("FAIL %s: %s" % (label, problem))
    return not problems


def run_tool(tool, args):
    result = subprocess.run([tool] + args, capture_output=True, text=True, timeout=60)
    if result.returncode != 0:
        raise RuntimeError("%s %s: %s" % (tool, " ".join(args), result.stderr))
    return parse(result.stdout)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    args = parser.parse_args()
    tool = os.path.join(args.bin, "specterm-dataset")
    ok = True
    with tempfile.TemporaryDirectory() as folder:
        # Centre 70 MHz, 25 MHz sample rate: a 3 MHz carrier off the centre
        # and two tones, one of them in the carrier's band.
        carrier_db, symbol_rate, offset = 20.0, 3e6, -1e6
        sim = ModemSim(os.path.join(args.bin, "modemsim"),
                       ["--seed", "7", "--carrier-db", str(carrier_db), "--symbol-rate", str(symbol_rate),
                        "--carrier-offset", str(offset), "--tone", "3500000:40", "--tone", "-200000:15"],
                       os.path.join(folder, "sim.log"))
        try:
            blocks = sim.blocks(3)
        finally:
            sim.stop()
        files = []
        for number_, block in enumerate(blocks):
            files.append(os.path.join(folder, "b%d.bin" % number_))
            with open(files[-1], "wb") as f:
                f.write(block)

        centre = 70.0 + offset / 1e6
        half = symbol_rate * (1 + ROLL_OFF) / 2 / 1e6
        cases = [
            ("carrier band", [], "current", True, (centre - half, centre + half), {}),
            ("wide band, no window", ["--window", "off"], "current", False, (66.1, 74.05), {}),
            ("tone, average", [], "average", True, (73.3, 73.7), {"threshold": 60.0}),
            ("peak hold, short table", [], "peakhold", True, (68.0, 69.0),
             {"excursion": 10.0, "peaks": 3, "threshold": 70.0}),
            ("empty band", [], "current", True, (71.0001, 71.0002), {}),
            ("everything", [], "current", True, (60.0, 80.0), {"peaks": 30}),
        ]
        for label, extra, kind, window, (low, high), table in cases:
            tool_args = ["--measure", "%.6f:%.6f" % (low, high), "--kind", kind] + extra
            for option in ("threshold", "excursion", "peaks"):
                if option in table:
                    tool_args += ["--" + option, str(table[option])]
            got = run_tool(tool, tool_args + files)
            want = expected(rows(blocks, window)[kind], round(low, 6), round(high, 6), window, **table)
            ok = compare(label, got, want) and ok

        # C/N of the carrier over its band, against the simulator's options.
        got = run_tool(tool, ["--measure", "%.6f:%.6f" % (centre - half, centre + half), files[0]])
        implied = carrier_db - 10 * math.log10(1 + ROLL_OFF)
        print("C/N over the carrier's band: %.3f dB, implied %.3f dB" % (got["C/N"], implied))
        if abs(got["C/N"] - implied) > 1.0:
            print("FAIL C/N %.3f dB is not within 1 dB of %.3f dB" % (got["C/N"], implied))
            ok = False
    print("measurements agree" if ok else "measurements differ")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
