#!/usr/bin/env python3
"""Writes the command icons (one SVG per command id) into this folder.

One style for the whole set: a 24 x 24 grid, dark rounded strokes 1.8 wide,
white paper, and one accent colour per group of commands (blue for files and
views, green for processing, orange for drawing, red for removing). Run it
again after changing a drawing; the SVG files are what the program uses.
"""
import os

INK = "#2f3b52"
PAPER = "#ffffff"
BLUE = "#3d7cc9"
GREEN = "#3a9a5b"
ORANGE = "#e0892b"
RED = "#c9463d"
YELLOW = "#f2c14e"
GREY = "#9aa5b8"


def svg(body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24" viewBox="0 0 24 24" '
            f'fill="none" stroke="{INK}" stroke-width="1.8" stroke-linecap="round" '
            f'stroke-linejoin="round">{body}</svg>\n')


def page(x=5, y=3, w=14, h=18, fill=PAPER):
    return (f'<path d="M{x} {y}h{w-5}l5 5v{h-5}h-{w}z" fill="{fill}"/>'
            f'<path d="M{x+w-5} {y}v5h5"/>')


def disk(color=BLUE):
    return (f'<path d="M4 4h13l3 3v13H4z" fill="{color}"/>'
            f'<rect x="8" y="4" width="7" height="5" fill="{PAPER}"/>'
            f'<rect x="7" y="13" width="10" height="7" fill="{PAPER}"/>')


def folder(color=YELLOW):
    return f'<path d="M3 6h6l2 2h10v12H3z" fill="{color}"/>'


def arrow(x1, y1, x2, y2, color=INK):
    # A line with an open head at (x2, y2).
    import math
    a = math.atan2(y2 - y1, x2 - x1)
    hx1 = x2 - 4 * math.cos(a - 0.6)
    hy1 = y2 - 4 * math.sin(a - 0.6)
    hx2 = x2 - 4 * math.cos(a + 0.6)
    hy2 = y2 - 4 * math.sin(a + 0.6)
    return (f'<path d="M{x1} {y1}L{x2} {y2}M{hx1:.1f} {hy1:.1f}L{x2} {y2}L{hx2:.1f} {hy2:.1f}" '
            f'stroke="{color}"/>')


def magnifier(cx=10, cy=10, r=6, fill=PAPER):
    return (f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{fill}"/>'
            f'<path d="M{cx+r*0.7:.1f} {cy+r*0.7:.1f}L{cx+r+5} {cy+r+5}" stroke-width="2.6"/>')


def grid():
    return (f'<rect x="3" y="5" width="18" height="14" fill="{PAPER}"/>'
            '<path d="M3 10h18M3 14.5h18M9 5v14M15 5v14" stroke="' + GREY + '" stroke-width="1.2"/>')


def squares(front_filled):
    back = BLUE if not front_filled else PAPER
    front = ORANGE if front_filled else PAPER
    if front_filled:
        return (f'<rect x="3" y="3" width="12" height="12" fill="{back}"/>'
                f'<rect x="9" y="9" width="12" height="12" fill="{front}"/>')
    return (f'<rect x="9" y="9" width="12" height="12" fill="{back}"/>'
            f'<rect x="3" y="3" width="12" height="12" fill="{front}" stroke-dasharray="2 2"/>')


def align(side):
    bars = {
        "left": '<path d="M4 3v18"/><rect x="4" y="6" width="14" height="4" fill="{c}"/>'
                '<rect x="4" y="14" width="9" height="4" fill="{c}"/>',
        "right": '<path d="M20 3v18"/><rect x="6" y="6" width="14" height="4" fill="{c}"/>'
                 '<rect x="11" y="14" width="9" height="4" fill="{c}"/>',
        "top": '<path d="M3 4h18"/><rect x="6" y="4" width="4" height="14" fill="{c}"/>'
               '<rect x="14" y="4" width="4" height="9" fill="{c}"/>',
        "bottom": '<path d="M3 20h18"/><rect x="6" y="6" width="4" height="14" fill="{c}"/>'
                  '<rect x="14" y="11" width="4" height="9" fill="{c}"/>',
    }
    return bars[side].format(c=ORANGE)


def pointer(x=4, y=3, fill=PAPER):
    return (f'<path d="M{x} {y}l0 14l4-3.5l3 6l2.5-1.2l-3-6l5.5-.3z" fill="{fill}" '
            'stroke-width="1.5"/>')


def pencil(color=ORANGE):
    return (f'<path d="M14.5 4.5l5 5L9 20H4v-5z" fill="{color}"/><path d="M12.5 6.5l5 5"/>')


def calendar(x=3, y=4, w=18, h=17, fill=PAPER):
    return (f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="1.5" fill="{fill}"/>'
            f'<path d="M{x} {y+5}h{w}" /><path d="M{x+5} {y-2}v4M{x+w-5} {y-2}v4"/>')


ICONS = {
    # Files
    57600: page() + '<path d="M12 10v8M8 14h8" stroke="' + GREEN + '" stroke-width="2.4"/>',
    57601: folder() + arrow(12, 18, 12, 10, BLUE),
    57602: page() + '<path d="M9 11l6 6M15 11l-6 6" stroke="' + RED + '" stroke-width="2.2"/>',
    57603: disk(),
    57604: disk() + pencil(ORANGE).replace('M14.5 4.5', 'M17.5 9.5').replace(
        'l5 5L9 20H4v-5z', 'l3.5 3.5L13 21h-3.5v-3.5z').replace('M12.5 6.5l5 5', ''),
    57607: ('<path d="M7 9V3h10v6" fill="' + PAPER + '"/>'
            '<rect x="3" y="9" width="18" height="8" rx="1.5" fill="' + GREY + '"/>'
            '<path d="M7 14h10v7H7z" fill="' + PAPER + '"/><path d="M9 17h6"/>'),
    57609: page(3, 3, 13, 17) + magnifier(15, 15, 4.5),
    40023: page(5, 3, 14, 18) + arrow(6, 6, 10, 10, BLUE) + arrow(18, 20, 14, 16, BLUE),
    40114: folder() + arrow(20, 2, 13, 9, GREEN),
    40115: disk() + arrow(13, 15, 22, 6, GREEN).replace('stroke="' + GREEN + '"',
                                                        'stroke="' + GREEN + '" stroke-width="2.2"'),
    40117: page(7, 2, 13, 16, PAPER) + page(4, 6, 13, 16, PAPER) + '<path d="M7 14h7M7 17h7"/>',
    57665: ('<path d="M13 3H5v18h8" fill="' + PAPER + '"/>') + arrow(10, 12, 21, 12, RED),
    # Views, settings, information
    40024: ('<rect x="2" y="4" width="8" height="6" fill="' + BLUE + '"/>'
            '<rect x="14" y="14" width="8" height="6" fill="' + BLUE + '"/>'
            '<path d="M10 7h3v10h1"/>' + arrow(12, 17, 14, 17)),
    40098: ('<path d="M4 6h16M4 12h16M4 18h16"/>'
            '<circle cx="9" cy="6" r="2.2" fill="' + BLUE + '"/>'
            '<circle cx="16" cy="12" r="2.2" fill="' + BLUE + '"/>'
            '<circle cx="7" cy="18" r="2.2" fill="' + BLUE + '"/>'),
    40099: ('<rect x="3" y="4" width="18" height="16" fill="' + PAPER + '"/>'
            '<rect x="3" y="4" width="18" height="4.5" fill="' + BLUE + '"/>'
            '<path d="M3 12.5h18M3 16.5h18M10 4v16" stroke-width="1.3"/>'),
    40096: calendar() + ('<path d="M7 13h2M11 13h2M15 13h2M7 17h2M11 17h2" stroke="' + BLUE +
                         '" stroke-width="2.2"/>'),
    40097: calendar(2, 4, 12, 12) + ('<path d="M16 10h6M16 14h6M6 20h16" stroke="' + BLUE +
                                     '" stroke-width="2"/>'),
    40103: ('<circle cx="12" cy="12" r="9" fill="' + BLUE + '"/>'
            '<path d="M12 11v6" stroke="' + PAPER + '" stroke-width="2.4"/>'
            '<circle cx="12" cy="7.5" r="1.3" fill="' + PAPER + '" stroke="none"/>'),
    40102: ('<circle cx="12" cy="8" r="4" fill="' + PAPER + '"/>'
            '<path d="M4 21c0-4.5 3.5-7 8-7s8 2.5 8 7z" fill="' + BLUE + '"/>'),
    40087: ('<rect x="3" y="7" width="13" height="14" fill="' + PAPER + '"/>'
            '<path d="M6 12h7M6 16h7" stroke="' + GREY + '"/>' + arrow(12, 12, 21, 3, GREEN)),
    40088: ('<rect x="8" y="3" width="13" height="14" fill="' + PAPER + '"/>'
            '<path d="M11 8h7M11 12h7" stroke="' + GREY + '"/>' + arrow(13, 12, 3, 21, BLUE)),
    40112: ('<path d="M12 3v18M9 21h6"/>'
            '<path d="M12 5h8l2 2.5-2 2.5h-8z" fill="' + GREEN + '"/>'
            '<path d="M12 11H5l-2 2.5L5 16h7z" fill="' + YELLOW + '"/>'),
    57669: (pointer(2, 2) + '<circle cx="17" cy="16" r="6" fill="' + BLUE + '"/>'
            '<path d="M15.2 14.5a1.9 1.9 0 1 1 2.6 1.8c-.6.3-.8.6-.8 1.2" stroke="' + PAPER +
            '" stroke-width="1.6"/><circle cx="17" cy="19.4" r=".9" fill="' + PAPER +
            '" stroke="none"/>'),
    57670: ('<circle cx="12" cy="12" r="9" fill="' + BLUE + '"/>'
            '<path d="M9.2 9.5a2.9 2.9 0 1 1 4 2.7c-.9.4-1.2 1-1.2 1.9" stroke="' + PAPER +
            '" stroke-width="2"/><circle cx="12" cy="17.2" r="1.2" fill="' + PAPER +
            '" stroke="none"/>'),
    57664: ('<rect x="3" y="3" width="18" height="18" rx="3" fill="' + BLUE + '"/>'
            '<path d="M8.5 7v10M15.5 7l-7 5 7 5" stroke="' + PAPER + '" stroke-width="2.4"/>'),
    40053: ('<path d="M12 2v20M2 12h20" stroke="' + BLUE + '"/>'
            '<circle cx="12" cy="12" r="4" fill="none"/>'),
    # Processing
    40080: ('<path d="M3 3v18h18" />'
            '<rect x="5" y="5" width="8" height="3.5" fill="' + GREEN + '"/>'
            '<rect x="9" y="10.5" width="8" height="3.5" fill="' + GREEN + '"/>'
            '<rect x="13" y="16" width="7" height="3.5" fill="' + GREEN + '"/>'),
    40083: ('<path d="M5 21V3"/><path d="M5 4h13l-3 4 3 4H5z" fill="' + GREEN + '"/>'),
    40082: ('<path d="M4 5l7 7-7 7M12 5l7 7-7 7" stroke="' + GREEN + '" stroke-width="2.6"/>'),
    40081: ('<path d="M18 4H6l6 8-6 8h12" stroke="' + GREEN + '" stroke-width="2.6"/>'),
    40049: ('<rect x="8" y="3" width="13" height="5" fill="' + PAPER + '"/>'
            '<rect x="8" y="10" width="13" height="5" fill="' + GREEN + '"/>'
            '<rect x="8" y="17" width="13" height="5" fill="' + PAPER + '"/>'
            '<path d="M2 9.5l4 3-4 3z" fill="' + INK + '"/>'),
    40084: ('<rect x="4" y="2" width="16" height="20" rx="2" fill="' + PAPER + '"/>'
            '<rect x="7" y="5" width="10" height="4" fill="' + GREEN + '"/>'
            '<path d="M8 13h.5M12 13h.5M16 13h.5M8 17h.5M12 17h.5M16 17h.5" stroke-width="2.6"/>'),
    40085: ('<path d="M3 21h18"/>'
            '<rect x="5" y="12" width="3.5" height="9" fill="' + GREEN + '"/>'
            '<rect x="10.25" y="7" width="3.5" height="14" fill="' + GREEN + '"/>'
            '<rect x="15.5" y="3" width="3.5" height="18" fill="' + GREEN + '"/>'),
    40086: ('<path d="M3 5h10M3 10h8M3 15h6M3 20h4" stroke="' + GREY + '"/>'
            + pencil(GREEN).replace('M14.5 4.5', 'M17 7').replace('l5 5L9 20H4v-5z',
                                                                   'l4 4L12 20H8v-4z')
            .replace('M12.5 6.5l5 5', 'M15 9l4 4')),
    40089: ('<path d="M4 12a8 8 0 0 1 14-5" stroke="' + GREEN + '"/>' + arrow(18, 3, 18, 7)),
    # Drawing tools
    40000: grid() + pointer(10, 8),
    40001: (grid() + '<path d="M12 7v10M10 7h4M10 17h4" stroke="' + ORANGE +
            '" stroke-width="2.2"/>'),
    40002: ('<rect x="3" y="3" width="14" height="12" stroke-dasharray="2.5 2" />'
            + pointer(11, 8, ORANGE)),
    40003: ('<path d="M5 5h14M12 5v15M9 20h6" stroke="' + ORANGE + '" stroke-width="2.6"/>'),
    40004: ('<path d="M3 12h18" stroke="' + ORANGE + '" stroke-width="2.6"/>'
            '<circle cx="3.5" cy="12" r="1.5" fill="' + INK + '"/>'
            '<circle cx="20.5" cy="12" r="1.5" fill="' + INK + '"/>'),
    40005: ('<path d="M12 3v18" stroke="' + ORANGE + '" stroke-width="2.6"/>'
            '<circle cx="12" cy="3.5" r="1.5" fill="' + INK + '"/>'
            '<circle cx="12" cy="20.5" r="1.5" fill="' + INK + '"/>'),
    40006: ('<path d="M4 20L20 4" stroke="' + ORANGE + '" stroke-width="2.6"/>'
            '<circle cx="4.5" cy="19.5" r="1.5" fill="' + INK + '"/>'
            '<circle cx="19.5" cy="4.5" r="1.5" fill="' + INK + '"/>'),
    40007: '<rect x="3" y="5" width="18" height="14" fill="' + ORANGE + '"/>',
    40008: '<ellipse cx="12" cy="12" rx="9.5" ry="7" fill="' + ORANGE + '"/>',
    40009: ('<rect x="2" y="4" width="20" height="16" fill="' + PAPER + '"/>'
            '<path d="M2 18l6-7 5 5 3-3 6 6" fill="' + GREEN + '"/>'
            '<circle cx="16" cy="8.5" r="2" fill="' + YELLOW + '"/>'),
    40018: ('<path d="M3 5h18" stroke-width="1"/><path d="M3 10h18" stroke-width="2"/>'
            '<path d="M3 16h18" stroke="' + ORANGE + '" stroke-width="3.5"/>'),
    40019: (grid() + '<rect x="7" y="8" width="10" height="8" fill="' + ORANGE + '"/>'
            '<path d="M19 1v6M16 4h6" stroke="' + GREEN + '" stroke-width="2.2"/>'),
    40010: squares(True),
    40011: squares(False),
    40012: (grid() + '<rect x="8" y="8" width="8" height="8" fill="' + ORANGE + '"/>'
            + arrow(12, 23, 12, 17)),
    40013: ('<rect x="8" y="8" width="8" height="8" fill="' + ORANGE + '"/>' + grid().replace(
        'fill="' + PAPER + '"', 'fill="none"') + arrow(12, 1, 12, 7)),
    40014: align("left"),
    40015: align("right"),
    40016: align("top"),
    40017: align("bottom"),
    # Editing
    57643: ('<path d="M9 5L4 10l5 5"/><path d="M4 10h10a6 6 0 0 1 0 12h-4" stroke="' + BLUE +
            '" stroke-width="2.2"/>'),
    57635: ('<circle cx="6.5" cy="17.5" r="3" fill="' + PAPER + '"/>'
            '<circle cx="17.5" cy="17.5" r="3" fill="' + PAPER + '"/>'
            '<path d="M8.5 15.5L18 3M15.5 15.5L6 3" stroke="' + INK + '"/>'),
    57634: ('<rect x="3" y="3" width="12" height="14" fill="' + PAPER + '"/>'
            '<rect x="9" y="7" width="12" height="14" fill="' + BLUE + '"/>'),
    57637: ('<rect x="4" y="4" width="16" height="18" rx="1.5" fill="' + YELLOW + '"/>'
            '<rect x="8" y="2" width="8" height="4" rx="1" fill="' + PAPER + '"/>'
            '<rect x="8" y="10" width="10" height="10" fill="' + PAPER + '"/>'),
    57632: ('<path d="M4 16l8-10 8 7-6 8H8z" fill="' + PAPER + '"/>'
            '<path d="M8 11l7 6" /><path d="M12 21h9" stroke="' + RED + '"/>'),
    57636: magnifier(),
    40113: (magnifier() + '<path d="M7 10h6" stroke="' + RED + '" stroke-width="2.6"/>'),
    40021: pencil(),
    40022: ('<path d="M19 12a7 7 0 1 1-2.1-5" stroke="' + BLUE + '" stroke-width="2.2"/>'
            '<path d="M19 3v4.5h-4.5" stroke="' + BLUE + '" stroke-width="2.2"/>'),
    40025: (grid() + '<path d="M9 9l6 6M15 9l-6 6" stroke="' + RED + '" stroke-width="2.4"/>'),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    names = []
    for command, body in sorted(ICONS.items()):
        name = f"{command}.svg"
        with open(os.path.join(here, name), "w", encoding="utf-8") as out:
            out.write(svg(body))
        names.append(name)
    with open(os.path.join(here, "icons.qrc"), "w", encoding="utf-8") as qrc:
        qrc.write('<RCC>\n  <qresource prefix="/icons">\n')
        for name in names:
            qrc.write(f"    <file>{name}</file>\n")
        qrc.write("  </qresource>\n</RCC>\n")


if __name__ == "__main__":
    main()
