// Fuzz target: the chase file reader on arbitrary bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "console/ChaseFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const auto parsed = CChaseFile::Parse(bytes);
  if (!parsed) {
    if (parsed.error().message.empty()) {
      std::abort();  // every refusal must say why
    }
    return 0;
  }
  // A chase that was read is written back as the bytes it came from, header aside.
  const std::vector<std::uint8_t> written = parsed->Serialize();
  if (written.size() != CChaseFile::kStepsOffset + parsed->StepCount() * kStepSize ||
      written.size() > size ||
      !std::equal(written.begin() + CChaseFile::kHeaderSize, written.end(),
                  bytes.begin() + CChaseFile::kHeaderSize)) {
    std::abort();
  }
  const auto again = CChaseFile::Parse(written);
  if (!again || !(*again == *parsed)) {
    std::abort();
  }
  return 0;
}
