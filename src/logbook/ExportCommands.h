#pragma once
#include "common/Platform.h"
#include "common/Variables.h"
#include "ui/FormWindow.h"
#include "ui/WindowSlot.h"
#include <QObject>
#include <functional>

class MainFrame;

// "Exportar": the log written as an ADIF file (ADX when the name ends in .adx, ADI
// otherwise; a name without an extension gets .adi), for other log books and the
// confirmation services.
class ExportCommands : public QObject
{
    Q_OBJECT
public:
    ExportCommands(MainFrame &main, Platform platform, const Variables &variables, QObject *parent = nullptr);

    // The DXCC entity of a call sign, for the province codes ADIF knows; none by default.
    void setEntityLookup(std::function<int(QStringView call)> dxccOf) { m_dxccOf = std::move(dxccOf); }

    void mExportar_Click();
    void Command1_Click();              // "Exportar"
    void Abre_Facil_Click();            // "Cancelar"
    void Examinar_Click();              // the platform's chooser fills "Archivo:"
    FormWindow *window() const { return m_slot.window(); }

private:
    FormWindow *create();

    MainFrame &m_main;
    Platform m_platform;
    const Variables &m_variables;
    Slot<FormWindow> m_slot;
    std::function<int(QStringView)> m_dxccOf;
};
