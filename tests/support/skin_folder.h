#pragma once
// TempSkinFolder: a throw-away skin folder for a test. Write skins, a language file or
// images into it; while it lives it is the toolkit's skin folder.
//
//   TempSkinFolder skins;
//   skins.write("msg.xml", skin_xml);
//   skins.write_language({{"ok_text", "OK"}});

#include <QString>
#include <QTemporaryDir>
#include <utility>
#include <vector>

namespace norvane::testing {

class TempSkinFolder {
 public:
  TempSkinFolder();
  ~TempSkinFolder();
  TempSkinFolder(const TempSkinFolder&) = delete;
  TempSkinFolder& operator=(const TempSkinFolder&) = delete;

  QString path() const;  // ends in '/'
  // Writes `content` to `relative` (folders are created).
  void write(const QString& relative, const QByteArray& content);
  // Writes lan.xml with these entries and loads it.
  void write_language(const std::vector<std::pair<QString, QString>>& texts);

 private:
  QTemporaryDir dir_;
  QString previous_folder_;
};

// A minimal UI document: `body` is the XML of the root widget's children, placed in a
// vertical layout. Root is a QWidget named `root_name` of the given size.
QByteArray ui_document(const QString& root_name, const QString& body, int width = 300, int height = 200,
                       const QString& root_properties = QString());

}  // namespace norvane::testing
