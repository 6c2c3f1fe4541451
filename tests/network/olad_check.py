"""A receiver nobody here wrote: the Open Lighting Architecture's olad, as a node on a show network
(netcheck.ShowNetwork), takes the console's levels over sACN by multicast and over Art-Net from a
controller that found it by ArtPoll, and its web API gives them back."""
import json
import os
import pwd
import shutil
import signal
import socket
import subprocess
import sys
import threading
import time
import urllib.parse
import urllib.request

import netcheck

# Only olad's E1.31 and Art-Net plugins run; every other plugin that the Debian package has is off.
OTHER_PLUGINS = ["dummy", "espnet", "ftdidmx", "gpio", "karate", "kinet", "milinst", "nanoleaf", "opendmx",
                 "openpixelcontrol", "osc", "pathport", "renard", "sandnet", "shownet", "spi", "stageprofi",
                 "uartdmx", "usbdmx", "usbserial"]
NODE_ADDRESS = netcheck.ShowNetwork.NODE
EXPECTED = {1: 255, 2: 128, 201: 200}


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def http(port, path, form=None, timeout=5):
    data = urllib.parse.urlencode(form).encode() if form else None
    with urllib.request.urlopen("http://%s:%d%s" % (NODE_ADDRESS, port, path), data=data, timeout=timeout) as reply:
        return reply.read().decode()


def write_config(folder):
    for plugin in OTHER_PLUGINS:
        with open(os.path.join(folder, "ola-%s.conf" % plugin), "w") as out:
            out.write("enabled = false\n")
    with open(os.path.join(folder, "ola-e131.conf"), "w") as out:
        out.write("enabled = true\nip = %s\ninput_ports = 1\noutput_ports = 0\n" % NODE_ADDRESS)
    with open(os.path.join(folder, "ola-artnet.conf"), "w") as out:
        out.write("enabled = true\nip = %s\noutput_ports = 0\n" % NODE_ADDRESS)


def start_olad(network, folder, http_port):
    command = ["olad", "-c", folder, "-p", str(http_port), "-r", str(free_port()), "--no-register-with-dns-sd"]
    if os.geteuid() == 0:  # olad will not run as root
        nobody = pwd.getpwnam("nobody")
        for name in [folder] + [os.path.join(folder, f) for f in os.listdir(folder)]:
            os.chown(name, nobody.pw_uid, nobody.pw_gid)
        command = ["setpriv", "--reuid=%d" % nobody.pw_uid, "--regid=%d" % nobody.pw_gid, "--clear-groups"] + command
    log = open(os.path.join(folder, "olad.log"), "w")
    return subprocess.Popen(network.on_node(command), stdout=log, stderr=subprocess.STDOUT)


def wait_for_ports(olad, http_port):
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        if olad.poll() is not None:
            sys.exit("olad ended at start-up (%d)" % olad.returncode)
        try:
            ports = json.loads(http(http_port, "/json/get_ports"))
            inputs = {p["device"].split()[0]: p["id"] for p in ports if not p["is_output"]}
            if "E1.31" in inputs and "ArtNet" in inputs:
                return inputs
        except (OSError, ValueError, KeyError):
            pass
        time.sleep(0.2)
    sys.exit("olad's E1.31 and Art-Net input ports did not appear within 30 s")


def levels_seen(http_port, universe, vexmira_run):
    """Reads the universe from olad while vexmira keeps sending, until the faders' levels are there."""
    last = None
    while vexmira_run.is_alive():
        try:
            last = json.loads(http(http_port, "/get_dmx?u=%d" % universe))["dmx"]
            lit = {n + 1: v for n, v in enumerate(last) if v}
            if lit == EXPECTED:
                return lit
        except (OSError, ValueError, KeyError):
            pass
        time.sleep(0.1)
    return last


def check(vexmira, script, folder, http_port, interface, universe):
    """The run's levels in olad's universe; the datagrams the run sent to the nodes' network."""
    sniffer = netcheck.Sniffer("light0")
    run = threading.Thread(target=netcheck.run_vexmira, args=(vexmira, interface, script, folder, ["--realtime"]))
    run.start()
    seen = levels_seen(http_port, universe, run)
    run.join()
    if seen != EXPECTED:
        sys.exit("olad's universe %d after %s: %s, not %s" % (universe, interface, seen, EXPECTED))
    print("olad universe %d from %s: %s" % (universe, interface, seen))
    return netcheck.decode(sniffer.stop(os.path.join(folder, "%d.pcap" % universe)),
                           ["ip.src", "ip.dst", "artnet.header.opcode", "artnet.poll_reply.num_ports",
                            "artnet.poll_reply.port_types_1", "artnet.poll_reply.swout_1"])


def main():
    vexmira = sys.argv[1]
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "levels.vxs")
    if shutil.which("olad") is None:
        netcheck.skip("olad is not installed (Debian package ola; scripts/install-deps installs it)")
    netcheck.enter_private_network()
    with netcheck.private_folder() as folder, netcheck.ShowNetwork() as network:
        os.chmod(folder, 0o755)
        write_config(folder)
        http_port = free_port()
        olad = start_olad(network, folder, http_port)
        try:
            inputs = wait_for_ports(olad, http_port)
            http(http_port, "/new_universe", {"id": 1, "name": "sacn", "add_ports": inputs["E1.31"]})
            http(http_port, "/new_universe", {"id": 2, "name": "artnet", "add_ports": inputs["ArtNet"]})
            check(vexmira, script, folder, http_port, "sacn:1", 1)
            # olad answers the ArtPoll for its port-address 2 (its universe): the frames go to it alone.
            rows = check(vexmira, script, folder, http_port, "artnet:2", 2)
            replies = {tuple(r[3:]) for r in rows if r[2] == "0x2100" and r[0] == NODE_ADDRESS}
            print("olad's ArtPollReply (ports, port 1's type, SwOut): %s" % sorted(replies))
            sent = [r for r in rows if r[2] == "0x5000"]
            if not sent or {tuple(r[:2]) for r in sent} != {(netcheck.ShowNetwork.CONSOLE, NODE_ADDRESS)}:
                sys.exit("ArtDmx not by unicast to olad: %s" % sorted({tuple(r[:2]) for r in sent}))
        finally:
            olad.send_signal(signal.SIGTERM)
            try:
                olad.wait(timeout=10)
            except subprocess.TimeoutExpired:
                olad.kill()
                olad.wait()
            with open(os.path.join(folder, "olad.log")) as log:
                problems = [line for line in log if "WARN" in line or "denied" in line]
            print("".join(problems[-20:]), end="")


if __name__ == "__main__":
    main()
