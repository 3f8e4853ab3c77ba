#!/usr/bin/env python3
# Click to game from Chromium on Linux: the q3 link of the browser test's page clicked again and
# again, handled in turn by the installed quellix.exe and by a bare handler under the same Wine,
# through the same desktop entry (its script made to run the bare handler, which starts the game
# with its command line and ends). Prints each handler's median and the ratio.
# Usage: browser_click.py <build folder> <minimal_launcher.exe of that architecture> [clicks]
import os, re, statistics, subprocess, sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "browser"))
import link_test  # noqa: E402  (reads the build folder from sys.argv[1])


def main():
    bare, clicks = os.path.abspath(sys.argv[2]), int(sys.argv[3]) if len(sys.argv) > 3 else 15
    link_test.install()
    click, close = link_test.browser()
    script = link_test.desktop["XDG_DATA_HOME"] + "/quellix/vx-link.sh"
    ours = open(script, encoding="utf-8").read()
    game = "'C:\\Jeux\\Q3\\quake3.exe' +connect 10.0.0.1:27960 +password secret"
    handlers = {"quellix.exe": ours,
                "bare handler": re.sub(r"'[^']*quellix\.exe' \"\$1\"", lambda _: f"'{bare}' {game}", ours)}
    times = {name: [] for name in handlers}
    for _ in range(clicks + 1):  # the first round warms Wine up and is not counted
        for name, text in handlers.items():
            open(script, "w", encoding="utf-8").write(text)
            times[name].append(click("q3")[1])
    close()
    medians = {name: statistics.median(t[1:]) for name, t in times.items()}
    for name, t in times.items():
        print(f"{name}: median {medians[name]:.3f} s of {clicks} clicks ({min(t[1:]):.3f} to {max(t[1:]):.3f})")
    print(f"ratio {medians['quellix.exe'] / medians['bare handler']:.3f} to the bare handler")


if __name__ == "__main__":
    try:
        main()
    finally:
        subprocess.run(["wineserver", "-k"], env=link_test.wine_env)
