// Classic pcap writer for DMX frames, records in the exported-PDU layout, written by a thread of its own.
#include "link/CaptureWriter.h"

#include "base/LittleEndian.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace {

std::string ErrnoText(int code) { return std::generic_category().message(code); }

void PutBe16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

// Exported-PDU tags: 12 names the dissector that takes the payload, 0 ends the tag list.
constexpr std::uint16_t kTagProtocolName = 12;
constexpr std::uint16_t kTagEnd = 0;
constexpr char kDissectorName[] = "dmx";  // padded with a zero byte to a length of 4

// Records taken from the queue for one write: fewer system calls when frames come in bursts.
constexpr std::size_t kBatchBytes = 64 * 1024;

const std::string kBehind = "writing it fell more than " + std::to_string(CCaptureWriter::kStallLimit.count() / 1000) +
                            " s behind the DMX line (has the program reading it stopped?)";

}  // namespace

std::expected<std::unique_ptr<CCaptureWriter>, CError> CCaptureWriter::Create(const std::string& path,
                                                                               CFileWrites& writes) {
  // Not blocking: a FIFO without a reader is refused at once instead of holding up the start, and a
  // reader that stops reading makes writes wait in the writer's thread, where the time is measured.
  const auto fd = writes.Open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  if (!fd) {
    struct stat status {};
    if (fd.error() == ENXIO && ::stat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode))
      return std::unexpected(CError{"no program is reading \"" + path + "\"; start the program that reads the capture first"});
    return std::unexpected(CError{"Cannot create the capture file \"" + path + "\": " + ErrnoText(fd.error())});
  }
  std::unique_ptr<CCaptureWriter> writer(new CCaptureWriter(path, *fd, writes));
  writer->Queue(FileHeader());
  return writer;
}

CCaptureWriter::CCaptureWriter(std::string path, int fd, CFileWrites& writes)
    : m_path(std::move(path)), m_fd(fd), m_writes(writes), m_thread([this] { Run(); }) {}

CCaptureWriter::~CCaptureWriter() { Close(); }

std::vector<std::uint8_t> CCaptureWriter::FileHeader() {
  std::vector<std::uint8_t> header;
  AppendLe(header, 0xA1B2C3D4, 4);  // microsecond timestamps
  AppendLe(header, 2, 2);
  AppendLe(header, 4, 2);
  AppendLe(header, 0, 4);  // time zone offset
  AppendLe(header, 0, 4);  // timestamp accuracy
  AppendLe(header, kSnapLength, 4);
  AppendLe(header, kLinkTypeUpperPdu, 4);
  return header;
}

std::vector<std::uint8_t> CCaptureWriter::RecordData(const CDmxFrame& frame) {
  std::vector<std::uint8_t> data;
  data.reserve(13 + frame.slots.size());
  PutBe16(data, kTagProtocolName);
  PutBe16(data, sizeof kDissectorName);
  for (char c : kDissectorName) {
    data.push_back(static_cast<std::uint8_t>(c));
  }
  PutBe16(data, kTagEnd);
  PutBe16(data, 0);
  data.push_back(frame.startCode);
  data.insert(data.end(), frame.slots.begin(), frame.slots.end());
  return data;
}

bool CCaptureWriter::Write(const CDmxFrame& frame) {
  std::vector<std::uint8_t> data = RecordData(frame);
  if (data.size() > kSnapLength) {
    data.resize(kSnapLength);  // cannot happen with 559 slots at most; keeps the file valid anyway
  }
  // Times before the clock's origin cannot be written as unsigned seconds: they read as 0.
  const std::int64_t timeUs = frame.timeUs < 0 ? 0 : frame.timeUs;
  std::vector<std::uint8_t> record;
  record.reserve(16 + data.size());
  AppendLe(record, static_cast<std::uint32_t>(timeUs / 1'000'000), 4);
  AppendLe(record, static_cast<std::uint32_t>(timeUs % 1'000'000), 4);
  AppendLe(record, static_cast<std::uint32_t>(data.size()), 4);  // bytes kept
  AppendLe(record, static_cast<std::uint32_t>(data.size()), 4);  // bytes on the wire
  record.insert(record.end(), data.begin(), data.end());
  Queue(std::move(record));
  std::lock_guard lock(m_mutex);
  return !m_error;
}

void CCaptureWriter::Queue(std::vector<std::uint8_t> record) {
  std::lock_guard lock(m_mutex);
  if (m_error || m_closing) return;
  if (m_queuedBytes + record.size() > kQueueLimit) return FailLocked(kBehind);
  m_queuedBytes += record.size();
  m_queue.emplace_back(std::move(record), m_writes.Now());
  if (m_queue.size() == 1) m_wake.notify_all();
}

void CCaptureWriter::SetFailureHandler(std::function<void(const CError&)> handler) {
  std::unique_lock lock(m_mutex);
  m_failed = std::move(handler);
  if (m_error && !m_told && m_failed) {
    m_told = true;
    const auto tell = m_failed;
    const CError error = *m_error;
    lock.unlock();
    tell(error);
  }
}

std::optional<CError> CCaptureWriter::Close() {
  {
    std::lock_guard lock(m_mutex);
    m_closing = true;
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  std::lock_guard lock(m_mutex);
  return m_error;
}

void CCaptureWriter::FailLocked(const std::string& why) {
  m_error = CError{"The capture file \"" + m_path + "\" could not be written: " + why};
  m_queue.clear();
  m_queuedBytes = 0;
  m_wake.notify_all();
}

void CCaptureWriter::Run() {
  std::unique_lock lock(m_mutex);
  const auto untold = [&] { return m_error && !m_told && m_failed; };
  for (;;) {
    m_wake.wait(lock, [&] { return m_closing || !m_queue.empty() || untold(); });
    if (untold()) {
      m_told = true;
      const auto tell = m_failed;
      const CError error = *m_error;
      lock.unlock();
      tell(error);
      lock.lock();
      continue;
    }
    if (m_queue.empty()) return;  // closing, and everything is written (or the capture has failed)
    CBatch batch;
    batch.oldest = m_queue.front().second;
    while (!m_queue.empty() && batch.bytes.size() < kBatchBytes) {
      const auto& record = m_queue.front().first;
      batch.bytes.insert(batch.bytes.end(), record.begin(), record.end());
      batch.ends.push_back(batch.bytes.size());
      m_queuedBytes -= record.size();
      m_queue.pop_front();
    }
    lock.unlock();
    WriteBatch(batch);
    lock.lock();
  }
}

bool CCaptureWriter::WriteBatch(const CBatch& batch) {
  const std::uint64_t start = m_written;
  const auto deadline = batch.oldest + kStallLimit;
  std::size_t done = 0, nextEnd = 0;
  std::string failure;
  while (done < batch.bytes.size()) {
    const auto now = m_writes.Now();
    if (now >= deadline) {
      failure = kBehind;
      break;
    }
    const auto written = m_writes.Write(m_fd, std::span(batch.bytes).subspan(done));
    if (!written && written.error() == EAGAIN) {
      m_writes.WaitWritable(m_fd, std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
      continue;
    }
    if (!written || *written == 0) {
      failure = ErrnoText(written ? ENOSPC : written.error());
      break;
    }
    done += *written;
    m_written += *written;
    while (nextEnd < batch.ends.size() && batch.ends[nextEnd] <= done) m_complete = start + batch.ends[nextEnd++];
  }
  if (failure.empty()) return true;
  // A torn record would make the whole file unreadable to some tools.
  if (m_written != m_complete) (void)::ftruncate(m_fd, static_cast<off_t>(m_complete));
  ::close(m_fd);
  m_fd = -1;
  std::lock_guard lock(m_mutex);
  FailLocked(failure);
  return false;
}
