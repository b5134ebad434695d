#pragma once
// Qt does not hand object names to assistive technology. A widget that has no caption of its
// own (an editor, a list, a grid, a tab strip, a status bar panel) therefore also carries its
// element name as accessible name, so a screen reader can name it and a check from outside
// the process can find it.

class QWidget;

// Sets the widget's accessible name to its object name (nothing for an unnamed widget).
void SetAccessibleElementName(QWidget *widget);
