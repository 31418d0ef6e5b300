#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Regenerates the alarm pop-up artwork with ImageMagick's `convert`.

Ten animated clocks (75x100 GIF on a plain white background, which the pop-up
masks away), the banner and the close/menu buttons in three states each.
Run from anywhere: python3 resources/make_alarm_art.py
"""
import math
import os
import shutil
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "alarms")
BLUE, AMBER, DARK, LIGHT, RED, GREEN = "#2E6FD8", "#F2A541", "#2B2F36", "#F5F7FA", "#D9534F", "#3BA55C"
FONT = "DejaVu-Sans-Bold"
FRAMES = 12


def convert(*args):
    subprocess.run(["convert", *args], check=True)


def polar(cx, cy, r, deg):
    a = math.radians(deg - 90)
    return cx + r * math.cos(a), cy + r * math.sin(a)


def hand(cx, cy, length, deg, colour, width):
    x, y = polar(cx, cy, length, deg)
    return [f"stroke {colour} stroke-width {width} stroke-linecap round fill none",
            f"line {cx:.1f},{cy:.1f} {x:.1f},{y:.1f}"]


def ticks(cx, cy, r, colour, count=12, inner=0.82):
    out = [f"stroke {colour} stroke-width 2 fill none"]
    for i in range(count):
        x1, y1 = polar(cx, cy, r * inner, i * 360 / count)
        x2, y2 = polar(cx, cy, r, i * 360 / count)
        out.append(f"line {x1:.1f},{y1:.1f} {x2:.1f},{y2:.1f}")
    return out


def dial(cx, cy, r, rim, f, face=LIGHT, hands=(DARK, RED), speed=1):
    """A round face with ticks, an hour hand and a minute hand that turns."""
    m = (f * 30 * speed) % 360
    h = (f * 30 * speed / 12 + 300) % 360
    cmds = [f"stroke {rim} stroke-width 5 fill {face}",
            f"circle {cx},{cy} {cx + r},{cy}"]
    cmds += ticks(cx, cy, r - 5, DARK)
    cmds += hand(cx, cy, r * 0.45, h, hands[0], 4)
    cmds += hand(cx, cy, r * 0.7, m, hands[1], 2.5)
    cmds += [f"stroke none fill {DARK}", f"circle {cx},{cy} {cx + 3},{cy}"]
    return cmds


def bells(cx, cy, r, colour, shake):
    out = []
    for side in (-1, 1):
        bx, by = polar(cx, cy, r + 4, side * 40)
        bx += shake
        out += [f"stroke {DARK} stroke-width 2 fill {colour}",
                f"ellipse {bx:.1f},{by:.1f} 10,8 180,360",
                f"line {bx - 10:.1f},{by:.1f} {bx + 10:.1f},{by:.1f}"]
    out += [f"stroke {DARK} stroke-width 3 fill none",
            f"line {cx - 22 + shake},{cy + r - 2} {cx - 28 + shake},{cy + r + 8}",
            f"line {cx + 22 + shake},{cy + r - 2} {cx + 28 + shake},{cy + r + 8}"]
    return out


def ring_marks(cx, cy, r, f, colour):
    if f % 2:
        return []
    out = [f"stroke {colour} stroke-width 2 fill none"]
    for side in (-1, 1):
        for k in (0, 1):
            x1, y1 = polar(cx, cy, r + 10 + k * 5, side * (60 + k * 10))
            x2, y2 = polar(cx, cy, r + 15 + k * 5, side * (62 + k * 10))
            out.append(f"line {x1:.1f},{y1:.1f} {x2:.1f},{y2:.1f}")
    return out


def style_frames(style, f):
    cx, cy = 37, 58
    shake = (2 if f % 2 else -2)
    if style == 0:  # classic twin-bell alarm clock, ringing
        return bells(cx + shake, cy, 26, AMBER, 0) + dial(cx + shake, cy, 26, BLUE, f)
    if style == 1:  # red twin-bell, shaking with ring marks
        return (ring_marks(cx, cy, 24, f, RED) + bells(cx + shake, cy, 24, RED, 0)
                + dial(cx + shake, cy, 24, RED, f, hands=(DARK, BLUE)))
    if style == 2:  # green wall clock with a pendulum
        swing = 25 * math.sin(f / FRAMES * 2 * math.pi)
        px, py = polar(37, 44, 48, 180 + swing)
        return ([f"stroke {DARK} stroke-width 2 fill none", f"line 37,44 {px:.1f},{py:.1f}",
                 f"stroke {DARK} stroke-width 2 fill {AMBER}", f"circle {px:.1f},{py:.1f} {px + 7:.1f},{py:.1f}"]
                + dial(37, 36, 27, GREEN, f))
    if style == 3:  # amber square clock
        m = (f * 30) % 360
        return ([f"stroke {AMBER} stroke-width 5 fill {LIGHT}", "roundrectangle 9,30 65,86 10,10"]
                + ticks(37, 58, 24, DARK, 4, 0.7) + hand(37, 58, 12, (m / 12 + 60) % 360, DARK, 4)
                + hand(37, 58, 20, m, BLUE, 2.5) + [f"stroke none fill {DARK}", "circle 37,58 40,58"])
    if style == 4:  # dark pocket watch on a swinging chain
        sway = 3 * math.sin(f / FRAMES * 2 * math.pi)
        x = cx + sway
        return ([f"stroke {AMBER} stroke-width 2 fill none", f"line 37,2 {x:.1f},22",
                 f"stroke {AMBER} stroke-width 3 fill none", f"circle {x:.1f},27 {x + 5:.1f},27"]
                + dial(x, 60, 27, DARK, f, face=LIGHT, hands=(DARK, AMBER)))
    if style == 5:  # blue clock with a sweeping second hand
        s = (f * 30) % 360
        return dial(cx, cy, 30, BLUE, 2, speed=0) + hand(cx, cy, 24, s, RED, 1.5) + \
            [f"stroke none fill {RED}", f"circle {cx},{cy} {cx + 2},{cy}"]
    if style == 6:  # hourglass with running sand
        level = f / (FRAMES - 1)
        top = 48 - 14 * (1 - level)
        return [f"stroke {DARK} stroke-width 3 fill none", "line 16,18 58,18", "line 16,96 58,96",
                f"stroke {BLUE} stroke-width 2 fill {LIGHT}",
                "polygon 20,22 54,22 40,57 54,92 20,92 34,57",
                f"stroke none fill {AMBER}",
                f"polygon {37 - (48 - top) * 0.5:.1f},{top:.1f} {37 + (48 - top) * 0.5:.1f},{top:.1f} 37,56",
                f"polygon {37 - 14 * level:.1f},92 {37 + 14 * level:.1f},92 37,{92 - 18 * level:.1f}",
                f"stroke {AMBER} stroke-width 1.5 fill none", "line 37,56 37,90"]
    if style == 7:  # single big bell struck by a hammer
        hx = 37 + (6 if f % 2 else -6)
        return ([f"stroke {DARK} stroke-width 2 fill {RED}", "ellipse 37,28 18,12 180,360", "line 19,28 55,28",
                 f"stroke {DARK} stroke-width 2 fill none", f"line 37,40 {hx},22",
                 f"stroke none fill {DARK}", f"circle {hx},22 {hx + 3},22"]
                + ring_marks(37, 28, 12, f, AMBER) + dial(cx, 66, 24, RED, f))
    if style == 8:  # green stopwatch
        s = (f * 30) % 360
        return ([f"stroke {DARK} stroke-width 2 fill {GREEN}", "roundrectangle 31,18 43,26 2,2",
                 f"stroke {GREEN} stroke-width 3 fill none", "line 37,26 37,30",
                 f"stroke {DARK} stroke-width 2 fill {GREEN}", "roundrectangle 58,28 64,34 1,1"]
                + dial(cx, 62, 28, GREEN, 0, speed=0) + hand(cx, 62, 22, s, RED, 2)
                + [f"stroke none fill {RED}", f"circle {cx},62 {cx + 2},62"])
    # style 9: amber alarm clock that hops
    hop = [0, -3, -6, -8, -6, -3, 0, -3, -6, -8, -6, -3][f]
    return bells(cx, cy + hop, 25, BLUE, 0) + dial(cx, cy + hop, 25, AMBER, f)


def make_clocks(tmp):
    gifs = os.path.join(OUT, "gifs")
    os.makedirs(gifs, exist_ok=True)
    for style in range(10):
        frames = []
        for f in range(FRAMES):
            path = os.path.join(tmp, f"c{style}_{f:02d}.png")
            args = ["-size", "75x100", "xc:white"]
            for cmd in style_frames(style, f):
                args += ["-draw", cmd] if not cmd.startswith("stroke") else []
                if cmd.startswith("stroke"):
                    parts = cmd.split()
                    opts = dict(zip(parts[0::2], parts[1::2]))
                    args += ["-stroke", opts["stroke"], "-fill", opts.get("fill", "none"),
                             "-strokewidth", opts.get("stroke-width", "1")]
            convert(*args, path)
            frames.append(path)
        out = os.path.join(gifs, f"clock_0{10 * style + 1:02d}_animado.gif")
        convert("-delay", "10", "-loop", "0", *frames, "-layers", "Optimize", out)


def make_banner():
    out = os.path.join(OUT, "alarm_banner.png")
    convert("-size", "211x30", "xc:none",
            "-fill", BLUE, "-draw", "roundrectangle 0,2 210,27 8,8",
            "-fill", AMBER, "-stroke", DARK, "-strokewidth", "1",
            "-draw", "ellipse 20,19 9,9 180,360", "-draw", "line 11,19 29,19",
            "-draw", "circle 20,22 22,22",
            "-stroke", "none", "-fill", LIGHT, "-font", FONT, "-pointsize", "15",
            "-annotate", "+38+20", "ALARM", "-fill", AMBER,
            "-draw", "circle 196,15 199,15", "-draw", "circle 184,15 186,15", "-draw", "circle 174,15 175,15",
            out)


def make_buttons():
    gui = os.path.join(OUT, "gui-elems")
    os.makedirs(gui, exist_ok=True)
    states = {"up": (LIGHT, DARK), "hower": (RED, LIGHT), "down": ("#A83A36", LIGHT)}
    for state, (bg, fg) in states.items():
        convert("-size", "16x16", "xc:none", "-fill", bg, "-stroke", DARK, "-strokewidth", "1",
                "-draw", "circle 7.5,7.5 7.5,0.5", "-stroke", fg, "-strokewidth", "2",
                "-draw", "line 5,5 10,10", "-draw", "line 10,5 5,10",
                os.path.join(gui, f"close-button-{state}.png"))
    states = {"up": (LIGHT, DARK), "hower": (BLUE, LIGHT), "down": ("#1F4F9E", LIGHT)}
    for state, (bg, fg) in states.items():
        convert("-size", "16x16", "xc:none", "-fill", bg, "-stroke", DARK, "-strokewidth", "1",
                "-draw", "circle 7.5,7.5 7.5,0.5", "-stroke", "none", "-fill", fg,
                "-draw", "polygon 4,6 11,6 7.5,10.5",
                os.path.join(gui, f"menu-indicator-{state}.png"))


def main():
    os.makedirs(OUT, exist_ok=True)
    tmp = tempfile.mkdtemp()
    try:
        make_clocks(tmp)
        make_banner()
        make_buttons()
    finally:
        shutil.rmtree(tmp)


if __name__ == "__main__":
    main()
