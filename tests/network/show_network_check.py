"""The network outputs on a show network (netcheck.ShowNetwork: a lighting network without a default
route, and an office interface that holds it): by which interface sACN and Art-Net leave, with and
without iface=; sACN universe discovery every 10 s and per-address priorities (start code 0xDD); one
CID for each running copy; Art-Net nodes found by ArtPoll (a small node, artnet_node.py, in the nodes'
namespace) and an ArtPoll answered. Both interfaces are captured; tshark reads the captures."""
import os
import shutil
import subprocess
import sys

import netcheck

HERE = os.path.dirname(os.path.abspath(__file__))
ACN = ["--enable-heuristic", "acn", "-o", "acn.dmx_enable:TRUE"]
CONSOLE, NODE, OFFICE = netcheck.ShowNetwork.CONSOLE, netcheck.ShowNetwork.NODE, netcheck.ShowNetwork.OFFICE


def start(vexmira, interface, script, folder):
    """Starts a script run; the Art-Net and two-copy runs need real time (--realtime in the script's name)."""
    realtime = ["--realtime"] if script == "nodes.vxs" else []
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=folder)
    return subprocess.Popen([vexmira, "--interface", interface, "--script", os.path.join(HERE, script)] + realtime,
                            env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


def captured(folder, name, runs):
    """Runs the vexmira runs `runs` starts while both of the console's interfaces are captured; the
    captures' paths and the runs' standard errors."""
    sniffers = {interface: netcheck.Sniffer(interface) for interface in ("light0", "office0")}
    errors = []
    for run in runs():
        _, error = run.communicate(timeout=120)
        if run.returncode != 0:
            sys.exit("vexmira %s failed (%d): %s" % (run.args[2], run.returncode, error))
        errors.append(error)
    return {i: s.stop(os.path.join(folder, "%s-%s.pcap" % (name, i))) for i, s in sniffers.items()}, errors


def sacn_rows(path):
    rows = netcheck.decode(path, ["ip.src", "ip.dst", "udp.dstport", "acn.cid", "acn.dmx.start_code2", "udp.payload"],
                           ACN)
    return [r for r in rows if r[2] == "5568"]


def check_sacn_by_every_interface_with_discovery(vexmira, folder):
    paths, _ = captured(folder, "sacn", lambda: [start(vexmira, "sacn:1", "discovery.vxs", folder)])
    rows = sacn_rows(paths["light0"])
    data = [r for r in rows if r[1] == "239.255.0.1"]
    assert data and {(r[0], int(r[4], 0)) for r in data} == {(CONSOLE, 0)}, \
        "levels by light0: %s" % [r[:5] for r in data[:1]]
    found = [n for n, r in enumerate(rows) if r[1] == "239.255.250.214"]
    # Frames come every 25 ms of the script's time: 400 of them between two discovery packets.
    assert [b - a - 1 for a, b in zip(found, found[1:])] == [400, 400], "discovery at %s of %d" % (found, len(rows))
    cid = bytes.fromhex(data[0][3].replace("-", ""))
    for n in found:
        packet = bytes.fromhex(rows[n][5])
        # tshark 4.0 does not know E1.31 universe discovery: its layers are read here. Root vector 8
        # (extended) with the source's CID, framing vector 2 (discovery), universe list vector 1,
        # page 0 of 0, universe 1.
        assert (len(packet), packet[18:22], packet[22:38], packet[40:44], packet[114:]) == (
            122, bytes([0, 0, 0, 8]), cid, bytes([0, 0, 0, 2]), bytes([0, 0, 0, 1, 0, 0, 0, 1])), packet.hex()
    office = sacn_rows(paths["office0"])
    assert office and {(r[0], r[1]) for r in office} == {(OFFICE, "239.255.0.1"), (OFFICE, "239.255.250.214")}, \
        "without iface= by the office interface too: %s" % office[:1]
    print("sacn:1 by light0 and office0: %d packets, discovery packets after %s" % (len(data), found))


def check_sacn_by_the_chosen_interface_two_copies_and_priorities(vexmira, folder):
    paths, errors = captured(folder, "copies", lambda: [
        start(vexmira, "sacn:1,iface=light0,per-address", "nodes.vxs", folder),
        start(vexmira, "sacn:1,iface=" + CONSOLE, "nodes.vxs", folder)])
    assert not sacn_rows(paths["office0"]), "iface= keeps sACN off the office interface"
    rows = sacn_rows(paths["light0"])
    cids = {r[3] for r in rows if r[1] == "239.255.0.1"}
    assert len(cids) == 2, "two copies, two CIDs: %s" % cids
    assert sum("another copy of the program uses the sACN source id" in e for e in errors) == 1, errors
    priorities = [r for r in rows if r[4] and int(r[4], 0) == 0xDD]
    assert priorities and len({r[3] for r in priorities}) == 1, "0xDD from the per-address copy alone"
    # Channel 1 at 255 and the rest at 0: priority 100 for slot 1, 0 ("not sourced here") for the rest.
    slots = {bytes.fromhex(r[5])[126:] for r in priorities}
    assert bytes([100]) + bytes(511) in slots and slots <= {bytes(512), bytes([100]) + bytes(511)}, slots
    print("two copies on light0 alone: CIDs %s; %d 0xDD packets" % (sorted(cids), len(priorities)))


def artnet_rows(path):
    return netcheck.decode(path, ["ip.src", "ip.dst", "artnet.header.opcode", "artnet.output.universe",
                                  "artnet.poll_reply.ip_address", "artnet.poll_reply.short_name",
                                  "artnet.poll_reply.num_ports"])


def check_artnet_nodes_found_by_poll(vexmira, folder, network):
    node = subprocess.Popen(network.on_node([sys.executable, os.path.join(HERE, "artnet_node.py"), "1", NODE,
                                             "10.255.255.255", "1.0"]),
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        node.stdout.readline()
        found, _ = captured(folder, "artnet", lambda: [start(vexmira, "artnet:1", "nodes.vxs", folder)])
        other, _ = captured(folder, "other", lambda: [start(vexmira, "artnet:2,iface=light0", "nodes.vxs", folder)])
    finally:
        node.stdin.close()
        node.wait()
    rows = [r for r in artnet_rows(found["light0"]) if r[2]]
    assert [CONSOLE, "10.255.255.255", "0x2000"] in [r[:3] for r in rows], "ArtPoll to light0's broadcast address"
    frames = [r for r in rows if r[2] == "0x5000"]
    assert frames and {(r[1], r[3]) for r in frames} == {(NODE, "1")}, "ArtDmx by unicast to the node: %s" % frames[:1]
    answers = [r for r in rows if r[2] == "0x2100" and r[0] == CONSOLE]
    assert answers and answers[0][1:] == [NODE, "0x2100", "", CONSOLE, "Vexmira", "0"], "the node's poll answered: %s" % answers
    office = [r for r in artnet_rows(found["office0"]) if r[2]]
    assert office and {tuple(r[:3]) for r in office} == {(OFFICE, "192.168.77.255", "0x2000")}, "polls only: %s" % office
    rows = [r for r in artnet_rows(other["light0"]) if r[2]]
    assert rows and not [r for r in rows if r[2] in ("0x5000", "0x5100")], "a node without port-address 2 gets nothing"
    assert not [r for r in artnet_rows(other["office0"]) if r[2]], "iface= keeps Art-Net off the office interface"
    print("artnet:1: %d ArtDmx by unicast to the node, its ArtPoll answered; artnet:2: no frames" % len(frames))


def main():
    vexmira = sys.argv[1]
    if shutil.which("tshark") is None:
        netcheck.skip("tshark is not installed")
    netcheck.enter_private_network()
    with netcheck.private_folder() as folder, netcheck.ShowNetwork() as network:
        check_sacn_by_every_interface_with_discovery(vexmira, folder)
        check_sacn_by_the_chosen_interface_two_copies_and_priorities(vexmira, folder)
        check_artnet_nodes_found_by_poll(vexmira, folder, network)


if __name__ == "__main__":
    main()
