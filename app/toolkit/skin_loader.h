#pragma once
// Loading a skin: a Qt Designer UI document from the skin folder, built into widgets
// at run time.
//
// Beyond what Designer writes, skins use a few dynamic properties:
//   include      (on a placeholder widget) another skin file loaded into the
//                placeholder, e.g. "MS/MS_1/ms_1_page.xml". A missing file leaves the
//                placeholder empty.
//   virtualwnd   (on a container) notifications of controls inside go to the page
//                registered under this name.
//   resourcetext (bool, inherited) texts are language keys.
//   group        (on checkable buttons) buttons sharing a group name are options:
//                selecting one deselects the others.
//   caption      (on a skin's root) "left,top,right,bottom" of the area that drags a
//                frameless window; 0 for right or bottom means the full width or height.
//   bkimage      an image attribute string drawn behind the control (see Control).
// The custom class "ColorPalette" is the colour palette control. Sliders, combo boxes
// and spin boxes take the mouse wheel only while they have the focus (wheel_guard.h).

#include <QString>
#include <memory>

class QWidget;

namespace norvane {

// Builds the skin `file` (relative to the skin folder) as a child of `parent` (or as a
// top-level widget when `parent` is null). Texts of resource-text controls are shown
// translated. Returns null when the file is missing or not a skin; the reason is
// written to the trace.
QWidget* load_skin(const QString& file, QWidget* parent = nullptr, QString* error = nullptr);

// Re-shows the translation of every resource-text control under `root` (after the
// language file changed).
void retranslate(QWidget* root);

}  // namespace norvane
