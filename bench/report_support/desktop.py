"""Wine's desktop process for the timed runs of bench/report.

Wine starts its desktop process (explorer.exe /desktop) when a program
first needs a window and ends it about a second after the last window
goes; Windows always has one. desktop_keeper.exe holds it up while the
runs are timed, so that no run pays for starting it.
"""
import contextlib
import os
import subprocess
import time

from e2e_harness import wine_path


@contextlib.contextmanager
def desktop_kept_up(wine_run, build, work):
    ready = os.path.join(work, "desktop-ready")
    keeper = subprocess.Popen([wine_run, os.path.join(build, "bench", "desktop_keeper.exe"), "600",
                               wine_path(ready)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        for _ in range(500):
            if os.path.exists(ready) or keeper.poll() is not None:
                break
            time.sleep(0.02)
        if not os.path.exists(ready):
            raise SystemExit("desktop_keeper did not start")
        yield
    finally:
        keeper.terminate()
        keeper.wait()
