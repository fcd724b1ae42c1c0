#!/usr/bin/env python3
"""Generates the demo that scripts/run.sh plays: a folder of text frames and
a short MP3 track.

    demo.py --sox SOX --lame LAME OUT_DIR

writes OUT_DIR/frames/demo0001.txt ... demo0300.txt (12 seconds at 25 frames
a second: a figure walks to and fro across a box while a ball bounces and
clouds drift, with a Chinese caption under the box), OUT_DIR/demo.mp3 (a
plucked pentatonic tune as long as the frames) and OUT_DIR/player-options
(the player's options for them, one word a line).

Frames are UTF-8 with CRLF line ends: the player's edit box breaks lines only
at "\\r\\n". The player shows them converted to code page 936, so every frame
is checked to encode to it. Nothing is random: each build writes the same
files.
"""

import argparse
import pathlib
import subprocess
import sys
import tempfile

PREFIX = "demo"
RATE = 25
FRAME_COUNT = 300

# The box, borders included, in character cells.
WIDTH = 60
HEIGHT = 20
INSIDE_WIDTH = WIDTH - 2
INSIDE_HEIGHT = HEIGHT - 2

# The walker's poses, facing right; facing left mirrors them.
WALKER = [
    [" O ", "/|\\", "/ \\"],
    [" O ", "/|\\", " |\\"],
    [" O ", "/|\\", " | "],
    [" O ", "/|\\", "/| "],
]
MIRRORED = str.maketrans("/\\()<>", "\\/)(><")
CLOUD = ["  .--.   ", ".(    ). ", "(___.__)_)"]
SUN = [" \\ | / ", "-- O --", " / | \\ "]
GROUND = "_,.-'^'-.,"
BALL = "o"

# A caption every 50 frames.
CAPTIONS = [
    "影子出门散步",
    "小球跳来跳去",
    "碰到墙就转身",
    "白云慢慢飘过",
    "太阳照着大地",
    "明天再见！",
]


def blank():
    return [[" "] * INSIDE_WIDTH for _ in range(INSIDE_HEIGHT)]


def draw(canvas, row, column, lines):
    """Copies the lines onto the canvas; what falls outside is cut off."""
    for dy, line in enumerate(lines):
        for dx, char in enumerate(line):
            y, x = row + dy, column + dx
            if 0 <= y < INSIDE_HEIGHT and 0 <= x < INSIDE_WIDTH and char != " ":
                canvas[y][x] = char


def to_and_fro(step, span):
    """0, 1, ... span, span - 1, ... 0, 1, ...: a walk between two walls."""
    step %= 2 * span
    return step if step <= span else 2 * span - step


def walker(frame):
    span = INSIDE_WIDTH - len(WALKER[0][0])
    step = frame // 2
    pose = WALKER[step % len(WALKER)]
    leftwards = (step // span) % 2 == 1
    if leftwards:
        pose = [line[::-1].translate(MIRRORED) for line in pose]
    return to_and_fro(step, span), pose


def ball(frame):
    """Bounces on the ground, hopping to and fro faster than the walker."""
    hop = 24
    phase = (frame % hop) / hop
    height = int(round(4 * 9 * phase * (1 - phase)))
    return INSIDE_HEIGHT - 2 - height, to_and_fro(frame, INSIDE_WIDTH - 1)


def scene(frame):
    canvas = blank()
    draw(canvas, 1, INSIDE_WIDTH - len(SUN[0]) - 2, SUN)
    # Two clouds below the sun, the nearer one faster.
    for start, row, slowness in ((6, 4, 6), (34, 7, 4)):
        span = INSIDE_WIDTH + len(CLOUD[2])
        draw(canvas, row, (start - frame // slowness) % span - len(CLOUD[2]) + 1, CLOUD)
    column, pose = walker(frame)
    draw(canvas, INSIDE_HEIGHT - 1 - len(pose), column, pose)
    row, ball_column = ball(frame)
    draw(canvas, row, ball_column, BALL)
    ground = (GROUND * (INSIDE_WIDTH // len(GROUND) + 2))[frame % len(GROUND):]
    canvas[-1] = list(ground[:INSIDE_WIDTH])
    return ["".join(line) for line in canvas]


def progress(frame, width):
    done = frame * width // FRAME_COUNT
    return "[" + "#" * done + "." * (width - done) + "]"


def frame_text(frame):
    """The whole text of frame 1 ... FRAME_COUNT."""
    lines = ["┌" + "─" * INSIDE_WIDTH + "┐"]
    lines += ["│" + line + "│" for line in scene(frame - 1)]
    lines.append("└" + "─" * INSIDE_WIDTH + "┘")
    caption = CAPTIONS[(frame - 1) * len(CAPTIONS) // FRAME_COUNT]
    lines.append(f"  第 {frame} 帧 / 共 {FRAME_COUNT} 帧    {caption}")
    lines.append("  " + progress(frame, WIDTH - 4))
    return "\r\n".join(lines) + "\r\n"


def write_frames(folder):
    folder.mkdir(parents=True, exist_ok=True)
    # The player counts every ".txt" of the folder as a frame.
    for old in folder.glob("*.txt"):
        old.unlink()
    for frame in range(1, FRAME_COUNT + 1):
        text = frame_text(frame)
        check_gbk(frame, text)
        (folder / f"{PREFIX}{frame:04d}.txt").write_bytes(text.encode("utf-8"))


def check_gbk(frame, text):
    """The player shows frames in code page 936: what it lacks would show as "?"."""
    try:
        text.encode("gbk")
    except UnicodeEncodeError as error:
        sys.exit(f"demo.py: frame {frame} has {text[error.start]!r}, which code page 936 lacks")


# Half a second a note, as long as the frames play.
TUNE = "C4 D4 E4 G4 A4 G4 E4 D4 E4 G4 A4 C5 A4 G4 E4 G4 D4 E4 G4 E4 D4 C4 D4 C4".split()
NOTE_SECONDS = FRAME_COUNT / RATE / len(TUNE)


def write_track(path, sox, lame):
    with tempfile.TemporaryDirectory() as temp:
        wave = pathlib.Path(temp) / "tune.wav"
        notes = []
        for note in TUNE:
            notes += [":", "synth", f"{NOTE_SECONDS}", "pluck", note, "fade", "0", f"{NOTE_SECONDS}", "0.1"]
        subprocess.run([sox, "-n", "-r", "44100", "-c", "2", "-b", "16", str(wave)] + notes[1:],
                       check=True)
        subprocess.run([lame, "--quiet", str(wave), str(path)], check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sox", default="sox")
    parser.add_argument("--lame", default="lame")
    parser.add_argument("out_dir", type=pathlib.Path)
    args = parser.parse_args()
    write_frames(args.out_dir / "frames")
    write_track(args.out_dir / "demo.mp3", args.sox, args.lame)
    options = ["--prefix", PREFIX, "--rate", str(RATE)]
    (args.out_dir / "player-options").write_text("\n".join(options) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
