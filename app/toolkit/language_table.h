#pragma once
// The language file: a table of texts by key.
//
//   <Language>
//     <Text key="mouse_name_text">Norvane M1</Text>
//     ...
//   </Language>
//
// Every text shown to the user is a key into this table. Later entries replace
// earlier ones with the same key.

#include <QHash>
#include <QString>

class QIODevice;

namespace norvane {

class LanguageTable {
 public:
  // Replaces the table with the entries of the document. On a damaged document the
  // entries read before the damage are kept and false is returned with `error` set.
  bool load(QIODevice& device, QString* error = nullptr);
  bool load_file(const QString& path, QString* error = nullptr);

  bool contains(const QString& key) const { return texts_.contains(key); }
  // The text of `key`, or an empty string when the key is unknown.
  QString text(const QString& key) const { return texts_.value(key); }
  // The text of `key`, or the key itself when it is unknown (what a control shows).
  QString text_or_key(const QString& key) const { return texts_.value(key, key); }
  int size() const { return static_cast<int>(texts_.size()); }
  void clear() { texts_.clear(); }

 private:
  QHash<QString, QString> texts_;
};

}  // namespace norvane
