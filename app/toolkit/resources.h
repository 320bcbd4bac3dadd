#pragma once
// Resources: the skin folder and what is loaded from it once per process: the style
// sheet (look and feel) and the language file. UI thread only.
//
//   resources().set_folder(exe_folder_path() + "res/");
//   resources().load_style_sheet("style.qss");
//   resources().load_language("lan.xml");
//   QString title = resources().text("mouse_name_text");

#include <QString>

#include "app/toolkit/language_table.h"

namespace norvane {

class Resources {
 public:
  // The folder skins, images, the style sheet and the language file are read from.
  // A missing trailing '/' is added.
  void set_folder(const QString& folder);
  QString folder() const { return folder_; }
  // `relative` inside the skin folder (absolute paths are returned unchanged).
  QString path(const QString& relative) const;

  // Reads the style sheet and applies it to the application. Relative url(...) paths in
  // it are resolved against the skin folder. Returns false when the file is missing.
  bool load_style_sheet(const QString& file = QStringLiteral("style.qss"));
  QString style_sheet() const { return style_sheet_; }

  // Loads the language file and re-shows the texts of every open resource-text control.
  bool load_language(const QString& file = QStringLiteral("lan.xml"));
  const LanguageTable& language() const { return language_; }
  LanguageTable& language() { return language_; }
  // The text of a language key; empty when the key is unknown.
  QString text(const QString& key) const { return language_.text(key); }

  // Forgets everything (end of the program).
  void shut_down();

 private:
  QString folder_;
  QString style_sheet_;
  LanguageTable language_;
};

Resources& resources();

}  // namespace norvane
