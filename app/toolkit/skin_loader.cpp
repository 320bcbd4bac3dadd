#include "app/toolkit/skin_loader.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLayout>
#include <QMenu>
#include <QUiLoader>
#include <QVBoxLayout>
#include <memory>

#include "app/toolkit/busy_ring.h"
#include "app/toolkit/color_palette.h"
#include "app/toolkit/control.h"
#include "app/toolkit/resources.h"
#include "app/toolkit/wheel_guard.h"
#include "app/toolkit/widget_access.h"
#include "core/trace.h"

namespace norvane {
namespace {

constexpr int kMaxIncludeDepth = 8;

class SkinUiLoader : public QUiLoader {
 public:
  QWidget* createWidget(const QString& class_name, QWidget* parent, const QString& name) override {
    if (class_name == QLatin1String("ColorPalette")) {
      auto* palette = new ColorPalette(parent);
      palette->setObjectName(name);
      return palette;
    }
    if (class_name == QLatin1String("BusyRing")) {
      auto* ring = new BusyRing(parent);
      ring->setObjectName(name);
      return ring;
    }
    return QUiLoader::createWidget(class_name, parent, name);
  }
};

// A loader that knows the toolkit's classes and Qt's own, and nothing from Designer's
// plugin folder: a loader made the usual way loads every plugin there when it is
// constructed (one of them brings in the whole of Qt Quick), which no skin uses.
std::unique_ptr<SkinUiLoader> make_loader() {
  const QStringList paths = QCoreApplication::libraryPaths();
  QCoreApplication::setLibraryPaths({});
  auto loader = std::make_unique<SkinUiLoader>();
  QCoreApplication::setLibraryPaths(paths);
  return loader;
}

QList<QWidget*> self_and_descendants(QWidget* root) {
  QList<QWidget*> all{root};
  all += root->findChildren<QWidget*>();
  return all;
}

QWidget* load_document(const QString& file, QWidget* parent, QString* error, int depth);

// Loads the skins named by `include` properties into their placeholders.
void load_includes(QWidget* root, int depth) {
  for (QWidget* placeholder : self_and_descendants(root)) {
    const QString include = placeholder->property(detail::kInclude).toString();
    if (include.isEmpty()) continue;
    placeholder->setProperty(detail::kInclude, QVariant());  // loaded once
    if (depth >= kMaxIncludeDepth) {
      trace("skin include %s: nested too deep\n", qPrintable(include));
      continue;
    }
    QString error;
    QWidget* child = load_document(include, placeholder, &error, depth + 1);
    if (child == nullptr) {
      trace("skin include %s: %s\n", qPrintable(include), qPrintable(error));
      continue;
    }
    QLayout* layout = placeholder->layout();
    if (layout == nullptr) {
      layout = new QVBoxLayout(placeholder);
      layout->setContentsMargins(0, 0, 0, 0);
      layout->setSpacing(0);
    }
    layout->addWidget(child);
  }
}

QWidget* load_document(const QString& file, QWidget* parent, QString* error, int depth) {
  QFile f(resources().path(file));
  if (!f.open(QIODevice::ReadOnly)) {
    if (error != nullptr) *error = f.fileName() + QLatin1String(": ") + f.errorString();
    return nullptr;
  }
  std::unique_ptr<SkinUiLoader> loader = make_loader();
  loader->setWorkingDirectory(QDir(resources().folder()));
  QWidget* root = loader->load(&f, parent);
  if (root == nullptr) {
    if (error != nullptr) *error = f.fileName() + QLatin1String(": ") + loader->errorString();
    return nullptr;
  }
  load_includes(root, depth);
  return root;
}

// Buttons sharing a `group` name become exclusive options.
void make_groups(QWidget* root) {
  QHash<QString, QButtonGroup*> groups;
  for (QWidget* w : self_and_descendants(root)) {
    auto* button = qobject_cast<QAbstractButton*>(w);
    if (button == nullptr) continue;
    const QString name = button->property(detail::kGroup).toString();
    if (name.isEmpty() || button->group() != nullptr) continue;
    QButtonGroup*& group = groups[name];
    if (group == nullptr) {
      group = new QButtonGroup(root);
      group->setObjectName(name);
      group->setExclusive(true);
    }
    button->setCheckable(true);
    group->addButton(button);
  }
}

void translate_menu(QMenu* menu) {
  if (!detail::resource_mode(menu)) return;
  for (QAction* action : menu->findChildren<QAction*>()) {
    QVariant key = action->property(detail::kTextKey);
    if (!key.isValid()) {
      key = action->text();
      action->setProperty(detail::kTextKey, key);
    }
    action->setText(detail::translated(key.toString()));
  }
  // Sub-menu titles.
  for (QMenu* sub : menu->findChildren<QMenu*>()) {
    QVariant key = sub->property(detail::kTextKey);
    if (!key.isValid()) {
      key = sub->title();
      sub->setProperty(detail::kTextKey, key);
    }
    sub->setTitle(detail::translated(key.toString()));
  }
}

}  // namespace

QWidget* load_skin(const QString& file, QWidget* parent, QString* error) {
  QWidget* root = load_document(file, parent, error, 0);
  if (root == nullptr) return nullptr;
  make_groups(root);
  guard_wheel(root);
  for (QWidget* w : self_and_descendants(root)) {
    const QString image = w->property(detail::kBkImage).toString();
    if (!image.isEmpty()) Control(w).set_bk_image(image);
  }
  retranslate(root);
  return root;
}

void retranslate(QWidget* root) {
  if (root == nullptr) return;
  for (QWidget* w : self_and_descendants(root)) {
    if (auto* menu = qobject_cast<QMenu*>(w)) {
      if (w == root || w->parentWidget() == nullptr) translate_menu(menu);
      continue;
    }
    detail::translate(w);
  }
}

}  // namespace norvane
