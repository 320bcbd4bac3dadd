#include "settings/file_chooser.h"

#include <QFileDialog>

#include "app/toolkit/window_base.h"

namespace norvane {

QString choose_file_with_dialog(WindowBase& owner, const FileDialogRequest& request) {
  QFileDialog dialog(owner.native());
  dialog.setNameFilter(request.filter);
  if (request.mode == FileDialogRequest::Mode::save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.default_suffix);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.front();
}

}  // namespace norvane
