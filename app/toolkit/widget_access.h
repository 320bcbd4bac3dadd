#pragma once
// Internal helpers shared by Control, the skin loader and the notification wiring:
// the dynamic property names skins and the toolkit use, and text access that works the
// same for every kind of widget.

#include <QString>

class QWidget;
class QAbstractButton;

namespace norvane::detail {

inline constexpr char kResourceText[] = "resourcetext";  // bool, inherited
inline constexpr char kTextKey[] = "nv_textkey";         // the key shown translated
inline constexpr char kTipKey[] = "nv_tipkey";
inline constexpr char kInclude[] = "include";
inline constexpr char kVirtualWnd[] = "virtualwnd";
inline constexpr char kGroup[] = "group";
inline constexpr char kCaption[] = "caption";
inline constexpr char kBkImage[] = "bkimage";
inline constexpr char kBkColor[] = "nv_bkcolor";
inline constexpr char kTag[] = "tag";
inline constexpr char kUserData[] = "userdata";
inline constexpr char kPrevIndex[] = "nv_previndex";
inline constexpr char kResizable[] = "resizable";
inline constexpr int kItemKeyRole = 0x0100 + 7;  // Qt::UserRole + 7: language key of a combo item

// Whether texts of `widget` are language keys (nearest ancestor-or-self that says so).
// Never for edits: their text is what the user typed.
bool resource_mode(const QWidget* widget);
// The text the widget shows, and setting it without raising any signal.
QString shown_text(const QWidget* widget);
void show_text(QWidget* widget, const QString& text);
// Shows the translation of a resource-text widget's key (taking the shown text as the
// key the first time), its tooltip and combo items too.
void translate(QWidget* widget);
// Options are exclusive: radio buttons and buttons in a group.
bool is_option(const QAbstractButton* button);
// The text a control in resource mode shows for `key`.
QString translated(const QString& key);

}  // namespace norvane::detail
