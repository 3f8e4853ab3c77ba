#!/usr/bin/env python3
"""Links clicked in Chromium on Linux start the game through the desktop entry that the installed
launcher writes at its first start under Wine; uninstalling leaves the other programs' lines.
Usage: link_test.py <build folder>, on an X display (xdg-open hands links on only with one)."""
import glob, http.server, json, os, shutil, socket, subprocess, sys, threading, time, urllib.request

build = os.path.abspath(sys.argv[1])
root = os.path.join(build, "browser-test")
prefix = os.path.join(root, "préfixe d'essai")  # not the default one: a blank, a quote, an accent
home = os.path.join(root, "home")
data, config = home + "/données", home + "/config"
others = ("[Added Associations]\nimage/png=gimp.desktop;\n\n[Default Applications]\n"
          "text/html=firefox.desktop\nx-scheme-handler/vx=autre.desktop\napplication/pdf=évince.desktop\n")
desktop = {"HOME": home, "XDG_DATA_HOME": data, "XDG_CONFIG_HOME": config}
wine_env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", **desktop,
                WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
password = "a_b.c!d~e*f'g(h)i@j%k-"  # every punctuation mark the allow-list admits
links = {"q3": ("q3/secret", "Q3\\quake3.exe", "  +connect 10.0.0.1:27960 +password secret"),
         "ut": ("ut2k4/secret", "UT2004\\System\\UT2004.exe", "  10.0.0.1:27960?password=secret"),
         "pw": ("q3/" + password, "Q3\\quake3.exe", "  +connect 10.0.0.1:27960 +password " + password)}


def wine(*args):
    subprocess.run([os.environ.get("QUELLIX_WINE", "wine"), *args], env=wine_env, check=True,
                   timeout=300, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def free_port():
    with socket.socket() as s:
        return s.bind(("127.0.0.1", 0)) or s.getsockname()[1]


class Browser:
    """Chromium through chromedriver's HTTP interface, with no Wine variable in its environment."""

    def __init__(self, origin, headless=True):
        profile = os.path.join(root, "chromium")
        os.makedirs(profile + "/Default", exist_ok=True)  # the prompt answered "always allow"
        with open(profile + "/Default/Preferences", "w") as f:
            json.dump({"protocol_handler": {"allowed_origin_protocol_pairs": {origin: {"vx": True}}}}, f)
        env = {k: os.environ[k] for k in ("PATH", "DISPLAY", "LANG") if k in os.environ} | desktop
        self.port = free_port()
        self.driver = subprocess.Popen(["/usr/bin/chromedriver", f"--port={self.port}"], env=env,
                                       cwd=home, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        args = ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--no-first-run",
                "--disable-component-update", "--disable-sync", "--user-data-dir=" + profile]
        for _ in range(100):
            try:
                self.call("GET", "/status")
                break
            except OSError:
                time.sleep(0.1)
        options = {"binary": "/usr/bin/chromium", "args": args + ["--headless=new"] * headless}
        self.session = "/session/" + self.call("POST", "/session", {"capabilities": {"alwaysMatch": {
            "goog:chromeOptions": options}}})["sessionId"]
        self.call("POST", self.session + "/url", {"url": origin + "/"})

    def call(self, method, path, body=None):
        request = urllib.request.Request(f"http://127.0.0.1:{self.port}{path}", method=method,
                                         data=json.dumps(body).encode() if body is not None else None)
        return json.load(urllib.request.urlopen(request, timeout=120))["value"]

    def click(self, name, log):
        """Clicks the link; the seconds until the game recorded its start, or None."""
        element = self.call("POST", self.session + "/element", {"using": "css selector", "value": "#" + name})
        if os.path.exists(log):
            os.remove(log)
        start = time.monotonic()
        self.call("POST", f"{self.session}/element/{list(element.values())[0]}/click", {})
        while time.monotonic() - start < 60:
            if os.path.exists(log) and open(log, encoding="utf-8").read().count("\n") >= 3:
                return time.monotonic() - start
            time.sleep(0.02)

    def close(self):
        self.call("DELETE", self.session)
        self.driver.terminate()
        self.driver.wait()


def serve_page():
    page = "".join(f'<p><a id="{n}" href="vx://10.0.0.1:27960/{link}">{n}</a>' for n, (link, _, _) in links.items())

    class Page(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            self.send_response(200)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.end_headers()
            self.wfile.write(page.encode())

        def log_message(self, *args):
            pass

    server = http.server.HTTPServer(("127.0.0.1", 0), Page)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return f"http://127.0.0.1:{server.server_address[1]}"


def install():
    """A fresh home with other programs' defaults; the setup run silently; one start of the launcher."""
    shutil.rmtree(home, ignore_errors=True)
    os.makedirs(config)
    with open(config + "/mimeapps.list", "w") as f:
        f.write(others)
    wine(os.path.join(build, "quellix-setup.exe"), "/S")
    folder = glob.glob(prefix + "/drive_c/users/*/AppData/Local/Programs/Quellix Vorbanix")[0]
    games = prefix + "/drive_c/Jeux/"
    for _, exe, _ in links.values():
        os.makedirs(os.path.dirname(games + exe.replace("\\", "/")), exist_ok=True)
        shutil.copy(os.path.join(build, "game_probe.exe"), games + exe.replace("\\", "/"))
    with open(folder + "/config.ini", "w", newline="") as f:
        f.write("[General]\r\nsansvalidation=1\r\n[q3]\r\nPath=C:\\Jeux\\Q3\\quake3.exe\r\n"
                "[ut2k4]\r\nPath=C:\\Jeux\\UT2004\\System\\UT2004.exe\r\n")
    wine(folder + "/quellix.exe", "vx://10.0.0.1:27960/aucun/x")  # a link to no game: ends at once
    return folder, games


def main():
    folder, games = install()
    browser, failed = Browser(serve_page()), 0
    for name, (_, exe, arguments) in links.items():
        log = games + exe.replace("\\", "/")[:-4] + ".log"
        seconds = browser.click(name, log)
        lines = open(log, encoding="utf-8").read().split("\n") if seconds else ["(rien)"] * 3
        got = lines[0] + "|" + lines[2]
        if got != f'"C:\\Jeux\\{exe}"{arguments}|2':
            print(f"FAIL {name}: the game got {got}")
            failed += 1
        else:
            print(f"ok {name} in {seconds:.2f} s")
    browser.close()
    wine(folder + "/uninstall.exe", "/S")  # which starts a copy of itself, and ends
    subprocess.run(["wineserver", "-w"], env=wine_env, timeout=120)
    left = open(config + "/mimeapps.list", encoding="utf-8").read()
    expected = others.replace("x-scheme-handler/vx=autre.desktop\n", "")
    gone = not glob.glob(data + "/*/quellix*")
    print("ok uninstall" if left == expected and gone else f"FAIL uninstall: entry gone {gone}, list:\n{left}")
    return failed + (left != expected or not gone)


if __name__ == "__main__":
    try:
        sys.exit(main())
    finally:
        subprocess.run(["wineserver", "-k"], env=wine_env)
