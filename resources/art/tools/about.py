#!/usr/bin/env python3
"""Draw about.svg, the picture of the About window.

A black, finely scaled dragon coiled upright (head at the upper right, one
clawed foot at the lower right) over a pale blue interlace on white.

The window shows this picture stretched to 254 x 366 pixels while the file is
317 x 287, so everything is drawn in the 254 x 366 frame in which it is seen
and the SVG is squeezed into the file's size (preserveAspectRatio="none").
The window clips about 8 px on the left and 4 px at the bottom, and its text
column covers the right edge, so the dragon keeps to x 12..230.

Only needed to redo about.svg; render.sh does not run it.  Plain python3.
usage: python3 tools/about.py > about.svg
"""
import math, sys

# "Dragon head" and "Bird claw" by Lorc, https://game-icons.net, CC BY 3.0
# (https://creativecommons.org/licenses/by/3.0/); outlines copied unchanged.
DRAGON_HEAD = "M200.947 18.686c-6.98.087-14.64.774-22.85 1.9c27.57 20.468 51.098 45.25 67.594 70.527c1.66 0 3.312.012 4.958.047c18.066.39 35.487 2.906 53.217 7.2c-15.695-28.457-29.935-50.19-47.45-63.22c-13.817-10.278-30.063-16.168-52.52-16.454q-1.45-.02-2.948 0zm-91.66 22.96q-1.094-.002-2.195.022c-14.045.31-29.36 3.92-46.86 11.13c56.18 18.807 106.985 50.468 133.907 83.585c18.377-5.13 29.44-14.72 36.454-28.817C195.84 78.18 168.118 56.19 140.65 46.96c-10.168-3.418-20.433-5.306-31.363-5.315zm-.203 52.786c-39.42 6.758-74.73 31.854-87.822 74.19v322.345h212.73C100.352 442.58 61.19 206.49 187.115 230.104c5.838-14.164 9.92-28.027 11.018-41.465l18.627 1.522c-1.684 20.592-8.828 40.49-18.033 59.943c-.732 2.035-1.472 4.12-2.186 6.063c32.842 85.24 113.77 160.69 169.495 168.197c.915.033 1.905-.002 2.953-.09c17.016 1.035 35.86-4.222 52.21-22.304l7.984-8.83l-10.473-5.658c-6.507-3.515-14.29-7.094-18.167-10.925c-1.938-1.916-2.793-3.47-3.074-5.194c-.282-1.725-.13-4.227 2.23-8.578l10.673-19.656l-21.484 6.222c-6.304 1.825-17.305-3.032-23.224-10.71c-2.96-3.84-4.408-7.907-4.387-10.843c.02-2.938.72-5.125 4.747-8.05l19.453-14.125l-23.884-2.72c-9.974-1.137-16.37-6.658-19.17-12.294c-2.802-5.634-2.312-10.084 1.375-13.31l12.204-10.677l-15.358-5.205c-6.717-2.276-10.296-7.555-10.357-10.633c-.028-1.373.238-2.666 1.843-4.476c10.93-2.39 21.258-.45 28.088 6.374c6.154 6.146 8.35 15.128 6.977 24.832c8.55-2.254 16.985-1.616 24.112 2.494c9.34 5.387 14.647 15.692 15.67 27.965c15.212-10.132 32.152-12.725 45.262-5.164c15.467 8.92 21.36 29.513 16.805 51.75c23.992-33.355 34.588-75.717 5.617-120.43c-46.726-4.442-81.693-30.676-93.293-67.64c-5.026-16.016-21.284-28.67-42-37.904l-.08.217c-29.74-10.823-55.575-17.35-82.604-18.733l.08.155c-2.294-.093-4.56-.16-6.762-.172c-9.537 22.874-28.662 39.9-57.436 46.054l-5.906 1.262l-3.576-4.864c-14.216-19.33-41.23-40.452-74.002-58.074zm156.215 65.26c27.927-.073 44.874 11.617 42.09 44.45c-35.844 3.39-51.933-16.683-63.074-42.632c7.507-1.155 14.538-1.8 20.983-1.817zm48.407 66.363c3.708.07 7.14.994 10.014 2.812a35 35 0 0 0-4.16 3.543c-5.246 5.24-8.087 12.122-7.956 18.742c.183 9.322 5.27 17.184 12.68 22.56c-3.14 8.103-2.452 17.455 1.407 25.22c3.813 7.668 10.54 14.273 19.302 18.398c-1.445 3.366-2.375 6.862-2.4 10.33c-.062 8.407 3.38 16.042 8.273 22.39c6.792 8.81 16.862 15.936 28.026 17.91c-.183 2.18-.204 4.333.133 6.407c1.05 6.444 4.515 11.66 8.38 15.48c3.41 3.37 7.19 5.892 10.798 7.993c-6.345 4.792-12.414 7.056-18.618 7.79c-6.515-7.937-9.71-19.084-9.41-31.454c-11.767 6.177-24.21 7.156-34.12 1.44c-14.668-8.46-19.393-29.036-13.187-50.33c-11.336 2.77-22.13.92-29.187-6.132c-8.875-8.865-9.535-23.626-3.094-37.95c-3.676-.615-6.963-2.166-9.525-4.725c-8.808-8.798-5.773-26.09 6.776-38.626c7.843-7.835 17.546-11.957 25.87-11.8z"
# the head's outer outline alone (its eye and mouth holes left out), to lay
# white behind them
HEAD_OUTLINE = "m 109.08,94.43 c -39.42,6.75 -74.73,31.85 -87.82,74.19 v 322.34 h 212.73,0 C 100.35,442.58 61.19,206.49 187.11,230.10 c 5.83,-14.16 9.92,-28.02 11.01,-41.46 l 18.62,1.52 c -1.68,20.59 -8.82,40.49 -18.03,59.94 c -0.73,2.03 -1.47,4.12 -2.18,6.06 c 32.84,85.24 113.77,160.69 169.49,168.19 c 0.91,0.03 1.90,-0.00 2.95,-0.09 c 17.01,1.03 35.86,-4.22 52.21,-22.30 l 7.98,-8.83 l -10.47,-5.65 c -6.50,-3.51 -14.29,-7.09 -18.16,-10.92 c -1.93,-1.91 -2.79,-3.47 -3.07,-5.19 c -0.28,-1.72 -0.13,-4.22 2.23,-8.57 l 10.67,-19.65 l -21.48,6.22 c -6.30,1.82 -17.30,-3.03 -23.22,-10.71 c -2.96,-3.84 -4.40,-7.90 -4.38,-10.84 c 0.02,-2.93 0.72,-5.12 4.74,-8.05 l 19.45,-14.12 l -23.88,-2.72 c -9.97,-1.13 -16.37,-6.65 -19.17,-12.29 c -2.80,-5.63 -2.31,-10.08 1.37,-13.31 l 12.20,-10.67 l -15.35,-5.20 c -6.71,-2.27 -10.29,-7.55 -10.35,-10.63 c -0.02,-1.37 0.23,-2.66 1.84,-4.47 c 10.93,-2.39 21.25,-0.45 28.08,6.37 c 6.15,6.14 8.35,15.12 6.97,24.83 c 8.55,-2.25 16.98,-1.61 24.11,2.49 c 9.34,5.38 14.64,15.69 15.67,27.96 c 15.21,-10.13 32.15,-12.72 45.26,-5.16 c 15.46,8.92 21.36,29.51 16.80,51.75 c 23.99,-33.35 34.58,-75.71 5.61,-120.43 c -46.72,-4.44 -81.69,-30.67 -93.29,-67.64 c -5.02,-16.01 -21.28,-28.67 -42,-37.90 l -0.08,0.21 c -29.74,-10.82 -55.57,-17.35 -82.60,-18.73 l 0.08,0.15 c -2.29,-0.09 -4.56,-0.16 -6.76,-0.17 c -9.53,22.87 -28.66,39.9 -57.43,46.05 l -5.90,1.26 l -3.57,-4.86 c -14.21,-19.33 -41.23,-40.45 -74.00,-58.07 z"
BIRD_CLAW = "M16.313 14.53v69.5c56.5 26.487 139.512 124.756 121.718 153.626c-19.937 9.72-41.66 17.936-66.28 26c-2.74.592-5.4 1.456-7.938 2.563c-.2.063-.393.122-.593.186l.06.063c-16.915 7.643-28.78 25.936-29.53 44.436a35 35 0 0 0-3.22 4.656c-12.052 20.84-19.215 46.52-11.31 70.313c7.903 23.793 31.383 43.1 73.28 50.344l30.438 5.28l-22.407-21.25c-20.598-19.52-23.79-44.37-15.655-63.563c18.564-2.293 33.263-17.314 38.72-34.906c.024-.082.036-.166.06-.25c8.305-21.175 21.293-40.217 41.876-46.686c22.197-6.978 89.432 19.79 122.907 75.75c3.1 9.693 9.968 18.606 21.594 25.03c6.867 3.795 13.592 5.702 19.97 6.126c8.03 7.63 16.105 17.703 22 28.75c8.26 15.478 12.246 32.53 8.22 48.22l-7.69 29.936L375.5 468c31.637-28.45 41.573-57.794 37.438-83.563c-3.873-24.125-18.826-44.065-34.813-59.562c-1.898-12.118-8.972-23.538-22.813-31.188c-8.148-4.503-16.148-6.32-23.656-6.062a40 40 0 0 0-3.22.25c-15.68.117-33.815-2.788-50.155-8.656c-22.188-15.804-20.717-30.904-2.405-40.72c27.434-2.626 54.565 6.108 76 17.22a54 54 0 0 0 6.47 4.186c22.067 12.198 42.575 5.148 55.31-9.344c7.79 1.084 15.55 4.598 23.126 10.188c11.023 8.13 21.213 20.634 28.75 34.78l10.314 19.376l6.812-20.875c13.164-40.43 7.03-70.206-10.312-88.31c-15.176-15.843-37.005-22.188-58.344-22.907c-1.065-.036-2.126-.026-3.188-.032a52 52 0 0 0-7.218-4.81c-8.15-4.505-16.15-6.32-23.656-6.064c-5.92.203-11.534 1.71-16.657 4.188v-.063c-31.524 15.287-62.228 22.54-93.155 28.032c-8.008-3.035-10.557-9.02-5.03-19.437c18.92-18.164 41.107-32.81 63.53-40.375c14.174-1.885 26.066-11.202 33.25-23.375c8.486-2.544 18.056-4.173 27.375-4.094c15.366.133 29.59 4.525 39.406 15.19l21.25 23.093l-5.156-30.938C437.927 83.1 420.128 60.11 397.812 51.22c-8.368-3.336-17.006-4.73-25.625-4.782c-12.06-.075-24.05 2.494-35.125 6.093c-4.27-1.392-8.473-2.1-12.53-2.186c-19.13-.41-35.312 12.694-42.876 29.437c-.007.023-.023.042-.03.064a53 53 0 0 0-2.595 7.094c-5.9 15.37-13 29.872-21.217 43.5c-34.96 31.232-68.095 19.003-93.688-15.5c-19.793-28.38-37.218-65.49-47.156-100.41H16.312zm355.562 50.72c6.738 0 13.2 1.02 19.03 3.344c11.852 4.722 22.592 14.762 29.783 35.687c-9.974-4.213-20.77-6.096-31.282-6.186c-13.213-.113-26.044 2.423-37.344 6.375c-7.2 2.276-11.68 4.717-13.687 5.78c-1.934 1.022-1.256 1.004-3.313-.97c-2.056-1.972-4.744-6.765-5.968-12.28s-1.122-11.635.344-16.094c1.465-4.458 3.59-7.103 7.812-8.656h.03v-.03c11.348-4.18 23.366-6.97 34.595-6.97m37.594 136.22c19.194-.013 38.09 5.407 49.374 17.186c9.58 10.002 15.108 25.212 11.03 49.344c-6.486-8.54-13.78-16.22-22-22.28c-13.878-10.24-30.478-16.22-47.687-13.595c-3.116.475-4.042-.14-5.78-2.375c-1.74-2.234-3.21-6.56-3.22-11.094c-.01-4.532 1.365-9.054 3.657-12.03c2.292-2.978 5.123-4.878 10.78-5.095c1.28-.048 2.565-.06 3.845-.06zM59.22 317.624c3.08.093 6.475 1.018 9.5 2.625c4.03 2.143 7.17 5.456 8.31 8c1.142 2.544 1.28 3.574-.624 6.063c-16 20.908-19.083 50.772-5.78 76.843c-20.013-7.685-29.596-18.962-33.657-31.187c-5.486-16.512-.514-37.32 9.75-55.064c2.824-4.885 5.83-6.467 9.56-7.094a15 15 0 0 1 2.94-.187zm294.56 14.28c2.927-.057 5.47.902 8.376 3.595c15.526 14.38 29.208 32.532 32.313 51.875c2.357 14.692-.622 30.766-14.658 48.875c-1.51-12.203-5.664-23.978-11.312-34.563c-9.762-18.294-23.688-33.48-37.156-43.062c-2.18-1.55-2.332-2.312-1.656-5.78c.675-3.47 3.433-8.554 7.468-12.626c4.035-4.074 9.182-7.07 13.53-7.94c1.09-.216 2.12-.354 3.095-.374"

W, H = 254.0, 366.0          # the frame the picture is seen in


def f(v):
    return ('%.2f' % v).rstrip('0').rstrip('.')


def pt(p):
    return f(p[0]) + ' ' + f(p[1])


# ---------------------------------------------------------------- interlace
def interlace(s, breaks, x0, y0, x1, y1, band, edge, fill, line):
    """Knotwork over a diagonal lattice of pitch s covering (x0,y0)-(x1,y1).

    Crossings sit at lattice points (i, j) with i + j odd.  breaks(i, j)
    returns None for a plain crossing, 'H' or 'V' for a break that turns the
    two strands back (above and below, or left and right).  Strands are cut
    into half-links around each crossing; the under halves and the turns are
    drawn first, the over halves last, each as a dark edge and a pale band.
    """
    I = int(math.ceil((x1 - x0) / s / 2)) * 2
    J = int(math.ceil((y1 - y0) / s / 2)) * 2
    dirs = {'NE': (1, -1), 'NW': (-1, -1), 'SE': (1, 1), 'SW': (-1, 1)}

    def P(i, j):
        return (x0 + i * s, y0 + j * s)

    def mid(i, j, d):
        x, y = P(i, j)
        return (x + dirs[d][0] * s / 2, y + dirs[d][1] * s / 2)

    def turn(i, j, a, b):
        A, B, N = mid(i, j, a), mid(i, j, b), P(i, j)
        c1 = ((A[0] + N[0]) / 2, (A[1] + N[1]) / 2)
        c2 = ((B[0] + N[0]) / 2, (B[1] + N[1]) / 2)
        return 'M%sC%s %s %s' % (pt(A), pt(c1), pt(c2), pt(B))

    under, over = [], []
    for j in range(J + 1):
        for i in range(I + 1):
            if (i + j) % 2 == 0:
                continue
            if i in (0, I):
                b = 'V'
            elif j in (0, J):
                b = 'H'
            else:
                b = breaks(i, j)
            if b == 'V':
                if i < I:
                    under.append(turn(i, j, 'NE', 'SE'))
                if i > 0:
                    under.append(turn(i, j, 'NW', 'SW'))
            elif b == 'H':
                if j > 0:
                    under.append(turn(i, j, 'NW', 'NE'))
                if j < J:
                    under.append(turn(i, j, 'SW', 'SE'))
            else:
                rising = 'M%sL%s' % (pt(mid(i, j, 'SW')), pt(mid(i, j, 'NE')))
                falling = 'M%sL%s' % (pt(mid(i, j, 'NW')), pt(mid(i, j, 'SE')))
                if i % 2 == 0:
                    over.append(rising)
                    under.append(falling)
                else:
                    over.append(falling)
                    under.append(rising)
    out = []
    for group in (under, over):
        d = ''.join(group)
        out.append('<path d="%s" fill="none" stroke="%s" stroke-width="%s"/>'
                   % (d, line, f(band + 2 * edge)))
        out.append('<path d="%s" fill="none" stroke="%s" stroke-width="%s" '
                   'stroke-linecap="round"/>' % (d, fill, f(band)))
    return '\n'.join(out)


def knot_breaks(i, j):
    if i % 4 == 0 and j % 8 in (1, 3):
        return 'V'
    if j % 4 == 0 and i % 8 in (3, 5):
        return 'H'
    return None


# ---------------------------------------------------------------- the body
def catmull(points, steps=24):
    """Points (x, y, width) -> dense list along a Catmull-Rom curve."""
    pts = [points[0]] + list(points) + [points[-1]]
    out = []
    for k in range(1, len(pts) - 2):
        p0, p1, p2, p3 = pts[k - 1], pts[k], pts[k + 1], pts[k + 2]
        for s in range(steps):
            t = s / steps
            t2, t3 = t * t, t * t * t
            out.append(tuple(0.5 * (2 * p1[c] + (-p0[c] + p2[c]) * t
                                    + (2 * p0[c] - 5 * p1[c] + 4 * p2[c] - p3[c]) * t2
                                    + (-p0[c] + 3 * p1[c] - 3 * p2[c] + p3[c]) * t3)
                             for c in range(3)))
    out.append(tuple(points[-1]))
    return out


class Spine:
    def __init__(self, points):
        self.p = catmull(points)
        self.s = [0.0]
        for a, b in zip(self.p, self.p[1:]):
            self.s.append(self.s[-1] + math.hypot(b[0] - a[0], b[1] - a[1]))
        self.length = self.s[-1]

    def at(self, s):
        """Point, unit tangent, unit normal and width at arc length s."""
        s = max(0.0, min(self.length, s))
        k = 0
        while k < len(self.s) - 2 and self.s[k + 1] < s:
            k += 1
        a, b = self.p[k], self.p[k + 1]
        span = self.s[k + 1] - self.s[k] or 1.0
        u = (s - self.s[k]) / span
        x = a[0] + (b[0] - a[0]) * u
        y = a[1] + (b[1] - a[1]) * u
        w = a[2] + (b[2] - a[2]) * u
        tx, ty = (b[0] - a[0]) / span, (b[1] - a[1]) / span
        return (x, y), (tx, ty), (-ty, tx), w


def add(p, v, k=1.0):
    return (p[0] + v[0] * k, p[1] + v[1] * k)


# ---------------------------------------------------------------- the dragon
HEAD_AT, HEAD_SCALE = (112.0, 0.0), 0.225      # head icon box, 512 units
FOOT_AT, FOOT_SCALE, FOOT_TURN = (172.0, 290.0), 0.13, 0.0

# spine from the back of the head (where the scales fade in) down to the
# tip of the tail: (x, y, thickness)
SPINE = [
    (127, 44, 18), (127.5, 62, 21), (129, 90, 26), (125, 118, 31),
    (107, 142, 34), (79, 160, 36), (51, 182, 36), (40, 210, 36),
    (54, 237, 36), (92, 250, 35), (140, 255, 34), (176, 265, 33),
    (190, 285, 31), (178, 305, 28), (146, 318, 24), (106, 324, 19),
    (70, 322, 14), (44, 311, 9.5), (33, 295, 6.5), (41, 282, 4.8),
    (56, 283, 3.8),
]
BELLY = -1          # the belly lies on this side of the spine's normal
BELLY_FROM = 0.32   # ... from this fraction of the half thickness outwards


def dragon():
    sp = Spine(SPINE)
    L = sp.length
    out = {}

    # outline of the body
    left, right = [], []
    s = 0.0
    while s <= L:
        p, t, n, w = sp.at(s)
        left.append(add(p, n, w / 2))
        right.append(add(p, n, -w / 2))
        s += 1.5
    p, t, n, w = sp.at(L)
    left.append(add(p, n, w / 2))
    right.append(add(p, n, -w / 2))
    body = 'M' + 'L'.join(pt(q) for q in left + right[::-1]) + 'Z'
    # spade at the tip of the tail: base, one barb, point, other barb
    def at(along, across):
        return pt(add(add(p, t, along), n, across))
    body += ('M%sQ%s %sQ%s %sQ%s %sQ%s %sZ'
             % (at(-2, 0), at(1, 4), at(-3, 7.5), at(6, 4), at(13, 0),
                at(6, -4), at(-3, -7.5), at(1, -4), at(-2, 0)))
    out['body'] = body

    # dorsal spines along the back edge
    spikes = []
    s = 8.0
    while s < L * 0.63:
        p0, t0, n0, w0 = sp.at(s)
        p1, t1, n1, w1 = sp.at(s + 0.28 * w0)
        p2, t2, n2, w2 = sp.at(s + 0.14 * w0 + 0.22 * w0)
        h = 0.30 * w0
        base0 = add(p0, n0, -BELLY * w0 / 2 * 0.9)
        base1 = add(p1, n1, -BELLY * w1 / 2 * 0.9)
        apex = add(add(p2, n2, -BELLY * (w2 / 2 + h)), t2, 0.12 * w0)
        spikes.append('M%sQ%s %sL%sZ' % (pt(base0), pt(add(add(p0, n0, -BELLY * (w0 / 2 + h * 0.7)), t0, 0.05 * w0)),
                                         pt(apex), pt(base1)))
        s += 0.42 * w0 + 3
    out['spikes'] = ''.join(spikes)

    # scales on the back and flanks, plates on the belly
    scales, plates = [], []
    s, row = 2.0, 0
    while s < L - 2:
        p, t, n, w = sp.at(s)
        half = w / 2
        step = 3.9 * min(1.0, 0.35 + w / 40)
        r = step * 0.56
        v = -1.15 + (0.5 if row % 2 else 0.0) * step / half
        while v < BELLY_FROM:
            c = add(p, n, BELLY * v * half)
            a = add(c, n, -r)
            b = add(c, n, r)
            k = r * 1.25
            scales.append('M%sC%s %s %s' % (pt(a), pt(add(a, t, k)), pt(add(b, t, k)), pt(b)))
            v += step / half
        a = add(p, n, BELLY * BELLY_FROM * half)
        b = add(p, n, BELLY * (half + 1))
        plates.append('M%sL%s' % (pt(a), pt(b)))
        s += step * 0.78
        row += 1
    out['scales'] = ''.join(scales)
    out['plates'] = ''.join(plates)
    # the belly band itself
    edge_in, edge_out = [], []
    s = 0.0
    while s <= L:
        p, t, n, w = sp.at(s)
        edge_in.append(add(p, n, BELLY * BELLY_FROM * w / 2))
        edge_out.append(add(p, n, BELLY * w / 2))
        s += 1.5
    out['belly'] = 'M' + 'L'.join(pt(q) for q in edge_in + edge_out[::-1]) + 'Z'
    out['bellyline'] = 'M' + 'L'.join(pt(q) for q in edge_in)
    # a soft sheen along the back, for roundness
    sheen = []
    s = 0.0
    while s <= L:
        p, t, n, w = sp.at(s)
        sheen.append(add(p, n, -BELLY * w / 2 * 0.45))
        s += 1.5
    out['sheen'] = 'M' + 'L'.join(pt(q) for q in sheen)
    return out


def main():
    d = dragon()
    hx, hy = HEAD_AT
    fx, fy = FOOT_AT
    head_tf = 'translate(%s %s) scale(%s)' % (f(hx), f(hy), f(HEAD_SCALE))
    foot_tf = 'translate(%s %s) rotate(%s) scale(%s)' % (f(fx), f(fy), f(FOOT_TURN), f(FOOT_SCALE))
    knot = interlace(11.0, knot_breaks, -10, -10, W + 10, H + 10,
                     band=4.9, edge=0.8, fill='#dbe8f8', line='#a6c1e7')
    svg = '''<svg xmlns="http://www.w3.org/2000/svg" width="317" height="287" viewBox="0 0 %(W)s %(H)s" preserveAspectRatio="none">
  <!-- Picture of the About window: a black, finely scaled dragon coiled upright
       over a pale blue interlace.  Drawn in the 254 x 366 frame it is shown in;
       generated by tools/about.py.
       Head and foot: "Dragon head" and "Bird claw" by Lorc, game-icons.net,
       CC BY 3.0 (see CREDITS.md).  Body, scales, eye and interlace drawn
       for Orvida. -->
  <defs>
    <path id="head" d="%(head)s"/>
    <path id="foot" d="%(foot)s"/>
    <path id="body" d="%(body)s"/>
    <path id="spikes" d="%(spikes)s"/>
    <filter id="soft" x="-10%%" y="-10%%" width="120%%" height="120%%"><feGaussianBlur stdDeviation="2.2"/></filter>
    <!-- the scales fade out where the neck runs into the head -->
    <linearGradient id="fade" x1="0" y1="46" x2="0" y2="66" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#fff" stop-opacity="0"/>
      <stop offset="1" stop-color="#fff" stop-opacity="1"/>
    </linearGradient>
    <mask id="fadeup" maskUnits="userSpaceOnUse" x="0" y="0" width="%(W)s" height="%(H)s">
      <rect width="%(W)s" height="%(H)s" fill="url(#fade)"/>
    </mask>
    <clipPath id="inbody"><use href="#body"/></clipPath>
    <!-- the head without the icon's own neck: the scaled neck takes over -->
    <clipPath id="headonly"><path d="M0 0H512V512H260L170 300H0Z"/></clipPath>
    <g id="silhouette">
      <use href="#spikes"/>
      <use href="#foot" transform="%(foot_tf)s"/>
      <use href="#body"/>
      <g transform="%(head_tf)s"><use href="#head" clip-path="url(#headonly)"/></g>
    </g>
  </defs>
  <rect x="-10" y="-10" width="%(W10)s" height="%(H10)s" fill="#ffffff"/>
  <g id="interlace">
%(knot)s
  </g>
  <!-- a white rim keeps the dragon clear of the interlace -->
  <use href="#silhouette" fill="#ffffff" stroke="#ffffff" stroke-width="5" stroke-linejoin="round"/>
  <!-- white behind the eye and the teeth -->
  <g transform="%(head_tf)s">
    <path d="%(headline)s" fill="#ffffff" clip-path="url(#headonly)"/>
    <!-- amber eye with a slit pupil, seen through the head's eye hole -->
    <ellipse cx="278" cy="183" rx="36" ry="24" fill="#f2b01e"/>
    <ellipse cx="286" cy="184" rx="5" ry="19" fill="#0a0a0b"/>
  </g>
  <use href="#silhouette" fill="#0a0a0b"/>
  <g clip-path="url(#inbody)" fill="none" mask="url(#fadeup)">
    <path d="%(belly)s" fill="#17181b"/>
    <path d="%(plates)s" stroke="#474a51" stroke-width="0.55"/>
    <path d="%(bellyline)s" stroke="#55585e" stroke-width="0.6"/>
    <path d="%(sheen)s" stroke="#8a93a3" stroke-width="7" opacity="0.16" filter="url(#soft)"/>
    <path d="%(scales)s" stroke="#4b4f57" stroke-width="0.5"/>
  </g>

</svg>
''' % dict(W=f(W), H=f(H), W10=f(W + 20), H10=f(H + 20), head=DRAGON_HEAD, headline=HEAD_OUTLINE, foot=BIRD_CLAW,
           body=d['body'], spikes=d['spikes'], belly=d['belly'], plates=d['plates'],
           bellyline=d['bellyline'], sheen=d['sheen'], scales=d['scales'], head_tf=head_tf, foot_tf=foot_tf,
           knot=knot)
    sys.stdout.write(svg)


if __name__ == '__main__':
    main()
