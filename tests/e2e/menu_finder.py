"""Where to click in a menu, read off screenshots rather than hard-coded:
titles in the menu bar are runs of text columns, items in an open menu are
bands of text rows, and the open menu is what changed on the screen."""

from collections import Counter

from xwindows import Rect

# Text against the theme's background differs by far more than this (summed
# over R, G, B); anti-aliasing fringes and flat shading do not.
INK = 150


def _background(picture):
    counts = Counter(picture.rgb[i:i + 3] for i in range(0, len(picture.rgb), 3))
    return counts.most_common(1)[0][0]


def _ink_mask(picture):
    bg = _background(picture)
    mask = []
    for y in range(picture.height):
        row = picture.row(y)
        mask.append([sum(abs(row[x * 3 + c] - bg[c]) for c in range(3)) > INK for x in range(picture.width)])
    # Borders and separators run across the whole picture; text never does.
    for y, row in enumerate(mask):
        if sum(row) > picture.width // 2:
            mask[y] = [False] * picture.width
    for x in range(picture.width):
        if sum(mask[y][x] for y in range(picture.height)) > picture.height * 3 // 4:
            for y in range(picture.height):
                mask[y][x] = False
    return mask


def _runs(flags, gap):
    """(start, end) of the runs of True, joining runs less than gap apart."""
    runs = []
    for i, flag in enumerate(flags):
        if not flag:
            continue
        if runs and i - runs[-1][1] <= gap:
            runs[-1][1] = i + 1
        else:
            runs.append([i, i + 1])
    return [tuple(r) for r in runs]


def bar_titles(bar):
    """(start, end) columns of each title in a menu bar picture, left to
    right. Letters of a word are a few pixels apart, titles much more."""
    mask = _ink_mask(bar)
    return _runs([any(mask[y][x] for y in range(bar.height)) for x in range(bar.width)], gap=5)


def changed_box(before, after, region):
    """The bounding box of the pixels that differ inside region (a Rect)."""
    xs, ys = [], []
    left, right = region.x * 3, (region.x + region.width) * 3
    for y in range(region.y, region.y + region.height):
        a, b = before.row(y)[left:right], after.row(y)[left:right]
        if a == b:
            continue
        columns = [x for x in range(region.width) if a[x * 3:x * 3 + 3] != b[x * 3:x * 3 + 3]]
        ys.append(y)
        xs += (region.x + columns[0], region.x + columns[-1])
    if not ys:
        return None
    return Rect(min(xs), ys[0], max(xs) - min(xs) + 1, ys[-1] - ys[0] + 1)


def item_rows(menu):
    """(start, end) rows of each item's text in an open menu, top to
    bottom."""
    mask = _ink_mask(menu)
    return _runs([any(row) for row in mask], gap=2)


def marked_row(menu, rows):
    """Which item carries the check mark: labels line up, and the mark
    sits before the label of the checked item only. None when no single
    row starts clearly left of the others."""
    mask = _ink_mask(menu)
    starts = []
    for top, bottom in rows:
        columns = [x for x in range(menu.width) if any(mask[y][x] for y in range(top, bottom))]
        starts.append(columns[0])
    leftmost = min(starts)
    marked = [i for i, start in enumerate(starts) if start == leftmost]
    if len(marked) != 1 or any(start - leftmost < 4 for i, start in enumerate(starts) if i != marked[0]):
        return None
    top, bottom = rows[marked[0]]
    return marked[0] if _ticked(mask, top, bottom, leftmost) else None


def _ticked(mask, top, bottom, left):
    """Whether the mark that starts at column left holds a tick: an empty
    check box (GTK unticks a check item on a click of its own) is only a
    frame, with nothing inside it."""
    columns = _runs([any(mask[y][x] for y in range(top, bottom)) for x in range(len(mask[0]))], gap=1)
    start, end = next(run for run in columns if run[0] == left)
    ys = [y for y in range(top, bottom) if any(mask[y][start:end])]
    inset = 3
    return any(mask[y][x] for y in range(ys[0] + inset, ys[-1] - inset + 1) for x in range(start + inset, end - inset))
