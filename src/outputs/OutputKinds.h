// The kinds of output that --interface names, one row each. The factory, its list of known names,
// --help, the finder and the check that README and the manual page describe every kind read it.
#pragma once
#include "base/Error.h"
#include "link/DmxOutput.h"
#include "outputs/KernelTtyControl.h"
#include "outputs/TtyPort.h"

#include <chrono>
#include <expected>
#include <filesystem>
#include <memory>
#include <span>
#include <string_view>

using COutputResult = std::expected<std::unique_ptr<CDmxOutput>, CError>;

// What making an output may need from the outside world; tests put fakes in.
struct COutputContext {
  std::shared_ptr<CTtyControl> control = CKernelTtyControl::Shared();
  std::filesystem::path sysRoot = "/sys";  // where the finder looks for USB serial devices
  std::filesystem::path devRoot = "/dev";
};

struct COutputKind {
  // The name's start: with a colon for kinds that take an argument ("opendmx:"), else the whole
  // name ("virtual").
  std::string_view prefix;
  // The name as --help and the "known:" list show it: "opendmx:DEVICE".
  std::string_view usage;
  // What it drives, for --help: lines of at most 60 characters, separated by '\n'.
  std::string_view summary;
  // Makes the output `name` stands for; serial devices are opened and host names resolved here,
  // so a missing device, a permission problem or an unknown host is reported at once.
  COutputResult (*create)(std::string_view name, const COutputContext& context);
  // Serial kinds: sets up a port that is already open as this output.
  COutputResult (*onPort)(std::unique_ptr<CTtyPort> port) = nullptr;
  // Serial kinds the finder may adopt: whether the adapter on `port` is of this kind. The finder
  // asks the kinds in table order, each over every adapter, so a kind that answers for any
  // adapter comes last. It may write to the port.
  bool (*probe)(CTtyPort& port, std::chrono::milliseconds limit) = nullptr;

  bool TakesArgument() const { return prefix.ends_with(':'); }
  bool Names(std::string_view name) const { return TakesArgument() ? name.starts_with(prefix) : name == prefix; }
};

std::span<const COutputKind> OutputKinds();
