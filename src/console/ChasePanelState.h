// What the console engine reports about its chase: the editor's place, the run, the settings shown.
#pragma once
#include <cstdint>

// A snapshot, in the engine's own terms. Several editing states depend on the way the
// editor got where it is, not only on the chase, so the engine keeps them as they are
// here; the defaults are those of a console just opened.
struct CChasePanelState {
  std::uint8_t stepCount = 0;
  std::uint8_t currentStep = 0;  // equal to stepCount: on the pending slot
  bool running = false;
  bool followingSelector = false;  // a run that plays the selected step instead of advancing

  bool addOverwrites = false;  // the add button stores over a recorded step
  bool addEnabled = true;
  bool insertEnabled = false;
  bool deleteEnabled = false;
  bool pasteEnabled = false;
  bool saveEnabled = false;
  bool runEnabled = false;
  bool selectorEnabled = false;
  std::uint16_t selectorTop = 0;  // the step selector offers 0 to selectorTop
  std::uint16_t selectorPos = 0;

  // The speed and fade settings as the panel shows them: each slider's last move, the settings of
  // a loaded chase, or in a console just opened the settings kept from the one before.
  std::uint16_t speedShown = 0;
  std::uint16_t fadeShown = 0;

  bool operator==(const CChasePanelState&) const = default;
};
