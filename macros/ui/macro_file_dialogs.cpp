#include "macros/ui/macro_file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QPointer>

#include "app/toolkit/resources.h"
#include "storage/macro_file.h"

namespace norvane {
namespace {

QString filter() {
  return resources().text(QStringLiteral("macro_file_filter_text")) + QStringLiteral(" (*.macro *.MACRO)");
}

QString run(QWidget* owner, const QString& folder, QFileDialog::AcceptMode mode) {
  // The data folder is where the dialogs start; it may not exist yet on a fresh setup.
  if (!folder.isEmpty()) QDir().mkpath(folder);
  QPointer<QFileDialog> dialog = new QFileDialog(owner);
  dialog->setAttribute(Qt::WA_DeleteOnClose, false);
  dialog->setAcceptMode(mode);
  dialog->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog->setNameFilter(filter());
  dialog->setDirectory(folder);
  dialog->setWindowTitle(resources().text(mode == QFileDialog::AcceptSave ? QStringLiteral("macro_export_title_text")
                                                                          : QStringLiteral("macro_import_title_text")));
  if (mode == QFileDialog::AcceptSave) dialog->setDefaultSuffix(QString::fromLatin1(kMacroFileSuffix));
  QString chosen;
  if (dialog->exec() == QDialog::Accepted && dialog && !dialog->selectedFiles().isEmpty()) {
    chosen = dialog->selectedFiles().constFirst();
  }
  delete dialog.data();
  return chosen;
}

class SystemMacroFileDialogs final : public MacroFileDialogs {
 public:
  QString export_path(QWidget* owner, const QString& folder) override {
    return run(owner, folder, QFileDialog::AcceptSave);
  }
  QString import_path(QWidget* owner, const QString& folder) override {
    return run(owner, folder, QFileDialog::AcceptOpen);
  }
};

}  // namespace

MacroFileDialogs& system_macro_file_dialogs() {
  static SystemMacroFileDialogs dialogs;
  return dialogs;
}

}  // namespace norvane
