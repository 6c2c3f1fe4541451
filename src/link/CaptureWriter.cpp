// Classic pcap writer for DMX frames, records in the exported-PDU layout.
#include "link/CaptureWriter.h"

#include "base/LittleEndian.h"

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
  std::unique_ptr<std::FILE, CFileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    return std::unexpected(CError{"Cannot create the capture file \"" + path + "\": " + ErrnoText(errno)});
  }
  std::unique_ptr<CCaptureWriter> writer(new CCaptureWriter(path, std::move(file)));
  writer->WriteBytes(FileHeader());
  if (writer->m_error) {
    return std::unexpected(*writer->m_error);
  }
  return writer;
}

CCaptureWriter::CCaptureWriter(std::string path, std::unique_ptr<std::FILE, CFileCloser> file)
    : m_path(std::move(path)), m_file(std::move(file)) {}

CCaptureWriter::~CCaptureWriter() { Flush(); }

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

void CCaptureWriter::Write(const CDmxFrame& frame) {
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
  WriteBytes(record);
}

void CCaptureWriter::WriteBytes(const std::vector<std::uint8_t>& bytes) {
  if (!m_file) {
    return;
  }
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), m_file.get()) != bytes.size()) {
    Fail("Writing the capture file \"" + m_path + "\" failed");
  }
}

void CCaptureWriter::Flush() {
  if (!m_file) {
    return;
  }
  errno = 0;
  if (std::fflush(m_file.get()) != 0) {
    Fail("Writing the capture file \"" + m_path + "\" failed");
  }
}

void CCaptureWriter::Fail(const std::string& what) {
  const int code = errno;
  if (!m_error) {
    m_error = CError{what + (code != 0 ? ": " + ErrnoText(code) : std::string())};
  }
  std::clearerr(m_file.get());
}

std::optional<CError> CCaptureWriter::Error() const { return m_error; }
