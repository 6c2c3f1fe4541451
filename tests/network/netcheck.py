"""Shared by the network checks: private network namespaces (one, or two joined as a show network),
a loopback receiver, an interface sniffer, tshark, a vexmira run."""
import os
import shutil
import socket
import struct
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


class SocketReader:
    """A thread that keeps what a bound socket receives until stopped; a larger buffer than the system's, as
    script runs send hundreds of packets within milliseconds (the forced size needs root)."""

    def __init__(self, sock, buffer_size, read_size):
        self.sock, self.read_size, self.received = sock, read_size, []
        try:
            sock.setsockopt(socket.SOL_SOCKET, getattr(socket, "SO_RCVBUFFORCE", 33), buffer_size)
        except OSError:
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, buffer_size)
        sock.settimeout(0.1)
        self.running = True
        self.thread = threading.Thread(target=self._run)
        self.thread.start()

    def _run(self):
        while self.running:
            try:
                self.received.append(self.sock.recv(self.read_size))
            except socket.timeout:
                pass

    def finish(self):
        """Stops the thread, then takes what it had not read yet from the socket."""
        self.running = False
        self.thread.join()
        self.sock.setblocking(False)
        try:
            while True:
                self.received.append(self.sock.recv(self.read_size))
        except BlockingIOError:
            pass
        self.sock.close()
        return self.received


class Receiver(SocketReader):
    """Keeps every datagram that reaches 127.0.0.1:port, until stopped."""

    def __init__(self, port):
        sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        sock.bind(("127.0.0.1", port))
        super().__init__(sock, 8 << 20, 2048)
        self.datagrams = self.received  # the same list, filled as datagrams arrive

    def stop(self):
        """Called once the sender is done: what the thread has not read yet still waits in the socket."""
        return self.finish()


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


def run(command):
    subprocess.run(command, check=True)


class ShowNetwork:
    """A lighting network without a default route between this script's private namespace (the
    console's side: enter_private_network first) and a second private namespace (the nodes' side),
    joined by a veth pair, light0 (10.0.0.5/8) and node0 (10.0.0.7/8), both with broadcast addresses.
    Beside it the console has an office interface, office0 (192.168.77.5/24, a veth pair whose other
    end, office1, leads nowhere), which holds the default route. The second namespace lives as long as a holder process that ends when its
    standard input closes, so it goes away with this script however the script ends."""
    CONSOLE, NODE, OFFICE = "10.0.0.5", "10.0.0.7", "192.168.77.5"

    def __init__(self):
        self.holder = subprocess.Popen(
            ["unshare", "--net", sys.executable, "-c", "import sys; print('in', flush=True); sys.stdin.read()"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.holder.stdout.readline()
        try:
            run(["ip", "link", "add", "light0", "type", "veth", "peer", "name", "node0", "netns", str(self.holder.pid)])
            run(["ip", "addr", "add", self.CONSOLE + "/8", "brd", "+", "dev", "light0"])
            run(["ip", "link", "set", "light0", "up"])
            run(["ip", "link", "add", "office0", "type", "veth", "peer", "name", "office1"])
            run(["ip", "addr", "add", self.OFFICE + "/24", "brd", "+", "dev", "office0"])
            run(["ip", "link", "set", "office0", "up"])
            run(["ip", "link", "set", "office1", "up"])
            run(["ip", "route", "add", "default", "via", "192.168.77.1", "dev", "office0"])
            for command in (["ip", "link", "set", "lo", "up"], ["ip", "addr", "add", self.NODE + "/8", "brd", "+", "dev",
                            "node0"], ["ip", "link", "set", "node0", "up"]):
                run(self.on_node(command))
        except BaseException:
            self.close()
            raise

    def on_node(self, command):
        """The command, to be run in the nodes' namespace."""
        return ["nsenter", "--net=/proc/%d/ns/net" % self.holder.pid] + list(command)

    def close(self):
        self.holder.stdin.close()
        self.holder.wait()

    def __enter__(self):
        return self

    def __exit__(self, *problem):
        self.close()


class Sniffer(SocketReader):
    """Keeps every Ethernet frame that leaves or reaches an interface of this namespace, until stopped."""

    def __init__(self, interface):
        sock = socket.socket(socket.AF_PACKET, socket.SOCK_RAW, socket.htons(3))  # ETH_P_ALL
        sock.bind((interface, 0))
        super().__init__(sock, 32 << 20, 65535)

    def stop(self, path):
        """Writes what was seen as a pcap file (link type 1, Ethernet) for tshark."""
        frames = self.finish()
        with open(path, "wb") as out:
            out.write(struct.pack("<IHHiIII", 0xA1B2C3D4, 2, 4, 0, 0, 65535, 1))
            for n, frame in enumerate(frames):
                out.write(struct.pack("<IIII", 1, n, len(frame), len(frame)) + frame)
        return path


def decode(path, fields, options=()):
    """tshark's reading of the fields of each packet, one list a packet."""
    command = ["tshark", "-r", path, *options, "-T", "fields", "-E", "separator=;"]
    for field in fields:
        command += ["-e", field]
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit("tshark failed: " + result.stderr)
    return [line.split(";") for line in result.stdout.splitlines()]
