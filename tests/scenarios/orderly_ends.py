"""How runs of the real program end. SIGTERM during a script run over sACN to 127.0.0.1 ends the stream
with its three terminated packets; SIGHUP to the windowed program (offscreen) gives an open-DMX port
(a pty) its settings and its exclusive flag back; both die by their signal, the last line on stderr
naming it. An interface that fails during a script run makes the run fail, however its expectations
went. Runs in a private network namespace of its own; skips where it cannot make one."""
import fcntl
import os
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "network"))
import netcheck  # noqa: E402

TIOCGEXCL = 0x80045440  # Linux: whether the tty is held for exclusive use
TERMINATED = 0x40       # sACN framing-layer option: stream terminated


def check(condition, what):
    if not condition:
        print("FAILED: " + what, flush=True)
        os._exit(1)  # a receiver's thread may still run


def until(condition, what, limit=30):
    deadline = time.monotonic() + limit
    while not condition():
        check(time.monotonic() < deadline, what)
        time.sleep(0.02)


def start(vexmira, folder, args):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=folder)
    return subprocess.Popen([vexmira, *args], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)


def ended_by(process, sig):
    _, errors = process.communicate(timeout=60)
    check(process.returncode == -sig, "exit status %d, not death by signal %d: %s" % (process.returncode, sig, errors))
    check(errors.splitlines()[-1:] == ["vexmira: ended by " + signal.Signals(sig).name], "last line: " + errors)


def sigterm_ends_the_sacn_stream(vexmira, folder):
    script = os.path.join(folder, "console.vxs")
    with open(script, "w") as out:
        out.write("click 1000\nwait 600000\n")
    receiver = netcheck.Receiver(5568)
    process = start(vexmira, folder, ["--interface", "sacn:1@127.0.0.1", "--script", script, "--realtime"])
    until(lambda: receiver.datagrams, "no sACN packet came")
    process.send_signal(signal.SIGTERM)
    ended_by(process, signal.SIGTERM)
    terminated = [d for d in receiver.stop() if d[112] & TERMINATED]
    check(len(terminated) == 3, "%d stream-terminated packets, not 3" % len(terminated))


def sighup_gives_the_port_back(vexmira, folder):
    master, other = os.openpty()  # `other` stands for the next program that opens the port
    before = termios.tcgetattr(other)
    exclusive = lambda: struct.unpack("i", fcntl.ioctl(other, TIOCGEXCL, b"\0" * 4))[0]
    process = start(vexmira, folder, ["--interface", "opendmx:" + os.ttyname(other)])
    until(lambda: exclusive() == 1, "the program never took the port")
    process.send_signal(signal.SIGHUP)
    ended_by(process, signal.SIGHUP)
    check(exclusive() == 0, "the port is still held for exclusive use")
    check(termios.tcgetattr(other) == before, "the port did not get its settings back")
    os.close(master)
    os.close(other)


def a_failing_interface_fails_the_run(vexmira, folder):
    script = os.path.join(folder, "unreachable.vxs")
    with open(script, "w") as out:
        out.write("click 1000\nwait 1000\nexpect message\nexpect frames 0\nclose\n")
    # A namespace whose loopback is down: the first frame already finds the network unreachable.
    result = subprocess.run(["unshare", "--net", vexmira, "--interface", "sacn:1@127.0.0.1", "--script", script],
                            env=dict(os.environ, XDG_CONFIG_HOME=folder), capture_output=True, text=True, timeout=60)
    check(result.returncode == 1, "exit status %d, not 1: %s" % (result.returncode, result.stderr))
    lines = result.stderr.splitlines()
    check(len(lines) == 1 and "stopped working (Network is unreachable)" in lines[0], "stderr: " + result.stderr)


def main():
    vexmira = sys.argv[1]
    netcheck.enter_private_network()
    with tempfile.TemporaryDirectory(prefix="vexmira-ends-") as folder:
        sigterm_ends_the_sacn_stream(vexmira, folder)
        sighup_gives_the_port_back(vexmira, folder)
        a_failing_interface_fails_the_run(vexmira, folder)
    print("PASSED")


if __name__ == "__main__":
    main()
