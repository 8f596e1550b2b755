// The dialogs the window procedure shows for the game thread's requests.
#include <memory>

#include "app/file_dialog.h"
#include "app/name_dialog.h"
#include "stage/private_messages.h"

bool RunFileDialog(int nMode, const std::string& defaultName, std::string& path) {
  std::string chosen = defaultName;
  std::unique_ptr<cFileDialog> dialog = std::make_unique<cFileDialog>(&chosen, nMode);
  const bool ok = dialog->DoModal(0) != 0;
  path = chosen;
  return ok;
}

void RunNameDialog() {
  std::unique_ptr<cNameDialog> dialog = std::make_unique<cNameDialog>();
  dialog->DoModal(0);
}
