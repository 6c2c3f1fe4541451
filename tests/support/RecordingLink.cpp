// The recording link and output for tests.
#include "support/RecordingLink.h"

#include "outputs/VirtualOutput.h"

CRecordingOutput::CRecordingOutput(std::unique_ptr<CDmxOutput> inner)
    : m_inner(inner ? std::move(inner) : std::make_unique<CVirtualOutput>()) {}

bool CRecordingOutput::Answers(int id, int model) { return m_inner->Answers(id, model); }

std::expected<void, CError> CRecordingOutput::AcceptsMode(const CDmxMode& mode) { return m_inner->AcceptsMode(mode); }

void CRecordingOutput::Send(const CDmxFrame& frame) {
  {
    std::lock_guard lock(m_mutex);
    m_frames.push_back(frame);
  }
  m_inner->Send(frame);
}

void CRecordingOutput::Flush(std::chrono::milliseconds limit) { m_inner->Flush(limit); }

void CRecordingOutput::SetFaultHandler(std::function<void(const CError&)> handler) {
  m_inner->SetFaultHandler(std::move(handler));
}

std::string CRecordingOutput::Name() const { return m_inner->Name(); }

std::vector<CDmxFrame> CRecordingOutput::Frames() const {
  std::lock_guard lock(m_mutex);
  return m_frames;
}

CRecordingLink::CRecordingLink(std::unique_ptr<CDmxOutput> inner) {
  auto output = std::make_unique<CRecordingOutput>(std::move(inner));
  m_output = output.get();
  m_line.SetOutput(std::move(output));
}

void CRecordingLink::Record(ELinkCall call, std::array<std::int32_t, 4> args, const std::uint8_t* page) {
  CLinkCall entry{call, args, {}};
  if (page != nullptr) entry.page.assign(page, page + kPageSize);
  std::lock_guard lock(m_mutex);
  m_calls.push_back(std::move(entry));
}

std::vector<CLinkCall> CRecordingLink::Calls() const {
  std::lock_guard lock(m_mutex);
  return m_calls;
}

std::vector<std::string> CRecordingLink::Described() const { return Describe(Calls()); }

void CRecordingLink::ClearCalls() {
  std::lock_guard lock(m_mutex);
  m_calls.clear();
}

std::int32_t CRecordingLink::DmxLinkOpen(std::int32_t id, std::int32_t model) {
  Record(ELinkCall::Open, {id, model});
  return m_line.DmxLinkOpen(id, model);
}

std::int32_t CRecordingLink::DmxLinkSetMode(std::int32_t mark, std::int32_t startCode, std::int32_t interval,
                                            std::int32_t length) {
  Record(ELinkCall::SetMode, {mark, startCode, interval, length});
  return m_line.DmxLinkSetMode(mark, startCode, interval, length);
}

std::int32_t CRecordingLink::DmxLinkTransmitSetPageValue(std::int32_t page, const std::uint8_t* data) {
  Record(ELinkCall::SetPageValue, {page}, data);
  return m_line.DmxLinkTransmitSetPageValue(page, data);
}

std::int32_t CRecordingLink::DmxLinkTransmitSetChannelValue(std::int32_t channel, std::int32_t value) {
  Record(ELinkCall::SetChannelValue, {channel, value});
  return m_line.DmxLinkTransmitSetChannelValue(channel, value);
}

std::int32_t CRecordingLink::DmxLinkTransmitStart() {
  Record(ELinkCall::Start, {});
  return m_line.DmxLinkTransmitStart();
}

std::int32_t CRecordingLink::DmxLinkTransmitStartWithPageValue(std::int32_t page, const std::uint8_t* data) {
  Record(ELinkCall::StartWithPageValue, {page}, data);
  return m_line.DmxLinkTransmitStartWithPageValue(page, data);
}

std::int32_t CRecordingLink::DmxLinkTransmitStartWithChannelValue(std::int32_t channel, std::int32_t value) {
  Record(ELinkCall::StartWithChannelValue, {channel, value});
  return m_line.DmxLinkTransmitStartWithChannelValue(channel, value);
}

std::int32_t CRecordingLink::DmxLinkStandBy() {
  Record(ELinkCall::StandBy, {});
  return m_line.DmxLinkStandBy();
}

std::string Describe(const CLinkCall& call) {
  const auto n = [&](std::size_t i) { return std::to_string(call.args[i]); };
  switch (call.call) {
    case ELinkCall::Open: return "Open(" + n(0) + ", " + n(1) + ")";
    case ELinkCall::SetMode: return "SetMode(" + n(0) + ", " + n(1) + ", " + n(2) + ", " + n(3) + ")";
    case ELinkCall::SetPageValue: return "SetPageValue(" + n(0) + ")";
    case ELinkCall::SetChannelValue: return "SetChannelValue(" + n(0) + ", " + n(1) + ")";
    case ELinkCall::Start: return "Start()";
    case ELinkCall::StartWithPageValue: return "StartWithPageValue(" + n(0) + ")";
    case ELinkCall::StartWithChannelValue: return "StartWithChannelValue(" + n(0) + ", " + n(1) + ")";
    case ELinkCall::StandBy: return "StandBy()";
  }
  return "?";
}

std::vector<std::string> Describe(const std::vector<CLinkCall>& calls) {
  std::vector<std::string> result;
  for (const auto& call : calls) result.push_back(Describe(call));
  return result;
}
