// A dialog with a control of every kind that logs each message, for tests of the hosts; hooks give it behaviour.
#pragma once
#include "framework/Dialog.h"

#include <functional>
#include <string>
#include <vector>

class CFakeDialog final : public CDialog {
 public:
  enum : int { kResourceId = 900, kMenuCommand = 16 };
  enum : int { kButton = 20, kField, kNextField, kLabel, kGroup, kBar, kTrack, kFader, kUpDown, kProgress, kCombo,
               kBitmap, kIcon, kReadOnly, kHidden, kDisabled, kCheck };
  struct CRecord {
    CMessage message;
    int pos;  // the sender's position and text when the message came
    std::string text;
  };

  CFakeDialog();
  bool OnInitDialog() override;
  const CMessageTable& MessageTable() const override;
  // "code pos" of each message from the control, in order; the log is emptied.
  std::vector<std::string> Take(int id);

  std::function<void()> onInit;                    // runs once the controls are set up
  std::function<bool(const CMessage&)> onMessage;  // runs once a message is logged; true: handled
  bool refuseScroll = false;                       // else the scroll bar follows the stepping rule
  std::vector<CRecord> log;
};

using Strings = std::vector<std::string>;
std::string Seen(int code, int pos);
