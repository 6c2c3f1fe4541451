// A dialog's message table: (message, control id, code) bound to a handler method.
#pragma once
#include "framework/Messages.h"

#include <functional>
#include <vector>

class CDialog;

inline constexpr int kAnyId = -0x10000;
inline constexpr int kAnyCode = -0x10000;

struct CMessageEntry {
  EMessage kind;
  int id;    // kAnyId: any
  int code;  // kAnyCode: any
  std::function<void(CDialog&, const CMessage&)> handler;

  bool Matches(const CMessage& message) const {
    return kind == message.kind && (id == kAnyId || id == message.id) && (code == kAnyCode || code == message.code);
  }
};

using CMessageTable = std::vector<CMessageEntry>;

// Builds a table for dialog class D from member functions:
//   static const CMessageTable table = CMessageTableOf<CMyDlg>()
//       .Command(BN_CLICKED, 1000, &CMyDlg::OnSetup)
//       .HScroll(&CMyDlg::OnHScroll)
//       .Timer(&CMyDlg::OnTimer)
//       .Destroy(&CMyDlg::OnDestroy);
// The first entry that matches a message handles it; a message no entry matches gets
// the dialog's default handling.
template <class D>
class CMessageTableOf {
 public:
  CMessageTableOf& Command(int code, int id, void (D::*fn)()) {
    return Add(EMessage::Command, id, code, [fn](D& d, const CMessage&) { (d.*fn)(); });
  }
  // Scroll handlers get (control id, code, pos); id kAnyId takes every control.
  CMessageTableOf& HScroll(void (D::*fn)(int id, int code, int pos), int id = kAnyId) {
    return Add(EMessage::HScroll, id, kAnyCode, [fn](D& d, const CMessage& m) { (d.*fn)(m.id, m.code, m.pos); });
  }
  CMessageTableOf& VScroll(void (D::*fn)(int id, int code, int pos), int id = kAnyId) {
    return Add(EMessage::VScroll, id, kAnyCode, [fn](D& d, const CMessage& m) { (d.*fn)(m.id, m.code, m.pos); });
  }
  CMessageTableOf& Timer(void (D::*fn)(int timerId)) {
    return Add(EMessage::Timer, kAnyId, kAnyCode, [fn](D& d, const CMessage& m) { (d.*fn)(m.id); });
  }
  CMessageTableOf& SysCommand(void (D::*fn)(int command)) {
    return Add(EMessage::SysCommand, kAnyId, kAnyCode, [fn](D& d, const CMessage& m) { (d.*fn)(m.id); });
  }
  CMessageTableOf& Destroy(void (D::*fn)()) {
    return Add(EMessage::Destroy, kAnyId, kAnyCode, [fn](D& d, const CMessage&) { (d.*fn)(); });
  }
  CMessageTableOf& Close(void (D::*fn)()) {
    return Add(EMessage::Close, kAnyId, kAnyCode, [fn](D& d, const CMessage&) { (d.*fn)(); });
  }

  operator CMessageTable() && { return std::move(m_table); }
  operator CMessageTable() const& { return m_table; }

 private:
  template <class F>
  CMessageTableOf& Add(EMessage kind, int id, int code, F f) {
    m_table.push_back({kind, id, code, [f](CDialog& dialog, const CMessage& m) { f(static_cast<D&>(dialog), m); }});
    return *this;
  }
  CMessageTable m_table;
};
