#!/usr/bin/python3
# The keyboard-only pass of a running Pendrel, with a screen reader's event listener, and the
# measure of its focus rings on the screenshots. Started by tools/keyboard-pass.sh inside a
# throw-away X session; the three commands can also be run by hand:
#
#   keyboard_pass.py drive OUT [SECTION,...]   Tab to each sidebar section (all by default; an
#       entry "url:pendrel://…" is opened by a second launch instead), press Return, Tab round
#       the whole window and Shift+Tab back, then press Return on one control of the page and
#       Space on another, Tab round any sheet that opens and close it with Escape. After every
#       key it checks that something has the focus and is on screen, and saves a screenshot.
#       Writes OUT/pass.log, OUT/events.txt (what the listener heard) and OUT/stops.json.
#   keyboard_pass.py ring FOCUSED.png UNFOCUSED.png X Y W H
#       The ring of the control at X,Y,W,H: the pixels that differ between a screenshot with it
#       focused and one without, and the WCAG contrast of the ring against what lies just outside
#       it and just inside it.
#   keyboard_pass.py summary OUT...   Per page: stops, focus faults, and every ring measured.
#
# Needs /usr/bin/python3 with pyatspi, xdotool and ImageMagick; the app runs with
# QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 on the session's accessibility bus.
import collections
import json
import os
import re
import subprocess
import sys
import threading
import time

SCREEN = (1440, 900)


# --- the ring ---------------------------------------------------------------------------------

def crop(png, x, y, w, h):
    raw = subprocess.run(['convert', png, '-crop', f'{w}x{h}+{x}+{y}', '+repage', '-depth', '8',
                          'ppm:-'], capture_output=True, check=True).stdout
    parts = raw.split(maxsplit=4)  # P6, width, height, maxval, pixels
    width, height, data = int(parts[1]), int(parts[2]), parts[4]
    return width, height, [tuple(data[i:i + 3]) for i in range(0, width * height * 3, 3)]


def luminance(c):
    def channel(v):
        v /= 255
        return v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4
    r, g, b = (channel(v) for v in c)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = luminance(a), luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)


def differs(a, b, tolerance=24):
    return max(abs(a[0] - b[0]), abs(a[1] - b[1]), abs(a[2] - b[2])) > tolerance


def hexcolour(c):
    return '#%02x%02x%02x' % c


def measure(focused, unfocused, x, y, w, h, margin=6):
    """The ring on scan lines that cross it from outside towards the control's centre (three
    across, three down, from each side). Each line gives the colour just outside the ring, the
    ring's outer and inner colour, and the colour just inside it."""
    x0, y0 = max(0, x - margin), max(0, y - margin)
    width, height, a = crop(focused, x0, y0, w + 2 * margin, h + 2 * margin)
    _, _, b = crop(unfocused, x0, y0, w + 2 * margin, h + 2 * margin)

    def at(img, i, j):
        return img[j * width + i]

    def diff(i, j):
        return differs(at(a, i, j), at(b, i, j))

    # The lines run across what changed, a little wider: a ring may go round one part of the
    # control only (a switch's track, a segment, a splitter's handle).
    changed = [(i, j) for j in range(height) for i in range(width) if diff(i, j)]
    if not changed:
        return {'found': False}
    left = max(0, min(i for i, _ in changed) - 3)
    right = min(width - 1, max(i for i, _ in changed) + 3)
    top = max(0, min(j for _, j in changed) - 3)
    bottom = min(height - 1, max(j for _, j in changed) + 3)
    lines = []
    for f in (0.5, 0.33, 0.67):
        cy, cx = top + int((bottom - top) * f), left + int((right - left) * f)
        lines.append([(i, cy) for i in range(left, right + 1)])
        lines.append([(i, cy) for i in range(right, left - 1, -1)])
        lines.append([(cx, j) for j in range(top, bottom + 1)])
        lines.append([(cx, j) for j in range(bottom, top - 1, -1)])
    found = []
    for line in lines:
        k = next((n for n, p in enumerate(line) if diff(*p)), None)
        if not k:
            continue
        outside = at(a, *line[k - 1])
        end = k
        while end < len(line) and diff(*line[end]) and end - k < 8:
            end += 1
        if end >= len(line):
            continue
        band = [at(a, *p) for p in line[k:end]]
        if end - k >= 8 or diff(*line[end]):
            # what is inside changes with the focus too (a filled current row): the ring ends
            # where its colour gives way to another
            e = next((n for n in range(1, len(band)) if differs(band[n], band[n - 1], 40) and
                      (n >= 2 or differs(band[n], band[0], 40))), None)
            if e is None:
                continue
            inside, band = band[e], band[:e]
        else:
            inside = at(a, *line[end])
        # The ring is stroked with antialiased edges: its colour is its solid core, the pixel of
        # the outer half furthest from the outside and the pixel of the inner half furthest from
        # the inside (one core for a ring of one colour, each band of a two-toned one).
        half = (len(band) + 1) // 2
        outer = max(band[:half], key=lambda c: contrast(c, outside))
        inner = max(band[len(band) - half:], key=lambda c: contrast(c, inside))
        found.append({'outside': outside, 'outer': outer, 'inner': inner, 'inside': inside,
                      'width': len(band), 'out': contrast(outer, outside),
                      'in': contrast(inner, inside)})
    if len(found) < 4:
        return {'found': False}
    # A line through a glyph or a neighbour that moved can stray; the median of the lines is the
    # ring's figure, the minimum is kept to be looked at.
    outs = sorted(r['out'] for r in found)
    ins = sorted(r['in'] for r in found)
    worst = min(found, key=lambda r: min(r['out'], r['in']))
    return {'found': True, 'lines': len(found), 'out': outs[len(outs) // 2],
            'in': ins[len(ins) // 2], 'min_out': outs[0], 'min_in': ins[0],
            'worst': {k: hexcolour(v) if isinstance(v, tuple) else round(v, 2)
                      for k, v in worst.items()}}


# --- the pass ---------------------------------------------------------------------------------

# Controls the pass never presses: what deletes, moves or ends something, and the text size
# (which would change every screenshot after it).
UNSAFE = re.compile(r'quit|delete|trash|remove|empty|uninstall|kill|force|erase|clear|reset|'
                    r'shred|move|smaller text|bigger text', re.I)
PRESSABLE = ('push button', 'toggle button', 'check box', 'radio button', 'page tab', 'list item',
             'menu item', 'combo box')


def drive(out, sections):
    import pyatspi
    from gi.repository import GLib
    os.makedirs(out, exist_ok=True)
    heard = open(f'{out}/events.txt', 'w')
    log = open(f'{out}/pass.log', 'w')
    state = {'focus': None, 'lost': False, 'n': 0, 't': 0.0}
    stops = []

    def describe(o):
        try:
            st = o.getState()
            e = o.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            return {'role': o.getRoleName(), 'name': o.name or '',
                    'focused': st.contains(pyatspi.STATE_FOCUSED),
                    'showing': st.contains(pyatspi.STATE_SHOWING),
                    'ext': [e.x, e.y, e.width, e.height]}
        except Exception as ex:  # the object went away
            return {'role': '?', 'name': '', 'err': str(ex), 'focused': False, 'showing': False,
                    'ext': [0, 0, 0, 0]}

    def listener(e):
        try:
            app = e.host_application.name if e.host_application else ''
        except Exception:
            app = ''
        if 'endrel' not in (app or ''):
            return
        d = describe(e.source)
        heard.write(f"{time.time():.2f} {e.type} {e.detail1} {d['role']} '{d['name']}' "
                    f"{d['ext']}\n")
        heard.flush()
        if e.type.startswith('object:state-changed:focused'):
            if e.detail1 == 1:
                state.update(focus=e.source, lost=False, n=state['n'] + 1, t=time.time())
            elif state['focus'] is not None and e.source == state['focus']:
                state['lost'] = True

    pyatspi.Registry.registerEventListener(
        listener, 'object:state-changed:focused', 'object:state-changed:checked',
        'object:state-changed:selected', 'window:activate')

    def focus_now():
        # AT-SPI is asked from the main loop only; the worker waits for the answer
        done, res = threading.Event(), {}

        def ask():
            o = state['focus']
            res['d'] = describe(o) if o is not None else None
            res['lost'] = state['lost']
            done.set()
            return False
        GLib.idle_add(ask)
        done.wait(5)
        return res.get('d'), res.get('lost')

    def say(line):
        log.write(line + '\n')
        log.flush()

    def key(k, page, phase, shot=True):
        before = state['n']
        subprocess.run(['xdotool', 'key', '--clearmodifiers', k])
        # the next key waits for the app to answer this one: a Tab for the focus to move (up to
        # 4 s under load), any other key for a moment; then for the events to stop and the paint
        if k in ('Tab', 'shift+Tab'):
            t0 = time.time()
            while state['n'] == before and time.time() - t0 < 4:
                time.sleep(0.05)
        else:
            time.sleep(0.8)
        while time.time() - state['t'] < 0.3:
            time.sleep(0.05)
        time.sleep(0.3)
        d, lost = focus_now()
        png = f'{out}/s{len(stops) + 1:04d}.png' if shot else ''
        if png:
            subprocess.run(['import', '-window', 'root', png])
        ok = bool(d) and d['focused'] and d['showing'] and d['ext'][2] > 0 and \
            d['ext'][0] + d['ext'][2] > 0 and d['ext'][1] + d['ext'][3] > 0 and \
            d['ext'][0] < SCREEN[0] and d['ext'][1] < SCREEN[1]
        rec = {'i': len(stops) + 1, 'key': k, 'page': page, 'phase': phase, 'png': png, 'ok': ok,
               'lost': lost, **(d or {})}
        stops.append(rec)
        say(f"{rec['i']:4d} {page:22s} {phase:8s} {k:10s} {'OK ' if ok else 'BAD'} "
            f"{rec.get('role')!s:14s} '{rec.get('name')}' {rec.get('ext')} lost={lost}")
        return rec

    def same(a, b):
        return bool(a and b) and (a.get('role'), a.get('name')) == (b.get('role'), b.get('name'))

    def discover():
        # The sidebar's rows: the page tabs of one Tab cycle in the column of the first one
        # (the first keys may come before the listener hears anything)
        for _ in range(10):
            first, cycle = key('Tab', 'start', 'discover', shot=False), []
            if first.get('ok'):
                break
        for _ in range(150):
            r = key('Tab', 'start', 'discover', shot=False)
            if same(r, first):
                break
            cycle.append(r)
        tabs = [r for r in cycle if r.get('role') == 'page tab']
        column = collections.Counter((r['ext'][0], r['ext'][2]) for r in tabs).most_common(1)
        sidebar = [r['name'] for r in tabs if column and (r['ext'][0], r['ext'][2]) == column[0][0]]
        say(f'# sidebar: {sidebar}')
        return sidebar

    sidebar = []

    def open_section(name):
        if name.startswith('url:'):
            subprocess.run([os.environ['PENDREL'], name[4:]])
            time.sleep(4)
            return key('Tab', name, 'open')
        for _ in range(150):
            r = key('Tab', name, 'seek', shot=False)
            if r.get('role') == 'page tab' and r.get('name') == name:
                r = key('Return', name, 'open')
                time.sleep(1.2)
                return r
        say(f'could not reach {name}')
        return None

    def page(name):
        start = open_section(name)
        if not start:
            return
        forward = []
        for _ in range(150):
            r = key('Tab', name, 'tab')
            # the sidebar's rows are measured once, on the first page
            if r.get('name') in sidebar and r.get('role') == 'page tab' and name != sections[0]:
                os.remove(r['png'])
                r['png'] = ''
            forward.append(r)
            if same(r, start):
                break
        else:
            say(f'TRAP? Tab never came back to {name}')
        back = []
        for _ in range(150):
            r = key('shift+Tab', name, 'backtab', shot=False)
            back.append(r)
            if same(r, start):
                break
        else:
            say(f'TRAP? Shift+Tab never came back to {name}')
        there = [(x.get('role'), x.get('name')) for x in forward[:-1]]
        back_again = [(x.get('role'), x.get('name')) for x in back[:-1]][::-1]
        say(f'# {name}: Tab cycle {len(forward)} stops, Shift+Tab cycle {len(back)}; '
            f'reverse order matches: {there == back_again}')
        pressable = [x for x in forward[:-1] if x.get('role') in PRESSABLE and
                     not (x.get('role') == 'page tab' and x.get('name') in sidebar) and
                     not UNSAFE.search(x.get('name', ''))]
        picks = [('Return', pressable[0])] if pressable else []
        toggles = [x for x in pressable[1:] if x.get('role') in ('check box', 'toggle button',
                                                                 'radio button')]
        if toggles or pressable[1:]:
            picks.append(('space', (toggles or pressable[1:])[0]))
        known = set(there)
        for k, target in picks:
            for _ in range(150):
                if same(key('Tab', name, 'seek', shot=False), target):
                    break
            else:
                say(f"could not reach {target.get('name')!r} again")
                continue
            key(k, name, 'press')
            time.sleep(1.0)
            after = key('ctrl', name, 'after')
            if (after.get('role'), after.get('name')) not in known:
                # a sheet, popover or dialog took the focus: Tab round it
                sheet = []
                for _ in range(25):
                    r = key('Tab', name, 'sheet')
                    sheet.append(r)
                    if same(r, after):
                        break
                say(f'# {name}: sheet Tab cycle {len(sheet)}: '
                    f'{[(x.get("role"), x.get("name")) for x in sheet]}')
            key('Escape', name, 'escape')
            time.sleep(0.6)
            closed = key('ctrl', name, 'escape')
            say(f"# {name}: {k} on {target.get('role')} {target.get('name')!r} -> focus "
                f"{after.get('role')} {after.get('name')!r}; after Escape "
                f"{closed.get('role')} {closed.get('name')!r}, "
                f"back on the control: {same(closed, target)}")

    def worker():
        nonlocal sections, sidebar
        try:
            time.sleep(1)
            sidebar = discover()
            sections = sections or sidebar
            for s in sections:
                try:
                    page(s)
                except Exception as ex:
                    say(f'ERROR {s}: {ex}')
        finally:
            json.dump(stops, open(f'{out}/stops.json', 'w'), indent=0)
            GLib.idle_add(pyatspi.Registry.stop)

    threading.Thread(target=worker, daemon=True).start()
    pyatspi.Registry.start()


# --- the summary ------------------------------------------------------------------------------

def summary(dirs):
    stops = []
    for d in dirs:
        stops += json.load(open(f'{d}/stops.json'))

    def grown(e, m=8):
        return (e[0] - m, e[1] - m, e[0] + e[2] + m, e[1] + e[3] + m)

    def meet(a, b):
        return not (a[2] <= b[0] or b[2] <= a[0] or a[3] <= b[1] or b[3] <= a[1])

    pages = collections.OrderedDict()
    for s in stops:
        pages.setdefault(s['page'], []).append(s)
    for name, ss in pages.items():
        bad = [s for s in ss if not s['ok']]
        unnamed = [s for s in ss if s['ok'] and not s.get('name', '').strip()]
        rings = []
        for n, s in enumerate(ss):
            if s['phase'] not in ('tab', 'sheet', 'open') or not s.get('png') or not s['ok']:
                continue
            x, y, w, h = s['ext']
            if x < 6 or y < 6 or x + w > SCREEN[0] - 6 or y + h > SCREEN[1] - 6:
                continue
            # the unfocused look: a neighbouring stop whose control lies well apart from this one
            partner = next((ss[m] for m in (n + 1, n - 1, n + 2, n - 2, n + 3, n - 3, n + 4, n - 4) if 0 <= m < len(ss) and
                            ss[m].get('png') and ss[m]['ok'] and not same_object(ss[m], s) and
                            not meet(grown(s['ext']), grown(ss[m]['ext']))), None)
            if not partner:
                continue
            r = measure(s['png'], partner['png'], x, y, w, h)
            r.update(i=s['i'], role=s['role'], name=s['name'], png=s['png'],
                     partner=partner['png'])
            rings.append(r)
        found = [r for r in rings if r['found']]
        print(f"== {name}: {len([s for s in ss if s['phase'] == 'tab'])} Tab stops, "
              f"{len(set((s.get('role'), s.get('name')) for s in ss if s['ok']))} controls; "
              f"focus faults {len(bad)}, unnamed {len(unnamed)}; rings {len(found)}, "
              f"min inside {min((r['in'] for r in found), default=0):.2f}, "
              f"min outside {min((r['out'] for r in found), default=0):.2f}; "
              f"roles {dict(collections.Counter(r['role'] for r in found))}")
        for s in bad:
            print(f"   FOCUS {s['i']} after {s['key']}: {s.get('role')} {s.get('name')!r} "
                  f"{s.get('ext')} focused={s.get('focused')} showing={s.get('showing')}")
        for s in unnamed:
            print(f"   UNNAMED {s['i']} {s['role']} {s['ext']} {s.get('png')}")
        for r in found:
            if min(r['in'], r['out']) < 3:
                print(f"   WEAK {r['i']} {r['role']} {r['name']!r} inside {r['in']:.2f} "
                      f"outside {r['out']:.2f} {r['worst']} {r['png']} vs {r['partner']}")
        for r in rings:
            if not r['found']:
                print(f"   NO RING {r['i']} {r['role']} {r['name']!r} {r['png']} vs "
                      f"{r['partner']}")


def same_object(a, b):
    return (a.get('role'), a.get('name')) == (b.get('role'), b.get('name'))


if __name__ == '__main__':
    if len(sys.argv) < 3 or sys.argv[1] not in ('drive', 'ring', 'summary'):
        sys.exit(__doc__ or 'usage: keyboard_pass.py drive|ring|summary …')
    if sys.argv[1] == 'drive':
        drive(sys.argv[2], [s for s in (sys.argv[3] if len(sys.argv) > 3 else '').split(',') if s])
    elif sys.argv[1] == 'ring':
        a = sys.argv[2:]
        print(json.dumps(measure(a[0], a[1], *map(int, a[2:6])), indent=1))
    else:
        summary(sys.argv[2:])
