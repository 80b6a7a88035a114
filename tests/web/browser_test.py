#!/usr/bin/env python3
"""The page in headless Chromium against lumitra-render: for each query string the canvas's
pixels must be those of `lumitra-render --out F.png` with the same options (a difference of
one level allowed on at most 0.1 % of the inside pixels: the browser's maths library may round
a few values differently); a bad query shows the notice and the default figure; the texts
follow the browser's language. Also times a redraw at 200 px.
Usage: browser_test.py LUMITRA_RENDER SITE_DIR [--screenshots DIR]"""
import base64
import functools
import http.server
import os
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import zlib

SKIP = 77

CASES = [
    ('uniaxial, 530 nm plate', 'axis-type=0&thickness=45&plate=530&image-size-single=240'),
    ('biaxial, the link a worksheet holds',
     'axis-type=1&two-vz=40&thickness=45&plate=530&image-size-single=300'),
    ('biaxial, wedge, full range, Wulff',
     'axis-type=1&two-vz=70&plate=wedge&wedge-retardation=300&draw-range=1&projection-kind=2'
     '&image-size-single=220'),
    ('uniaxial inclined, full range, sine',
     'c-axis-theta=30&c-axis-phi=40&thickness=300&numerical-aperture=0.85&draw-range=1'),
    ('mineral and section, quarter-wave plate',
     'mineral=muscovite&section=bxa&plate=147&projection-kind=2&image-size-single=180'),
]
BAD_QUERY = 'thickness=99999&colour=red&two-vz=abc'


def read_png(path):
    """The RGB bytes and side of an 8-bit RGB PNG, decoded here rather than by the browser."""
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', path
    at, idat, width = 8, b'', 0
    while at < len(data):
        length, kind = struct.unpack('>I4s', data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
            assert (depth, colour, interlace) == (8, 2, 0), 'expected 8-bit RGB, not interlaced'
        elif kind == b'IDAT':
            idat += body
        at += 12 + length
    raw, stride, rows, previous = zlib.decompress(idat), 3 * width, [], bytearray(3 * width)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - 3] if x >= 3 else 0
            b, c = previous[x], previous[x - 3] if x >= 3 else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        previous = line
    return b''.join(rows), width


def render(program, query, folder):
    out = os.path.join(folder, 'expected.png')
    arguments = [f'--{name}={value}' for name, value in
                 (pair.split('=', 1) for pair in query.split('&') if pair)]
    subprocess.run([program, *arguments, '--out', out], check=True)
    return read_png(out)


def compare(expected, side, canvas_rgba):
    """(inside pixels, pixels that differ, largest difference)."""
    inside = differing = largest = 0
    for p in range(side * side):
        want = expected[3 * p:3 * p + 3]
        got = canvas_rgba[4 * p:4 * p + 3]
        if want[1] != 255:  # the white outside the figure circle has green at 255
            inside += 1
        difference = max(abs(w - g) for w, g in zip(want, got))
        if difference:
            differing += 1
            largest = max(largest, difference)
    return inside, differing, largest


class Page:
    def __init__(self, base, language, width=1280, height=900):
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        for argument in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
                         f'--lang={language}', f'--window-size={width},{height}'):
            options.add_argument(argument)
        options.add_experimental_option('prefs', {'intl.accept_languages': language})
        self.driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
        self.base = base

    def open(self, query, draws=1):
        from selenium.webdriver.support.ui import WebDriverWait
        self.driver.get(f'{self.base}/index.html?{query}')
        WebDriverWait(self.driver, 60).until(
            lambda d: int(d.execute_script('return document.body.dataset.drawn || 0')) >= draws)

    def script(self, code):
        return self.driver.execute_script(code)

    def canvas(self):
        side = self.script('return document.getElementById("figure").width')
        encoded = self.script('''
            const c = document.getElementById("figure");
            const d = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
            let s = "";
            for (let i = 0; i < d.length; i += 32768) s += String.fromCharCode(...d.subarray(i, i + 32768));
            return btoa(s);''')
        return side, base64.b64decode(encoded)

    def close(self):
        self.driver.quit()


def serve(site):
    handler = functools.partial(QuietHandler, directory=site)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript'}

    def log_message(self, *args):
        pass


def main(program, site, screenshots=None):
    if not os.path.exists(os.path.join(site, 'lumitra.wasm')):
        print(f'SKIPPED: no web build at {site} (scripts/make-web.sh makes it)')
        return SKIP
    server = serve(site)
    base = f'http://127.0.0.1:{server.server_address[1]}'
    failures = []
    page = Page(base, 'en-US')
    with tempfile.TemporaryDirectory() as folder:
        for name, query in CASES:
            expected, side = render(program, query, folder)
            page.open(query)
            shown_side, pixels = page.canvas()
            inside, differing, largest = compare(expected, side, pixels)
            print(f'{name}: {side} px, {inside} inside, {differing} differ, by at most {largest}')
            if shown_side != side or largest > 1 or differing > inside / 1000:
                failures.append(name)
        # A bad query: every bad option is told, and the figure is the default one.
        expected, side = render(program, '', folder)
        page.open(BAD_QUERY)
        notices = page.script('return [...document.querySelectorAll("#notice-list li")].map(e => e.textContent)')
        visible = page.script('return !document.getElementById("notice").hidden')
        _, pixels = page.canvas()
        inside, differing, largest = compare(expected, side, pixels)
        print(f'bad query: {len(notices)} notices {notices}; {differing} of {inside} differ')
        if not visible or len(notices) != 3 or largest > 1 or differing > inside / 1000:
            failures.append('bad query')
    # Along a vertical optic axis the two waves travel alike: at the centre the read-out
    # shows the axis itself, no retardation, first order.
    page.open('axis-type=0&c-axis-theta=0&image-size-single=201')
    shown = page.script('''
        const c = document.getElementById("figure"), box = c.getBoundingClientRect();
        c.dispatchEvent(new PointerEvent("pointermove", {clientX: box.left + box.width / 2,
                                                         clientY: box.top + box.height / 2}));
        return document.getElementById("readout").textContent;''')
    print(f'read-out at the centre: {shown}')
    if not shown.startswith('θ 0.0°') or 'Γ 0 nm (I)' not in shown:
        failures.append('read-out')
    # A redraw at 200 px as the stage turns.
    page.open('axis-type=1&two-vz=40&thickness=45&plate=530&image-size-single=200')
    for azimuth in range(1, 31):
        page.script(f'const s = document.getElementById("stage-azimuth"); s.value = {azimuth};'
                    's.dispatchEvent(new Event("input"));')
        from selenium.webdriver.support.ui import WebDriverWait
        WebDriverWait(page.driver, 30).until(
            lambda d: int(d.execute_script('return document.body.dataset.drawn')) >= azimuth + 1)
    times = page.script('return window.lumitraRedraws.slice(1)')
    times.sort()
    print(f'redraw at 200 px: median {statistics.median(times):.1f} ms, '
          f'9 in 10 within {times[len(times) * 9 // 10]:.1f} ms, slowest {times[-1]:.1f} ms '
          f'over {len(times)}')
    page.close()
    # The language of the browser chooses the texts.
    for language, save in (('ja', 'PNGで保存'), ('en-GB', 'Save PNG')):
        page = Page(base, language)
        page.open('')
        shown = page.script('return document.getElementById("save-png").textContent')
        print(f'{language}: "{shown}"')
        if shown != save:
            failures.append(f'language {language}')
        if screenshots:
            for width, height, kind in ((1280, 900, 'desktop'), (390, 1400, 'phone')):
                page.driver.set_window_size(width, height)
                page.open('axis-type=1&two-vz=40&thickness=45&plate=530&image-size-single=300')
                page.driver.save_screenshot(os.path.join(screenshots, f'web-{kind}-{language[:2]}.png'))
        page.close()
    server.shutdown()
    if failures:
        print('FAILED:', ', '.join(failures))
        return 1
    return 0


if __name__ == '__main__':
    arguments = sys.argv[1:]
    shots = None
    if '--screenshots' in arguments:
        at = arguments.index('--screenshots')
        shots = arguments[at + 1]
        del arguments[at:at + 2]
    sys.exit(main(*arguments, screenshots=shots))
