// Classic pcap writer for DMX frames, records in the exported-PDU layout.
#include "link/CaptureWriter.h"

#include "base/LittleEndian.h"
#include "base/RetryOnInterrupt.h"

#include <fcntl.h>
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

}  // namespace

std::expected<std::unique_ptr<CCaptureWriter>, CError> CCaptureWriter::Create(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) return std::unexpected(CError{"Cannot create the capture file \"" + path + "\": " + ErrnoText(errno)});
  std::unique_ptr<CCaptureWriter> writer(new CCaptureWriter(path, fd));
  writer->WriteBytes(FileHeader());  // a failure here is the capture's first, told like any other
  return writer;
}

CCaptureWriter::CCaptureWriter(std::string path, int fd) : m_path(std::move(path)), m_fd(fd) {}

CCaptureWriter::~CCaptureWriter() {
  if (m_fd >= 0) ::close(m_fd);
}

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
  if (m_error) return false;
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
  return WriteBytes(record);
}

bool CCaptureWriter::WriteBytes(const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = RetryOnInterrupt([&] { return ::write(m_fd, bytes.data() + done, bytes.size() - done); });
    if (written <= 0) {
      const int code = written < 0 ? errno : ENOSPC;
      m_error = CError{"The capture file \"" + m_path + "\" could not be written: " + ErrnoText(code)};
      // A torn record would make the whole file unreadable to some tools.
      if (done > 0) (void)::ftruncate(m_fd, static_cast<off_t>(m_complete));
      ::close(m_fd);
      m_fd = -1;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  m_complete += bytes.size();
  return true;
}
