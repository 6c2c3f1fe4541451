// The commands and expectations of the script language. A line is checked against its entry's
// argument shape when the script is read and run by the entry's handler when its turn comes.
#include "framework/ScriptCommands.h"

#include "framework/Dialog.h"
#include "framework/Messages.h"
#include "framework/Text.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

namespace {

using EKind = CScriptToken::EKind;

// What must be there before a handler runs.
enum class ETarget {
  None,         // nothing: time, file answers, message boxes, frames
  Dialog,       // an open dialog
  Control,      // a control of the topmost dialog, named by the first argument
  UserControl,  // such a control that a user can reach: visible, enabled and of the command's kind
};

// What a handler works with; arguments count from the first one after the command (and after
// the expectation's name).
struct CCall {
  CScriptStage& stage;
  const CScriptLine& line;
  std::size_t first = 0;
  CDialog* dialog = nullptr;
  CControl* control = nullptr;

  std::size_t Count() const { return line.args.size() - first; }
  const CScriptToken& Arg(std::size_t i) const { return line.args.at(first + i); }
  int Number(std::size_t i) const { return static_cast<int>(Arg(i).number); }
  const std::string& Text(std::size_t i) const { return Arg(i).text; }
  int Id() const { return Number(0); }
};

using Handler = std::string (*)(const CCall& call);

// shape: the arguments in order, blank-separated: N a number, T a text, C a notification code
// (its name or number), F a file answer (a text or the word cancel), Y yes, no or later, I a message box
// icon, K a key's name, S any number of SLOT=VALUE words; a letter in brackets may be left out.
struct CCommand {
  const char* name;  // "click"; an expectation as "expect text"
  const char* shape;
  ETarget target;
  EControlKind kind;  // UserControl: the kind the command works on
  Handler run;
};

constexpr const char* kIconNames[] = {"none", "error", "warning", "information"};

const char* IconName(EMessageIcon icon) { return kIconNames[static_cast<int>(icon)]; }

// Texts from the script or the dialogs are echoed with their control characters escaped.
std::string Quote(const std::string& text) {
  std::string quoted = "\"";
  quoted += EscapeControls(text);
  quoted += '"';
  return quoted;
}
std::string Str(long long number) { return std::to_string(number); }

// A key's name as scripts write it, "Return" or "shift+Tab": its virtual-key code and whether
// Shift is held; nothing for a name no key has.
struct CKeyName {
  const char* name;
  int vk;
};
constexpr CKeyName kKeys[] = {{"Return", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Tab", VK_TAB}, {"Space", VK_SPACE},
                              {"Left", VK_LEFT},     {"Right", VK_RIGHT},   {"Up", VK_UP},   {"Down", VK_DOWN},
                              {"F10", VK_F10}};

std::optional<std::pair<int, bool>> KeyByName(std::string_view name) {
  const bool shift = name.starts_with("shift+");
  if (shift) name.remove_prefix(6);
  for (const CKeyName& key : kKeys)
    if (name == key.name) return std::pair(key.vk, shift);
  return std::nullopt;
}

int Code(const CScriptToken& token) {
  return token.kind == EKind::Number ? static_cast<int>(token.number) : NotificationCodeByName(token.text.c_str());
}

bool Matches(char letter, const CScriptToken& token) {
  switch (letter) {
    case 'N': return token.kind == EKind::Number;
    case 'T': return token.kind == EKind::Text;
    case 'C':
      return token.kind == EKind::Number ||
             (token.kind == EKind::Word && NotificationCodeByName(token.text.c_str()) >= 0);
    case 'F': return token.kind == EKind::Text || (token.kind == EKind::Word && token.text == "cancel");
    case 'Y': return token.kind == EKind::Word && (token.text == "yes" || token.text == "no" || token.text == "later");
    case 'K': return token.kind == EKind::Word && KeyByName(token.text).has_value();
    case 'I':
      return token.kind == EKind::Word &&
             std::ranges::any_of(kIconNames, [&](const char* icon) { return token.text == icon; });
    case 'S': {
      long long slot = 0, value = 0;
      return token.kind == EKind::Word && ParseSlotValue(token.text, slot, value);
    }
    default: return false;
  }
}

// Whether the arguments from `first` on have the shape; optional ones are taken when they fit.
bool Fits(const char* shape, const std::vector<CScriptToken>& args, std::size_t first) {
  std::size_t i = first;
  for (const char* at = shape; *at; ++at) {
    if (*at == ' ' || *at == ']') continue;
    const bool optional = *at == '[';
    const char letter = optional ? *++at : *at;
    if (letter == 'S') {
      while (i < args.size() && Matches('S', args[i])) ++i;
    } else if (i < args.size() && Matches(letter, args[i])) {
      ++i;
    } else if (!optional) {
      return false;
    }
  }
  return i == args.size();
}

// --- the user's actions ---

// Moves the focus as a click or typing does: a field that loses it is told first, and if its
// check takes the focus back (or ends the dialog), the click or keys are lost: false.
bool MoveFocus(CDialog& dialog, int id) {
  const int old = dialog.FocusId();
  if (old == id) return true;
  dialog.SetFocus(id);
  if (const CControl* left = dialog.FindItem(old); left && left->Kind() == EControlKind::Edit)
    dialog.Dispatch({EMessage::Command, old, EN_KILLFOCUS, 0});
  return !dialog.HasEnded() && dialog.FocusId() == id;
}

// A check box ticks or clears itself before it tells the dialog.
void Press(CDialog& dialog, CControl& control) {
  if (control.Kind() == EControlKind::CheckBox) control.SetChecked(!control.IsChecked());
  dialog.Dispatch({EMessage::Command, control.Id(), BN_CLICKED, 0});
}

std::string Click(const CCall& c) {
  if (MoveFocus(*c.dialog, c.Id())) Press(*c.dialog, *c.control);
  return {};
}

std::string Type(const CCall& c) {
  if (c.control->HasStyle(ControlStyle::kReadOnly)) return "control " + Str(c.Id()) + " is read-only";
  if (!MoveFocus(*c.dialog, c.Id())) return {};
  std::string text = c.Text(1);
  // A digits-only field refuses every other key, as the real one does.
  if (c.control->HasStyle(ControlStyle::kDigitsOnly)) std::erase_if(text, [](char ch) { return ch < '0' || ch > '9'; });
  c.control->SetText(text);
  c.dialog->Dispatch({EMessage::Command, c.Id(), EN_CHANGE, 0});
  return {};
}

std::string Leave(const CCall& c) {
  if (c.dialog->FocusId() == c.Id()) c.dialog->SetFocus(0);
  c.dialog->Dispatch({EMessage::Command, c.Id(), EN_KILLFOCUS, 0});
  return {};
}

std::string Select(const CCall& c) {
  const int index = c.Number(1);
  const int count = static_cast<int>(c.control->Items().size());
  if (index < 0 || index >= count)
    return "combo box " + Str(c.Id()) + " has " + Str(count) + " items, no item " + Str(index);
  if (!MoveFocus(*c.dialog, c.Id())) return {};
  c.control->SetSelection(index);
  c.dialog->Dispatch({EMessage::Command, c.Id(), CBN_SELCHANGE, 0});
  return {};
}

// A scroll bar only reports: the dialog decides where it goes.
std::string Scroll(const CCall& c) {
  const int pos = c.Count() > 2 ? c.Number(2) : c.control->Pos();
  c.dialog->Dispatch({ScrollMessageOf(*c.control), c.Id(), Code(c.Arg(1)), pos});
  return {};
}

// A trackbar moves itself, then reports where it stands.
std::string Slide(const CCall& c) {
  const int code = c.Count() > 2 ? Code(c.Arg(2)) : TB_THUMBTRACK;
  c.control->SetPos(c.Number(1));
  c.dialog->Dispatch({ScrollMessageOf(*c.control), c.Id(), code, c.control->Pos()});
  return {};
}

// An up-down control without a buddy reports its new position, then the end of the action.
std::string UpDown(const CCall& c) {
  c.control->SetPos(c.Number(1));
  const EMessage kind = ScrollMessageOf(*c.control);
  c.dialog->Dispatch({kind, c.Id(), SB_THUMBPOSITION, c.control->Pos()});
  if (!c.dialog->HasEnded()) c.dialog->Dispatch({kind, c.Id(), SB_ENDSCROLL, c.control->Pos()});
  return {};
}

std::string SysMenu(const CCall& c) {
  if (!c.dialog->HasSystemMenu()) return "the dialog has no system menu";
  c.dialog->Dispatch({EMessage::SysCommand, c.Number(0), 0, 0});
  return {};
}

std::string Close(const CCall& c) {
  c.dialog->Dispatch({EMessage::Close, 0, 0, 0});
  return {};
}

std::string File(const CCall& c) {
  c.stage.AnswerFileDialog(c.Arg(0).kind == EKind::Text ? std::optional<std::string>(c.Text(0)) : std::nullopt);
  return {};
}

std::string Answer(const CCall& c) {
  c.stage.AnswerQuestion(c.Text(0) == "yes"  ? EScriptAnswer::Yes
                         : c.Text(0) == "no" ? EScriptAnswer::No
                                             : EScriptAnswer::Later);
  return {};
}

// --- keys, as the keyboard gives them to the focused control, which leaves the rest to the dialog ---

// The control Tab (or Shift+Tab) goes to: the next one in the tab order that can take the focus.
int NextTabStop(const CDialog& dialog, bool backward) {
  const auto& controls = dialog.Controls();
  const auto count = static_cast<std::ptrdiff_t>(controls.size());
  std::ptrdiff_t at = 0;
  while (at < count && controls[static_cast<std::size_t>(at)]->Id() != dialog.FocusId()) ++at;
  for (std::ptrdiff_t step = 1; step <= count; ++step) {
    const std::ptrdiff_t place = ((at + (backward ? -step : step)) % count + count) % count;
    const CControl& control = *controls[static_cast<std::size_t>(place)];
    if (control.TakesFocus() && control.IsVisible() && control.IsEnabled()) return control.Id();
  }
  return dialog.FocusId();
}

// What the focused control itself does with a key, as its window would; false: the key goes on
// to the dialog.
bool KeyOnControl(CDialog& dialog, CControl& control, int vk) {
  const bool back = vk == VK_LEFT || vk == VK_UP;
  const bool arrow = back || vk == VK_RIGHT || vk == VK_DOWN;
  const EMessage scroll = ScrollMessageOf(control);
  switch (control.Kind()) {
    case EControlKind::PushButton:
    case EControlKind::DefPushButton:
      if (vk != VK_RETURN && vk != VK_SPACE) return false;
      Press(dialog, control);
      return true;
    case EControlKind::CheckBox:
      if (vk != VK_SPACE) return false;
      Press(dialog, control);
      return true;
    case EControlKind::Trackbar:  // moves itself by a line, then tells where it stands
      if (!arrow) return false;
      control.SetPos(control.Pos() + (back ? -1 : 1));
      dialog.Dispatch({scroll, control.Id(), back ? TB_LINEUP : TB_LINEDOWN, control.Pos()});
      if (!dialog.HasEnded()) dialog.Dispatch({scroll, control.Id(), TB_ENDTRACK, control.Pos()});
      return true;
    case EControlKind::ScrollBar:  // only reports: the dialog moves it
      if (!arrow) return false;
      dialog.Dispatch({scroll, control.Id(), back ? SB_LINELEFT : SB_LINERIGHT, control.Pos()});
      if (!dialog.HasEnded()) dialog.Dispatch({scroll, control.Id(), SB_ENDSCROLL, control.Pos()});
      return true;
    case EControlKind::ComboBox: {
      if (!arrow) return false;
      const int next = control.Selection() + (back ? -1 : 1);
      if (next >= 0 && next < static_cast<int>(control.Items().size())) {
        control.SetSelection(next);
        dialog.Dispatch({EMessage::Command, control.Id(), CBN_SELCHANGE, 0});
      }
      return true;
    }
    case EControlKind::Edit:  // the caret moves; a blank is typed where the field takes one
      if (vk == VK_SPACE && !control.HasStyle(ControlStyle::kReadOnly) && !control.HasStyle(ControlStyle::kDigitsOnly)) {
        control.SetText(control.Text() + " ");
        dialog.Dispatch({EMessage::Command, control.Id(), EN_CHANGE, 0});
      }
      return arrow || vk == VK_SPACE;
    default:
      return false;
  }
}

// The system menu that Shift+F10 opened: Close, then the dialog's items; the arrows move through
// them, Return chooses, Escape closes the menu.
std::string MenuKey(const CCall& c, int vk) {
  std::vector<int> items{SC_CLOSE};
  for (const CSysMenuItem& item : c.dialog->SysMenu())
    if (item.id != 0) items.push_back(item.id);
  std::size_t& at = *c.stage.KeyboardMenu();
  if (vk == VK_DOWN) at = (at + 1) % items.size();
  if (vk == VK_UP) at = (at + items.size() - 1) % items.size();
  if (vk != VK_RETURN && vk != VK_ESCAPE) return {};
  c.stage.KeyboardMenu().reset();
  if (vk == VK_RETURN) c.dialog->Dispatch({EMessage::SysCommand, items[std::min(at, items.size() - 1)], 0, 0});
  return {};
}

std::string Key(const CCall& c) {
  const auto [vk, shift] = *KeyByName(c.Text(0));
  CDialog& dialog = *c.dialog;
  if (c.stage.KeyboardMenu()) return MenuKey(c, vk);
  if (vk == VK_F10 && shift) {
    if (!dialog.HasSystemMenu()) return "the dialog has no system menu";
    c.stage.KeyboardMenu() = 0;
    return {};
  }
  if (vk == VK_TAB) {
    MoveFocus(dialog, NextTabStop(dialog, shift));
    return {};
  }
  CControl* focused = dialog.FindItem(dialog.FocusId());
  if (!shift && focused && focused->IsVisible() && focused->IsEnabled() && KeyOnControl(dialog, *focused, vk))
    return {};
  dialog.Dispatch({EMessage::Key, vk, shift ? kShiftHeld : 0, 0});
  return {};
}

std::string Wait(const CCall& c) {
  if (c.Number(0) < 0) return "wait needs a time of 0 ms or more";
  c.stage.Wait(static_cast<std::int64_t>(c.Number(0)) * 1000);
  return {};
}

// --- expectations ---

std::string Name(const CCall& c) { return "control " + Str(c.Id()); }

std::string ExpectText(const CCall& c) {
  if (c.control->Text() == c.Text(1)) return {};
  return "expected text " + Quote(c.Text(1)) + " in " + Name(c) + ", found " + Quote(c.control->Text());
}

// expect visible / hidden / enabled / disabled
std::string ExpectState(const CCall& c, bool found, bool wanted, const char* yes, const char* no) {
  if (found == wanted) return {};
  return "expected " + Name(c) + " " + (wanted ? yes : no) + ", found it " + (found ? yes : no);
}
std::string ExpectVisible(const CCall& c) { return ExpectState(c, c.control->IsVisible(), true, "visible", "hidden"); }
std::string ExpectHidden(const CCall& c) { return ExpectState(c, c.control->IsVisible(), false, "visible", "hidden"); }
std::string ExpectEnabled(const CCall& c) { return ExpectState(c, c.control->IsEnabled(), true, "enabled", "disabled"); }
std::string ExpectDisabled(const CCall& c) {
  return ExpectState(c, c.control->IsEnabled(), false, "enabled", "disabled");
}

std::string ExpectChecked(const CCall& c) { return ExpectState(c, c.control->IsChecked(), true, "ticked", "clear"); }
std::string ExpectUnchecked(const CCall& c) {
  return ExpectState(c, c.control->IsChecked(), false, "ticked", "clear");
}

std::string ExpectPos(const CCall& c) {
  if (c.control->Pos() == c.Number(1)) return {};
  return "expected position " + Str(c.Number(1)) + " of " + Name(c) + ", found " + Str(c.control->Pos());
}

std::string ExpectRange(const CCall& c) {
  if (c.control->Min() == c.Number(1) && c.control->Max() == c.Number(2)) return {};
  return "expected range " + Str(c.Number(1)) + " to " + Str(c.Number(2)) + " of " + Name(c) + ", found " +
         Str(c.control->Min()) + " to " + Str(c.control->Max());
}

std::string ExpectFocus(const CCall& c) {
  if (c.dialog->FocusId() == c.Id()) return {};
  return "expected the focus in " + Name(c) + ", found it in control " + Str(c.dialog->FocusId());
}

std::string ExpectTitle(const CCall& c) {
  if (c.dialog->Title() == c.Text(0)) return {};
  return "expected title " + Quote(c.Text(0)) + ", found " + Quote(c.dialog->Title());
}

std::string ExpectDialog(const CCall& c) {
  if (c.dialog->ResourceId() == c.Number(0)) return {};
  return "expected dialog " + Str(c.Number(0)) + ", found " + Str(c.dialog->ResourceId());
}

std::string ExpectIcon(const CCall& c) {
  const int icon = c.Number(0);
  if (c.dialog->BigIcon() == icon && c.dialog->SmallIcon() == icon) return {};
  return "expected icon " + Str(icon) + ", found large " + Str(c.dialog->BigIcon()) + " and small " +
         Str(c.dialog->SmallIcon());
}

std::string ExpectMenu(const CCall& c) {
  for (const auto& item : c.dialog->SysMenu()) {
    if (item.id != c.Number(0)) continue;
    if (item.text == c.Text(1)) return {};
    return "expected system menu item " + Str(item.id) + " " + Quote(c.Text(1)) + ", found " + Quote(item.text);
  }
  return "the system menu has no item " + Str(c.Number(0));
}

// expect message [TEXT] [ICON]: the text is left out for messages whose wording is ours.
std::string ExpectMessage(const CCall& c) {
  const bool hasText = c.Count() > 0 && c.Arg(0).kind == EKind::Text;
  const CMessageBox* box = c.stage.NextBox();
  if (!box) return hasText ? "expected message box " + Quote(c.Text(0)) + ", found none" : "expected a message box, found none";
  const CMessageBox seen = *box;
  c.stage.BoxExpected();
  if (hasText && seen.text != c.Text(0)) return "expected message box " + Quote(c.Text(0)) + ", found " + Quote(seen.text);
  const std::size_t iconAt = hasText ? 1 : 0;
  if (c.Count() > iconAt && c.Text(iconAt) != IconName(seen.icon))
    return "expected a message box with icon " + c.Text(iconAt) + ", found icon " + IconName(seen.icon) + " (" +
           Quote(seen.text) + ")";
  return {};
}

std::string ExpectNoMessage(const CCall& c) {
  if (const CMessageBox* box = c.stage.NextBox()) return "expected no message box, found " + Quote(box->text);
  return {};
}

std::string ExpectFrames(const CCall& c) {
  if (!c.stage.Frames()) return "no DMX line to look at";
  const auto count = c.stage.Frames()->FrameCount();
  if (count == static_cast<std::uint64_t>(c.Number(0))) return {};
  return "expected " + Str(c.Number(0)) + " frames, found " + Str(static_cast<long long>(count));
}

// expect frame SC LEN [SLOT=VALUE ...]: the last frame on the line, slots counted from 1.
std::string ExpectFrame(const CCall& c) {
  if (!c.stage.Frames()) return "no DMX line to look at";
  const auto frame = c.stage.Frames()->LastFrame();
  if (!frame) return "expected a frame, found none on the line";
  if (frame->startCode != c.Number(0))
    return "expected start code " + Str(c.Number(0)) + ", found " + Str(frame->startCode);
  const auto size = static_cast<long long>(frame->slots.size());
  if (size != c.Number(1)) return "expected " + Str(c.Number(1)) + " slots, found " + Str(size);
  for (std::size_t i = 2; i < c.Count(); ++i) {
    long long slot = 0, value = 0;
    ParseSlotValue(c.Text(i), slot, value);
    if (slot < 1 || slot > size) return "the frame has no slot " + Str(slot);
    const int found = frame->slots[static_cast<std::size_t>(slot - 1)];
    if (found != value) return "expected slot " + Str(slot) + " = " + Str(value) + ", found " + Str(found);
  }
  return {};
}

using K = EControlKind;
using T = ETarget;
constexpr K kAny = K::Static;  // the kind of an entry that does not ask for one

const CCommand kCommands[] = {
    {"click", "N", T::UserControl, K::PushButton, Click},
    {"type", "N T", T::UserControl, K::Edit, Type},
    {"leave", "N", T::UserControl, K::Edit, Leave},
    {"scroll", "N C [N]", T::UserControl, K::ScrollBar, Scroll},
    {"slide", "N N [C]", T::UserControl, K::Trackbar, Slide},
    {"updown", "N N", T::UserControl, K::UpDown, UpDown},
    {"select", "N N", T::UserControl, K::ComboBox, Select},
    {"sysmenu", "N", T::Dialog, kAny, SysMenu},
    {"file", "F", T::None, kAny, File},
    {"close", "", T::Dialog, kAny, Close},
    {"key", "K", T::Dialog, kAny, Key},
    {"answer", "Y", T::None, kAny, Answer},
    {"wait", "N", T::None, kAny, Wait},
    {"expect text", "N T", T::Control, kAny, ExpectText},
    {"expect visible", "N", T::Control, kAny, ExpectVisible},
    {"expect hidden", "N", T::Control, kAny, ExpectHidden},
    {"expect enabled", "N", T::Control, kAny, ExpectEnabled},
    {"expect disabled", "N", T::Control, kAny, ExpectDisabled},
    {"expect checked", "N", T::Control, kAny, ExpectChecked},
    {"expect unchecked", "N", T::Control, kAny, ExpectUnchecked},
    {"expect pos", "N N", T::Control, kAny, ExpectPos},
    {"expect range", "N N N", T::Control, kAny, ExpectRange},
    {"expect focus", "N", T::Dialog, kAny, ExpectFocus},
    {"expect title", "T", T::Dialog, kAny, ExpectTitle},
    {"expect dialog", "N", T::Dialog, kAny, ExpectDialog},
    {"expect icon", "N", T::Dialog, kAny, ExpectIcon},
    {"expect menu", "N T", T::Dialog, kAny, ExpectMenu},
    {"expect message", "[T] [I]", T::None, kAny, ExpectMessage},
    {"expect no-message", "", T::None, kAny, ExpectNoMessage},
    {"expect frames", "N", T::None, kAny, ExpectFrames},
    {"expect frame", "N N S", T::None, kAny, ExpectFrame},
};

bool IsExpectation(const CScriptLine& line) { return line.command == "expect"; }

// The expectation's name: the word after expect, empty when there is none.
std::string ExpectationName(const CScriptLine& line) {
  return !line.args.empty() && line.args[0].kind == EKind::Word ? line.args[0].text : std::string();
}

const CCommand* Find(const CScriptLine& line) {
  const std::string name = IsExpectation(line) ? "expect " + ExpectationName(line) : line.command;
  for (const CCommand& command : kCommands)
    if (name == command.name) return &command;
  return nullptr;
}

// Whether the control is of the kind a command works on; a click takes any push button or check box.
bool IsOfKind(const CControl& control, EControlKind kind) {
  return kind == K::PushButton ? control.IsButton() || control.Kind() == K::CheckBox : control.Kind() == kind;
}

std::string WrongKind(const CControl& control, EControlKind wanted) {
  const std::string kind = ControlKindName(control.Kind());
  const char* article = kind[0] == 'e' || kind[0] == 'i' || kind[0] == 'u' ? " is an " : " is a ";
  return "control " + Str(control.Id()) + article + kind + ", not a " + ControlKindName(wanted);
}

}  // namespace

std::string CheckScriptLine(const CScriptLine& line) {
  const CCommand* command = Find(line);
  if (!command)
    return IsExpectation(line) ? "unknown expectation '" + EscapeControls(ExpectationName(line)) + "'"
                               : "unknown command '" + EscapeControls(line.command) + "'";
  if (!Fits(command->shape, line.args, IsExpectation(line) ? 1 : 0)) return "wrong arguments for '" + line.command + "'";
  return {};
}

namespace {

std::string RunCommand(CScriptStage& stage, const CCommand& command, const CScriptLine& line) {
  CCall call{stage, line, IsExpectation(line) ? 1u : 0u};
  if (command.target == T::None) return command.run(call);
  call.dialog = stage.TopDialog();
  if (!call.dialog) return "no dialog is open for '" + std::string(command.name) + "'";
  // A user's action on a dialog: none while a question is open over it, and the keyboard's menu
  // closes at any action but a key.
  if (!IsExpectation(line)) {
    if (stage.QuestionOpen()) return "a question is open: answer it first (answer yes or answer no)";
    if (command.run != Key) stage.KeyboardMenu().reset();
  }
  if (command.target == T::Dialog) return command.run(call);
  call.control = call.dialog->FindItem(call.Id());
  if (!call.control) return "dialog " + Str(call.dialog->ResourceId()) + " has no control " + Str(call.Id());
  if (command.target == T::UserControl) {
    if (!call.control->IsVisible()) return "control " + Str(call.Id()) + " is hidden";
    if (!call.control->IsEnabled()) return "control " + Str(call.Id()) + " is disabled";
    if (!IsOfKind(*call.control, command.kind)) return WrongKind(*call.control, command.kind);
  }
  return command.run(call);
}

}  // namespace

std::string RunScriptLine(CScriptStage& stage, const CScriptLine& line) {
  const CCommand& command = *Find(line);
  std::string problem = RunCommand(stage, command, line);
  // A box the script has not looked at is often why the dialog is not as expected (a file that
  // could not be opened, a refused number): name it.
  const CMessageBox* unseen = stage.NextBox();
  if (!problem.empty() && unseen && command.run != ExpectNoMessage)
    problem += "; a message box is waiting unseen: " + Quote(unseen->text);
  return problem;
}
