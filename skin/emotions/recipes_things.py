"""Emoticons that are things rather than faces. Each function draws one frame at phase t
(0 <= t < 1)."""

from shapes import group, heart, star, wave


def thumbs_up(t):
    hop = -1.6 * abs(wave(t))
    thumb = ('<path d="M7 11 H9.6 L12.4 4.6 Q13.2 2.8 14.6 3.6 Q15.6 4.4 15 6.4 L14.2 9.4 H19.2 '
             'Q21.2 9.6 20.8 11.6 L19.6 18.4 Q19.2 20.4 17 20.4 H9.6 V11 Z" fill="#FFD36B" '
             'stroke="#7A4A0C" stroke-width="1" stroke-linejoin="round"/>'
             '<rect x="3.6" y="10.4" width="4.4" height="10.6" rx="1" fill="#E8C36A" stroke="#7A4A0C" '
             'stroke-width="1"/><path d="M14.6 12.6 H20.4 M14.4 15.6 H20 M14 18.2 H19.4" stroke="#7A4A0C" '
             'stroke-width="0.6"/>')
    sparkle = star(20.6, 4.0, 1.2 + 0.8 * abs(wave(t)), color="#FFF0A8")
    return group(thumb, dy=hop) + sparkle


def rose(t):
    sway = 10 * wave(t)
    flower = ('<path d="M12 12.4 V22.6" stroke="#2E8B4A" stroke-width="1.4" stroke-linecap="round"/>'
              '<path d="M12 18.4 Q8.4 16.2 7.2 17.8 Q9.4 19.8 12 18.4 Z" fill="#43A85A" stroke="#2E6B3A" '
              'stroke-width="0.5"/><path d="M12 16.2 Q15.6 14.2 16.8 15.8 Q14.6 17.8 12 16.2 Z" '
              'fill="#43A85A" stroke="#2E6B3A" stroke-width="0.5"/>'
              '<circle cx="12" cy="8.2" r="5.2" fill="#E2283E" stroke="#8E1020" stroke-width="0.8"/>'
              '<path d="M9.2 8.4 Q12 4.6 14.8 8.4 Q12 11.6 9.2 8.4 Z" fill="#F25468"/>'
              '<path d="M10.6 8 Q12 6.2 13.4 8 Q12 9.6 10.6 8" fill="none" stroke="#8E1020" '
              'stroke-width="0.6"/>')
    return group(flower, rotate=sway, cx=12, cy=22.6)


def beating_heart(t):
    beat = 1.15 + 0.3 * max(0.0, wave(t * 2 % 1.0))
    shine = ('<ellipse cx="9.2" cy="9.4" rx="1.6" ry="1" fill="#FFFFFF" opacity="0.6" '
             'transform="rotate(-30 9.2 9.4)"/>')
    return group(heart(12, 12.6, 2.0) + shine, scale=beat / 1.3, cx=12, cy=12.6)


def gift(t):
    hop = -2.6 * max(0.0, wave(t))
    box = ('<rect x="4.6" y="11.6" width="14.8" height="10" rx="1" fill="#3FBFA0" stroke="#1E6E5A" '
           'stroke-width="0.9"/><rect x="10.6" y="11.6" width="2.8" height="10" fill="#E8C36A"/>')
    lid = ('<rect x="3.6" y="8.4" width="16.8" height="3.6" rx="0.8" fill="#5AD6B6" stroke="#1E6E5A" '
           'stroke-width="0.9"/><rect x="10.6" y="8.4" width="2.8" height="3.6" fill="#F5DC9A"/>'
           '<path d="M12 8.4 Q8 3.6 7.6 6.6 Q7.6 8.4 12 8.4 Q16 3.6 16.4 6.6 Q16.4 8.4 12 8.4 Z" '
           'fill="#E8C36A" stroke="#9A6A1E" stroke-width="0.7"/>')
    sparkle = star(12, 5.0 + hop, 1.4, color="#FFF0A8") if hop < -1.0 else ""
    return box + group(lid, dy=hop) + sparkle
