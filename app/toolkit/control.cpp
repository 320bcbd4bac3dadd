#include "app/toolkit/control.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <memory>
#include <vector>

#include "app/toolkit/color_palette.h"
#include "app/toolkit/notification.h"
#include "app/toolkit/resources.h"
#include "app/toolkit/skin_loader.h"
#include "app/toolkit/widget_access.h"
#include "app/toolkit/window_host.h"

namespace norvane {
namespace {

using namespace detail;

constexpr char kBkImageLabel[] = "nv_bkimage_label";
constexpr char kBkStyleId[] = "nv_bkid";
constexpr char kBaseStyle[] = "nv_basestyle";

void raise_from(QWidget* w, NotifyType type, intptr_t wparam = 0, intptr_t lparam = 0) {
  if (WindowHost* host = WindowHost::of(w)) host->raise_notification(w, type, wparam, lparam);
}

struct ImageAttributes {
  QString file;
  QRect dest;  // empty = whole control
};

// "res='skins/move.png' dest='2,2,28,28'"; a bare path is taken as the file.
ImageAttributes parse_image_attributes(const QString& text) {
  ImageAttributes out;
  static const QRegularExpression pair(QStringLiteral("(\\w+)\\s*=\\s*'([^']*)'"));
  bool any = false;
  for (auto it = pair.globalMatch(text); it.hasNext();) {
    const auto m = it.next();
    any = true;
    const QString key = m.captured(1).toLower();
    const QString value = m.captured(2);
    if (key == QLatin1String("res") || key == QLatin1String("file")) {
      out.file = value;
    } else if (key == QLatin1String("dest")) {
      const QStringList parts = value.split(QLatin1Char(','));
      if (parts.size() == 4) {
        const int l = parts[0].trimmed().toInt(), t = parts[1].trimmed().toInt();
        const int r = parts[2].trimmed().toInt(), b = parts[3].trimmed().toInt();
        if (r > l && b > t) out.dest = QRect(l, t, r - l, b - t);
      }
    }
  }
  if (!any) out.file = text.trimmed();
  return out;
}

// The image drawn behind a control's children: a label that ignores the mouse and
// follows the control's size when it fills it.
class BkImageLabel : public QLabel {
 public:
  explicit BkImageLabel(QWidget* owner) : QLabel(owner) {
    setObjectName(QLatin1String(kBkImageLabel));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setScaledContents(true);
    owner->installEventFilter(this);
  }
  void set(const ImageAttributes& image) {
    dest_ = image.dest;
    setPixmap(QPixmap(resources().path(image.file)));
    place();
    lower();
    show();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == parent() && event->type() == QEvent::Resize) place();
    return QLabel::eventFilter(watched, event);
  }

 private:
  void place() { setGeometry(dest_.isEmpty() ? parentWidget()->rect() : dest_); }
  QRect dest_;
};

void apply_bk_color(QWidget* w) {
  if (!w->property(kBaseStyle).isValid()) w->setProperty(kBaseStyle, w->styleSheet());
  QString sheet = w->property(kBaseStyle).toString();
  const QVariant color = w->property(kBkColor);
  if (color.isValid()) {
    const uint32_t argb = color.toUInt();
    const QString id = QString::number(reinterpret_cast<quintptr>(w), 16);
    w->setProperty(kBkStyleId, id);
    w->setAttribute(Qt::WA_StyledBackground);
    sheet += QStringLiteral("\n*[%1=\"%2\"] { background-color: rgba(%3, %4, %5, %6); }")
                 .arg(QLatin1String(kBkStyleId), id)
                 .arg((argb >> 16) & 0xFF)
                 .arg((argb >> 8) & 0xFF)
                 .arg(argb & 0xFF)
                 .arg((argb >> 24) & 0xFF);
  }
  w->setStyleSheet(sheet);
}

QListWidget* list_of(QWidget* w) { return qobject_cast<QListWidget*>(w); }

// The list item whose row widget is `w`, with its list.
QListWidgetItem* item_of_row(QWidget* w, QListWidget** list_out) {
  QWidget* viewport = w != nullptr ? w->parentWidget() : nullptr;
  auto* list = viewport != nullptr ? qobject_cast<QListWidget*>(viewport->parentWidget()) : nullptr;
  if (list == nullptr) return nullptr;
  for (int i = 0; i < list->count(); ++i) {
    if (list->itemWidget(list->item(i)) == w) {
      if (list_out != nullptr) *list_out = list;
      return list->item(i);
    }
  }
  return nullptr;
}

void set_option_quietly(QAbstractButton* b, bool on) {
  const QSignalBlocker quiet(b);
  QButtonGroup* group = b->group();
  if (!on && group != nullptr && group->exclusive()) {
    group->setExclusive(false);
    b->setChecked(false);
    group->setExclusive(true);
  } else if (!on && b->autoExclusive()) {
    b->setAutoExclusive(false);
    b->setChecked(false);
    b->setAutoExclusive(true);
  } else {
    // Selecting an option deselects the others of its group; they stay quiet too.
    QList<QAbstractButton*> others;
    if (group != nullptr) others = group->buttons();
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    for (QAbstractButton* other : others) blockers.push_back(std::make_unique<QSignalBlocker>(other));
    b->setChecked(on);
  }
}

}  // namespace

QString Control::name() const { return valid() ? widget_->objectName() : QString(); }

Control Control::find(const QString& name) const {
  if (!valid() || name.isEmpty()) return {};
  return Control(widget_->findChild<QWidget*>(name));
}

QString Control::text() const {
  if (!valid()) return {};
  if (resource_mode(widget_)) {
    const QVariant key = widget_->property(kTextKey);
    if (key.isValid()) return key.toString();
  }
  return detail::shown_text(widget_);
}

QString Control::shown_text() const { return valid() ? detail::shown_text(widget_) : QString(); }

void Control::set_text(const QString& text) {
  if (!valid()) return;
  if (resource_mode(widget_)) {
    widget_->setProperty(kTextKey, text);
    show_text(widget_, translated(text));
  } else {
    widget_->setProperty(kTextKey, QVariant());
    show_text(widget_, text);
  }
}

bool Control::is_resource_text() const { return valid() && resource_mode(widget_); }

void Control::set_resource_text(bool on) {
  if (!valid() || resource_mode(widget_) == on) return;
  const QString current = text();
  widget_->setProperty(kResourceText, on);
  set_text(current);
}

bool Control::is_visible() const { return valid() && !widget_->isHidden(); }

void Control::set_visible(bool on) {
  if (valid()) widget_->setVisible(on);
}

bool Control::is_enabled() const { return valid() && widget_->isEnabled(); }

void Control::set_enabled(bool on) {
  if (valid()) widget_->setEnabled(on);
}

uint32_t Control::bk_color() const { return valid() ? widget_->property(kBkColor).toUInt() : 0; }

void Control::set_bk_color(uint32_t argb) {
  if (!valid()) return;
  widget_->setProperty(kBkColor, argb);
  apply_bk_color(widget_);
}

QString Control::bk_image() const { return valid() ? widget_->property(kBkImage).toString() : QString(); }

void Control::set_bk_image(const QString& attributes) {
  if (!valid()) return;
  widget_->setProperty(kBkImage, attributes);
  auto* label = widget_->findChild<BkImageLabel*>(QLatin1String(kBkImageLabel), Qt::FindDirectChildrenOnly);
  const ImageAttributes image = parse_image_attributes(attributes);
  if (image.file.isEmpty()) {
    delete label;
    return;
  }
  if (label == nullptr) label = new BkImageLabel(widget_);
  label->set(image);
}

QString Control::tooltip() const {
  if (!valid()) return {};
  const QVariant key = widget_->property(kTipKey);
  return key.isValid() && resource_mode(widget_) ? key.toString() : widget_->toolTip();
}

void Control::set_tooltip(const QString& text) {
  if (!valid()) return;
  if (resource_mode(widget_)) {
    widget_->setProperty(kTipKey, text);
    widget_->setToolTip(translated(text));
  } else {
    widget_->setProperty(kTipKey, QVariant());
    widget_->setToolTip(text);
  }
}

QMargins Control::padding() const { return valid() ? widget_->contentsMargins() : QMargins(); }

void Control::set_padding(const QMargins& padding) {
  if (!valid()) return;
  if (QLayout* layout = widget_->layout()) {
    layout->setContentsMargins(padding);
  } else {
    widget_->setContentsMargins(padding);
  }
}

int Control::fixed_height() const {
  if (!valid()) return 0;
  return widget_->minimumHeight() == widget_->maximumHeight() ? widget_->maximumHeight() : 0;
}

void Control::set_fixed_height(int height) {
  if (!valid()) return;
  widget_->setFixedHeight(height);
  QListWidget* list = nullptr;
  if (QListWidgetItem* item = item_of_row(widget_, &list)) item->setSizeHint(QSize(item->sizeHint().width(), height));
}

QRect Control::rect_in_window() const {
  if (!valid()) return {};
  QWidget* top = widget_->window();
  return QRect(widget_->mapTo(top, QPoint(0, 0)), widget_->size());
}

QRect Control::screen_rect() const {
  if (!valid()) return {};
  return QRect(widget_->mapToGlobal(QPoint(0, 0)), widget_->size());
}

intptr_t Control::tag() const { return valid() ? widget_->property(kTag).value<qlonglong>() : 0; }

void Control::set_tag(intptr_t tag) {
  if (valid()) widget_->setProperty(kTag, static_cast<qlonglong>(tag));
}

QString Control::user_data() const { return valid() ? widget_->property(kUserData).toString() : QString(); }

void Control::set_user_data(const QString& data) {
  if (valid()) widget_->setProperty(kUserData, data);
}

int Control::value() const {
  if (auto* s = qobject_cast<QAbstractSlider*>(widget_)) return s->value();
  if (auto* p = qobject_cast<QProgressBar*>(widget_)) return p->value();
  if (auto* b = qobject_cast<QSpinBox*>(widget_)) return b->value();
  return 0;
}

void Control::set_value(int value) {
  if (!valid()) return;
  const QSignalBlocker quiet(widget_);
  if (auto* s = qobject_cast<QAbstractSlider*>(widget_)) {
    s->setValue(value);
  } else if (auto* p = qobject_cast<QProgressBar*>(widget_)) {
    p->setValue(value < p->minimum() ? p->minimum() : value > p->maximum() ? p->maximum() : value);
  } else if (auto* b = qobject_cast<QSpinBox*>(widget_)) {
    b->setValue(value);
  }
}

void Control::set_range(int minimum, int maximum) {
  if (!valid()) return;
  const QSignalBlocker quiet(widget_);
  if (auto* s = qobject_cast<QAbstractSlider*>(widget_)) {
    s->setRange(minimum, maximum);
  } else if (auto* p = qobject_cast<QProgressBar*>(widget_)) {
    p->setRange(minimum, maximum);
  } else if (auto* b = qobject_cast<QSpinBox*>(widget_)) {
    b->setRange(minimum, maximum);
  }
}

int Control::minimum() const {
  if (auto* s = qobject_cast<QAbstractSlider*>(widget_)) return s->minimum();
  if (auto* p = qobject_cast<QProgressBar*>(widget_)) return p->minimum();
  if (auto* b = qobject_cast<QSpinBox*>(widget_)) return b->minimum();
  return 0;
}

int Control::maximum() const {
  if (auto* s = qobject_cast<QAbstractSlider*>(widget_)) return s->maximum();
  if (auto* p = qobject_cast<QProgressBar*>(widget_)) return p->maximum();
  if (auto* b = qobject_cast<QSpinBox*>(widget_)) return b->maximum();
  return 0;
}

bool Control::is_checked() const {
  auto* b = qobject_cast<QAbstractButton*>(widget_);
  return b != nullptr && b->isChecked();
}

void Control::set_checked(bool on, Notify notify) {
  auto* b = qobject_cast<QAbstractButton*>(widget_);
  if (b == nullptr) return;
  const bool was = b->isChecked();
  if (is_option(b)) {
    set_option_quietly(b, on);
    if (notify == Notify::kRaise && on && !was) raise_from(b, NotifyType::selectchanged, 1);
  } else {
    const QSignalBlocker quiet(b);
    b->setChecked(on);
    if (notify == Notify::kRaise && b->isChecked() != was) {
      raise_from(b, NotifyType::checkclick, b->isChecked() ? 1 : 0);
    }
  }
}

int Control::selected_item() const {
  if (auto* c = qobject_cast<QComboBox*>(widget_)) return c->currentIndex();
  if (auto* l = list_of(widget_)) return l->currentRow();
  if (auto* s = qobject_cast<QStackedWidget*>(widget_)) {
    return (s->currentWidget() != nullptr && !s->currentWidget()->isHidden()) ? s->currentIndex() : -1;
  }
  if (auto* t = qobject_cast<QTabWidget*>(widget_)) return t->currentIndex();
  return -1;
}

void Control::select_item(int index, Notify notify) {
  if (!valid()) return;
  const int previous = selected_item();
  if (auto* c = qobject_cast<QComboBox*>(widget_)) {
    if (index < -1 || index >= c->count()) return;
    const QSignalBlocker quiet(c);
    c->setCurrentIndex(index);
    c->setProperty(kPrevIndex, index);
  } else if (auto* l = list_of(widget_)) {
    if (index < -1 || index >= l->count()) return;
    const QSignalBlocker quiet(l);
    if (index < 0) {
      l->clearSelection();
      l->setCurrentRow(-1);
    } else {
      l->setCurrentRow(index);
    }
    l->setProperty(kPrevIndex, index);
  } else if (auto* s = qobject_cast<QStackedWidget*>(widget_)) {
    // Index -1 shows no page: the current page is hidden until a page is selected.
    const QSignalBlocker quiet(s);
    for (int i = 0; i < s->count(); ++i) s->widget(i)->setVisible(i == index);
    if (index >= 0 && index < s->count()) {
      s->setCurrentIndex(index);
      // The page was shown before it became current, so the stack's layout has not
      // placed it: give it the stack's area now, as a switch of pages would.
      s->currentWidget()->setGeometry(s->contentsRect());
    }
    return;
  } else if (auto* t = qobject_cast<QTabWidget*>(widget_)) {
    if (index < 0 || index >= t->count()) return;
    const QSignalBlocker quiet(t);
    t->setCurrentIndex(index);
    return;
  } else {
    return;
  }
  if (notify == Notify::kRaise && index != previous) raise_from(widget_, NotifyType::itemselect, index, previous);
}

int Control::item_count() const {
  if (auto* c = qobject_cast<QComboBox*>(widget_)) return c->count();
  if (auto* l = list_of(widget_)) return l->count();
  if (auto* s = qobject_cast<QStackedWidget*>(widget_)) return s->count();
  if (auto* t = qobject_cast<QTabWidget*>(widget_)) return t->count();
  return 0;
}

void Control::add_item(const QString& text) {
  auto* c = qobject_cast<QComboBox*>(widget_);
  if (c == nullptr) return;
  const QSignalBlocker quiet(c);
  if (resource_mode(c)) {
    c->addItem(translated(text));
    c->setItemData(c->count() - 1, text, kItemKeyRole);
  } else {
    c->addItem(text);
  }
  c->setProperty(kPrevIndex, c->currentIndex());
}

uint32_t Control::color() const {
  auto* p = qobject_cast<ColorPalette*>(widget_);
  return p != nullptr ? p->color() : 0;
}

void Control::set_color(uint32_t argb) {
  if (auto* p = qobject_cast<ColorPalette*>(widget_)) p->set_color(argb);
}

void Control::set_caret_to_end() {
  if (auto* e = qobject_cast<QLineEdit*>(widget_)) {
    e->setCursorPosition(static_cast<int>(e->text().size()));
  } else if (auto* t = qobject_cast<QTextEdit*>(widget_)) {
    t->moveCursor(QTextCursor::End);
  } else if (auto* p = qobject_cast<QPlainTextEdit*>(widget_)) {
    p->moveCursor(QTextCursor::End);
  }
}

void Control::set_selection(int start, int end) {
  if (auto* e = qobject_cast<QLineEdit*>(widget_)) {
    const int length = static_cast<int>(e->text().size());
    if (start < 0) start = 0;
    if (end < 0 || end > length) end = length;
    if (start > end) start = end;
    e->setSelection(start, end - start);
  }
}

void Control::insert_label_row(int index, const QString& text, int height) {
  QListWidget* list = list_of(widget_);
  if (list == nullptr) return;
  if (index < 0 || index > list->count()) index = list->count();
  const QSignalBlocker quiet(list);
  auto* item = new QListWidgetItem(text);  // names are shown as they are, never translated
  item->setSizeHint(QSize(0, height));
  list->insertItem(index, item);
  list->setProperty(kPrevIndex, list->currentRow());
}

void Control::add_label_row(const QString& text, int height) { insert_label_row(-1, text, height); }

QString Control::row_text(int index) const {
  QListWidget* list = list_of(widget_);
  if (list == nullptr || index < 0 || index >= list->count()) return {};
  return list->item(index)->text();
}

void Control::set_row_text(int index, const QString& text) {
  QListWidget* list = list_of(widget_);
  if (list == nullptr || index < 0 || index >= list->count()) return;
  const QSignalBlocker quiet(list);
  list->item(index)->setText(text);
}

Control Control::add_row_from_skin(const QString& skin_file, int height) {
  QListWidget* list = list_of(widget_);
  if (list == nullptr) return {};
  QWidget* row = load_skin(skin_file, nullptr);
  if (row == nullptr) return {};
  const QSignalBlocker quiet(list);
  auto* item = new QListWidgetItem();
  item->setSizeHint(QSize(0, height));
  list->addItem(item);
  row->setFixedHeight(height);
  list->setItemWidget(item, row);
  return Control(row);
}

bool Control::remove_row(int index) {
  QListWidget* list = list_of(widget_);
  if (list == nullptr || index < 0 || index >= list->count()) return false;
  const QSignalBlocker quiet(list);
  delete list->takeItem(index);
  list->setProperty(kPrevIndex, list->currentRow());
  return true;
}

void Control::remove_all_rows() {
  QListWidget* list = list_of(widget_);
  if (list == nullptr) return;
  const QSignalBlocker quiet(list);
  list->clear();
  list->setProperty(kPrevIndex, -1);
}

int Control::row_count() const {
  QListWidget* list = list_of(widget_);
  return list != nullptr ? list->count() : 0;
}

Control Control::row(int index) const {
  QListWidget* list = list_of(widget_);
  if (list == nullptr || index < 0 || index >= list->count()) return {};
  return Control(list->itemWidget(list->item(index)));
}

void Control::ensure_row_visible(int index) {
  QListWidget* list = list_of(widget_);
  if (list == nullptr || index < 0 || index >= list->count()) return;
  list->scrollToItem(list->item(index), QAbstractItemView::EnsureVisible);
}

void Control::scroll_into_view(const Control& child) {
  auto* area = qobject_cast<QScrollArea*>(widget_);
  if (area == nullptr || !child.valid()) return;
  area->ensureWidgetVisible(child.widget(), 0, 0);
}

void Control::scroll_by(int dx, int dy) {
  auto* area = qobject_cast<QAbstractScrollArea*>(widget_);
  if (area == nullptr) return;
  area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->value() + dx);
  area->verticalScrollBar()->setValue(area->verticalScrollBar()->value() + dy);
}

void Control::scroll_to_end() {
  auto* area = qobject_cast<QAbstractScrollArea*>(widget_);
  if (area != nullptr) area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
}

void Control::click() {
  if (auto* b = qobject_cast<QAbstractButton*>(widget_)) b->click();
}

}  // namespace norvane
