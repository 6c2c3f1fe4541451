// Maps interface names to outputs through the table of output kinds.
#include "outputs/OutputFactory.h"

#include <string>

COutputResult MakeOutput(std::string_view name, const COutputContext& context) {
  std::string known;
  for (const COutputKind& kind : OutputKinds()) {
    if (kind.Names(name)) return kind.create(name, context);
    known += (known.empty() ? "" : ", ") + std::string(kind.usage);
  }
  return std::unexpected(CError{"Unknown interface \"" + std::string(name) + "\" (known: " + known + ")"});
}

COutputResult MakeOutput(std::string_view name, std::shared_ptr<CTtyControl> control) {
  return MakeOutput(name, COutputContext{std::move(control)});
}
