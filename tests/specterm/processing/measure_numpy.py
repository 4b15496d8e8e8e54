#!/usr/bin/python3
"""specterm-dataset --measure against numpy, on blocks from modemsim: numpy
repeats the chain from the block's bytes (decoding, window, transform, dB,
trace rows) and the formulas; dB and MHz agree to 0.001, points exactly. The
carrier's C/N over the band B of its pulse must lie within 1 dB of what the
simulator's options imply: carrier-db + 10 log10(Rs / B), B = Rs (1 + roll-off).
"""

import argparse, ftplib, io, math, os, subprocess, sys, tempfile
import numpy as np

N, POINTS = 4096, 2048
ORDER = np.r_[POINTS // 2:POINTS, 0:POINTS // 2]  # the points in frequency order


def fetch_blocks(binary, options, count):
    sim = subprocess.Popen([binary, "--port", "0", "--log", os.devnull] + options, stdout=subprocess.PIPE, text=True)
    try:
        port = int(sim.stdout.readline().rsplit(":", 1)[1])
        with ftplib.FTP() as ftp:
            ftp.connect("127.0.0.1", port, timeout=20)
            ftp.login("", "")
            blocks = []
            for _ in range(count):
                ftp.storbinary("STOR capt_spec:", io.BytesIO(b"\x01"))
                data = io.BytesIO()
                ftp.retrbinary("RETR spectrum:", data.write)
                blocks.append(data.getvalue())
            return blocks
    finally:
        sim.terminate()
        sim.wait(timeout=20)


def weights():
    n = np.arange(1, N + 1, dtype=np.float64)
    return 0.5 * np.cos((n - N / 2 + 0.5) * 3.14159 / (N / 2) - 0.5) + 0.5


def current_row(block, window):
    """Plot x and dB of the block's data set (float32), and SpanScale."""
    centre = int.from_bytes(block[2:6], "big") / 1000.0
    rate = 1000.0 / 2.0 ** (min(int.from_bytes(block[6:8], "big"), 12) + 1)
    span = np.float32(np.float32(centre + 0.3 * rate) - np.float32(centre - 0.3 * rate))
    scale = next((s for limit, s in ((100, 1), (10, 10), (1, 100), (0.1, 1000), (0.01, 10000))
                  if span >= np.float32(limit)), 100000)
    sections = [block[30:30 + N], block[30 + N:30 + 2 * N]]
    i, q = [np.where(b < 128, b, b - 255.5).astype(np.float32)
            for b in (np.frombuffer(s, dtype=np.uint8).astype(np.float64) for s in sections)]
    if all(len(set(s[:8])) == 1 for s in sections):  # stuck start: the ninth sample stands for the first
        i[0], q[0] = i[8], q[8]
    if window:
        i, q = (i * weights()).astype(np.float32), (q * weights()).astype(np.float32)
    spectrum = np.fft.fft(i.astype(np.float64) + 1j * q.astype(np.float64))
    bins = np.where(np.arange(POINTS) < 1024, np.arange(POINTS), np.arange(POINTS) + 2048)
    x = ((np.where(bins <= N // 2, bins / N, -(N - bins) / N) * rate + centre) * scale).astype(np.float32)
    power = np.abs(spectrum[bins]) ** 2
    with np.errstate(divide="ignore"):
        y = np.maximum(np.where(power > 0, 10 * np.log10(power), 0.0), 0).astype(np.float32)
    return x, y, scale


def rows(blocks, window):
    for n, block in enumerate(blocks, start=1):
        x, y, scale = current_row(block, window)
        if n == 1:
            average, hold, hold_x = y, y, x
        else:
            average = ((n - 1) / n * average.astype(np.float64) + 1 / n * y.astype(np.float64)).astype(np.float32)
            hold = np.maximum(hold, y)
    return {"current": (x, y, scale), "average": (x, average, scale), "peakhold": (hold_x, hold, scale)}


def prominence(v, k):
    def lowest(step):
        low, j = v[k], k + step
        while 0 <= j < len(v) and v[j] <= v[k]:
            low, j = min(low, v[j]), j + step
        return low
    return v[k] - max(lowest(-1), lowest(1))


def expected(row, low, high, window, threshold=0.0, excursion=6.0, peaks=10):
    x, y, scale = row
    f, v = x[ORDER].astype(np.float64) / 10 / scale, y[ORDER].astype(np.float64)
    p = 10 ** (v / 10)
    inside = (f >= low) & (f <= high)
    s, n = p[inside].sum(), int(inside.sum())
    noise = np.median(p[~inside]) / math.log(2) if (~inside).any() else None
    db = lambda value: 10 * math.log10(value)
    out = {"band": [low, high], "points": n, "band power": db(s / enbw(window)) if n else None,
           "noise per point": db(noise) if noise else None,
           "C/N": db((s - n * noise) / (n * noise)) if n and noise and s > n * noise else None,
           "occupied bandwidth": None, "peak in band": None}
    if n:
        running, fb, k = np.cumsum(p[inside]), f[inside], np.flatnonzero(inside)[np.argmax(v[inside])]
        out["occupied bandwidth"] = fb[np.argmax(running >= 0.995 * s)] - fb[np.argmax(running >= 0.005 * s)]
        out["peak in band"] = [ORDER[k] + 1, f[k], v[k]]
    table = [[ORDER[k] + 1, f[k], v[k]] for k in range(1, POINTS - 1)
             if v[k - 1] < v[k] > v[k + 1] and v[k] >= np.float32(threshold) and prominence(v, k) >= excursion]
    out["peaks"] = sorted(table, key=lambda t: -t[2])[:peaks]
    return out


def enbw(window):
    return N * np.sum(weights() ** 2) / np.sum(weights()) ** 2 if window else 1.0


def measured(tool, args):
    """The tool's lines, as numbers: 'n/a' is None, units are dropped."""
    out = subprocess.run([tool] + args, capture_output=True, text=True, timeout=60, check=True).stdout
    got = {"peaks": []}
    for line in out.splitlines():
        name, value = line.split(": ", 1)
        numbers = None if value == "n/a" else [float(word) for word in value.split() if word not in ("to", "MHz", "dB")]
        if name.startswith("peak ") and name != "peak in band":
            assert name == "peak %d" % (len(got["peaks"]) + 1), line
            got["peaks"].append(numbers)
        else:
            got[name] = numbers if numbers is None or len(numbers) > 1 else numbers[0]
    return got


def agree(got, want):
    flat = lambda v: sum(map(flat, v), []) if isinstance(v, list) else [v]
    got, want = flat(got), flat(want)
    return len(got) == len(want) and all(
        a is b if a is None or b is None else isinstance(a, float) and abs(a - b) <= 0.001 for a, b in zip(got, want))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    tool = os.path.join(parser.parse_args().bin, "specterm-dataset")
    carrier_db, rate, offset, roll_off = 20.0, 3e6, -1e6, 0.35
    blocks = fetch_blocks(os.path.join(os.path.dirname(tool), "modemsim"),
                          ["--seed", "7", "--carrier-db", str(carrier_db), "--symbol-rate", str(rate),
                           "--carrier-offset", str(offset), "--tone", "3500000:40", "--tone", "-200000:15"], 3)
    centre, half = 70 + offset / 1e6, rate * (1 + roll_off) / 2e6
    cases = [  # kind, window, band, table options
        ("current", True, (centre - half, centre + half), {}),
        ("current", False, (66.1, 74.05), {}),
        ("average", True, (73.3, 73.7), {"threshold": 60.0}),
        ("peakhold", True, (68.0, 69.0), {"excursion": 10.0, "peaks": 3, "threshold": 70.0}),
        ("current", True, (71.0001, 71.0002), {}),  # no point in the band
        ("current", True, (60.0, 80.0), {"peaks": 30}),  # no point outside it
    ]
    ok = True
    with tempfile.TemporaryDirectory() as folder:
        files = []
        for n, block in enumerate(blocks):
            files.append(os.path.join(folder, "b%d.bin" % n))
            with open(files[-1], "wb") as f:
                f.write(block)
        for kind, window, (low, high), table in cases:
            args = ["--measure", "%.6f:%.6f" % (low, high), "--kind", kind, "--window", "on" if window else "off"]
            args += sum((["--" + name, str(value)] for name, value in table.items()), [])
            got = measured(tool, args + files)
            want = expected(rows(blocks, window)[kind], round(low, 6), round(high, 6), window, **table)
            for name in want:
                if not agree(got.get(name, "missing"), want[name]):
                    print("FAIL %s %s %s: %s, expected %s" % (kind, args[1], name, got.get(name), want[name]))
                    ok = False
        cn = measured(tool, ["--measure", "%.6f:%.6f" % (centre - half, centre + half), files[0]])["C/N"]
        implied = carrier_db - 10 * math.log10(1 + roll_off)
        print("C/N over the carrier's band: %.3f dB, implied by the options %.3f dB" % (cn, implied))
        ok = ok and abs(cn - implied) <= 1.0
    print("measurements agree" if ok else "measurements differ")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
