#include "unt_Accessibility.h"

#include <QWidget>

void SetAccessibleElementName(QWidget *widget) {
    if (widget && !widget->objectName().isEmpty())
        widget->setAccessibleName(widget->objectName());
}
