// The catalogue of the program's dialogs.
#include "app/DialogCatalog.h"

#include "addressing/AddressingMenuDlg.h"
#include "addressing/AutoAddressingDlg.h"
#include "addressing/ManualAddressingDlg.h"
#include "app/AboutDlg.h"
#include "app/InterfaceChooserDlg.h"
#include "app/LauncherDlg.h"
#include "console/ConsoleDlg.h"
#include "firmware/FirmwareUpgradeDlg.h"
#include "fixture/FixtureFamilyMenuDlg.h"
#include "fixture/FixturePanelDlg.h"

namespace {

constexpr CDialogEntry kDialogs[] = {
    {"CLauncherDlg", CLauncherDlg::Layout},
    {"CAboutDlg", CAboutDlg::Layout},
    {"CInterfaceChooserDlg", CInterfaceChooserDlg::Layout},
    {"CConsoleDlg", CConsoleDlg::Layout},
    {"CAddressingMenuDlg", CAddressingMenuDlg::Layout},
    {"CAutoAddressingDlg", CAutoAddressingDlg::Layout},
    {"CManualAddressingDlg", CManualAddressingDlg::Layout},
    {"CFixtureFamilyMenuDlg", CFixtureFamilyMenuDlg::Layout},
    {"CFixturePanelDlg", CFixturePanelDlg::Layout},
    {"CFirmwareUpgradeDlg", CFirmwareUpgradeDlg::Layout},
};

}  // namespace

std::span<const CDialogEntry> ProgramDialogs() { return kDialogs; }
