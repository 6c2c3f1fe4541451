"""Wireshark's dissectors read what vexmira sends: the console and automatic addressing are run over
sACN and Art-Net to 127.0.0.1 (frames.vxs); the datagrams go into a raw-IP pcap that tshark decodes."""
import os
import shutil
import struct
import subprocess
import sys

import netcheck

SACN_PORT, ARTNET_PORT = 5568, 6454


def write_pcap(path, datagrams, port):
    """Link type 101: each record an IPv4 and a UDP header from and to 127.0.0.1, then the datagram."""
    with open(path, "wb") as out:
        out.write(struct.pack("<IHHiIII", 0xA1B2C3D4, 2, 4, 0, 0, 65535, 101))
        for n, data in enumerate(datagrams):
            udp = struct.pack("!HHHH", 50000, port, 8 + len(data), 0)
            ip = struct.pack("!BBHHHBBH4s4s", 0x45, 0, 28 + len(data), n, 0x4000, 64, 17, 0,
                             bytes([127, 0, 0, 1]), bytes([127, 0, 0, 1]))
            record = ip + udp + data
            out.write(struct.pack("<IIII", 1, n, len(record), len(record)) + record)


def capture(vexmira, interface, port, scripts, config_home, folder, name):
    receiver = netcheck.Receiver(port)
    for script in scripts:
        netcheck.run_vexmira(vexmira, interface, script, config_home)
    datagrams = receiver.stop()
    path = os.path.join(folder, name + ".pcap")
    write_pcap(path, datagrams, port)
    return datagrams, path


def main():
    vexmira = sys.argv[1]
    if shutil.which("tshark") is None:
        netcheck.skip("tshark is not installed")
    netcheck.enter_private_network()
    scripts = [os.path.join(os.path.dirname(os.path.abspath(__file__)), "frames.vxs")]
    with netcheck.private_folder() as folder:
        # sACN: 4 level frames and 3 packets ending the stream, then 255 first-address frames and 3.
        datagrams, path = capture(vexmira, "sacn:7@127.0.0.1,priority=150", SACN_PORT, scripts, folder, folder, "sacn")
        rows = netcheck.decode(path, ["acn.cid", "acn.dmx.universe", "acn.dmx.priority", "acn.dmx.seq_number",
                             "acn.dmx.option_s", "acn.dmx.count", "acn.dmx.start_code2", "acn.dmx.source_name"],
                      ["--enable-heuristic", "acn", "-o", "acn.dmx_enable:TRUE"])
        assert len(rows) == 7 + 258, "tshark decoded %d sACN packets of %d" % (len(rows), len(datagrams))
        assert all(r[0] == rows[0][0] for r in rows), "one CID"
        assert {(r[1], r[2]) for r in rows} == {("7", "150")}, "universe and priority"
        assert [int(r[3]) for r in rows] == [n % 256 for n in range(len(rows))], "sequence"
        ends = [n for n, r in enumerate(rows) if r[4] in ("1", "True")]
        assert ends == [4, 5, 6, 262, 263, 264], "stream terminated: %s" % ends
        assert {(int(r[5]), int(r[6], 0)) for r in rows[:7]} == {(513, 0)}, "levels: %s" % rows[0]
        assert {(int(r[5]), int(r[6], 0)) for r in rows[7:]} == {(3, 0xFC)}, "first address: %s" % rows[7]
        assert rows[0][7].startswith("Vexmira on "), rows[0][7]
        assert all(len(d) == 125 + int(r[5]) for d, r in zip(datagrams, rows)), "sACN packets as long as they say"

        datagrams, path = capture(vexmira, "artnet:4660@127.0.0.1", ARTNET_PORT, scripts, folder, folder, "artnet")
        rows = netcheck.decode(path, ["artnet.header.opcode", "artnet.header.protver", "artnet.output.sequence",
                             "artnet.output.universe", "artnet.output.length"])
        # An ArtPoll at start (and one every 2.5 s, should the run take that long) beside the frames.
        assert rows[0][:2] == ["0x2000", "14"], "ArtPoll first: %s" % rows[0]
        datagrams = [d for d, r in zip(datagrams, rows) if r[0] != "0x2000"]
        rows = [r for r in rows if r[0] != "0x2000"]
        assert len(rows) == 4 + 255, "tshark decoded %d Art-Net frames of %d" % (len(rows), len(datagrams))
        assert all(r[:2] == ["0x5000", "14"] and r[3:] == ["4660", "512"] for r in rows[:4]), "ArtDmx: %s" % rows[0]
        assert [int(r[2]) for r in rows[:4]] == list(range(1, 5)), "ArtDmx sequence"
        assert {(r[0], r[1]) for r in rows[4:]} == {("0x5100", "14")}, "ArtNzs: %s" % rows[4]
        assert all(len(d) == 18 + int(r[4]) for d, r in zip(datagrams, rows[:4])), "ArtDmx as long as it says"
        nzs = datagrams[4]
        assert nzs[12:] == bytes([5, 0xFC, 0x34, 0x12, 0, 2, 0, 0]), "ArtNzs fields: %s" % nzs[:20].hex()
    print("tshark decoded every sACN and Art-Net packet as expected")


if __name__ == "__main__":
    main()
