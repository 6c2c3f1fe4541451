// The table of output kinds and the few lines that make each.
#include "outputs/OutputKinds.h"

#include "link/LineConstants.h"
#include "outputs/ArtNetOutput.h"
#include "outputs/InterfaceFinder.h"
#include "outputs/NoOutput.h"
#include "outputs/OpenDmxOutput.h"
#include "outputs/ProOutput.h"
#include "outputs/SacnOutput.h"
#include "outputs/VirtualOutput.h"

#include <cstdio>
#include <string>

namespace {

// The device named after the prefix ("/dev/ttyUSB0" in "opendmx:/dev/ttyUSB0"), opened.
std::expected<std::unique_ptr<CTtyPort>, CError> OpenDevice(std::string_view name, const COutputContext& context) {
  const std::string_view prefix = name.substr(0, name.find(':') + 1);
  const std::string path(name.substr(prefix.size()));
  if (path.empty()) {
    return std::unexpected(CError{"The interface \"" + std::string(name) + "\" needs a device, e.g. \"" +
                                  std::string(prefix) + "/dev/ttyUSB0\""});
  }
  return CTtyPort::Open(path, context.control);
}

template <COutputResult (*OnPort)(std::unique_ptr<CTtyPort>)>
COutputResult OpenSerial(std::string_view name, const COutputContext& context) {
  auto port = OpenDevice(name, context);
  if (!port) return std::unexpected(port.error());
  return OnPort(std::move(*port));
}

// "opendmx:DEVICE[,rts=on]".
COutputResult OpenDmx(std::string_view name, const COutputContext& context) {
  COpenDmxOptions options;
  if (const std::size_t comma = name.find(','); comma != std::string_view::npos) {
    const std::string_view option = name.substr(comma + 1);
    if (option != "rts=on" && option != "rts=off") {
      return std::unexpected(CError{"opendmx: unknown option \"" + std::string(option) + "\" (known: rts=on, rts=off)"});
    }
    options.keepRts = option == "rts=on";
    name = name.substr(0, comma);
  }
  auto port = OpenDevice(name, context);
  if (!port) return std::unexpected(port.error());
  return COpenDmxOutput::Create(std::move(*port), options);
}

template <typename Output>
COutputResult OpenNetwork(std::string_view name, const COutputContext&) {
  // What the user should know about the set-up (which sACN source id) goes to the terminal.
  auto output =
      Output::Open(name, [](const std::string& text) { std::fprintf(stderr, "vexmira: %s\n", text.c_str()); });
  if (!output) return std::unexpected(output.error());
  return std::unique_ptr<CDmxOutput>(std::move(*output));
}

COutputResult OpenDmxOnPort(std::unique_ptr<CTtyPort> port) { return COpenDmxOutput::Create(std::move(port)); }
COutputResult ProOnPort(std::unique_ptr<CTtyPort> port) { return CProOutput::Create(std::move(port)); }
// Every adapter that is no other kind is driven as open-DMX: it needs no answer.
bool AnyAdapter(CTtyPort&, std::chrono::milliseconds) { return true; }

// A virtual line answering every model (0) or only the one given.
template <int Model>
COutputResult Virtual(std::string_view, const COutputContext&) {
  return Model == 0 ? std::make_unique<CVirtualOutput>() : std::make_unique<CVirtualOutput>(Model);
}

COutputResult Auto(std::string_view, const COutputContext& context) {
  return CInterfaceFinder(context.sysRoot, context.devRoot, context.control).Find();
}

COutputResult None(std::string_view, const COutputContext&) { return std::make_unique<CNoOutput>(); }

// Pro widgets come before open-DMX, so `auto` asks every adapter whether it is a widget first.
constexpr COutputKind kKinds[] = {
    {"pro:", "pro:DEVICE",
     "a DMX USB Pro-style widget, which makes the timing\n"
     "itself (at most 512 slots)",
     OpenSerial<ProOnPort>, ProOnPort, CProOutput::Probe},
    {"opendmx:", "opendmx:DEVICE[,rts=on]",
     "an FTDI or RS-485 serial adapter; the computer makes\n"
     "the timing (break, mark-after-break, 250000 baud 8N2);\n"
     "RTS is cleared unless rts=on keeps it raised",
     OpenDmx, OpenDmxOnPort, AnyAdapter},
    {"sacn:", "sacn:UNIVERSE[@HOST][,priority=N][,iface=NAME|ADDRESS][,per-address]",
     "sACN (E1.31), universe 1-63999, priority 0-200\n"
     "(default 100; higher takes over from a console);\n"
     "without HOST to the universe's multicast group on\n"
     "every interface, or on the one iface= names;\n"
     "per-address: take only the channels above 0",
     OpenNetwork<CSacnOutput>},
    {"artnet:", "artnet:UNIVERSE[@HOST][,iface=NAME|ADDRESS]",
     "Art-Net 4, port address 0-32767; without HOST to\n"
     "the nodes that ArtPoll finds for it, or, while none\n"
     "answers, to each network's broadcast address",
     OpenNetwork<CArtNetOutput>},
    {"auto", "auto",
     "the first USB serial adapter whose USB name says DMX\n"
     "(a Pro widget first)",
     Auto},
    {"virtual", "virtual", "no hardware: frames kept for the line monitor", Virtual<0>},
    {"virtual:0x0101", "virtual:0x0101", "a virtual line answering the second model only",
     Virtual<kOpenDmxModel>},
    {"virtual:0x0102", "virtual:0x0102", "a virtual line answering the first model only",
     Virtual<kProWidgetModel>},
    {"none", "none", "no interface answers (the start-up message)", None},
};

}  // namespace

std::span<const COutputKind> OutputKinds() { return kKinds; }
