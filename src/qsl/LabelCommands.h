#pragma once
#include "LabelSheet.h"
#include "QslLabels.h"
#include "common/Platform.h"
#include "common/Variables.h"
#include "ui/FormWindow.h"
#include "ui/WindowSlot.h"
#include <QObject>
#include <QTimer>

class CallIndex;
class ContactLog;
class MainFrame;
class QPagedPaintDevice;

// "Etiquetas QSL": the labels of the cards still to send, on the sheet chosen, from the
// position chosen, printed or saved as a PDF; then, if the operator says so, those contacts
// are marked "Enviada" in one step of the history.
class LabelCommands : public QObject
{
    Q_OBJECT
public:
    LabelCommands(MainFrame &main, ContactLog &log, CallIndex &index, Platform platform, const Variables &variables,
                  QObject *parent = nullptr);

    void mEtiquetas_Click();
    void Imprimir_Click();
    void GuardarPdf_Click();
    void Cancelar_Click();
    FormWindow *window() const { return m_slot.window(); }
    // The sheet as the window sets it now: its kind with the margins typed.
    LabelSheet sheet() const;
    int start() const;

private:
    FormWindow *create();
    std::vector<QslLabel> labels() const;
    void refresh();
    static void setMargins(FormWindow *window);
    // Paints the labels of now on `device`; then asks whether to mark them as sent.
    void print(QPagedPaintDevice &device);

    MainFrame &m_main;
    ContactLog &m_log;
    CallIndex &m_index;
    Platform m_platform;
    const Variables &m_variables;
    Slot<FormWindow> m_slot;
    std::vector<QslLabel> m_shown;
    QTimer m_later;                   // changes come in bursts (an import): one look for all
};
