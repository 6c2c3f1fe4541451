// Writes the frames put on the line to a pcap file that Wireshark decodes as DMX512.
#pragma once
#include "base/Error.h"
#include "link/DmxFrame.h"

#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Classic pcap, link type 252 (exported upper-layer PDU): each record names the "dmx"
// dissector in a tag and carries the start code and the slots. Written without a buffer, record
// by record, so a failure shows at the write that met it.
class CCaptureWriter final {
 public:
  static constexpr std::uint32_t kLinkTypeUpperPdu = 252;
  static constexpr std::uint32_t kSnapLength = 65535;

  // Creates (or empties) the file and writes its header; an error a user can read if the file
  // cannot be opened. A header that cannot be written leaves the writer failed (Error()).
  static std::expected<std::unique_ptr<CCaptureWriter>, CError> Create(const std::string& path);
  ~CCaptureWriter();
  CCaptureWriter(const CCaptureWriter&) = delete;
  CCaptureWriter& operator=(const CCaptureWriter&) = delete;

  // Appends one record; false once writing has failed. The first failure stops the capture for
  // good: the file keeps every complete record (a record cut short is taken off again where the
  // file allows it) and Error() says why.
  bool Write(const CDmxFrame& frame);
  std::optional<CError> Error() const { return m_error; }
  const std::string& Path() const { return m_path; }

  // The bytes of one record's data (what follows the record header), for the frame.
  static std::vector<std::uint8_t> RecordData(const CDmxFrame& frame);
  // The 24-byte file header.
  static std::vector<std::uint8_t> FileHeader();

 private:
  CCaptureWriter(std::string path, int fd);
  bool WriteBytes(const std::vector<std::uint8_t>& bytes);

  std::string m_path;
  int m_fd;
  std::uint64_t m_complete = 0;  // bytes of the header and the complete records
  std::optional<CError> m_error;
};
