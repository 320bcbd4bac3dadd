#include "tests/support/skin_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/toolkit/resources.h"

namespace norvane::testing {

TempSkinFolder::TempSkinFolder() : previous_folder_(resources().folder()) {
  resources().set_folder(path());
}

TempSkinFolder::~TempSkinFolder() {
  resources().language().clear();
  resources().set_folder(previous_folder_);
}

QString TempSkinFolder::path() const { return dir_.path() + QLatin1Char('/'); }

void TempSkinFolder::write(const QString& relative, const QByteArray& content) {
  const QString file_path = path() + relative;
  QDir().mkpath(QFileInfo(file_path).absolutePath());
  QFile f(file_path);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(content);
}

void TempSkinFolder::write_language(const std::vector<std::pair<QString, QString>>& texts) {
  QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Language>\n";
  for (const auto& [key, text] : texts) {
    xml += "  <Text key=\"" + key.toHtmlEscaped().toUtf8() + "\">" + text.toHtmlEscaped().toUtf8() + "</Text>\n";
  }
  xml += "</Language>\n";
  write(QStringLiteral("lan.xml"), xml);
  resources().load_language(QStringLiteral("lan.xml"));
}

QByteArray ui_document(const QString& root_name, const QString& body, int width, int height,
                       const QString& root_properties) {
  return QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>%1</class>
 <widget class="QWidget" name="%1">
  <property name="geometry"><rect><x>0</x><y>0</y><width>%2</width><height>%3</height></rect></property>
  %4
  <layout class="QVBoxLayout" name="%1_layout">
   %5
  </layout>
 </widget>
 <resources/>
 <connections/>
</ui>
)")
      .arg(root_name)
      .arg(width)
      .arg(height)
      .arg(root_properties, body)
      .toUtf8();
}

}  // namespace norvane::testing
