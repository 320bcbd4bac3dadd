// Feeds arbitrary bytes to the two files the program reads from its skin folder: the
// language file and a skin. Byte 0 picks which; the rest is the file. Whatever the
// file, loading must end (a damaged language file keeps the texts read before the
// damage and says so), and a skin that gives no widget says why.

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdint>
#include <cstdlib>

#include "app/toolkit/language_table.h"
#include "app/toolkit/resources.h"
#include "app/toolkit/skin_loader.h"

using namespace norvane;

namespace {

#define NORVANE_FUZZ_CHECK(condition) \
  do {                                \
    if (!(condition)) __builtin_trap(); \
  } while (0)

void load_language(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  NORVANE_FUZZ_CHECK(buffer.open(QIODevice::ReadOnly));
  LanguageTable table;
  QString error;
  const bool loaded = table.load(buffer, &error);
  NORVANE_FUZZ_CHECK(loaded == error.isEmpty());
  NORVANE_FUZZ_CHECK(table.size() >= 0);
}

void load_skin_file(const QTemporaryDir& folder, const QByteArray& bytes) {
  QFile file(folder.filePath(QStringLiteral("fuzz.xml")));
  NORVANE_FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  NORVANE_FUZZ_CHECK(file.write(bytes) == bytes.size());
  file.close();
  QString error;
  QWidget* skin = load_skin(QStringLiteral("fuzz.xml"), nullptr, &error);
  NORVANE_FUZZ_CHECK(skin != nullptr || !error.isEmpty());
  delete skin;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const QTemporaryDir folder;
  static const bool ready = [] {
    resources().set_folder(folder.path());
    return folder.isValid();
  }();
  NORVANE_FUZZ_CHECK(ready);
  if (size == 0) return 0;
  const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  if (data[0] % 2 == 0) {
    load_language(bytes);
  } else {
    load_skin_file(folder, bytes);
  }
  return 0;
}
