"""Emoticons of good moods. Each function draws one frame at phase t (0 <= t < 1)."""

from shapes import (INK, arc_eyes, blush, brows, dot_eyes, group, hand, head, heart, num,
                    open_mouth, smile, star, wave)


def smile_face(t):
    blink = 0.1 if 0.5 <= t < 0.67 else 1.0
    return group(head() + dot_eyes(open_=blink) + smile(), dy=0.5 * wave(t))


def laugh(t):
    lift = -1.4 * abs(wave(t, 1))
    return group(head() + arc_eyes(up=True) + open_mouth(height=3.2 + 1.4 * abs(wave(t))) + blush(0.4),
                 dy=lift + 0.7)


def wink(t):
    closed = t >= 0.5
    eyes = (f'<ellipse cx="8.4" cy="10.5" rx="1.35" ry="1.35" fill="{INK}"/>'
            + ('<path d="M13.8 10.8 Q15.6 8.8 17.4 10.8" fill="none" stroke="#3B2208" '
               'stroke-width="1.3" stroke-linecap="round"/>' if closed
               else f'<ellipse cx="15.6" cy="10.5" rx="1.35" ry="1.35" fill="{INK}"/>'))
    return head() + eyes + smile(y=14.8, width=4.0, depth=1.6 if closed else 1.2) + (
        star(19.8, 4.2, 1.8 if closed else 1.1) if closed else "")


def shy(t):
    pulse = 0.45 + 0.4 * (0.5 + 0.5 * wave(t))
    return (head() + arc_eyes(y=11.2, up=False) + blush(pulse, y=14.2)
            + smile(y=16.0, width=2.0, depth=0.9)
            + group(hand(5.2, 17.8) + hand(18.8, 17.8), dy=-0.6 * abs(wave(t))))


def heart_eyes(t):
    beat = 0.62 + 0.16 * abs(wave(t))
    return (head() + heart(8.2, 10.6, beat) + heart(15.8, 10.6, beat)
            + open_mouth(y=14.6, width=4.0, height=3.0))


LENSES = ("M4.2 8.8 H19.8 L19.2 12.4 Q18.6 13.6 16.6 13.6 Q14 13.6 13.4 11.4 H10.6 "
          "Q10 13.6 7.4 13.6 Q5.4 13.6 4.8 12.4 Z")


def cool(t):
    glint_x = 4.0 + 17.0 * t
    glasses = f'<path d="{LENSES}" fill="#1B1E28" stroke="#0A0C12" stroke-width="0.6"/>'
    glint = (f'<path d="M{num(glint_x)} 9.4 l-1.6 3.4" stroke="#FFFFFF" stroke-width="0.9" '
             f'stroke-linecap="round" opacity="0.85"/>')
    # The glint crosses the lenses only.
    return (head() + glasses + f'<clipPath id="lens"><path d="{LENSES}"/></clipPath>'
            f'<g clip-path="url(#lens)">{glint}</g>'
            + '<path d="M8.6 16.6 Q12.5 18.6 15.8 15.4" fill="none" stroke="#3B2208" stroke-width="1.3" '
              'stroke-linecap="round"/>')


def tongue(t):
    eyes = ('<path d="M6.6 9.2 L9.4 10.6 L6.6 12 M17.4 9.2 L14.6 10.6 L17.4 12" fill="none" '
            'stroke="#3B2208" stroke-width="1.3" stroke-linecap="round" stroke-linejoin="round"/>')
    mouth = ('<path d="M8 15 Q12 17.4 16 15" fill="none" stroke="#3B2208" stroke-width="1.3" '
             'stroke-linecap="round"/>')
    tongue_shape = group('<path d="M10.2 16 Q10 20.6 12 20.6 Q14 20.6 13.8 16 Z" fill="#F06A7A" '
                         'stroke="#A3263A" stroke-width="0.7"/><path d="M12 16.6 V19" stroke="#A3263A" '
                         'stroke-width="0.5"/>', rotate=12 * wave(t), cx=12, cy=16)
    return head() + eyes + tongue_shape + mouth


def bye(t):
    angle = 28 * wave(t)
    palm = group('<rect x="16.6" y="3.4" width="6" height="6.6" rx="2.4" fill="#FFD36B" stroke="#7A4A0C" '
                 'stroke-width="0.8"/><path d="M18.2 3.6 v-1.6 M19.6 3.4 v-2 M21 3.6 v-1.6" '
                 'stroke="#7A4A0C" stroke-width="0.9" stroke-linecap="round"/>'
                 '<path d="M19.6 10 L18.8 13" stroke="#7A4A0C" stroke-width="1.2" stroke-linecap="round"/>',
                 rotate=angle, cx=19, cy=13)
    face = group(head() + arc_eyes(y=10.6) + smile(y=14.6, width=3.6, depth=1.6), dx=-2.4, dy=1.4,
                 scale=0.84)
    return face + palm


def kiss(t):
    rise = t
    floating = heart(17.5 + 2.0 * rise, 14.0 - 10.0 * rise, 0.35 + 0.25 * rise)
    lips = ('<path d="M11 14.6 Q13.4 14.8 12.2 16 Q13.6 17.2 11 17.4" fill="none" stroke="#C0283A" '
            'stroke-width="1.3" stroke-linecap="round" stroke-linejoin="round"/>')
    return head() + arc_eyes(y=10.8, up=False) + blush(0.6) + lips + (
        f'<g opacity="{num(1.0 - 0.6 * rise)}">{floating}</g>')


def proud(t):
    eyes = ('<path d="M6.4 10.2 H10.2 M13.8 10.2 H17.6" stroke="#3B2208" stroke-width="1.3" '
            'stroke-linecap="round"/><path d="M6.8 10.4 Q8.3 12 9.8 10.4 M14.2 10.4 Q15.7 12 17.2 10.4" '
            'fill="#3B2208"/>')
    smirk = ('<path d="M8.6 15.6 Q12.6 17.8 16.2 14.4" fill="none" stroke="#3B2208" stroke-width="1.3" '
             'stroke-linecap="round"/>')
    return group(head() + brows(y=7.0, tilt=-0.3) + eyes + smirk, rotate=9 * wave(t), cy=20)


def clap(t):
    gap = 2.4 * abs(wave(t))
    face = group(head(r=8.4) + arc_eyes(y=9.6, spread=3.0) + open_mouth(y=12.6, width=3.2, height=2.6),
                 dy=-1.5, scale=0.95)
    hands = (hand(12 - 2.6 - gap, 19.2, rotate=20) + hand(12 + 2.6 + gap, 19.2, rotate=-20))
    sparks = "" if gap > 0.8 else star(12, 15.6, 1.3) + star(5, 16, 0.9) + star(19, 16, 0.9)
    return face + hands + sparks


def snicker(t):
    jiggle = 0.6 if int(t * 8) % 2 == 0 else -0.6
    cover = ('<path d="M7.6 14.4 Q12 12.6 16.4 14.4 Q16.8 18.6 12 18.8 Q7.2 18.6 7.6 14.4 Z" '
             'fill="#FFD36B" stroke="#7A4A0C" stroke-width="0.8"/>'
             '<path d="M9.6 13.8 V15.6 M12 13.4 V15.4 M14.4 13.8 V15.6" '
             'stroke="#7A4A0C" stroke-width="0.6"/>')
    return group(head() + arc_eyes(y=10.2) + blush(0.5, y=12.8) + cover, dy=jiggle)
