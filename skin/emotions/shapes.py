"""Pieces of the emoticon drawings, as SVG text on a 24 x 24 canvas.

Every function returns a fragment of SVG markup. Faces are drawn around (12, 12.5) with a radius
of 10; a frame of an animation is the same recipe called with a later phase.
"""

import math

OUTLINE = "#7A4A0C"
INK = "#3B2208"
SKIN = ("#FFE58A", "#F6AE2D")
RED_SKIN = ("#FF9A7A", "#D9402B")
BLUE_SKIN = ("#CFE6FF", "#7FA8D9")
GREEN_SKIN = ("#DDF2A0", "#9CC44A")


def num(value):
    """A coordinate without needless digits, so the SVG stays readable."""
    text = f"{value:.2f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def wave(phase, turns=1.0):
    """A smooth -1..1 swing over one loop of the animation."""
    return math.sin(2 * math.pi * phase * turns)


def gradients():
    """The gradients every face may use, ids grad-<name>."""
    out = ["<defs>"]
    for name, (light, dark) in {"skin": SKIN, "red": RED_SKIN, "blue": BLUE_SKIN,
                                "green": GREEN_SKIN}.items():
        out.append(f'<radialGradient id="grad-{name}" cx="0.4" cy="0.35" r="0.75">'
                   f'<stop offset="0" stop-color="{light}"/><stop offset="1" stop-color="{dark}"/>'
                   "</radialGradient>")
    out.append("</defs>")
    return "".join(out)


def group(body, dx=0.0, dy=0.0, rotate=0.0, scale=1.0, cx=12.0, cy=12.5):
    """Moves, turns and scales a fragment around (cx, cy)."""
    parts = []
    if dx or dy:
        parts.append(f"translate({num(dx)} {num(dy)})")
    if rotate:
        parts.append(f"rotate({num(rotate)} {num(cx)} {num(cy)})")
    if scale != 1.0:
        parts.append(f"translate({num(cx)} {num(cy)}) scale({num(scale)}) "
                     f"translate({num(-cx)} {num(-cy)})")
    if not parts:
        return body
    return f'<g transform="{" ".join(parts)}">{body}</g>'


def head(skin="skin", r=10.0):
    return (f'<circle cx="12" cy="12.5" r="{num(r)}" fill="url(#grad-{skin})" '
            f'stroke="{OUTLINE}" stroke-width="1.1"/>')


def dot_eyes(y=10.5, spread=3.6, open_=1.0, r=1.35, color=INK):
    """Two round eyes; open_ 0 closes them to lines."""
    if open_ <= 0.15:
        return (f'<path d="M{num(12 - spread - 1.6)} {num(y)} h3.2 '
                f'M{num(12 + spread - 1.6)} {num(y)} h3.2" '
                f'stroke="{color}" stroke-width="1.2" stroke-linecap="round"/>')
    ry = r * open_
    return (f'<ellipse cx="{num(12 - spread)}" cy="{num(y)}" rx="{num(r)}" ry="{num(ry)}" fill="{color}"/>'
            f'<ellipse cx="{num(12 + spread)}" cy="{num(y)}" rx="{num(r)}" ry="{num(ry)}" fill="{color}"/>')


def arc_eyes(y=10.5, spread=3.6, up=True, color=INK):
    """Closed happy (up) or sad (down) eye arcs."""
    bend = -2.2 if up else 2.2
    d = "".join(f"M{num(x - 1.8)} {num(y)} Q{num(x)} {num(y + bend)} {num(x + 1.8)} {num(y)} "
                for x in (12 - spread, 12 + spread))
    return f'<path d="{d}" fill="none" stroke="{color}" stroke-width="1.3" stroke-linecap="round"/>'


def big_eyes(y=10.3, spread=3.7, look=0.0, shine=True):
    """White eyes with pupils looking sideways by `look` pixels."""
    out = []
    for x in (12 - spread, 12 + spread):
        out.append(f'<ellipse cx="{num(x)}" cy="{num(y)}" rx="2.3" ry="2.7" fill="#FFFFFF" '
                   f'stroke="{OUTLINE}" stroke-width="0.6"/>')
        out.append(f'<circle cx="{num(x + look)}" cy="{num(y + 0.4)}" r="1.4" fill="{INK}"/>')
        if shine:
            out.append(f'<circle cx="{num(x + look + 0.5)}" cy="{num(y - 0.3)}" r="0.5" fill="#FFFFFF"/>')
    return "".join(out)


def brows(y=7.2, spread=3.6, tilt=0.0, color=INK):
    """Eyebrows; a positive tilt lowers their inner ends (angry), a negative one raises them."""
    out = []
    for side in (-1, 1):
        x = 12 + side * spread
        inner, outer = x - side * 1.7, x + side * 1.7
        out.append(f"M{num(inner)} {num(y + tilt)} L{num(outer)} {num(y - tilt)}")
    return (f'<path d="{" ".join(out)}" stroke="{color}" stroke-width="1.2" '
            'stroke-linecap="round" fill="none"/>')


def smile(y=15.0, width=4.2, depth=2.2, color=INK):
    return (f'<path d="M{num(12 - width)} {num(y)} Q12 {num(y + depth * 2)} {num(12 + width)} {num(y)}" '
            f'fill="none" stroke="{color}" stroke-width="1.3" stroke-linecap="round"/>')


def frown(y=17.0, width=3.4, depth=1.8):
    return (f'<path d="M{num(12 - width)} {num(y)} Q12 {num(y - depth * 2)} {num(12 + width)} {num(y)}" '
            f'fill="none" stroke="{INK}" stroke-width="1.3" stroke-linecap="round"/>')


def open_mouth(y=14.3, width=4.6, height=4.0, tongue=True):
    """A laughing D-shaped mouth."""
    body = (f'<path d="M{num(12 - width)} {num(y)} H{num(12 + width)} '
            f'Q{num(12 + width)} {num(y + height)} 12 {num(y + height)} '
            f'Q{num(12 - width)} {num(y + height)} {num(12 - width)} {num(y)} Z" '
            f'fill="#8C2414" stroke="{INK}" stroke-width="0.9" stroke-linejoin="round"/>')
    if tongue and height > 2.2:
        body += (f'<ellipse cx="12" cy="{num(y + height - 1.0)}" rx="{num(width * 0.45)}" '
                 f'ry="{num(min(1.3, height / 3))}" fill="#F07A6A"/>')
    return body


def o_mouth(y=16.5, r=1.8):
    return (f'<ellipse cx="12" cy="{num(y)}" rx="{num(r * 0.85)}" ry="{num(r)}" fill="#8C2414" '
            f'stroke="{INK}" stroke-width="0.9"/>')


def flat_mouth(y=16.2, width=3.0):
    return (f'<path d="M{num(12 - width)} {num(y)} H{num(12 + width)}" stroke="{INK}" '
            'stroke-width="1.3" stroke-linecap="round"/>')


def wavy_mouth(y=16.3, width=3.6, amp=0.9):
    step = width / 2
    d = f"M{num(12 - width)} {num(y)}"
    for i in range(4):
        d += f" q{num(step / 2)} {num(-amp if i % 2 == 0 else amp)} {num(step)} 0"
    return f'<path d="{d}" fill="none" stroke="{INK}" stroke-width="1.2" stroke-linecap="round"/>'


def blush(opacity=0.55, y=13.6, spread=6.0):
    return (f'<ellipse cx="{num(12 - spread)}" cy="{num(y)}" rx="1.9" ry="1.1" fill="#FF6F7F" '
            f'opacity="{num(opacity)}"/>'
            f'<ellipse cx="{num(12 + spread)}" cy="{num(y)}" rx="1.9" ry="1.1" fill="#FF6F7F" '
            f'opacity="{num(opacity)}"/>')


def drop(x, y, size=1.0, color="#5CB8FF"):
    """A water drop (tear or sweat) whose round end is at (x, y)."""
    s = size
    return (f'<path d="M{num(x)} {num(y - 2.6 * s)} Q{num(x + 1.9 * s)} {num(y - 0.2 * s)} '
            f'{num(x)} {num(y + 1.3 * s)} Q{num(x - 1.9 * s)} {num(y - 0.2 * s)} '
            f'{num(x)} {num(y - 2.6 * s)} Z" '
            f'fill="{color}" stroke="#2F7FC2" stroke-width="0.5"/>')


def heart(x, y, size=1.0, color="#F0445A", stroke="#A3162A"):
    """A heart centred on (x, y), about 8 * size wide."""
    s = size
    d = (f"M{num(x)} {num(y + 3.2 * s)} C{num(x - 4.6 * s)} {num(y)} {num(x - 3.6 * s)} {num(y - 3.6 * s)} "
         f"{num(x)} {num(y - 1.4 * s)} C{num(x + 3.6 * s)} {num(y - 3.6 * s)} {num(x + 4.6 * s)} {num(y)} "
         f"{num(x)} {num(y + 3.2 * s)} Z")
    return f'<path d="{d}" fill="{color}" stroke="{stroke}" stroke-width="{num(0.7 * s)}"/>'


def star(x, y, r=2.0, color="#FFE27A", rotate=0.0):
    points = []
    for i in range(10):
        radius = r if i % 2 == 0 else r * 0.45
        angle = math.radians(rotate + i * 36 - 90)
        points.append(f"{num(x + radius * math.cos(angle))},{num(y + radius * math.sin(angle))}")
    return (f'<polygon points="{" ".join(points)}" fill="{color}" stroke="#B8860B" '
            'stroke-width="0.4"/>')


def hand(x, y, rotate=0.0, skin="#FFD36B"):
    """A small round fist with three finger lines, centred on (x, y)."""
    body = (f'<rect x="{num(x - 2.6)}" y="{num(y - 2.4)}" width="5.2" height="4.8" rx="2" '
            f'fill="{skin}" stroke="{OUTLINE}" stroke-width="0.8"/>'
            f'<path d="M{num(x - 1.2)} {num(y - 2.2)} v2 M{num(x + 0.4)} {num(y - 2.2)} v2" '
            f'stroke="{OUTLINE}" stroke-width="0.5"/>')
    return group(body, rotate=rotate, cx=x, cy=y)


def letter_z(x, y, size=1.0, opacity=1.0):
    s = size
    return (f'<path d="M{num(x)} {num(y)} h{num(3 * s)} l{num(-3 * s)} {num(3 * s)} h{num(3 * s)}" '
            f'fill="none" stroke="#5C8FE0" stroke-width="{num(0.9 + 0.3 * s)}" stroke-linejoin="round" '
            f'opacity="{num(opacity)}"/>')
