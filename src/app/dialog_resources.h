// The descriptions of the program's dialogs: the name entry (102), the start-up choice (103),
// the file selection's own window (104) and the file browser it opens.
#pragma once

#include "platform/ui/dialog_template.h"

constexpr int IDD_NAME_ENTRY = 102;
constexpr int IDD_BOOT = 103;
constexpr int IDD_FILE_SELECT = 104;
constexpr int IDD_FILE_BROWSER = 2001;

// Control ids of the file browser.
constexpr int IDC_BROWSER_FOLDER = 2101;
constexpr int IDC_BROWSER_LIST = 2102;
constexpr int IDC_BROWSER_NAME_LABEL = 2103;
constexpr int IDC_BROWSER_NAME = 2104;

// The description of a resource id; an empty one for an unknown id.
const t4::platform::ui::DialogTemplate& GetDialogResource(int nResourceId);
