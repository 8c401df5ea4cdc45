#include "ClassicFont.h"
#include <QApplication>
#include <QFont>

void applyClassicFont(QApplication &app)
{
    QFont font = app.font();
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    app.setFont(font);
}
