// The application object: checks that a DMX interface answers, then runs the launcher.
#pragma once
#include "app/SerialPortChoices.h"
#include "base/Error.h"
#include "link/DmxLink.h"

#include <expected>
#include <functional>
#include <string>
#include <vector>

class CDialog;

// How the program starts its line, from the command line.
struct CStartOptions {
  // The interface on the line, as --interface named it; empty when none was named.
  std::string interfaceName;
  // No interface named in the windowed program: the remembered choice, then `auto`; when neither
  // answers, the start-up message with the reason, then the interface chooser instead of the end.
  bool search = false;
  // --choose-interface: the chooser first, in any mode.
  bool chooseFirst = false;
  // Puts the interface a name stands for on the line; the program's own line unless set.
  std::function<std::expected<void, CError>(const std::string& name)> open = {};
  // The serial ports the chooser offers; those of this computer unless set.
  std::function<std::vector<CSerialPortChoice>()> ports = {};
};

class CApplication final {
 public:
  static constexpr const char* kNoInterfaceText = "Cound not find USB to DMX device  ";
  static constexpr const char* kNoInterfaceCaption = "Vexmira";

  explicit CApplication(CDmxLink& link, CStartOptions options = {});

  // Runs the whole program on the current host. Returns false, as the program then ends
  // without a message loop of its own.
  bool InitInstance();
  CDialog* MainWindow() const { return m_mainWindow; }

  // The interface chooser over the launcher (its system menu): a choice that works replaces the
  // line's interface; closing the chooser keeps the one there was.
  void ChooseInterface();

 private:
  // The start-up check: the first identifier pair, then the second.
  bool LineAnswers();
  // Puts a named interface on the line and checks it; why not, if it does not answer.
  std::expected<void, CError> TryInterface(const std::string& name);
  // The remembered choice, then `auto`; the reasons they failed, a line each, if neither answers.
  std::expected<void, std::string> Search();
  // Runs the chooser, showing `initialName` first; true once an interface is chosen and answers.
  bool RunChooser(const std::string& initialName);
  void RunLauncher();

  CDmxLink& m_link;
  CStartOptions m_options;
  CDialog* m_mainWindow = nullptr;
  std::string m_registryKey;
  std::string m_current;       // the name of the interface on the line, once one answered
  bool m_lineTried = false;    // the line holds an interface tried since then, which did not answer
};
