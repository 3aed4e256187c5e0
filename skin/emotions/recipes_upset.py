"""Emoticons of bad or puzzled moods. Each function draws one frame at phase t (0 <= t < 1)."""

import math

from shapes import (INK, arc_eyes, big_eyes, brows, dot_eyes, drop, flat_mouth, frown, group, head,
                    letter_z, num, o_mouth, open_mouth, smile, star, wave, wavy_mouth)


def cry(t):
    fall = (t * 6.0) % 6.0
    tears = drop(7.8, 13.4 + fall, 0.8) + drop(16.2, 13.4 + (fall + 3) % 6.0, 0.8)
    return head() + brows(y=7.8, tilt=-0.9) + dot_eyes(y=11.0, open_=0.8) + frown(y=17.6) + tears


def angry(t):
    shake = 0.9 * (1 if int(t * 6) % 2 == 0 else -1)
    mark_scale = 0.8 + 0.35 * abs(wave(t))
    mark = group('<path d="M17.6 2.4 v2 M16.4 3.2 h2.4 M19.8 4.6 v2 M18.6 5.4 h2.4" '
                 'stroke="#E0202A" stroke-width="1.1" stroke-linecap="round"/>',
                 scale=mark_scale, cx=18.7, cy=4.5)
    return group(head("red") + brows(y=7.9, tilt=1.3) + dot_eyes(y=11.0) + frown(y=17.4, width=3.0),
                 dx=shake) + mark


def surprised(t):
    grow = 1.0 + 0.06 * wave(t)
    return group(head() + brows(y=5.8, tilt=-0.4) + big_eyes(y=10.0, shine=True)
                 + o_mouth(r=1.6 + 0.7 * abs(wave(t))), scale=grow)


def sleep(t):
    zs = ""
    for k in range(3):
        phase = (t + k / 3) % 1.0
        zs += letter_z(15.6 + 4.0 * phase, 9.0 - 7.5 * phase, 0.7 + 0.5 * phase, 1.0 - 0.6 * phase)
    breathe = 0.84 + 0.025 * wave(t)
    return group(head() + arc_eyes(y=11.0, up=False) + o_mouth(y=16.6, r=0.9 + 0.3 * abs(wave(t))),
                 dx=-2.0, dy=1.6, scale=breathe) + zs


def question(t):
    bob = 1.2 * wave(t)
    mark = group('<path d="M17.2 3.8 Q17.2 1.4 19.5 1.4 Q21.8 1.4 21.8 3.5 Q21.8 5 19.6 5.9 V7.3" '
                 'fill="none" stroke="#3FA7F5" stroke-width="1.5" stroke-linecap="round"/>'
                 '<circle cx="19.6" cy="9.3" r="0.9" fill="#3FA7F5"/>', dy=bob, rotate=8 * wave(t),
                 cx=19.5, cy=5.5)
    return group(head() + brows(y=7.0, tilt=-0.5) + dot_eyes(y=10.8) + flat_mouth(y=16.4, width=2.2),
                 rotate=-6) + mark


def sweat(t):
    slide = 5.0 * t
    return (head() + dot_eyes(y=10.8, open_=0.9) + brows(y=7.6, tilt=-0.6)
            + smile(y=15.4, width=3.0, depth=0.8) + drop(18.6, 6.0 + slide, 0.9))


def dizzy(t):
    turn = 360 * t
    spiral = ("M0 0 C0.6 0 0.9 0.6 0.6 1.1 C0.2 1.8 -1 1.7 -1.4 0.9 C-1.9 -0.1 -1.2 -1.5 0 -1.7 "
              "C1.5 -1.9 2.4 -0.6 2.2 0.7")
    eyes = "".join(f'<g transform="translate({x} 10.6) rotate({num(turn)})"><path d="{spiral}" fill="none" '
                   f'stroke="{INK}" stroke-width="0.9" stroke-linecap="round"/></g>' for x in (8.4, 15.6))
    stars = "".join(star(12 + 8.5 * math.cos(2 * math.pi * (t + k / 3)),
                         2.6 + 1.4 * math.sin(2 * math.pi * (t + k / 3)), 1.4, rotate=turn)
                    for k in range(3))
    return head("green") + eyes + wavy_mouth(y=16.4) + stars


def bawl(t):
    stream_offset = (t * 4.0) % 1.0
    streams = ""
    for x in (7.4, 16.6):
        streams += (f'<path d="M{x} 12.4 V22.6" stroke="#8FD0FF" stroke-width="2.2" stroke-linecap="round" '
                    'opacity="0.9"/>')
        for k in range(2):
            y = 13.5 + 4.5 * ((stream_offset + k / 2) % 1.0) * 2
            streams += f'<circle cx="{x}" cy="{num(y)}" r="0.7" fill="#FFFFFF"/>'
    shake = 0.7 * wave(t, 2)
    return group(head() + arc_eyes(y=11.0, up=False) + brows(y=7.6, tilt=-1.0)
                 + open_mouth(y=14.8, width=3.6, height=4.2 + 0.6 * wave(t), tongue=False),
                 dx=shake) + streams


def pitiful(t):
    tremble = 0.35 * wave(t, 2)
    shine = big_eyes(y=10.6, spread=3.5, shine=True)
    watery = ('<path d="M5.4 12.4 Q8.1 13.6 10.8 12.4 M13.2 12.4 Q15.9 13.6 18.6 12.4" fill="none" '
              'stroke="#7CC4FF" stroke-width="1" opacity="0.9"/>')
    return group(head() + brows(y=7.0, tilt=-1.0) + shine + watery
                 + wavy_mouth(y=17.0, width=2.6, amp=0.6 + 0.3 * wave(t)), dx=tremble)


def sad(t):
    droop = 0.8 * (0.5 + 0.5 * wave(t))
    tear = drop(16.4, 14.0 + 3.0 * t, 0.7) if t >= 0.34 else ""
    return group(head("blue") + brows(y=8.0, tilt=-0.8) + dot_eyes(y=11.2, open_=0.7)
                 + frown(y=17.8, width=3.0, depth=1.4), dy=droop) + tear


def speechless(t):
    shown = min(3, int(t * 4))
    dots = "".join(f'<rect x="{15 + 3 * k}" y="2" width="2" height="2" fill="#5C6B80"/>'
                   for k in range(shown))
    eyes = ('<path d="M6 10.6 H10.4 M13.6 10.6 H18" stroke="#3B2208" stroke-width="1.4" '
            'stroke-linecap="round"/>')
    face = group(head() + eyes + flat_mouth(y=16.2, width=2.6) + drop(4.8, 7.6, 0.8), dx=-1.4, dy=1.6,
                 scale=0.86)
    return face + dots
