#!/usr/bin/python3
"""Draws each factory program's energy-decay curve for the guide.

    decay_curves.py VSTHOST PLUGIN OUT_DIR WORK_DIR

For every program, vsthost renders the plug-in's answer to a single click (the dry signal
switched off, nine seconds of tail, 44.1 kHz) into WORK_DIR; the curve is the Schroeder
backward integral of the squared left and right outputs, in dB below the total energy.
The pictures go to OUT_DIR/program-N.png.
"""
import os
import re
import struct
import subprocess
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

RATE = 44100
TAIL_SECONDS = 9
DRY_OUT = 8  # parameter index of the dry switch


def read_float_wav(path):
    """The interleaved float samples and channel count of a 32-bit float WAV file."""
    data = open(path, "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError(f"{path}: not a WAV file")
    pos, channels = 12, None
    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        if tag == b"fmt ":
            fmt, channels = struct.unpack_from("<HH", data, pos + 8)
            if fmt != 3:
                raise ValueError(f"{path}: not float")
        elif tag == b"data":
            return np.frombuffer(data, "<f4", size // 4, pos + 8).reshape(-1, channels), channels
        pos += 8 + size + (size & 1)
    raise ValueError(f"{path}: no data")


def program_names(vsthost, plugin):
    info = subprocess.run([vsthost, "info", plugin], check=True, capture_output=True, text=True).stdout
    names = {}
    for line in info.splitlines():
        m = re.match(r'program\.(\d+)\.name: "(.*)"$', line)
        if m:
            names[int(m.group(1))] = m.group(2).strip()
    return names


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    vsthost, plugin, out_dir, work = sys.argv[1:]
    os.makedirs(out_dir, exist_ok=True)
    os.makedirs(work, exist_ok=True)
    for program, name in sorted(program_names(vsthost, plugin).items()):
        wav = os.path.join(work, f"program-{program}.wav")
        subprocess.run([vsthost, "render", plugin, "--program", str(program), "--param", f"{DRY_OUT}=0",
                        "--signal", "impulse", "--seconds", "0.01", "--tail", str(TAIL_SECONDS),
                        "--rate", str(RATE), "--quiet", "--out", wav], check=True)
        samples, _ = read_float_wav(wav)
        energy = np.sum(samples.astype(np.float64) ** 2, axis=1)
        remaining = np.cumsum(energy[::-1])[::-1]
        with np.errstate(divide="ignore"):
            decay_db = 10 * np.log10(remaining / remaining[0])
        seconds = np.arange(len(decay_db)) / RATE

        fig, ax = plt.subplots(figsize=(6.4, 3.0), dpi=100)
        ax.plot(seconds, decay_db, color="#1f77b4", linewidth=1.5)
        ax.axhline(-60, color="grey", linestyle="--", linewidth=1)
        ax.set_xlim(0, TAIL_SECONDS)
        ax.set_ylim(-80, 3)
        ax.set_xlabel("time after the click (s)")
        ax.set_ylabel("energy left (dB)")
        ax.set_title(f"{program} {name}: energy decay")
        ax.grid(True, alpha=0.3)
        fig.tight_layout()
        fig.savefig(os.path.join(out_dir, f"program-{program}.png"), metadata={"Software": None})
        plt.close(fig)
        print(f"{out_dir}/program-{program}.png")


if __name__ == "__main__":
    main()
