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

CDmxLine& CRecordingLink::Record(ELinkCall call, std::array<std::int32_t, 4> args, const std::uint8_t* page) {
  CLinkCall entry{call, args, {}};
  if (page != nullptr) entry.page.assign(page, page + kPageSize);
  std::lock_guard lock(m_mutex);
  m_calls.push_back(std::move(entry));
  return m_line;
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

std::string Describe(const CLinkCall& call) {
  // Each call's name and how many of its arguments are numbers.
  static const std::pair<const char*, int> kForms[] = {
      {"Open", 2},  {"SetMode", 4},            {"SetPageValue", 1},          {"SetChannelValue", 2},
      {"Start", 0}, {"StartWithPageValue", 1}, {"StartWithChannelValue", 2}, {"StandBy", 0}};
  const auto& [name, count] = kForms[static_cast<std::size_t>(call.call)];
  std::string text = std::string(name) + "(";
  for (int i = 0; i < count; ++i) text += (i > 0 ? ", " : "") + std::to_string(call.args[static_cast<std::size_t>(i)]);
  return text + ")";
}

std::vector<std::string> Describe(const std::vector<CLinkCall>& calls) {
  std::vector<std::string> result;
  for (const auto& call : calls) result.push_back(Describe(call));
  return result;
}
