#!/usr/bin/python3
"""Generates the skins of Qor.exe: every image a skin folder holds, and the program icon.

    tools/make_skin.py                 writes resources/Skins/<name>/ for every skin, and
                                       resources/qor.ico
    tools/make_skin.py --preview DIR   also writes DIR/preview-<name>-basic.png and -advanced.png:
                                       the pages composed with every button, row, box, slider and
                                       check mark at its place, for a look without Windows

Needs Pillow (Debian: python3-pil). Shapes are drawn at four times their size and scaled down,
so edges are smooth. The rectangles below are the main window's fixed hit areas; every image is
drawn with its top-left corner at its area's top-left corner, and its size is the area's size.
"""
import argparse
import math
import pathlib

from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = pathlib.Path(__file__).resolve().parent.parent
SS = 4  # supersampling factor
FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

# --- layout of the main window (client coordinates: left, top, right, bottom) ----------------
MAIN_SIZE = (880, 660)
HEADER_H = 30
FOOTER_TOP = 600
TITLE = (120, 50, 352, 100)
PREV_PAGE = (20, 55, 60, 95)
NEXT_PAGE = (70, 55, 110, 95)
SKINS_BTN = (701, 5, 719, 23)
MIN_BTN = (825, 5, 843, 23)
CLOSE_BTN = (850, 5, 868, 23)
OK_BTN = (513, 609, 618, 630)
APPLY_BTN = (617, 609, 722, 630)
CANCEL_BTN = (721, 609, 826, 630)
WEB_LINK = (259, 628, 449, 646)

# Basic page
KEY_HEADING = (259, 160, 364, 181)
KEY_ROWS = [(252, 186 + 23 * i, 463, 207 + 23 * i) for i in range(7)]
MODE_A = (253, 518, 358, 539)
MODE_B = (357, 518, 462, 539)
KEY_DEFAULT = (307, 549, 412, 570)
DPI_HEADING = (504, 275, 609, 296)
DPI_COLUMNS = [554 + 27 * k for k in range(4)]
DPI_STEP = lambda x, s: (x, 500 - 18 * (s - 1), x + 16, 516 - 18 * (s - 1))  # noqa: E731
DPI_COLOUR_BOX = lambda x: (x, 523, x + 16, 539)  # noqa: E731
DPI_ONOFF = lambda x: (x, 541, x + 16, 557)  # noqa: E731
DPI_STAGE_NO = lambda x: (x, 562, x + 16, 587)  # noqa: E731
LIGHT_HEADING = (704, 275, 809, 296)
LIGHT_MODE_BOX = (766, 329, 851, 344)
LIGHT_PARAM_BOX = (766, 359, 851, 374)
LIGHT_EFFECT_BOX = (767, 390, 851, 404)

# Advanced page
CHECK_PRECISION = (51, 255, 67, 271)
CHECK_ONE_SCREEN = (51, 405, 67, 421)
SLIDER_ROWS_Y = (200, 350, 500)
SLIDER_STEP = lambda j, y: (52 + 24 * (j - 1), y, 76 + 24 * (j - 1), y + 11)  # noqa: E731
POINTER_DEFAULT = (194, 573, 299, 594)
RECORD_START = (735, 229, 764, 258)
RECORD_STOP = (735, 265, 764, 294)
MACRO_BUTTONS = [(513, 528, 618, 549), (617, 528, 722, 549), (721, 528, 826, 549)]
MOUSE_EVENT_BOX = (735, 402, 854, 416)
# Where the macro area's controls go (the skin's choice): name and loop boxes, the two lists.
# The boxes sit under their labels, the lists under two-line labels ("Key Press Sequence").
MACRO_NAME_WELL = (513, 192, 618, 210)
MACRO_LOOP_WELL = (622, 192, 722, 210)
MACRO_LIST_WELL = (513, 248, 618, 518)
MACRO_SEQ_WELL = (622, 248, 722, 518)

# Skinned dialogs: the common close, OK and Cancel areas, and each dialog's control wells.
DIALOG_SIZE = (384, 286)
DLG_CLOSE = (352, 6, 370, 24)
DLG_OK = (166, 253, 271, 274)
DLG_CANCEL = (270, 253, 375, 274)
PROFILES_LIST_WELL = (12, 38, 150, 236)
PROFILES_NAME_WELL = (158, 38, 261, 56)
PROFILES_PROGRAMS_WELL = (158, 80, 370, 118)
DIALOG_WELLS = {
    "/single-key.png": [(74, 129, 150, 143)],
    "/combo-key.png": [(50, 70, 132, 84), (50, 120, 131, 134), (50, 170, 131, 184)],
    "/fire-key.png": [(50, 70, 132, 84), (50, 120, 131, 134), (50, 170, 131, 184)],
    "/media-key.png": [(43, 129, 223, 143)],
    "/windows-key.png": [(43, 129, 223, 143)],
    "/macro-key.png": [(50, 70, 132, 84)],
    "/delay-time.png": [(120, 129, 264, 145)],
    "/skins.png": [(42, 94, 151, 110), (42, 128, 151, 144)],
    # Manage Profiles: the profiles, the name being edited, the chosen profile's programs.
    "/profiles.png": [PROFILES_LIST_WELL, PROFILES_NAME_WELL, PROFILES_PROGRAMS_WELL],
    # Save Current Settings As: one name.
    "/profile-name.png": [(60, 129, 324, 147)],
}
DIALOG_ICONS = {  # a glyph in each dialog's header, the same in every language
    "/single-key.png": "key", "/combo-key.png": "combo", "/fire-key.png": "fire",
    "/media-key.png": "media", "/windows-key.png": "windows", "/macro-key.png": "macro",
    "/delay-time.png": "clock", "/skins.png": "palette", "/profiles.png": "profiles",
    "/profile-name.png": "profiles",
}

# --- the skins -----------------------------------------------------------------------------
SKINS = {
    # A deep graphite with a cool teal glow.
    "Obsidian": dict(
        bg_top=(15, 19, 26), bg_bottom=(9, 11, 16), header=(7, 9, 13),
        panel_top=(24, 31, 41), panel_bottom=(17, 22, 30), border=(42, 54, 70),
        well=(8, 10, 14), accent=(0, 224, 190), accent2=(0, 150, 255),
        accent_dark=(0, 104, 110), control=(32, 41, 54), control2=(23, 30, 40),
        dim=(48, 58, 72), text_hint=(120, 140, 160),
    ),
    # The same build in warm carbon with an ember glow.
    "Ember": dict(
        bg_top=(24, 17, 15), bg_bottom=(12, 9, 8), header=(9, 7, 6),
        panel_top=(38, 28, 24), panel_bottom=(26, 19, 17), border=(72, 50, 40),
        well=(12, 9, 8), accent=(255, 122, 24), accent2=(255, 48, 72),
        accent_dark=(130, 52, 10), control=(52, 38, 32), control2=(38, 28, 24),
        dim=(72, 56, 48), text_hint=(170, 140, 120),
    ),
}


# --- drawing helpers -------------------------------------------------------------------------
def rgba(c, a=255):
    return (c[0], c[1], c[2], a)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def big(w, h, fill=(0, 0, 0, 0)):
    return Image.new("RGBA", (w * SS, h * SS), fill)


def small(img):
    return img.resize((img.width // SS, img.height // SS), Image.LANCZOS)


def sbox(box, inset=0.0):
    """A pixel box (left, top, right, bottom; right and bottom outside) at supersampled scale."""
    l, t, r, b = box
    return [(l + inset) * SS, (t + inset) * SS, (r - inset) * SS - 1, (b - inset) * SS - 1]


def vgradient(w, h, top, bottom, alpha_top=255, alpha_bottom=255):
    img = Image.new("RGBA", (w, h))
    px = img.load()
    for y in range(h):
        t = y / max(1, h - 1)
        c = mix(top, bottom, t)
        a = int(alpha_top + (alpha_bottom - alpha_top) * t)
        for x in range(w):
            px[x, y] = (c[0], c[1], c[2], a)
    return img


def hgradient(w, h, left, right):
    img = Image.new("RGBA", (w, h))
    d = ImageDraw.Draw(img)
    for x in range(w):
        c = mix(left, right, x / max(1, w - 1))
        d.line([(x, 0), (x, h)], fill=rgba(c))
    return img


def fill_shape(img, box, radius, fill_img, inset=0.0):
    """Pastes `fill_img` (sized to the supersampled box) through a rounded-rectangle mask."""
    mask = Image.new("L", img.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(sbox(box, inset), radius * SS, fill=255)
    l, t = int((box[0] + inset) * SS), int((box[1] + inset) * SS)
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    layer.paste(fill_img, (l, t))
    img.paste(Image.alpha_composite(img, layer), (0, 0), mask)


def gradient_shape(img, box, radius, top, bottom, inset=0.0):
    w = int((box[2] - box[0] - 2 * inset) * SS) + 1
    h = int((box[3] - box[1] - 2 * inset) * SS) + 1
    fill_shape(img, box, radius, vgradient(w, h, top, bottom), inset)


def outline(img, box, radius, colour, width=1.0, inset=0.0):
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(sbox(box, inset), radius * SS, outline=colour, width=max(1, int(width * SS)))


def glow(img, box, radius, colour, blur=6, strength=140):
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    ImageDraw.Draw(layer).rounded_rectangle(sbox(box), radius * SS, fill=rgba(colour, strength))
    layer = layer.filter(ImageFilter.GaussianBlur(blur * SS))
    img.alpha_composite(layer)


def font(size, bold=True):
    return ImageFont.truetype(FONT_BOLD if bold else FONT, size * SS)


def text(img, xy, s, size, colour, bold=True, anchor="la", spacing=0):
    d = ImageDraw.Draw(img)
    f = font(size, bold)
    if not spacing:
        d.text((xy[0] * SS, xy[1] * SS), s, font=f, fill=colour, anchor=anchor)
        return
    x = xy[0] * SS
    if anchor[0] == "m":  # centre the spaced word as a whole
        total = sum(d.textlength(ch, font=f) for ch in s) + spacing * SS * (len(s) - 1)
        x -= total / 2
        anchor = "l" + anchor[1]
    for ch in s:
        d.text((x, xy[1] * SS), ch, font=f, fill=colour, anchor=anchor)
        x += d.textlength(ch, font=f) + spacing * SS


def poly(img, points, colour):
    ImageDraw.Draw(img).polygon([(x * SS, y * SS) for x, y in points], fill=colour)


def line(img, points, colour, width=1.0):
    ImageDraw.Draw(img).line([(x * SS, y * SS) for x, y in points], fill=colour,
                             width=max(1, int(width * SS)), joint="curve")


def ellipse(img, box, fill=None, outline_colour=None, width=1.0):
    ImageDraw.Draw(img).ellipse(sbox(box), fill=fill, outline=outline_colour,
                                width=max(1, int(width * SS)))


# --- the window ------------------------------------------------------------------------------
def base_window(t, size=MAIN_SIZE, header_h=HEADER_H, footer_top=FOOTER_TOP, logo=True):
    w, h = size
    img = big(w, h)
    img.paste(vgradient(w * SS, h * SS, t["bg_top"], t["bg_bottom"]), (0, 0))
    # faint carbon weave
    weave = Image.new("RGBA", img.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(weave)
    step = 6 * SS
    for x in range(-h * SS, w * SS, step):
        d.line([(x, 0), (x + h * SS, h * SS)], fill=(255, 255, 255, 6), width=SS)
    img.alpha_composite(weave)
    # accent glows in two corners
    g = Image.new("RGBA", img.size, (0, 0, 0, 0))
    gd = ImageDraw.Draw(g)
    gd.ellipse([-w * SS // 4, -h * SS // 3, w * SS // 2, h * SS // 2], fill=rgba(t["accent"], 26))
    gd.ellipse([w * SS * 3 // 4, h * SS * 2 // 3, w * SS * 5 // 4, h * SS * 3 // 2],
               fill=rgba(t["accent2"], 22))
    img.alpha_composite(g.filter(ImageFilter.GaussianBlur(60 * SS)))
    # header bar with its accent rule
    hd = Image.new("RGBA", (w * SS, header_h * SS), rgba(t["header"], 235))
    img.alpha_composite(hd, (0, 0))
    img.alpha_composite(hgradient(w * SS, SS, t["accent"], t["accent2"]), (0, header_h * SS))
    fade = vgradient(w * SS, 10 * SS, (0, 0, 0), (0, 0, 0), 90, 0)
    img.alpha_composite(fade, (0, (header_h + 1) * SS))
    # outer frame
    outline(img, (0, 0, w, h), 0, rgba(t["border"]), 1)
    if logo:
        draw_logo(img, t, 12, 5)
    if footer_top:
        ft = Image.new("RGBA", (w * SS, (h - footer_top) * SS), rgba(t["header"], 170))
        img.alpha_composite(ft, (0, footer_top * SS))
        line(img, [(0, footer_top), (w, footer_top)], rgba(t["border"]), 1)
        line(img, [(24, footer_top), (220, footer_top)], rgba(t["accent"], 160), 1)
    return img


def draw_logo(img, t, x, y):
    # a sharp chevron mark and the name
    poly(img, [(x, y + 18), (x + 9, y + 2), (x + 14, y + 2), (x + 6, y + 18)], rgba(t["accent"]))
    poly(img, [(x + 9, y + 18), (x + 18, y + 2), (x + 23, y + 2), (x + 15, y + 18)],
         rgba(t["accent2"]))
    text(img, (x + 30, y + 1), "QOR", 16, rgba((240, 246, 250)), spacing=2)
    text(img, (x + 84, y + 6), "GAMING MOUSE", 9, rgba(t["text_hint"]), bold=False, spacing=1)


def title_plate(img, t):
    # The page title is written in black: it sits on a bright, slanted accent ribbon.
    l, top, r, b = TITLE
    plate = [(l - 4, top + 6), (r + 14, top + 6), (r + 2, b - 6), (l - 4, b - 6)]
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    ImageDraw.Draw(layer).polygon([(x * SS, y * SS) for x, y in plate], fill=(255, 255, 255, 255))
    grad = hgradient(img.width, img.height, t["accent"], mix(t["accent"], t["accent2"], 0.65))
    mask = layer.split()[3]
    shadow = layer.filter(ImageFilter.GaussianBlur(8 * SS))
    img.alpha_composite(Image.merge("RGBA", (*[shadow.split()[0].point(lambda v: 0)] * 3,
                                             shadow.split()[3].point(lambda v: v // 3))))
    img.paste(grad, (0, 0), mask)
    # a thin dark cut line near the right end, for the sporty look
    line(img, [(r - 16, b - 6), (r - 4, top + 6)], rgba(t["bg_bottom"], 160), 2)


def panel(img, t, box, heading=None):
    glow(img, box, 10, (0, 0, 0), blur=8, strength=150)
    gradient_shape(img, box, 9, t["panel_top"], t["panel_bottom"])
    outline(img, box, 9, rgba(t["border"]), 1)
    # a short accent rule along the top edge
    line(img, [(box[0] + 14, box[1]), (box[0] + 64, box[1])], rgba(t["accent"], 220), 1.5)
    if heading:
        gradient_shape(img, heading, 5, mix(t["accent_dark"], t["panel_top"], 0.35),
                       mix(t["accent_dark"], t["panel_bottom"], 0.6))
        outline(img, heading, 5, rgba(t["accent"], 120), 1)


def well(img, t, box, radius=3, colour=None):
    gradient_shape(img, (box[0] - 1, box[1] - 1, box[2] + 1, box[3] + 1), radius,
                   mix(t["border"], (0, 0, 0), 0.4), t["border"])
    c = colour if colour is not None else t["well"]
    gradient_shape(img, box, radius, c, c)


def mouse_art(img, t, cx, top, bottom, numbered=True):
    """A top view of the mouse, its buttons numbered as the key rows."""
    h = bottom - top
    w = h * 0.56
    l, r = cx - w / 2, cx + w / 2
    body = (l, top, r, bottom)
    glow(img, body, w / 2, t["accent"], blur=14, strength=40)
    gradient_shape(img, body, w / 2, mix(t["panel_top"], (60, 70, 84), 0.35), t["well"])
    outline(img, body, w / 2, rgba(t["border"]), 1.2)
    split_y = top + h * 0.42
    line(img, [(cx, top + 4), (cx, split_y)], rgba(t["border"]), 1.2)
    line(img, [(l + 4, split_y), (r - 4, split_y)], rgba(t["border"]), 1.0)
    wheel = (cx - 4, top + h * 0.12, cx + 4, top + h * 0.30)
    gradient_shape(img, wheel, 4, t["accent"], t["accent_dark"])
    # side buttons and the DPI buttons
    side = [(l - 1, top + h * 0.46, l + 5, top + h * 0.56), (l - 1, top + h * 0.59, l + 5, top + h * 0.69)]
    for s in side:
        gradient_shape(img, s, 2, t["control"], t["control2"])
        outline(img, s, 2, rgba(t["accent"], 150), 0.8)
    for i, yy in enumerate((top + h * 0.33, top + h * 0.38)):
        ellipse(img, (cx - 3, yy, cx + 3, yy + 4), fill=rgba(t["accent2"] if i else t["accent"], 220))
    # lighting strip
    line(img, [(cx - w * 0.28, bottom - h * 0.12), (cx + w * 0.28, bottom - h * 0.12)],
         rgba(t["accent"], 200), 2)
    if not numbered:
        return
    # numbered callouts
    labels = [("1", (l + w * 0.22, top + h * 0.2)), ("2", (r - w * 0.22, top + h * 0.2)),
              ("3", (cx, top + h * 0.05)), ("4", (l - 14, top + h * 0.51)),
              ("5", (l - 14, top + h * 0.64)), ("6", (cx + 12, top + h * 0.32)),
              ("7", (cx + 12, top + h * 0.39))]
    for s, (x, y) in labels:
        text(img, (x, y), s, 8, rgba(t["text_hint"]), anchor="mm")


def hero(img, t):
    """The left of the Basic page: the mouse itself, large, with the name under it."""
    glow(img, (40, 170, 216, 430), 80, t["accent"], blur=30, strength=36)
    mouse_art(img, t, 128, 150, 432, numbered=False)
    text(img, (128, 470), "QOR", 30, rgba((236, 242, 248)), anchor="mm", spacing=6)
    line(img, [(78, 492), (178, 492)], rgba(t["accent"], 200), 1.5)
    text(img, (128, 506), "PRECISION  SPEED  CONTROL", 7, rgba(t["text_hint"]), bold=False,
         anchor="mm")


def rgb_ring(img, t, cx, cy, r):
    """A ring of colours: the lighting of the mouse, as decoration."""
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    colours = [t["accent"], t["accent2"], (255, 60, 120), (255, 200, 40), t["accent"]]
    for i in range(360):
        a = math.radians(i)
        seg = (i / 360) * (len(colours) - 1)
        c = mix(colours[int(seg)], colours[min(int(seg) + 1, len(colours) - 1)], seg - int(seg))
        x, y = cx + r * math.cos(a), cy + r * math.sin(a)
        d.ellipse([(x - 3) * SS, (y - 3) * SS, (x + 3) * SS, (y + 3) * SS], fill=rgba(c))
    img.alpha_composite(layer.filter(ImageFilter.GaussianBlur(5 * SS)))
    img.alpha_composite(layer)
    ellipse(img, (cx - r + 8, cy - r + 8, cx + r - 8, cy + r - 8), fill=rgba(t["panel_bottom"]))
    outline(img, (cx - r + 8, cy - r + 8, cx + r - 8, cy + r - 8), r, rgba(t["border"]), 1)
    poly(img, [(cx - 12, cy + 9), (cx - 4, cy - 9), (cx + 1, cy - 9), (cx - 7, cy + 9)],
         rgba(t["accent"]))
    poly(img, [(cx - 2, cy + 9), (cx + 6, cy - 9), (cx + 11, cy - 9), (cx + 3, cy + 9)],
         rgba(t["accent2"]))


def cursor_art(img, t, x, y):
    """A large pointer arrow beside the pointer sliders."""
    pts = [(x, y), (x, y + 92), (x + 24, y + 70), (x + 40, y + 104), (x + 54, y + 97),
           (x + 38, y + 64), (x + 70, y + 62)]
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    ImageDraw.Draw(layer).polygon([(a * SS, b * SS) for a, b in pts], fill=rgba(t["accent"], 90))
    img.alpha_composite(layer.filter(ImageFilter.GaussianBlur(10 * SS)))
    poly(img, pts, rgba(t["panel_top"]))
    line(img, pts + [pts[0]], rgba(t["accent"], 220), 1.5)


def arrow(img, cx, cy, size, colour, direction):
    s = size
    if direction == "left":
        pts = [(cx + s * 0.35, cy - s * 0.6), (cx - s * 0.45, cy), (cx + s * 0.35, cy + s * 0.6)]
    elif direction == "right":
        pts = [(cx - s * 0.35, cy - s * 0.6), (cx + s * 0.45, cy), (cx - s * 0.35, cy + s * 0.6)]
    else:  # down chevron
        pts = [(cx - s * 0.6, cy - s * 0.3), (cx, cy + s * 0.35), (cx + s * 0.6, cy - s * 0.3)]
    line(img, pts, colour, max(1.2, size / 5))


# --- the parts -------------------------------------------------------------------------------
def text_button(t, over):
    w, h = 105, 21
    img = big(w, h)
    box = (0, 0, w, h)
    if over:
        gradient_shape(img, box, 4, mix(t["accent"], t["accent_dark"], 0.35), t["accent_dark"])
        outline(img, box, 4, rgba(t["accent"]), 1)
        line(img, [(6, 1.5), (w - 6, 1.5)], rgba((255, 255, 255), 70), 1)
    else:
        gradient_shape(img, box, 4, t["control"], t["control2"])
        outline(img, box, 4, rgba(t["border"]), 1)
        line(img, [(6, 1.5), (w - 6, 1.5)], rgba((255, 255, 255), 22), 1)
    return small(img)


def icon_button(t, kind, over):
    w, h = 18, 18
    img = big(w, h)
    box = (0, 0, w, h)
    if over:
        fill = (200, 40, 50) if kind == "close" else t["accent_dark"]
        gradient_shape(img, box, 4, mix(fill, (255, 255, 255), 0.15), fill)
        outline(img, box, 4, rgba(mix(fill, (255, 255, 255), 0.4)), 1)
    else:
        gradient_shape(img, box, 4, t["control"], t["control2"])
        outline(img, box, 4, rgba(t["border"]), 1)
    ink = rgba((250, 250, 250)) if over else rgba((200, 212, 222))
    if kind == "close":
        line(img, [(5.5, 5.5), (12.5, 12.5)], ink, 1.6)
        line(img, [(12.5, 5.5), (5.5, 12.5)], ink, 1.6)
    elif kind == "min":
        line(img, [(5, 12), (13, 12)], ink, 1.8)
    else:  # skins: a palette
        ellipse(img, (3.5, 3.5, 14.5, 14.5), outline_colour=ink, width=1.3)
        for (x, y), c in zip(((7, 6.5), (10.5, 7), (6.5, 10)),
                             (t["accent"], t["accent2"], (255, 200, 60))):
            ellipse(img, (x - 1.3, y - 1.3, x + 1.3, y + 1.3), fill=rgba(c))
    return small(img)


def page_button(t, direction, over):
    w, h = 40, 40
    img = big(w, h)
    box = (1, 1, w - 1, h - 1)
    if over:
        glow(img, box, 20, t["accent"], blur=2, strength=120)
        gradient_shape(img, box, 19, mix(t["accent"], t["accent_dark"], 0.2), t["accent_dark"])
        outline(img, box, 19, rgba(t["accent"]), 1.2)
        ink = rgba((10, 14, 18))
    else:
        gradient_shape(img, box, 19, t["control"], t["control2"])
        outline(img, box, 19, rgba(t["border"]), 1.2)
        outline(img, box, 19, rgba(t["accent"], 90), 1, inset=3)
        ink = rgba(t["accent"])
    arrow(img, 20 + (-1 if direction == "right" else 1) * 0, 20, 12, ink, direction)
    return small(img)


def dropdown_row(t, over):
    w, h = 211, 21
    img = big(w, h)
    box = (0, 0, w, h)
    if over:
        gradient_shape(img, box, 4, mix(t["control"], t["accent_dark"], 0.55),
                       mix(t["control2"], t["accent_dark"], 0.45))
        outline(img, box, 4, rgba(t["accent"]), 1)
    else:
        gradient_shape(img, box, 4, t["control"], t["control2"])
        outline(img, box, 4, rgba(t["border"]), 1)
    # the number cell: the left 20 pixels
    gradient_shape(img, (1, 1, 20, h - 1), 3, mix(t["accent_dark"], t["control"], 0.3 if over else 0.6),
                   mix(t["accent_dark"], t["control2"], 0.5 if over else 0.75))
    line(img, [(20.5, 3), (20.5, h - 3)], rgba(t["accent"], 200 if over else 90), 1)
    arrow(img, w - 11, h / 2, 6, rgba(t["accent"] if over else t["text_hint"]), "down")
    return small(img)


def small_dropdown(t):
    """The lighting Mode and Parameter boxes: black inside, like the texts drawn on them."""
    w, h = 85, 15
    img = big(w, h)
    box = (0, 0, w, h)
    gradient_shape(img, box, 3, (0, 0, 0), (0, 0, 0))
    outline(img, box, 3, rgba(t["border"]), 1)
    gradient_shape(img, (w - 15, 1, w - 1, h - 1), 2, t["control"], t["control2"])
    arrow(img, w - 8, h / 2, 5, rgba(t["accent"]), "down")
    return small(img)


def check_box(t, ticked):
    w = h = 16
    img = big(w, h)
    box = (0, 0, w, h)
    if ticked:
        glow(img, box, 4, t["accent"], blur=1.5, strength=110)
        gradient_shape(img, box, 3.5, t["accent"], mix(t["accent"], t["accent2"], 0.5))
        line(img, [(3.8, 8.3), (6.8, 11.3), (12.3, 4.8)], rgba((8, 12, 16)), 2.0)
    else:
        gradient_shape(img, box, 3.5, t["well"], t["control2"])
        outline(img, box, 3.5, rgba(t["dim"]), 1.2)
    return small(img)


def dpi_step(t, lit):
    w = h = 16
    img = big(w, h)
    seg = (1, 2.5, w - 1, h - 2.5)
    if lit:
        glow(img, seg, 2, t["accent"], blur=1.2, strength=120)
        gradient_shape(img, seg, 2, mix(t["accent"], (255, 255, 255), 0.25), t["accent"])
    else:
        gradient_shape(img, seg, 2, t["dim"], mix(t["dim"], (0, 0, 0), 0.3))
    return small(img)


def pointer_step(t, lit):
    w, h = 24, 11
    img = big(w, h)
    seg = (1.5, 1.5, w - 1.5, h - 1.5)
    if lit:
        glow(img, seg, 2, t["accent"], blur=1.0, strength=110)
        gradient_shape(img, seg, 2, mix(t["accent"], (255, 255, 255), 0.2), t["accent"])
    else:
        gradient_shape(img, seg, 2, t["dim"], mix(t["dim"], (0, 0, 0), 0.3))
    return small(img)


def main_background(t):
    img = base_window(t)
    # the web link sits centred in the footer on a faint pill
    gradient_shape(img, (WEB_LINK[0] + 10, WEB_LINK[1] + 1, WEB_LINK[2] - 10, WEB_LINK[3] - 1), 8,
                   mix(t["header"], t["panel_top"], 0.6), mix(t["header"], t["panel_top"], 0.6))
    return small(img).convert("RGB")


def page_frame(t, page):
    img = base_window(t)
    title_plate(img, t)
    # a decorative sweep behind the page buttons
    gradient_shape(img, (14, 50, 116, 100), 25, mix(t["header"], t["panel_top"], 0.5), t["header"])
    outline(img, (14, 50, 116, 100), 25, rgba(t["border"]), 1)
    # page dots
    for i in range(2):
        c = t["accent"] if i + 1 == page else t["dim"]
        ellipse(img, (368 + 12 * i, 72, 374 + 12 * i, 78), fill=rgba(c))
    gradient_shape(img, (WEB_LINK[0] + 10, WEB_LINK[1] + 1, WEB_LINK[2] - 10, WEB_LINK[3] - 1), 8,
                   mix(t["header"], t["panel_top"], 0.6), mix(t["header"], t["panel_top"], 0.6))
    return img


def basic_page(t):
    img = page_frame(t, 1)
    # Key Setting: seven rows, a mouse, the two key sets and Default
    hero(img, t)
    panel(img, t, (244, 152, 476, 595), KEY_HEADING)
    mouse_art(img, t, 360, 356, 508)
    # DPI Setting: four stage columns with grooves
    panel(img, t, (489, 267, 672, 595), DPI_HEADING)
    for x in DPI_COLUMNS:
        well(img, t, (x - 2, 300, x + 18, 518), 3)
        well(img, t, (x - 1, DPI_COLOUR_BOX(x)[1] - 1, x + 17, DPI_COLOUR_BOX(x)[3] + 1), 2,
             colour=(0, 0, 0))
    line(img, [(548, 306), (548, 512)], rgba(t["border"]), 1)
    # DPI Effect: Mode, Parameter and Effect
    panel(img, t, (689, 267, 866, 595), LIGHT_HEADING)
    rgb_ring(img, t, 777, 515, 46)
    l, tp, r, b = LIGHT_EFFECT_BOX
    eff = (l - 1, tp - 1, r, b + 1)  # the Effect box has no image of its own: framed here
    gradient_shape(img, eff, 3, (0, 0, 0), (0, 0, 0))
    outline(img, eff, 3, rgba(t["border"]), 1)
    # a little lighting swatch strip under the boxes
    strip = hgradient(int(150 * SS), int(4 * SS), t["accent"], t["accent2"])
    img.alpha_composite(strip, (int(703 * SS), int(430 * SS)))
    return small(img).convert("RGB")


def advanced_page(t):
    img = page_frame(t, 2)
    # Windows pointer: three sliders and two check boxes
    # no heading plate: the program has no caption for this panel
    panel(img, t, (32, 136, 472, 596))
    cursor_art(img, t, 372, 214)
    for y in SLIDER_ROWS_Y:
        well(img, t, (50, y - 3, 318, y + 14), 4)
        for j in range(1, 12):  # tick marks under the slider
            x = 52 + 24 * (j - 1) + 12
            line(img, [(x, y + 18), (x, y + 21)], rgba(t["dim"]), 1)
    for box in (CHECK_PRECISION, CHECK_ONE_SCREEN):
        line(img, [(box[2] + 8, box[3] + 6), (420, box[3] + 6)], rgba(t["border"], 120), 1)
    # Macro Setting: name and loop boxes, the two lists, the record option column
    panel(img, t, (489, 136, 868, 560), (504, 144, 609, 163))
    for box in (MACRO_NAME_WELL, MACRO_LOOP_WELL):
        well(img, t, box, 3, colour=(0, 0, 0))
    well(img, t, MACRO_LIST_WELL, 4, colour=(2, 4, 5))
    well(img, t, MACRO_SEQ_WELL, 4, colour=(2, 4, 5))
    gradient_shape(img, (728, 190, 862, 430), 6, mix(t["panel_top"], t["header"], 0.4),
                   mix(t["panel_bottom"], t["header"], 0.5))
    outline(img, (728, 190, 862, 430), 6, rgba(t["border"]), 1)
    for box, kind in ((RECORD_START, "start"), (RECORD_STOP, "stop")):
        cx, cy = (box[0] + box[2]) / 2, (box[1] + box[3]) / 2
        glow(img, box, 14, (230, 40, 50) if kind == "start" else t["accent"], blur=3, strength=70)
        gradient_shape(img, box, 14.5, t["control"], t["control2"])
        outline(img, box, 14.5, rgba(t["border"]), 1.2)
        if kind == "start":
            ellipse(img, (cx - 6, cy - 6, cx + 6, cy + 6), fill=rgba((235, 45, 55)))
        else:
            gradient_shape(img, (cx - 5, cy - 5, cx + 5, cy + 5), 1.5, (225, 232, 238), (190, 198, 205))
    l, tp, r, b = MOUSE_EVENT_BOX
    well(img, t, (l, tp - 1, r, b + 1), 3, colour=(0, 0, 0))
    arrow(img, r - 8, (tp + b) / 2, 5, rgba(t["accent"]), "down")
    return small(img).convert("RGB")


def dialog_background(t, name):
    w, h = DIALOG_SIZE
    img = base_window(t, DIALOG_SIZE, header_h=30, footer_top=244, logo=False)
    draw_logo_small(img, t, 10, 7)
    dialog_glyph(img, t, DIALOG_ICONS[name], 40, 15)
    for box in DIALOG_WELLS[name]:
        well(img, t, box, 2, colour=(40, 40, 40))
    if name == "/skins.png":
        # the colour row and the skin row get a small swatch and folder mark beside them
        for i, c in enumerate((t["accent"], t["accent2"], (255, 200, 60))):
            ellipse(img, (160 + 12 * i, 98, 168 + 12 * i, 106), fill=rgba(c))
        poly(img, [(160, 131), (166, 131), (168, 133), (176, 133), (176, 142), (160, 142)],
             rgba(t["text_hint"]))
    return small(img).convert("RGB")


def draw_logo_small(img, t, x, y):
    poly(img, [(x, y + 14), (x + 7, y + 1), (x + 11, y + 1), (x + 4, y + 14)], rgba(t["accent"]))
    poly(img, [(x + 7, y + 14), (x + 14, y + 1), (x + 18, y + 1), (x + 11, y + 14)], rgba(t["accent2"]))


def dialog_glyph(img, t, kind, cx, cy):
    ink = rgba(t["accent"])
    if kind == "key":
        outline(img, (cx - 7, cy - 7, cx + 7, cy + 7), 3, ink, 1.3)
    elif kind == "combo":
        outline(img, (cx - 9, cy - 5, cx - 1, cy + 5), 2, ink, 1.2)
        outline(img, (cx + 1, cy - 5, cx + 9, cy + 5), 2, ink, 1.2)
    elif kind == "fire":
        poly(img, [(cx, cy - 8), (cx + 6, cy + 2), (cx + 2, cy + 8), (cx - 3, cy + 8), (cx - 6, cy + 1)], ink)
    elif kind == "media":
        poly(img, [(cx - 5, cy - 7), (cx + 7, cy), (cx - 5, cy + 7)], ink)
    elif kind == "windows":
        for dx in (-7, 1):
            for dy in (-7, 1):
                gradient_shape(img, (cx + dx, cy + dy, cx + dx + 6, cy + dy + 6), 1, t["accent"], t["accent"])
    elif kind == "macro":
        for i in range(3):
            line(img, [(cx - 8, cy - 5 + 5 * i), (cx + 8 - 4 * i, cy - 5 + 5 * i)], ink, 1.5)
    elif kind == "clock":
        ellipse(img, (cx - 7, cy - 7, cx + 7, cy + 7), outline_colour=ink, width=1.3)
        line(img, [(cx, cy - 4), (cx, cy), (cx + 3, cy + 2)], ink, 1.3)
    elif kind == "profiles":  # three stacked cards
        for i in range(3):
            outline(img, (cx - 8 + 2 * i, cy - 7 + 4 * i, cx + 4 + 2 * i, cy - 1 + 4 * i), 1.5, ink, 1.2)
    else:  # palette
        ellipse(img, (cx - 7, cy - 7, cx + 7, cy + 7), outline_colour=ink, width=1.3)
        ellipse(img, (cx - 3, cy - 4, cx, cy - 1), fill=rgba(t["accent2"]))


def program_icon():
    """The tray and window icon: the chevron mark on a dark rounded tile."""
    t = SKINS["Obsidian"]
    sizes = [16, 20, 24, 32, 48, 64, 256]
    base = 256
    img = Image.new("RGBA", (base * SS // 2, base * SS // 2), (0, 0, 0, 0))
    s = base * SS // 2 / 256
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([8 * s, 8 * s, 248 * s, 248 * s], 52 * s, fill=rgba(t["header"]),
                        outline=rgba(t["accent"]), width=int(10 * s))
    d.polygon([(52 * s, 200 * s), (118 * s, 56 * s), (150 * s, 56 * s), (86 * s, 200 * s)],
              fill=rgba(t["accent"]))
    d.polygon([(112 * s, 200 * s), (178 * s, 56 * s), (210 * s, 56 * s), (146 * s, 200 * s)],
              fill=rgba(t["accent2"]))
    icon = img.resize((base, base), Image.LANCZOS)
    return icon, [(n, n) for n in sizes]


IMAGES = {
    "/main.png": main_background,
    "/BasicSet2.png": basic_page,
    "/AdvancedSet2.png": advanced_page,
    "/button-normal.png": lambda t: text_button(t, False),
    "/button-over.png": lambda t: text_button(t, True),
    "/button-close-normal.png": lambda t: icon_button(t, "close", False),
    "/button-close-over.png": lambda t: icon_button(t, "close", True),
    "/button-min-normal.png": lambda t: icon_button(t, "min", False),
    "/button-min-over.png": lambda t: icon_button(t, "min", True),
    "/button-Skins-normal.png": lambda t: icon_button(t, "skins", False),
    "/button-Skins-over.png": lambda t: icon_button(t, "skins", True),
    "/button-PrePage-normal.png": lambda t: page_button(t, "left", False),
    "/button-PrePage-over.png": lambda t: page_button(t, "left", True),
    "/button-NextPage-normal.png": lambda t: page_button(t, "right", False),
    "/button-NextPage-over.png": lambda t: page_button(t, "right", True),
    "/DropdownBox-normal.png": lambda t: dropdown_row(t, False),
    "/DropdownBox-over.png": lambda t: dropdown_row(t, True),
    "/dropdownbox.png": small_dropdown,
    "/Pane.png": lambda t: check_box(t, False),
    "/PaneMakingTick.png": lambda t: check_box(t, True),
    "/slider-DPI-light.png": lambda t: dpi_step(t, True),
    "/slider-DPI-dark.png": lambda t: dpi_step(t, False),
    "/slider-light.png": lambda t: pointer_step(t, True),
    "/slider-dark.png": lambda t: pointer_step(t, False),
}
for _name in DIALOG_WELLS:
    IMAGES[_name] = (lambda n: lambda t: dialog_background(t, n))(_name)


# --- preview: the pages as the program will draw them -----------------------------------------
def preview(folder, out, name):
    def im(n):
        return Image.open(folder / n.lstrip("/")).convert("RGBA")

    def put(canvas, n, box):
        canvas.alpha_composite(im(n), (int(box[0]), int(box[1])))

    def label(canvas, box, s, colour, align="c", size=11, bold=False):
        d = ImageDraw.Draw(canvas)
        f = ImageFont.truetype(FONT_BOLD if bold else FONT, size)
        l, tp, r, b = box
        tw = d.textlength(s, font=f)
        x = {"c": (l + r - tw) / 2, "l": l, "r": r - tw}[align]
        d.text((x, (tp + b) / 2), s, font=f, fill=colour, anchor="lm")

    fg = (214, 228, 240)
    for page in ("basic", "advanced"):
        c = im("/main.png")
        put(c, "/BasicSet2.png" if page == "basic" else "/AdvancedSet2.png", (0, 0))
        for n, b in (("/button-PrePage-normal.png", PREV_PAGE), ("/button-NextPage-over.png", NEXT_PAGE),
                     ("/button-Skins-normal.png", SKINS_BTN), ("/button-min-normal.png", MIN_BTN),
                     ("/button-close-over.png", CLOSE_BTN), ("/button-normal.png", OK_BTN),
                     ("/button-over.png", APPLY_BTN), ("/button-normal.png", CANCEL_BTN)):
            put(c, n, b)
        label(c, TITLE, "Basic Settings" if page == "basic" else "Advanced Settings", (0, 0, 0), "l",
              18, True)
        for s, b in (("OK", OK_BTN), ("Apply", APPLY_BTN), ("Cancel", CANCEL_BTN),
                     ("https://qor-mouse.example/", WEB_LINK)):
            label(c, b, s, fg)
        if page == "basic":
            label(c, KEY_HEADING, "Key Setting", fg)
            texts = ["Left Click", "Right Click", "Mid Click", "Forward", "Backward", "DPI +", "DPI -"]
            for i, (b, s) in enumerate(zip(KEY_ROWS, texts)):
                put(c, "/DropdownBox-over.png" if i == 2 else "/DropdownBox-normal.png", b)
                label(c, (b[0], b[1], b[0] + 20, b[3]), str(i + 1), fg)
                label(c, (b[0] + 24, b[1], b[2], b[3]), s, fg, "l")
            put(c, "/button-over.png", MODE_A)
            put(c, "/button-normal.png", MODE_B)
            put(c, "/button-normal.png", KEY_DEFAULT)
            for s, b in (("Mode A", MODE_A), ("Mode B", MODE_B), ("Default", KEY_DEFAULT)):
                label(c, b, s, fg)
            label(c, DPI_HEADING, "DPI Setting", fg)
            levels = [1, 3, 5, 7]
            on = [1, 1, 1, 0]
            values = ["250", "500", "750", "1000", "1250", "1500", "1750", "2000", "2500", "3000",
                      "3500", "4000"]
            for s in range(1, 13):
                b = DPI_STEP(554, s)
                label(c, (514, b[1], 544, b[3]), values[s - 1], fg, "r", 9)
            colours = [(255, 48, 64), (48, 230, 120), (40, 140, 255), (255, 190, 0)]
            for k, x in enumerate(DPI_COLUMNS):
                for s in range(1, 13):
                    lit = on[k] and s <= levels[k] + 1
                    put(c, "/slider-DPI-light.png" if lit else "/slider-DPI-dark.png", DPI_STEP(x, s))
                ImageDraw.Draw(c).rectangle([x, 523, x + 15, 538], fill=colours[k])
                put(c, "/PaneMakingTick.png" if on[k] else "/Pane.png", DPI_ONOFF(x))
                label(c, DPI_STAGE_NO(x), str(k + 1), fg)
            label(c, (494, 523, 544, 539), "Color", fg, "r", 10)
            label(c, (494, 541, 544, 557), "Select", fg, "r", 10)
            label(c, LIGHT_HEADING, "DPI Effect", fg)
            put(c, "/dropdownbox.png", LIGHT_MODE_BOX)
            put(c, "/dropdownbox.png", LIGHT_PARAM_BOX)
            for s, b in (("Mode", (696, 329, 756, 344)), ("Parameter", (696, 359, 756, 374)),
                         ("Effect", (697, 390, 757, 404))):
                label(c, b, s, fg, "r", 10)
            for s, b in (("Standard", (767, 330, 835, 344)), ("85%", (767, 360, 835, 374)),
                         ("RGB Effect", (767, 390, 835, 404))):
                label(c, b, s, fg, "c", 10)
        else:
            for (y, s, p) in ((200, "Mouse Speed", 6), (350, "Scrolling Speed", 3),
                              (500, "Double-Click Speed", 6)):
                label(c, (52, y - 22, 316, y - 6), s, fg, "l")
                for j in range(1, 12):
                    put(c, "/slider-light.png" if j <= p else "/slider-dark.png", SLIDER_STEP(j, y))
            put(c, "/PaneMakingTick.png", CHECK_PRECISION)
            put(c, "/Pane.png", CHECK_ONE_SCREEN)
            label(c, (74, 255, 400, 271), "Enhance Pointer Precision", fg, "l")
            label(c, (74, 405, 400, 421), "Scroll One Screen", fg, "l")
            put(c, "/button-normal.png", POINTER_DEFAULT)
            label(c, POINTER_DEFAULT, "Default", fg)
            label(c, (504, 160, 609, 181), "Macro Setting", fg)
            for b, s in zip(MACRO_BUTTONS, ("New", "Delete", "Confirm")):
                put(c, "/button-normal.png", b)
                label(c, b, s, fg)
            label(c, MACRO_NAME_WELL, "Macro 1", fg)
            label(c, MACRO_LOOP_WELL, "1", fg)
            for i, s in enumerate(("Macro 1", "Macro 2")):
                label(c, (MACRO_LIST_WELL[0] + 4, 252 + 16 * i, 618, 266 + 16 * i), s, fg, "l", 10)
            for i, s in enumerate(("A   Dn", "50 ms", "A   Up", "50 ms")):
                label(c, (MACRO_SEQ_WELL[0] + 4, 252 + 16 * i, 722, 266 + 16 * i), s, fg, "l", 10)
            label(c, (735, 196, 860, 212), "Record Option", fg, "c", 10)
            label(c, (768, 229, 860, 258), "Start", fg, "l", 10)
            label(c, (768, 265, 860, 294), "Stop", fg, "l", 10)
            label(c, (735, 384, 860, 400), "Insert A Mouse Event", fg, "c", 9)
            label(c, (737, 402, 845, 416), "L-Button Click", fg, "c", 9)
        c.convert("RGB").save(out / f"preview-{name}-{page}.png")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=str(ROOT / "resources"))
    parser.add_argument("--preview", metavar="DIR")
    args = parser.parse_args()
    out = pathlib.Path(args.out)
    for name, theme in SKINS.items():
        folder = out / "Skins" / name
        folder.mkdir(parents=True, exist_ok=True)
        for image, make in IMAGES.items():
            make(theme).save(folder / image.lstrip("/"), optimize=True)
        if args.preview:
            p = pathlib.Path(args.preview)
            p.mkdir(parents=True, exist_ok=True)
            preview(folder, p, name)
    icon, sizes = program_icon()
    icon.save(out / "qor.ico", sizes=sizes)
    print(f"{len(SKINS)} skins of {len(IMAGES)} images and qor.ico written under {out}")


if __name__ == "__main__":
    main()
