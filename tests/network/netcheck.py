"""Shared by the network checks: a private network namespace, a loopback receiver, a vexmira run."""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading

SKIP = 77  # ctest's SKIP_RETURN_CODE


def skip(why):
    print("SKIPPED: " + why)
    sys.exit(SKIP)


def enter_private_network():
    """Runs this script again in a network namespace of its own, where only its own loopback exists:
    nothing it or the programs it starts send can reach a real network."""
    if os.environ.get("VEXMIRA_PRIVATE_NET") == "1":
        subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
        return
    if shutil.which("ip") is None:
        skip("the ip command (iproute2) is missing: scripts/install-deps installs it")
    if subprocess.run(["unshare", "--net", "true"], capture_output=True).returncode != 0:
        skip("cannot make a private network namespace (unshare --net needs root)")
    env = dict(os.environ, VEXMIRA_PRIVATE_NET="1")
    sys.exit(subprocess.run(["unshare", "--net", sys.executable] + sys.argv, env=env).returncode)


class Receiver:
    """Keeps every datagram that reaches 127.0.0.1:port, until stopped."""

    def __init__(self, port):
        self.datagrams = []
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        # Script runs send hundreds of datagrams within milliseconds: room for all of them, so a
        # busy machine loses none before this thread reads them (the forced size needs root).
        try:
            self.sock.setsockopt(socket.SOL_SOCKET, getattr(socket, "SO_RCVBUFFORCE", 33), 8 << 20)
        except OSError:
            self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 8 << 20)
        self.sock.bind(("127.0.0.1", port))
        self.sock.settimeout(0.2)
        self.running = True
        self.thread = threading.Thread(target=self._run)
        self.thread.start()

    def _run(self):
        while self.running:
            try:
                self.datagrams.append(self.sock.recv(2048))
            except socket.timeout:
                pass

    def stop(self):
        """Called once the sender is done: what the thread has not read yet still waits in the socket."""
        self.running = False
        self.thread.join()
        self.sock.setblocking(False)
        try:
            while True:
                self.datagrams.append(self.sock.recv(2048))
        except BlockingIOError:
            pass
        self.sock.close()
        return self.datagrams


def run_vexmira(vexmira, interface, script, config_home, extra=(), timeout=60):
    """Runs a script through the real program; fails the check when it does not pass."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=config_home)
    result = subprocess.run([vexmira, "--interface", interface, "--script", script, *extra],
                            env=env, capture_output=True, text=True, timeout=timeout)
    if result.returncode != 0:
        sys.exit("vexmira --interface %s --script %s failed (%d): %s"
                 % (interface, script, result.returncode, result.stderr))


def private_folder():
    return tempfile.TemporaryDirectory(prefix="vexmira-net-")
