#pragma once
// Which label of a window table names which field, so that a screen reader says "Indicativo"
// rather than a bare "texto": the nearest label to the left on the field's line with no other
// control between them, or else the nearest label just above it.
#include "FormLayout.h"
#include <QHash>

// Field name -> the label that names it; fields without such a label are left out.
QHash<QString, const ControlLayout *> fieldLabels(const std::vector<ControlLayout> &controls);

// A caption as a name: "Archivo:" -> "Archivo", "&Modo" -> "Modo".
QString nameFromCaption(const QString &caption);
