// A CDmxLink for tests: records every call and every frame that reaches its output.
#pragma once
#include "link/DmxFrame.h"
#include "link/DmxLine.h"
#include "link/DmxLink.h"
#include "link/DmxOutput.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

enum class ELinkCall {
  Open, SetMode, SetPageValue, SetChannelValue, Start, StartWithPageValue, StartWithChannelValue, StandBy
};

// One library call as it was made.
struct CLinkCall {
  ELinkCall call;
  std::array<std::int32_t, 4> args{};  // page/channel/value/mode numbers, as given
  std::vector<std::uint8_t> page;      // the 142 bytes of a page call, as they were at the call
};

// An output that keeps every frame handed to it, and answers as `inner` does (virtual if none).
class CRecordingOutput final : public CDmxOutput {
 public:
  explicit CRecordingOutput(std::unique_ptr<CDmxOutput> inner = nullptr);

  bool Answers(int id, int model) override;
  std::expected<void, CError> AcceptsMode(const CDmxMode& mode) override;
  void Send(const CDmxFrame& frame) override;
  void Flush(std::chrono::milliseconds limit) override;
  void SetFaultHandler(std::function<void(const CError&)> handler) override;
  std::string Name() const override;

  std::vector<CDmxFrame> Frames() const;

 private:
  std::unique_ptr<CDmxOutput> m_inner;
  mutable std::mutex m_mutex;
  std::vector<CDmxFrame> m_frames;
};

// A real line (image, mode, stand-by) behind a call log; thread-safe like the line itself.
class CRecordingLink final : public CDmxLink {
 public:
  // The line's output is a recording output around `inner` (virtual if none).
  explicit CRecordingLink(std::unique_ptr<CDmxOutput> inner = nullptr);

  CDmxLine& Line() { return m_line; }
  std::vector<CLinkCall> Calls() const;
  // The calls in readable form: "SetMode(165, 252, 0, 2)", "SetPageValue(0)", "Start()" ...
  std::vector<std::string> Described() const;
  std::vector<CDmxFrame> Frames() const { return m_output->Frames(); }
  void ClearCalls();

  // Each call is logged, then made on the line.
  std::int32_t DmxLinkOpen(std::int32_t id, std::int32_t model) override {
    return Record(ELinkCall::Open, {id, model}).DmxLinkOpen(id, model);
  }
  std::int32_t DmxLinkSetMode(std::int32_t mark, std::int32_t startCode, std::int32_t interval,
                              std::int32_t length) override {
    return Record(ELinkCall::SetMode, {mark, startCode, interval, length})
        .DmxLinkSetMode(mark, startCode, interval, length);
  }
  std::int32_t DmxLinkTransmitSetPageValue(std::int32_t page, const std::uint8_t* data) override {
    return Record(ELinkCall::SetPageValue, {page}, data).DmxLinkTransmitSetPageValue(page, data);
  }
  std::int32_t DmxLinkTransmitSetChannelValue(std::int32_t channel, std::int32_t value) override {
    return Record(ELinkCall::SetChannelValue, {channel, value}).DmxLinkTransmitSetChannelValue(channel, value);
  }
  std::int32_t DmxLinkTransmitStart() override { return Record(ELinkCall::Start, {}).DmxLinkTransmitStart(); }
  std::int32_t DmxLinkTransmitStartWithPageValue(std::int32_t page, const std::uint8_t* data) override {
    return Record(ELinkCall::StartWithPageValue, {page}, data).DmxLinkTransmitStartWithPageValue(page, data);
  }
  std::int32_t DmxLinkTransmitStartWithChannelValue(std::int32_t channel, std::int32_t value) override {
    return Record(ELinkCall::StartWithChannelValue, {channel, value})
        .DmxLinkTransmitStartWithChannelValue(channel, value);
  }
  std::int32_t DmxLinkStandBy() override { return Record(ELinkCall::StandBy, {}).DmxLinkStandBy(); }
  std::string LastError() const override { return m_line.LastError(); }

 private:
  // Logs a call; the line it is then made on.
  CDmxLine& Record(ELinkCall call, std::array<std::int32_t, 4> args, const std::uint8_t* page = nullptr);

  CDmxLine m_line;
  CRecordingOutput* m_output;  // owned by the line
  mutable std::mutex m_mutex;
  std::vector<CLinkCall> m_calls;
};

// A call in readable form, as CRecordingLink::Described gives it.
std::string Describe(const CLinkCall& call);
std::vector<std::string> Describe(const std::vector<CLinkCall>& calls);
