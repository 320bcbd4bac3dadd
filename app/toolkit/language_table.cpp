#include "app/toolkit/language_table.h"

#include <QFile>
#include <QXmlStreamReader>

namespace norvane {

bool LanguageTable::load(QIODevice& device, QString* error) {
  texts_.clear();
  QXmlStreamReader xml(&device);
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == QLatin1String("Text")) {
      const QString key = xml.attributes().value(QLatin1String("key")).toString();
      const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
      if (xml.hasError()) break;
      if (!key.isEmpty()) texts_.insert(key, text);
    }
  }
  if (xml.hasError()) {
    if (error != nullptr) {
      *error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    }
    return false;
  }
  return true;
}

bool LanguageTable::load_file(const QString& path, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    texts_.clear();
    if (error != nullptr) *error = file.errorString();
    return false;
  }
  return load(file, error);
}

}  // namespace norvane
