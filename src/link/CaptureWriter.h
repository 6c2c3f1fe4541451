// Writes the frames put on the line to a pcap file that Wireshark decodes as DMX512.
#pragma once
#include "base/Error.h"
#include "base/FileWrites.h"
#include "link/DmxFrame.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <expected>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Classic pcap, link type 252 (exported upper-layer PDU): each record names the "dmx" dissector
// in a tag and carries the start code and the slots. The line hands records over without ever
// waiting for the file: they wait in a bounded queue that a thread of the writer's own writes.
// A file or a reader (a FIFO, a pipe) that falls kStallLimit behind fails the capture, and so
// does a queue grown past kQueueLimit bytes (frames made faster than real time); the line goes on.
class CCaptureWriter final {
 public:
  static constexpr std::uint32_t kLinkTypeUpperPdu = 252;
  static constexpr std::uint32_t kSnapLength = 65535;
  static constexpr std::chrono::milliseconds kStallLimit{2000};
  static constexpr std::size_t kQueueLimit = std::size_t{16} << 20;

  // Creates (or empties) the file; an error a user can read if it cannot be opened, and at once
  // for a FIFO that no program reads. The header is the first record written.
  static std::expected<std::unique_ptr<CCaptureWriter>, CError> Create(
      const std::string& path, CFileWrites& writes = CFileWrites::System());
  // Closes as Close does.
  ~CCaptureWriter();
  CCaptureWriter(const CCaptureWriter&) = delete;
  CCaptureWriter& operator=(const CCaptureWriter&) = delete;

  // Queues one record; never waits for the file. False once the capture has failed.
  bool Write(const CDmxFrame& frame);
  // Who hears of the failure: once, on the writer's thread (at once on this one if the capture
  // failed already). It must not block nor wait for the line.
  void SetFailureHandler(std::function<void(const CError&)> handler);
  // Writes the records still waiting (giving up once the oldest is kStallLimit old), stops the
  // thread and closes the file. The file keeps every complete record: one cut short by a failure
  // is taken off again where the file allows it. Returns why the capture failed, if it did.
  std::optional<CError> Close();
  const std::string& Path() const { return m_path; }

  // The bytes of one record's data (what follows the record header), for the frame.
  static std::vector<std::uint8_t> RecordData(const CDmxFrame& frame);
  // The 24-byte file header.
  static std::vector<std::uint8_t> FileHeader();

 private:
  struct CBatch {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> ends;  // where each record ends within `bytes`
    CFileWrites::Clock::time_point oldest;
  };

  CCaptureWriter(std::string path, int fd, CFileWrites& writes);
  void Queue(std::vector<std::uint8_t> record);
  void Run();
  // Writes the batch, waiting while the reader catches up; false (the error set) on failure.
  bool WriteBatch(const CBatch& batch);
  void FailLocked(const std::string& why);

  const std::string m_path;
  int m_fd;
  CFileWrites& m_writes;
  std::uint64_t m_written = 0;   // by the writer's thread only
  std::uint64_t m_complete = 0;  // bytes of the header and the complete records

  mutable std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<std::pair<std::vector<std::uint8_t>, CFileWrites::Clock::time_point>> m_queue;
  std::size_t m_queuedBytes = 0;
  bool m_closing = false;
  std::optional<CError> m_error;
  bool m_told = false;
  std::function<void(const CError&)> m_failed;
  std::thread m_thread;  // last: it starts once everything above is ready
};
