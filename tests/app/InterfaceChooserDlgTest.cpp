// The interface chooser's wiring over the serial ports of a fake sysfs, and how start-up and the launcher use it.
#include "app/Application.h"
#include "app/InterfaceChooserDlg.h"
#include "support/ScriptRun.h"
#include "outputs/OutputFactory.h"
#include "support/TempFolder.h"
#include "support/UsbSerialPort.h"

#include <gtest/gtest.h>

namespace {

// Names starting with "opendmx" are busy; the others work.
std::expected<void, CError> Try(std::vector<std::string>& tried, const std::string& name) {
  tried.push_back(name);
  if (name.starts_with("opendmx")) return std::unexpected(CError{"The port is busy"});
  return {};
}

using C = CInterfaceChooserDlg;

// The script with the chooser's controls named.
std::string Named(const std::string& script) {
  return WithIds(script, {{"kind", C::kKind}, {"port", C::kPort}, {"lookAgain", C::kLookAgain},
                          {"drivenAs", C::kDrivenAs}, {"universe", C::kUniverse}, {"priority", C::kPriority},
                          {"host", C::kHost}, {"iface", C::kLocalInterface}, {"perAddress", C::kPerAddress},
                          {"name", C::kName}, {"remember", C::kRemember}, {"use", C::kUse}});
}

}  // namespace

TEST(InterfaceChooserDlg, ComposesTheNameFromTheChosenKindsFieldsAndTriesItUntilOneWorks) {
  const CTempFolder folder;
  AddUsbSerialPort(folder.Path(), "ttyUSB0", "0403", "6001", "DMX USB PRO");
  AddUsbSerialPort(folder.Path(), "ttyUSB1", "10c4", "ea60", "CP2102 USB to UART Bridge", false);
  const auto ports = [&] { return SerialPortChoices(folder / "sys", folder / "dev"); };
  std::vector<std::string> tried;
  std::optional<std::string> remembered;
  const std::string widget = "expect text {port} \"usb-Maker_ttyUSB0-if00 (DMX USB PRO; auto uses it)\"\n";
  const CScriptRun run = RunScript(Named(
      "expect text {kind} \"USB serial adapter\"\n" + widget +
      "expect text {name} \"opendmx:" + (folder / "dev/serial/by-id/usb-Maker_ttyUSB0-if00").string() + "\"\n" +
      Expect("disabled", {C::kUniverse, C::kPriority, C::kHost, C::kLocalInterface, C::kPerAddress}) +
      "select {port} 1\nselect {drivenAs} 1\n"
      "expect text {port} \"ttyUSB1 (CP2102 USB to UART Bridge; auto leaves it alone)\"\n"
      "expect text {name} \"pro:" + (folder / "dev/ttyUSB1").string() + "\"\nselect {kind} 2\n" +
      Expect("disabled", {C::kPort, C::kLookAgain, C::kDrivenAs}) +
      "type {universe} \"7\"\ntype {host} \" 10.0.0.9\"\ntype {priority} \"150\"\ntype {iface} \"eth1\"\n"
      "click {perAddress}\nexpect text {name} \"sacn:7@10.0.0.9,priority=150,iface=eth1,per-address\"\n"
      "select {kind} 3\nexpect disabled {priority}\nexpect text {name} \"artnet:7@10.0.0.9,iface=eth1\"\nselect {kind} 0\n"
      "select {drivenAs} 0\nclick {use}\nexpect message \"The port is busy\" warning\nexpect dialog 140\n"
      "type {name} \"\"\nclick {use}\nexpect message warning\nclick {lookAgain}\n" + widget +
      "select {kind} 4\nexpect unchecked {remember}\nclick {remember}\nclick {use}\nexpect title \"\"\n"),
      [&](CDmxLink&) {
        CInterfaceChooserDlg chooser("", [&](const std::string& name) { return Try(tried, name); }, ports);
        EXPECT_EQ(chooser.DoModal(), IDOK);
        EXPECT_EQ(chooser.Chosen(), "virtual");
        remembered = CHost::Current().ReadSetting(CInterfaceChooserDlg::kRememberedSetting);
      });
  EXPECT_EQ(run.result.message, "script:40: no dialog is open for 'expect title'") << "Use ended the chooser";
  EXPECT_EQ(tried, (std::vector<std::string>{"opendmx:" + (folder / "dev/ttyUSB1").string(), "virtual"}));
  EXPECT_EQ(remembered, "virtual");
}

// Without --interface in the windowed program: the remembered choice, then auto; neither answering,
// the reasons under the start-up message, then the chooser. From the launcher, a chooser closed after
// a try that did not answer puts the interface there was back.
TEST(Startup, WithoutAnInterfaceTheReasonsAreShownAndTheChooserOffersOneAndTheLauncherCanSwitchIt) {
  std::vector<std::string> opened;
  const CScriptRun run = RunScript(Named(
      "expect message \"Cound not find USB to DMX device  \\nThe interface chosen last time, sacn:9@gone, cannot be "
      "used: no such host\\nNo DMX interface found: none here\" error\nexpect dialog 140\n"
      "expect text {name} \"sacn:9@gone\"\nexpect checked {remember}\ntype {name} \"virtual\"\nclick {use}\n"
      "expect dialog 102\nexpect menu 48 \"DMX Interface...\"\nsysmenu 48\nexpect text {name} \"virtual\"\n"
      "type {name} \"none\"\nclick {use}\nexpect message warning\nclose\nexpect dialog 102\n"),
      [&](CDmxLink& link) {
        CHost::Current().WriteSetting(CInterfaceChooserDlg::kRememberedSetting, "sacn:9@gone");
        CStartOptions options{.interfaceName = "", .search = true};
        options.open = [&](const std::string& name) -> std::expected<void, CError> {
          opened.push_back(name);
          if (name != "virtual" && name != "none")
            return std::unexpected(CError{name == "auto" ? "No DMX interface found: none here" : "no such host"});
          static_cast<CRecordingLink&>(link).Line().SetOutput(std::move(*MakeOutput(name)));
          return {};
        };
        CApplication(link, options).InitInstance();
      });
  EXPECT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(opened, (std::vector<std::string>{"sacn:9@gone", "auto", "virtual", "none", "virtual"}));
}
