#pragma once
// Control: a handle to one control of a loaded skin, found by name.
//
// Controls are Qt widgets created from the skin file; a control's name is its
// objectName. A Control is a cheap value that refers to the widget weakly: when the
// name was not found or the widget is gone, every setter does nothing and every
// getter returns an empty value, so code that binds controls by name keeps working
// with a skin that lacks some of them.
//
// Programmatic changes never raise notifications, except where a call takes
// Notify::kRaise: it then raises exactly the notification the user's action would
// have raised (see notification.h).
//
// Text: a control either shows its text as is, or treats it as a key of the language
// file ("resource text" mode) and shows the translation (the key itself when the
// language file lacks it). The mode comes from the skin (dynamic property
// `resourcetext`, inherited from the nearest ancestor that sets it) and can be switched
// per control at run time. Edits always hold plain text.

#include <QMargins>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>

namespace norvane {

enum class Notify { kQuiet, kRaise };

class Control {
 public:
  Control() = default;
  explicit Control(QWidget* widget) : widget_(widget) {}

  bool valid() const { return !widget_.isNull(); }
  explicit operator bool() const { return valid(); }
  QWidget* widget() const { return widget_.data(); }
  QString name() const;
  bool operator==(const Control& other) const { return widget_ == other.widget_; }

  // Finds a descendant control by name (the first in depth-first order).
  Control find(const QString& name) const;

  // --- text
  QString text() const;        // the text as set: the key in resource-text mode
  QString shown_text() const;  // what the user sees
  void set_text(const QString& text);
  bool is_resource_text() const;
  void set_resource_text(bool on);  // re-shows the current text in the new mode

  // --- state and look
  bool is_visible() const;  // the control's own flag, not whether its parents show
  void set_visible(bool on);
  bool is_enabled() const;
  void set_enabled(bool on);
  uint32_t bk_color() const;  // 0xAARRGGBB; 0 when none was set
  void set_bk_color(uint32_t argb);
  // Image drawn behind the control's content, as an attribute string:
  // "res='skins/move.png' dest='2,2,28,28'" (file relative to the skin folder; dest =
  // left, top, right, bottom inside the control, the whole control when left out).
  // An empty string removes the image.
  QString bk_image() const;
  void set_bk_image(const QString& attributes);
  QString tooltip() const;
  void set_tooltip(const QString& text);
  QMargins padding() const;  // space between the control's border and its content
  void set_padding(const QMargins& padding);
  int fixed_height() const;  // 0 when not fixed
  void set_fixed_height(int height);
  QRect rect_in_window() const;  // geometry relative to the top-level window
  QRect screen_rect() const;

  // --- data attached by the program
  intptr_t tag() const;
  void set_tag(intptr_t tag);
  QString user_data() const;
  void set_user_data(const QString& data);

  // --- values: sliders, progress bars, spin boxes
  int value() const;
  void set_value(int value);
  void set_range(int minimum, int maximum);
  int minimum() const;
  int maximum() const;

  // --- check boxes and options
  bool is_checked() const;
  void set_checked(bool on, Notify notify = Notify::kQuiet);

  // --- item selection: combo boxes, lists, stacked and tab containers.
  // Index -1 selects nothing (a stacked container then shows no page).
  int selected_item() const;
  void select_item(int index, Notify notify = Notify::kQuiet);
  int item_count() const;
  void add_item(const QString& text);  // combo boxes; text follows the resource-text mode

  // --- colour palette
  uint32_t color() const;  // 0xAARRGGBB
  void set_color(uint32_t argb);

  // --- edits
  void set_caret_to_end();
  void set_selection(int start, int end);

  // --- list rows. A label row is the list's own item text (no widget: a list of
  // hundreds of names costs no more than their strings); a row built from a template
  // skin is a widget inside the list, its sub-controls found with row(i).find().
  void add_label_row(const QString& text, int height);
  Control add_row_from_skin(const QString& skin_file, int height);
  void insert_label_row(int index, const QString& text, int height);
  QString row_text(int index) const;  // a label row's text; empty for other rows
  void set_row_text(int index, const QString& text);
  bool remove_row(int index);
  void remove_all_rows();
  int row_count() const;
  Control row(int index) const;  // a skin row's widget; invalid for a label row
  void ensure_row_visible(int index);

  // --- scrolling containers (QScrollArea)
  void scroll_into_view(const Control& child);
  void scroll_by(int dx, int dy);
  void scroll_to_end();

  // Acts as the user's click on a button (raises its notification).
  void click();

 private:
  QPointer<QWidget> widget_;
};

}  // namespace norvane
