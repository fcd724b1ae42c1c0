"""Writes the folder the frame-number wrap test plays: 10,001 ".txt" files,
of which only a0000.txt and a0001.txt have the prefix a, so frames 1 and
10001 show a0001.txt, frame 10000 shows a0000.txt and the others are empty.
a0001.txt ends its text at a zero byte and goes on with 8 MB of zeros, which
are read and converted all the same: frame 10000 stays up while they are."""
import pathlib
import sys

FILES = 10001
SLOW_TAIL = 8 * 1024 * 1024


def main(folder: str) -> None:
    path = pathlib.Path(folder)
    path.mkdir(parents=True, exist_ok=True)
    (path / "a0000.txt").write_bytes(b"frame zero")
    (path / "a0001.txt").write_bytes(b"frame one" + bytes(SLOW_TAIL))
    for i in range(2, FILES):
        (path / f"x{i:05d}.txt").write_bytes(b"")


if __name__ == "__main__":
    main(sys.argv[1])
