"""A small Art-Net node for the show network check, as Art-Net 4 describes one: it answers every
ArtPoll with an ArtPollReply, by unicast to the poller, that lists one output port (port type bit 7)
for the port-address it is given; after a while it polls its network once itself. It runs until its
standard input closes.

usage: artnet_node.py PORT_ADDRESS OWN_ADDRESS BROADCAST_ADDRESS POLL_AFTER_SECONDS"""
import select
import socket
import struct
import sys
import time

PORT = 6454
ID = b"Art-Net\0"


def poll_reply(address, port_address):
    reply = ID + struct.pack("<H", 0x2100) + socket.inet_aton(address) + struct.pack("<H", PORT)
    reply += bytes([0, 0, port_address >> 8 & 0x7F, port_address >> 4 & 0x0F, 0x00, 0xFF, 0, 0, 0, 0])
    reply += b"node".ljust(18, b"\0") + b"test node".ljust(64, b"\0") + bytes(64)
    reply += bytes([0, 1]) + bytes([0x80, 0, 0, 0]) + bytes(4) + bytes([0x80, 0, 0, 0]) + bytes(4)
    reply += bytes([port_address & 0x0F, 0, 0, 0]) + bytes(3 + 3) + bytes([0]) + bytes(6)
    reply += socket.inet_aton(address) + bytes([1, 0x08]) + bytes(26)
    assert len(reply) == 239
    return reply


def main():
    port_address, address, broadcast, poll_after = int(sys.argv[1]), sys.argv[2], sys.argv[3], float(sys.argv[4])
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
    sock.bind(("", PORT))
    print("listening", flush=True)
    poll_at = time.monotonic() + poll_after
    while True:
        ready, _, _ = select.select([sock, sys.stdin], [], [], max(0.0, poll_at - time.monotonic()) if poll_at else None)
        if sys.stdin in ready and not sys.stdin.readline():
            return
        if poll_at and time.monotonic() >= poll_at:
            sock.sendto(ID + struct.pack("<H", 0x2000) + bytes([0, 14, 0, 0]), (broadcast, PORT))
            poll_at = None
        if sock in ready:
            data, (sender, _) = sock.recvfrom(2048)
            if data[:10] == ID + struct.pack("<H", 0x2000) and sender != address:
                sock.sendto(poll_reply(address, port_address), (sender, PORT))


if __name__ == "__main__":
    main()
