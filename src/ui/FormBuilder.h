#pragma once
#include "FormLayout.h"
#include <QHash>
#include <QWidget>

// Creates the controls of a window table on `parent` (15 twips = 1 pixel), names them,
// and chains the keyboard focus in the table's tab order.
class FormBuilder
{
public:
    static QHash<QString, QWidget *> build(QWidget *parent, const std::vector<ControlLayout> &controls);
    // Sets the window flags, caption and fixed or initial size of a top-level window.
    static void applyWindow(QWidget *window, const WindowLayout &layout, int extraHeight = 0);
};
