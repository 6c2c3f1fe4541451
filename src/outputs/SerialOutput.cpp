// The writer and port behind every serial output.
#include "outputs/SerialOutput.h"

#include "link/LineConstants.h"

CSerialOutput::CSerialOutput(std::string_view kind, int model, std::unique_ptr<CTtyPort> port,
                             std::unique_ptr<CSerialFraming> framing)
    : m_model(model), m_name(std::string(kind) + ":" + port->Path()),
      m_writer(m_name, [port = std::shared_ptr<CTtyPort>(std::move(port)),
                        framing = std::shared_ptr<CSerialFraming>(std::move(framing))](const CQueuedWork& work) {
        return work.standBy ? framing->StandBy(*port) : framing->Write(*port, work.frame);
      }) {}

bool CSerialOutput::Answers(int id, int model) { return id == kInterfaceId && model == m_model; }

void CSerialOutput::Send(const CDmxFrame& frame) { m_writer.Push(frame); }

void CSerialOutput::StandBy() { m_writer.StandBy(); }

void CSerialOutput::Flush(std::chrono::milliseconds limit) { m_writer.Flush(limit); }

void CSerialOutput::SetFaultHandler(std::function<void(const CError&)> handler) {
  m_writer.SetFaultHandler(std::move(handler));
}
