"""Where the rain scene's square surface lands on the screen, and how well a screenshot's lit part fits that
outline: shared by the end-to-end tests of the Windows renderer and of the Linux program, which draw the
same scene through the same camera."""
import math
import struct

import numpy as np

from x11_display import HarnessError, Picture, wait_until


def count_black(picture: Picture) -> set:
    return {(x, y) for y in range(0, picture.height, 4) for x in range(0, picture.width, 4)
            if picture.pixel(x, y) == (0, 0, 0)}


def surface_corners(turn: float, tilt: float, window: dict) -> list:
    """Where the corners of the flat square surface land on the screen, for the scene's camera and
    projection drawn into the window's whole area."""
    width, height = window["width"], window["height"]
    focal = 1 / math.tan(math.radians(45 / 2))
    t, p = math.radians(turn), math.radians(tilt)
    corners = []
    for x, z in ((-2.5, -2.5), (2.5, -2.5), (2.5, 2.5), (-2.5, 2.5)):
        x1, z1 = x * math.cos(t) + z * math.sin(t), -x * math.sin(t) + z * math.cos(t)
        y2, z2 = -z1 * math.sin(p), z1 * math.cos(p)
        eye_x, eye_y, eye_z = x1, y2 + 0.2, z2 - 4.5
        ndc_x, ndc_y = focal * height / width * eye_x / -eye_z, focal * eye_y / -eye_z
        corners.append((window["x"] + (ndc_x + 1) / 2 * width, window["y"] + (1 - ndc_y) / 2 * height))
    return corners


def fitted_turn(picture: Picture, window: dict, tilt: float = 45.0) -> tuple[float, float]:
    """The turn angle (modulo 90°: the square looks the same a quarter turn on) whose outline best
    matches the lit part of the screen, and how well it matches (intersection over union)."""
    lit = np.frombuffer(picture.data, np.uint8).reshape(picture.height, picture.width, 3).max(axis=2) > 0
    ys, xs = np.mgrid[0:picture.height, 0:picture.width] + 0.5

    def overlap(turn):
        corners = surface_corners(turn, tilt, window)
        sides = np.stack([(bx - ax) * (ys - ay) - (by - ay) * (xs - ax)
                          for (ax, ay), (bx, by) in zip(corners, corners[1:] + corners[:1])])
        inside = np.all(sides >= 0, axis=0) | np.all(sides <= 0, axis=0)
        return np.count_nonzero(inside & lit) / max(1, np.count_nonzero(inside | lit))

    best = max(np.arange(0.0, 90.0, 0.25), key=overlap)
    return float(best), overlap(best)


def screen_turn(display, name: str, window: dict, least_match: float = 0.85) -> float:
    """The surface's turn on a screenshot of the display (kept as `name`); fails when the lit part does
    not have the outline of the square surface."""
    angle, match = fitted_turn(Picture(display.screenshot(name)), window)
    if match <= least_match:
        raise HarnessError(f"the outline of the square surface is not seen in {name} (match {match:.2f})")
    return angle


def wait_for_still_turn(display, name: str, window: dict, tolerance: float, timeout: float = 10.0) -> float:
    """Reads the turn from screenshots until two in a row differ by less than `tolerance` degrees (the
    surface has stopped turning) and returns the last reading. A surface still turning moves 0.5° a scene
    step, 6° between two readings at the least; the fit itself is read in steps of 0.25°."""
    readings = [screen_turn(display, name, window)]

    def still():
        readings.append(screen_turn(display, name, window))
        change = abs(readings[-1] - readings[-2]) % 90  # a quarter turn on, the square looks the same
        return min(change, 90 - change) < tolerance

    wait_until(still, timeout, "the surface stops turning", interval=0.2)
    return readings[-1]


# The surface's turn before any key turns it.
START_TURN = 20.0


def uniform_bitmap(colour=(40, 160, 220), size=64) -> bytes:
    """A 24-bit bottom-up bitmap of one colour."""
    row = bytes((colour[2], colour[1], colour[0])) * size
    pixels = row * size
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def lit_mask(picture: Picture) -> np.ndarray:
    return np.frombuffer(picture.data, np.uint8).reshape(picture.height, picture.width, 3).max(axis=2) > 0


def outline_fit(lit: np.ndarray, area: dict, corners: list) -> float:
    """How well the lit pixels inside `area` (screen pixels) match the quadrilateral `corners`: the worse of the
    intersection over union of the lit parts and of the dark parts (the dark part, above the far edge, is
    the smaller one and shows a wrong camera first)."""
    x0, y0 = area["x"], area["y"]
    ys, xs = np.mgrid[y0:y0 + area["height"], x0:x0 + area["width"]] + 0.5
    sides = np.stack([(bx - ax) * (ys - ay) - (by - ay) * (xs - ax)
                      for (ax, ay), (bx, by) in zip(corners, corners[1:] + corners[:1])])
    inside = np.all(sides >= 0, axis=0) | np.all(sides <= 0, axis=0)
    seen = lit[y0:y0 + area["height"], x0:x0 + area["width"]]
    return min(np.count_nonzero(inside & seen) / max(1, np.count_nonzero(inside | seen)),
               np.count_nonzero(~inside & ~seen) / max(1, np.count_nonzero(~inside | ~seen)))


def square(projected: dict) -> list:
    """The square's corners as the scene's camera projects it into `projected` at the start angles."""
    return surface_corners(START_TURN, 45.0, projected)


def stretched(source: dict, onto: dict) -> list:
    """The square as drawn for `source`, its picture stretched over `onto`: what a monitor would show
    had it been given another monitor's camera."""
    return [(onto["x"] + (x - source["x"]) * onto["width"] / source["width"],
             onto["y"] + (y - source["y"]) * onto["height"] / source["height"]) for x, y in square(source)]
