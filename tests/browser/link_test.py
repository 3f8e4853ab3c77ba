#!/usr/bin/env python3
# vx links clicked in Chromium on Linux start the game through the desktop entry that the installed
# launcher writes at its first start under Wine; uninstalling leaves the other programs' lines.
# Usage: link_test.py <build folder>, on an X display (xdg-open hands links on only then).
import atexit, glob, http.server, json, os, shutil, socket, subprocess, sys, threading, time, urllib.request as web

build = os.path.abspath(sys.argv[1])
root = build + "/browser-test"
prefix, home = root + "/préfixe d'essai", root + "/home"  # not the default prefix; quote, blank, accent
desktop = {"LANG": "C.UTF-8", "HOME": home, "XDG_DATA_HOME": home + "/données", "XDG_CONFIG_HOME": home + "/config"}
wine_env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", **desktop)
others = ("[Added Associations]\nimage/png=gimp.desktop;\n\n[Default Applications]\n"
          "text/html=firefox.desktop\nx-scheme-handler/vx=autre.desktop\napplication/pdf=évince.desktop\n")
password, connect = "a_b.c!d~e*f'g(h)i@j%k-", "  +connect 10.0.0.1:27960 +password "  # every mark allowed
links = {"q3": ("q3/secret", "Q3/quake3", connect + "secret"), "pw": ("q3/" + password, "Q3/quake3", connect + password),
         "ut": ("ut2k4/secret", "UT2004/System/UT2004", "  10.0.0.1:27960?password=secret")}
games = prefix + "/drive_c/Jeux/"


def wine(*args):
    subprocess.run([os.environ.get("QUELLIX_WINE", "wine"), *args], env=wine_env, timeout=300, check=True)


def install():  # a fresh home holding other programs' defaults; the setup; one start of the launcher
    shutil.rmtree(home, ignore_errors=True)
    os.makedirs(desktop["XDG_CONFIG_HOME"])
    open(desktop["XDG_CONFIG_HOME"] + "/mimeapps.list", "w").write(others)
    wine(build + "/quellix-setup.exe", "/S")
    folder = glob.glob(prefix + "/drive_c/users/*/AppData/Local/Programs/Quellix Vorbanix")[0]
    for _, exe, _ in links.values():
        os.makedirs(os.path.dirname(games + exe), exist_ok=True)
        shutil.copy(build + "/game_probe.exe", games + exe + ".exe")
    open(folder + "/config.ini", "w").write("[General]\nsansvalidation=1\n[q3]\nPath=C:\\Jeux\\Q3\\quake3.exe\n"
                                            "[ut2k4]\nPath=C:\\Jeux\\UT2004\\System\\UT2004.exe\n")
    wine(folder + "/quellix.exe", "vx://10.0.0.1:27960/aucun/x")  # a link to no game: it ends at once
    return folder


def browser():  # Chromium driven through chromedriver's HTTP interface, with no Wine variable
    page = "".join(f'<p><a id="{n}" href="vx://10.0.0.1:27960/{link}">{n}</a>' for n, (link, _, _) in links.items())
    handler = type("Page", (http.server.BaseHTTPRequestHandler,), {"log_message": lambda *_: None, "do_GET": lambda s: (
        s.send_response(200), s.end_headers(), s.wfile.write(page.encode()))})
    server = http.server.HTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    origin = f"http://127.0.0.1:{server.server_address[1]}"
    shutil.rmtree(root + "/chromium", ignore_errors=True)  # a new profile: its prompt answered "always allow"
    os.makedirs(root + "/chromium/Default")
    json.dump({"protocol_handler": {"allowed_origin_protocol_pairs": {origin: {"vx": True}}}},
              open(root + "/chromium/Default/Preferences", "w"))
    env = {k: os.environ[k] for k in ("PATH", "DISPLAY") if k in os.environ} | desktop
    with socket.socket() as free:  # a port of its own, whatever else runs a driver
        free.bind(("127.0.0.1", 0))
        port = free.getsockname()[1]
    driver = subprocess.Popen(["/usr/bin/chromedriver", f"--port={port}"], env=env, cwd=home,
                              stdout=subprocess.DEVNULL, start_new_session=True)
    atexit.register(subprocess.run, ["pkill", "-KILL", "-s", str(driver.pid)])  # with its browser, whatever failed
    def call(path, body=None, method="POST"):
        data = json.dumps(body).encode() if body is not None else None
        return json.load(web.urlopen(web.Request(f"http://127.0.0.1:{port}" + path, data, method=method), timeout=120))["value"]
    for _ in range(100):
        try:
            call("/status", method="GET")
            break
        except OSError:
            time.sleep(0.1)
    args = ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking", "--no-first-run",
            "--disable-component-update", "--disable-sync", "--user-data-dir=" + root + "/chromium"]
    session = "/session/" + call("/session", {"capabilities": {"alwaysMatch": {"goog:chromeOptions": {
        "binary": "/usr/bin/chromium", "args": args}}}})["sessionId"]
    call(session + "/url", {"url": origin})
    def click(name):  # the game's record (command line, folder, show state) and the seconds it took
        log = games + links[name][1] + ".log"
        element = call(session + "/element", {"using": "css selector", "value": "#" + name})
        os.path.exists(log) and os.remove(log)
        start = time.monotonic()
        call(f"{session}/element/{list(element.values())[0]}/click", {})
        while time.monotonic() - start < 60:
            if os.path.exists(log) and open(log, encoding="utf-8").read().count("\n") >= 3:
                return open(log, encoding="utf-8").read().split("\n"), time.monotonic() - start
            time.sleep(0.02)
        return ["(rien)"] * 3, None
    return click, lambda: (call(session, method="DELETE"), driver.terminate(), driver.wait())


def main():
    folder, failures = install(), []
    click, close = browser()
    for name, (_, exe, arguments) in links.items():
        (line, _, shown, *_), seconds = click(name)
        expected = '"C:\\Jeux\\' + exe.replace("/", "\\") + '.exe"' + arguments
        print(f"{name}: {seconds} s, {line} (show state {shown})")
        failures += [name] * (line != expected or shown != "2")
    close()
    wine(folder + "/uninstall.exe", "/S")  # which starts a copy of itself, and ends
    subprocess.run(["wineserver", "-w"], env=wine_env, timeout=120)
    left = open(desktop["XDG_CONFIG_HOME"] + "/mimeapps.list", encoding="utf-8").read()
    print("after uninstalling:", glob.glob(home + "/*/*/quellix*"), left)
    failures += ["uninstall"] * (left != others.replace("x-scheme-handler/vx=autre.desktop\n", "")
                                 or glob.glob(home + "/*/*/quellix*") != [])
    print("FAILED:" if failures else "PASSED", *failures)
    return len(failures)


if __name__ == "__main__":
    try:
        sys.exit(main())
    finally:
        subprocess.run(["wineserver", "-k"], env=wine_env)
