#pragma once
// The About window's texts: built from the program's identity when the window is created,
// whatever texts its layout was drawn with.
#include <QString>

class FormWindow;

struct ProgramIdentity
{
    QString title;
    int major = 0, minor = 0, revision = 0;
};

// This program: Orvanel 9.0.44.
ProgramIdentity programIdentity();

// "Versión " major.minor.revision, plain decimal numbers.
QString versionLine(const ProgramIdentity &id);

// The load step: caption "Acerca de " + title, lblVersion, lblTitle.
void loadAboutTexts(FormWindow &window, const ProgramIdentity &id);
