// Writes the frames put on the line to a pcap file that Wireshark decodes as DMX512.
#pragma once
#include "base/Error.h"
#include "link/DmxFrame.h"

#include <cstdint>
#include <cstdio>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Classic pcap, link type 252 (exported upper-layer PDU): each record names the "dmx"
// dissector in a tag and carries the start code and the slots.
class CCaptureWriter final {
 public:
  static constexpr std::uint32_t kLinkTypeUpperPdu = 252;
  static constexpr std::uint32_t kSnapLength = 65535;

  static std::expected<std::unique_ptr<CCaptureWriter>, CError> Create(const std::string& path);
  ~CCaptureWriter();
  CCaptureWriter(const CCaptureWriter&) = delete;
  CCaptureWriter& operator=(const CCaptureWriter&) = delete;

  // Appends one record. A failed write does not stop later ones; the first error is kept.
  void Write(const CDmxFrame& frame);
  // Hands everything written so far to the file system.
  void Flush();
  // The first write or flush error, if any.
  std::optional<CError> Error() const;
  const std::string& Path() const { return m_path; }

  // The bytes of one record's data (what follows the record header), for the frame.
  static std::vector<std::uint8_t> RecordData(const CDmxFrame& frame);
  // The 24-byte file header.
  static std::vector<std::uint8_t> FileHeader();

 private:
  struct CFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  CCaptureWriter(std::string path, std::unique_ptr<std::FILE, CFileCloser> file);
  void WriteBytes(const std::vector<std::uint8_t>& bytes);
  void Fail(const std::string& what);

  std::string m_path;
  std::unique_ptr<std::FILE, CFileCloser> m_file;
  std::optional<CError> m_error;
};
