// The application object: checks that a DMX interface answers, then runs the launcher.
#pragma once
#include "link/DmxLink.h"

#include <string>

class CDialog;

class CApplication final {
 public:
  static constexpr const char* kNoInterfaceText = "Cound not find USB to DMX device  ";
  static constexpr const char* kNoInterfaceCaption = "Vexmira";

  explicit CApplication(CDmxLink& link) : m_link(link) {}

  // Runs the whole program on the current host. Returns false, as the program then ends
  // without a message loop of its own.
  bool InitInstance();
  CDialog* MainWindow() const { return m_mainWindow; }

 private:
  CDmxLink& m_link;
  CDialog* m_mainWindow = nullptr;
  std::string m_registryKey;
};
