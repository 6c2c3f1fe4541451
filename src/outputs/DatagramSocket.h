// Where a network output's datagrams go: one destination, behind a seam so tests can stand in.
#pragma once
#include <chrono>
#include <cstdint>
#include <expected>
#include <span>
#include <system_error>

class CDatagramSocket {
 public:
  CDatagramSocket() = default;
  CDatagramSocket(const CDatagramSocket&) = delete;
  CDatagramSocket& operator=(const CDatagramSocket&) = delete;
  virtual ~CDatagramSocket() = default;

  // Sends one datagram without waiting: resource_unavailable_try_again (or no_buffer_space) when
  // the system cannot take it now, another error when it cannot be sent at all.
  virtual std::expected<void, std::error_code> Send(std::span<const std::uint8_t> datagram) = 0;
  // Waits until a datagram may be taken, at most `limit`.
  virtual void WaitWritable(std::chrono::milliseconds limit) = 0;
};
