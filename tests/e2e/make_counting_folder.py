"""Writes the folder the counting test plays: three frames a0001..a0003 and
10000 other ".txt" files that make counting take a while. Creating so many
files from inside Wine takes most of a minute; here it takes a moment."""
import pathlib
import sys

FRAMES = 3
OTHERS = 30000


def main(folder: str) -> None:
    path = pathlib.Path(folder)
    path.mkdir(parents=True, exist_ok=True)
    for i in range(1, FRAMES + 1):
        (path / f"a{i:04d}.txt").write_bytes(f"frame {i}".encode())
    for i in range(OTHERS):
        (path / f"z{i:05d}.txt").write_bytes(b"")


if __name__ == "__main__":
    main(sys.argv[1])
