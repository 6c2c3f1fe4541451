// The network outputs at the console's pace, to a receiver on 127.0.0.1: how long after the tick's
// start call a frame is in the receiver's socket, and what 40 frames a second cost the process,
// also as on a show network: by two interfaces, with sACN's discovery and per-address priorities,
// Art-Net's polls and its listening thread.
#include "link/DmxLine.h"
#include "outputs/ArtNetOutput.h"
#include "outputs/SacnOutput.h"
#include "outputs/UdpSocket.h"
#include "outputs/VirtualOutput.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kTick = 25ms;
constexpr int kFrames = 400;  // 10 s at 40 frames a second

// A loopback socket on a free port; the bench reads it or lets it fill (the kernel drops the rest).
struct CReceiver {
  int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  std::uint16_t port = 0;
  CReceiver() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    port = ntohs(address.sin_port);
  }
  ~CReceiver() { ::close(fd); }
};

// A show network of two interfaces whose every datagram is sent to 127.0.0.1 instead, so the
// bench pays for each route's system call and nothing leaves the machine.
class CLoopbackShowNetwork final : public CDatagramSocket {
 public:
  explicit CLoopbackShowNetwork(std::unique_ptr<CUdpSocket> socket) : m_socket(std::move(socket)) {}
  std::expected<void, std::error_code> Send(std::span<const std::uint8_t> datagram, const CDatagramRoute&) override {
    return m_socket->Send(datagram, {{127, 0, 0, 1}});
  }
  std::optional<CReceivedDatagram> Receive() override { return m_socket->Receive(); }
  void Wait(Clock::time_point deadline) override { m_socket->Wait(deadline); }
  void Wake() override { m_socket->Wake(); }
  Clock::time_point Now() override { return m_socket->Now(); }
  std::vector<CLocalAddress> LocalAddresses() override {
    CUdpSocket::SystemAddresses();  // the cost of looking
    return {{"eth1", 101, {10, 0, 0, 5}, CIpv4Address{10, 255, 255, 255}, false, true},
            {"eth2", 102, {192, 168, 1, 5}, CIpv4Address{192, 168, 1, 255}, false, true}};
  }

 private:
  std::unique_ptr<CUdpSocket> m_socket;
};

std::unique_ptr<CDatagramSocket> SocketTo(const CReceiver& receiver, bool showNetwork) {
  auto socket = std::move(*CUdpSocket::Open(receiver.port, true, false));
  if (!showNetwork) return socket;
  return std::make_unique<CLoopbackShowNetwork>(std::move(socket));
}

enum class EKind { Sacn, ArtNet, Virtual };

// To one node at 127.0.0.1, or (`showNetwork`) by multicast or broadcast on two interfaces.
std::unique_ptr<CDmxOutput> MakeOutput(EKind kind, const CReceiver& receiver, bool showNetwork) {
  if (kind == EKind::Virtual) return std::make_unique<CVirtualOutput>();
  const std::optional<CIpv4Address> host =
      showNetwork ? std::nullopt : std::optional<CIpv4Address>(CIpv4Address{127, 0, 0, 1});
  if (kind == EKind::Sacn) {
    return std::make_unique<CSacnOutput>("sacn:1", CSacnPacket(CCidStore::MakeRandom(), "bench", 1, 100),
                                         SocketTo(receiver, showNetwork),
                                         CSacnOutput::CSettings{host, {}, showNetwork});
  }
  return std::make_unique<CArtNetOutput>("artnet:1", CArtNetPacket(1), SocketTo(receiver, showNetwork),
                                         CArtNetOutput::CSettings{host, {}, "bench"});
}

// The kernel's time of arrival of the next datagram (SO_TIMESTAMPNS), on the wall clock; nothing after 1 s.
std::optional<std::chrono::system_clock::time_point> ReceiveStamped(int fd) {
  std::uint8_t buffer[2048];
  iovec data{buffer, sizeof buffer};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
  msghdr message{};
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  const ssize_t size = ::recvmsg(fd, &message, 0);
  if (size <= 0) return std::nullopt;
  // Art-Net polls to the one node are no frames.
  if (size >= 10 && buffer[8] == 0x00 && buffer[9] == 0x20) return ReceiveStamped(fd);
  for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
    if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
      timespec stamp{};
      std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
      return std::chrono::system_clock::time_point(std::chrono::duration_cast<std::chrono::system_clock::duration>(
          std::chrono::seconds(stamp.tv_sec) + std::chrono::nanoseconds(stamp.tv_nsec)));
    }
  }
  return std::nullopt;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Console ticks: page 0 changes and the frame starts, every 25 ms. With `read`, a thread times each
// datagram's arrival in the receiving socket (the kernel's time stamp) against its tick; without,
// only the process's CPU time is counted (the virtual output gives the cost of the ticking loop
// and the line alone).
void Run(EKind kind, bool read, bool showNetwork = false) {
  CReceiver receiver;
  CDmxLine line;
  line.SetOutput(MakeOutput(kind, receiver, showNetwork));
  line.DmxLinkSetMode(0xA5, 0, 0, 512);
  using Wall = std::chrono::system_clock;
  std::vector<Wall::time_point> ticks(kFrames), arrivals(kFrames);
  std::vector<double> callMs;
  std::atomic<int> arrived = 0;
  std::thread reader;
  if (read) {
    const int on = 1;
    const timeval limit{1, 0};
    ::setsockopt(receiver.fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    ::setsockopt(receiver.fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    reader = std::thread([&] {
      while (arrived < kFrames) {
        const auto stamp = ReceiveStamped(receiver.fd);
        if (!stamp) break;
        arrivals[static_cast<std::size_t>(arrived++)] = *stamp;
      }
    });
  }
  std::uint8_t page[kPageSize] = {};
  const double cpuBefore = CpuSeconds();
  const auto begin = Clock::now();
  auto next = begin;
  for (int i = 0; i < kFrames; ++i) {
    page[static_cast<std::size_t>(i) % kPageSize] = static_cast<std::uint8_t>(i);
    const auto called = Clock::now();
    ticks[static_cast<std::size_t>(i)] = Wall::now();
    line.DmxLinkTransmitStartWithPageValue(0, page);
    callMs.push_back(Ms(Clock::now() - called));
    next += kTick;
    std::this_thread::sleep_until(next);
  }
  const double wall = std::chrono::duration<double>(Clock::now() - begin).count();
  const double cpu = CpuSeconds() - cpuBefore;
  if (read) reader.join();
  const char* name = kind == EKind::Sacn    ? (showNetwork ? "sACN multicast, 2 interfaces, discovery, per-address" : "sACN   ")
                     : kind == EKind::ArtNet ? (showNetwork ? "Art-Net broadcast, 2 interfaces, polls, listening" : "Art-Net")
                                             : "virtual";
  std::sort(callMs.begin(), callMs.end());
  if (!read) {
    std::printf("%s %d frames at 40/s over %.1f s: %.3f %% of a core, ticking loop included; start call p50 %.3f ms\n", name,
                kFrames, wall, 100.0 * cpu / wall, callMs[callMs.size() / 2]);
    return;
  }
  std::vector<double> latency;
  for (int i = 0; i < arrived; ++i) latency.push_back(
        std::chrono::duration<double, std::milli>(arrivals[static_cast<std::size_t>(i)] - ticks[static_cast<std::size_t>(i)])
            .count());
  const auto worst = std::max_element(latency.begin(), latency.end()) - latency.begin();
  std::sort(latency.begin(), latency.end());
  if (latency.empty()) {
    std::printf("%s nothing arrived\n", name);
    return;
  }
  std::printf("%s %d of %d frames arrived; tick to the receiving socket p50 %.3f ms, p99 %.3f ms, max %.3f ms (limit 1 ms); "
              "worst: frame %td; start call p99 %.3f ms, max %.3f ms\n",
              name, arrived.load(), kFrames, latency[latency.size() / 2], latency[latency.size() * 99 / 100],
              latency.back(), worst, callMs[callMs.size() * 99 / 100], callMs.back());
}

}  // namespace

int main() {
  std::printf("Network outputs at the console's 25 ms tick, to 127.0.0.1\n");
  Run(EKind::Virtual, false);
  for (const EKind kind : {EKind::Sacn, EKind::ArtNet}) {
    Run(kind, true);
    Run(kind, false);
    Run(kind, false, true);
  }
  return 0;
}
