#!/usr/bin/python3
"""Fault soak: specterm and orbscope (offscreen) against modemsim for a few
minutes while a seeded schedule switches the simulator's faults on and off.

The programs are watched from outside, and through their unattended log:
  * the dialog seam's unattended mode (HALDEN_DIALOG_LOG) logs every message
    box as it opens and closes, with the number open, and answers it with its
    default button after a user's pause; the programs add a line for every
    data set they have drawn ("drawn data set N", "drawn constellation N"),
    which is what the soak counts: a download that is never drawn is no
    data set for the user;
  * modemsim's command log tells, per session, who logged in (specterm as
    "anonymous", orbscope as "melgar") and what they asked for;
  * /proc/PID/status gives each process's resident memory.

The schedule also holds a mouse button, and a middle-button zoom box, on
specterm's plot while a failing read raises a message box, and lets go while
the box is open (the input comes through the programs' unattended input,
HALDEN_INPUT_SCRIPT); --no-held-gestures (or HALDEN_SOAK_HELD_GESTURES=0)
leaves them out.

After each fault is lifted, both programs must draw a data set again
within two of their poll periods; no message box may open while another is
open, and each program may ask at most one question per fault; resident
memory must stay flat; every process must still run at the end. The last
line is the summary:
  soak: N of M faults survived, D data sets drawn (specterm S, orbscope O)

Usage: fault_soak.py --bin BUILD/bin [--seconds 180] [--seed 1] [--no-held-gestures]
"""

import argparse
import ftplib
import io
import os
import random
import signal
import socket
import subprocess
import sys
import tempfile
import time
from ftplib import FTP

SPECTERM_POLL_S = 3.0  # specterm's capture cycle timer
ORBSCOPE_POLL_S = 1.0  # orbscope's update timer
# A user takes a moment to answer a message box.
ANSWER_MS = 2000
# The soak reads the logs ten times a second, on a busy machine.
OBSERVATION_SLACK_S = 0.5
# A program with no data set this long after a fault has stopped for good.
STUCK_S = 20.0
# Resident memory may grow this much after the warm-up (caches, fonts,
# allocator slack) and still count as flat.
RSS_GROWTH_LIMIT_KB = 24 * 1024

# What orbscope says when a read fails and it ends real-time update.
ORBSCOPE_LOST = "Lost ftp connection to the modem."

# Each fault: a name for the report and the control lines that switch it on
# (None for the simulator being killed and restarted on its port).
FAULTS = [
    ("refuse connections", "fault refuse-connections on\n"),
    ("drop connections", "fault drop-connections on\n"),
    ("deny capt_spec:", "fault deny=capt_spec: on\n"),
    ("deny spectrum:", "fault deny=spectrum: on\n"),
    ("deny orbscope:", "fault deny=orbscope: on\n"),
    ("deny status:", "fault deny=status: on\n"),
    ("deny control:", "fault deny=control: on\n"),
    ("short block", "fault short-spectrum=1000 on\n"),
    ("no SIZE", "fault no-size on\n"),
    ("slow replies", "fault slow=2500 on\n"),
    # Slower than the programs' timeouts: calls must give up, not hang.
    ("replies past timeouts", "fault slow=12000 on\n"),
    ("flash stall", "fault flash-stall on\n"),
    ("simulator killed", None),
]

# Gestures held on specterm's plot while a read that the simulator answers
# slowly fails and raises the lost-link question; the button is let go
# while the question is open. Each: a name, and the input lines of the
# press (and the drag) and of the release.
HELD_FAULT = "fault slow=1500 on\nfault deny=spectrum: on\n"
GESTURES = [
    ("held button, box", ["press picSpectrum left 0.5 0.5"], "release picSpectrum left 0.5 0.5"),
    ("held zoom box, box",
     ["press picSpectrum middle 0.6 0.6", "move picSpectrum 0.5 0.5", "move picSpectrum 0.4 0.4"],
     "release picSpectrum middle 0.4 0.4"),
]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def rss_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return -1



def read_new(path, offset):
    """What a growing file holds past offset, and the new offset; None when
    the file cannot be read (yet)."""
    try:
        with open(path, "r", errors="replace") as f:
            f.seek(offset)
            text = f.read()
            return text, f.tell()
    except OSError:
        return None, offset

class SimLog:
    """Follows modemsim's command log; each line is stamped with the soak's
    clock when read. A restarted simulator appends to the same file and
    numbers its sessions from 1 again, so sessions are keyed by run."""

    def __init__(self, path):
        self.path = path
        self.offset = 0
        self.partial = ""
        self.run = 0
        self.users = {}  # (run, session) -> user name
        self.logins = {"specterm": [], "orbscope": []}  # soak times of USER
        self.spectrum_reads = []  # soak times of specterm asking for spectrum:

    def poll(self):
        text, self.offset = read_new(self.path, self.offset)
        if text is None:
            return
        now = time.monotonic()
        text = self.partial + text
        lines = text.split("\n")
        self.partial = lines.pop()
        for line in lines:
            parts = line.split(" ", 2)
            if len(parts) < 3 or not parts[1].startswith("#"):
                continue
            session = int(parts[1][1:])
            what = parts[2]
            if session == 0 and what.startswith("listening on"):
                self.run += 1
                continue
            key = (self.run, session)
            if what.startswith("> USER "):
                self.users[key] = what[len("> USER "):]
                program = {"anonymous": "specterm", "melgar": "orbscope"}.get(self.users[key])
                if program:
                    self.logins[program].append(now)
            if what in ("> SIZE spectrum:", "> RETR spectrum:") and self.users.get(key) == "anonymous":
                self.spectrum_reads.append(now)

    def logins_after(self, program, when):
        return len([t for t in self.logins[program] if t > when])


class DialogLog:
    """Follows one program's unattended message box log."""

    def __init__(self, path):
        self.path = path
        self.offset = 0
        self.opened = []  # (soak time, text)
        self.drawn = []  # soak times of the data sets drawn
        self.max_open = 0

    def poll(self):
        text, self.offset = read_new(self.path, self.offset)
        if text is None:
            return
        now = time.monotonic()
        for line in text.splitlines():
            parts = line.split(" ", 3)
            if len(parts) >= 3 and parts[1] == "open":
                self.max_open = max(self.max_open, int(parts[2]))
                self.opened.append((now, parts[3] if len(parts) > 3 else ""))
            elif len(parts) >= 2 and parts[1] == "drawn":
                self.drawn.append(now)

    def opened_between(self, start, end):
        return [text for t, text in self.opened if start <= t <= end]

    def first_drawn_after(self, when):
        for t in self.drawn:
            if t > when:
                return t
        return None


class Soak:
    def __init__(self, args):
        self.args = args
        self.bin = os.path.abspath(args.bin)
        self.work = tempfile.mkdtemp(prefix="halden-soak-")
        self.port = free_port()
        self.sim = None
        self.programs = {}
        self.sim_log = SimLog(os.path.join(self.work, "modemsim.log"))
        self.dialogs = {}
        self.failures = []
        self.ctl = None
        self.restarts = 0
        self.survived = 0
        self.applied = 0
        self.rss = {}

    # --- processes ---------------------------------------------------------

    def start_sim(self):
        out = open(os.path.join(self.work, "modemsim.out"), "a")
        self.sim = subprocess.Popen(
            [os.path.join(self.bin, "modemsim"), "--port", str(self.port), "--log", self.sim_log.path, "--seed",
             str(self.args.seed)],
            stdout=out, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            try:
                with socket.create_connection(("127.0.0.1", self.port), timeout=1):
                    return
            except OSError:
                time.sleep(0.1)
        raise RuntimeError("modemsim did not start on port %d" % self.port)

    def kill_sim(self):
        self.sim.send_signal(signal.SIGKILL)
        self.sim.wait()

    def start_program(self, name, argv, registry):
        os.makedirs(registry, exist_ok=True)
        env = dict(os.environ)
        env.update({
            "QT_QPA_PLATFORM": "offscreen",
            "HALDEN_REGISTRY_DIR": registry,
            "HALDEN_DIALOG_LOG": os.path.join(self.work, name + "-dialogs.log"),
            "HALDEN_DIALOG_ANSWER_MS": str(ANSWER_MS),
            "HALDEN_INPUT_SCRIPT": self.input_path(name),
        })
        if name not in self.dialogs:  # a restarted program goes on in the same log
            self.dialogs[name] = DialogLog(env["HALDEN_DIALOG_LOG"])
        out = open(os.path.join(self.work, name + ".out"), "w")
        self.programs[name] = subprocess.Popen(argv, env=env, stdout=out, stderr=subprocess.STDOUT)

    def start_programs(self):
        registry = os.path.join(self.work, "specterm-registry")
        os.makedirs(registry, exist_ok=True)
        with open(os.path.join(registry, "HKEY_CURRENT_USER.reg"), "w") as f:
            f.write("REGEDIT4\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\Configuration]\n"
                    "\"StopUpdates\"=\"False\"\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\Halden Modems]\n"
                    "\"ModemCount\"=\"1\"\n\"LastModem\"=\"Simulator\"\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\Halden Modems\\Modem1]\n"
                    "\"ModemName\"=\"Simulator\"\n"
                    f"\"IP_Address\"=\"127.0.0.1:{self.port}\"\n")
        self.start_program("specterm", [os.path.join(self.bin, "specterm")], registry)
        self.start_program("orbscope", [os.path.join(self.bin, "orbscope"), f"-a127.0.0.1:{self.port}"],
                           os.path.join(self.work, "orbscope-registry"))

    def input_path(self, name):
        return os.path.join(self.work, name + "-input.txt")

    def play(self, program, lines):
        """Hands mouse input to a program's unattended input."""
        with open(self.input_path(program), "a") as f:
            f.write("".join(line + "\n" for line in lines))

    def drawn(self, program):
        return len(self.dialogs[program].drawn)

    def stop_all(self):
        for proc in list(self.programs.values()) + [self.sim]:
            if proc is not None and proc.poll() is None:
                proc.terminate()
        for proc in list(self.programs.values()) + [self.sim]:
            if proc is None:
                continue
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()

    # --- observation -------------------------------------------------------

    def watch(self, seconds):
        """Follows the logs for a while, sampling memory."""
        end = time.monotonic() + seconds
        while True:
            self.sim_log.poll()
            for log in self.dialogs.values():
                log.poll()
            for name, proc in self.programs.items():
                if proc.poll() is None:
                    self.rss.setdefault(name, []).append(rss_kb(proc.pid))
            if time.monotonic() >= end:
                return
            time.sleep(min(0.1, max(0.0, end - time.monotonic())))

    def wait_for(self, predicate, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            self.watch(0.1)
            if predicate():
                return True
        return predicate()

    def control(self, text):
        """Writes control lines from one fault-exempt session kept open, as
        refuse-connections keeps out new ones (a new session is opened when
        the simulator was restarted)."""
        for attempt in (1, 2):
            try:
                if self.ctl is None:
                    self.ctl = FTP()
                    self.ctl.connect("127.0.0.1", self.port, timeout=10)
                    self.ctl.login("control", "")
                self.ctl.storbinary("STOR control:", io.BytesIO(text.encode()))
                return
            except (OSError, EOFError, ftplib.Error):
                self.ctl = None
                if attempt == 2:
                    raise

    # --- the run -----------------------------------------------------------

    def warm_up(self):
        def both_running():
            return self.drawn("specterm") >= 2 and self.drawn("orbscope") >= 2

        if not self.wait_for(both_running, 60):
            raise RuntimeError("the programs did not draw data sets within a minute: specterm %d, orbscope %d" %
                               (self.drawn("specterm"), self.drawn("orbscope")))
        # Memory is compared from here on, after start-up's allocations.
        self.watch(5)
        self.baseline = {name: samples[-1] for name, samples in self.rss.items()}

    def restart_program(self, program):
        """Starts a program that stopped working afresh, so that the faults
        after this one are still tried on it."""
        proc = self.programs[program]
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        argv = proc.args
        registry = os.path.join(self.work, program + "-registry")
        self.start_program(program, argv, registry)
        count = self.drawn(program)
        if self.wait_for(lambda: self.drawn(program) > count, 60):
            self.watch(3)
        self.baseline[program] = self.rss[program][-1] if self.rss.get(program) else 0
        self.restarts += 1

    def hold_gesture(self, gesture, hold):
        """Holds a gesture on specterm's plot while a read fails under it;
        returns a note when the scenario could not be set up."""
        press, release = gesture
        since = time.monotonic()
        end = since + hold
        box = self.dialogs["specterm"]
        # Pressed while the read is on the wire, so that its failure raises
        # the question under the held button; let go while it is open.
        if not self.wait_for(lambda: any(t > since for t in self.sim_log.spectrum_reads), 20):
            return "no read came to hold the gesture over"
        self.play("specterm", press)
        opened = self.wait_for(lambda: box.opened_between(since, time.monotonic()), 20)
        self.play("specterm", [release])
        self.watch(max(0.0, end - time.monotonic()))
        return None if opened else "no message box came under the held gesture"

    def one_fault(self, name, lines, hold, gesture=None):
        started = time.monotonic()
        delay = 0.0
        if lines is not None and "slow=" in lines:
            delay = int(lines.split("slow=")[1].split()[0]) / 1000.0
        untried = None
        if lines is None:
            self.kill_sim()
            self.watch(hold)
            self.start_sim()
        else:
            self.control(lines)
            if gesture:
                untried = self.hold_gesture(gesture, hold)
            else:
                self.watch(hold)
            self.control("fault clear\n")
        lifted = time.monotonic()
        problems = []
        notes = [untried] if untried else []
        stuck = []
        for program, poll in (("specterm", SPECTERM_POLL_S), ("orbscope", ORBSCOPE_POLL_S)):
            # Two poll periods, plus what the fault itself still holds back
            # (a reply already delayed when it was lifted) and the soak's own
            # observation latency.
            limit = 2 * poll + delay + OBSERVATION_SLACK_S
            drawn = self.dialogs[program]
            self.wait_for(lambda: drawn.first_drawn_after(lifted) is not None, limit)
            first = drawn.first_drawn_after(lifted)
            if first is not None and first - lifted <= limit:
                continue
            # Orbscope ends real-time update when a read fails and says so;
            # the user starts it again. That is its design, not a fault.
            said = self.dialogs[program].opened_between(started, time.monotonic())
            if program == "orbscope" and first is None and len(said) == 1 and ORBSCOPE_LOST in said[0]:
                notes.append("orbscope ended real-time update and said so once (started again)")
                stuck.append(program)
                continue
            # How long it really took, for the report (bounded).
            self.wait_for(lambda: drawn.first_drawn_after(lifted) is not None, STUCK_S)
            late = drawn.first_drawn_after(lifted)
            if late:
                how = "next after %.1f s" % (late - lifted)
            else:
                tries = self.sim_log.logins_after(program, lifted)
                how = "none in %.0f s, %s; started again" % (
                    STUCK_S, "%d logins without one" % tries if tries else "no login: it stopped polling")
            problems.append("%s drew no data set within %.1f s after the fault was lifted (%s)" %
                            (program, limit, how))
            if late is None:
                stuck.append(program)
        ended = time.monotonic()
        for program, log in self.dialogs.items():
            asked = log.opened_between(started, ended)
            if len(asked) > 1:
                problems.append("%s asked %d questions: %s" % (program, len(asked), "; ".join(asked[:3])))
        for program, proc in self.programs.items():
            if proc.poll() is not None:
                problems.append("%s ended (exit status %s)" % (program, proc.returncode))
                if program not in stuck:
                    stuck.append(program)
        for program in stuck:
            self.restart_program(program)
        self.applied += 1
        if problems:
            self.failures.append((name, problems))
            print("soak: %-20s FAILED: %s" % (name, "; ".join(problems + notes)), flush=True)
        else:
            self.survived += 1
            print("soak: %-20s survived (held %.0f s%s)" % (name, hold, "".join("; " + n for n in notes)), flush=True)
        # A pause with no fault, so that the next one starts from a working link.
        self.watch(2)

    def run(self):
        rng = random.Random(self.args.seed)
        self.start_sim()
        self.start_programs()
        self.warm_up()
        # Every fault once in a seeded order, then seeded choices until the
        # time is up.
        end = time.monotonic() + self.args.seconds
        faults = [(name, lines, None) for name, lines in FAULTS]
        if self.args.held_gestures:
            faults += [(name, HELD_FAULT, (press, release)) for name, press, release in GESTURES]
        schedule = faults[:]
        rng.shuffle(schedule)
        while schedule or time.monotonic() < end:
            name, lines, gesture = schedule.pop() if schedule else rng.choice(faults)
            self.one_fault(name, lines, rng.uniform(4.0, 8.0), gesture)
        self.finish()

    def finish(self):
        problems = []
        for name, log in self.dialogs.items():
            if log.max_open > 1:
                problems.append("%s had %d message boxes open at once" % (name, log.max_open))
        growth = {}
        for name, samples in self.rss.items():
            tail = [s for s in samples[-20:] if s > 0]
            if not tail:
                problems.append("%s is not running at the end" % name)
                continue
            growth[name] = min(tail) - self.baseline.get(name, min(tail))
            if growth[name] > RSS_GROWTH_LIMIT_KB:
                problems.append("%s grew by %d kB of resident memory" % (name, growth[name]))
        for name, proc in self.programs.items():
            if proc.poll() is not None:
                problems.append("%s ended with status %s" % (name, proc.returncode))
        if problems:
            self.failures.append(("whole run", problems))
            print("soak: whole run FAILED: %s" % "; ".join(problems), flush=True)
        boxes = sum(len(log.opened) for log in self.dialogs.values())
        from_specterm = self.drawn("specterm")
        orb = self.drawn("orbscope")
        print("soak: memory growth after warm-up: %s; message boxes: %d (at most %d open at once); "
              "programs restarted after stopping for good: %d" %
              (", ".join("%s %+d kB" % kv for kv in sorted(growth.items())), boxes,
               max([log.max_open for log in self.dialogs.values()] or [0]), self.restarts))
        print("soak: %d of %d faults survived, %d data sets drawn (specterm %d, orbscope %d)" %
              (self.survived, self.applied, from_specterm + orb, from_specterm, orb), flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", required=True, help="the folder of the built programs")
    parser.add_argument("--seconds", type=float, default=180, help="how long to keep switching faults")
    parser.add_argument("--seed", type=int, default=1, help="seed of the fault schedule and the simulator")
    parser.add_argument("--keep", action="store_true", help="keep the work folder (logs) at the end")
    parser.add_argument("--held-gestures", action=argparse.BooleanOptionalAction,
                        default=os.environ.get("HALDEN_SOAK_HELD_GESTURES", "1") != "0",
                        help="also hold mouse gestures on specterm's plot while a message box opens "
                             "(the default; HALDEN_SOAK_HELD_GESTURES=0 leaves them out)")
    args = parser.parse_args()
    soak = Soak(args)
    try:
        soak.run()
    except Exception as error:  # the soak itself could not run: say why
        print("soak: could not run: %s" % error, flush=True)
        soak.failures.append(("set-up", [str(error)]))
    finally:
        soak.stop_all()
        if args.keep or soak.failures:
            print("soak: logs kept in %s" % soak.work)
        else:
            subprocess.run(["rm", "-rf", soak.work])
    return 1 if soak.failures else 0


if __name__ == "__main__":
    sys.exit(main())
