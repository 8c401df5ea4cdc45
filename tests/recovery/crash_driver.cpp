// The program driven through its model for the crash test: "work FOLDER SEED" makes changes
// of every kind until it is killed, saying on stdout what it starts and which contacts were
// added; "digital FOLDER" listens for a digital-mode program on the port it says, and says each
// contact it takes; "recover FOLDER" starts again there, answers "Sí" to the recovery question
// and prints every row of the table.
#include "Fakes.h"
#include "app/DigitalLogging.h"
#include "app/EntryForm.h"
#include "app/Kavento.h"
#include "common/GridModel.h"
#include "history/ContactLog.h"
#include "logbook/LogbookCommands.h"
#include "logbook/RecoveryCommands.h"
#include "ui/FormWindow.h"
#include "ui/MainFrame.h"
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void say(const QString &line)
{
    std::fputs(qUtf8Printable(line + u'\n'), stdout);
    std::fflush(stdout);
}

QString rowText(const GridModel &table, int row)
{
    QStringList cells;
    for (int c = 1; c < table.Cols(); ++c)
        cells << QString::fromLatin1(table.TextMatrix(row, c).toUtf8().toPercentEncoding());
    return cells.join(u'\t');
}

// A row of an imported file, never one of the contacts added by hand.
int importedRow(const GridModel &table, QRandomGenerator &random)
{
    for (int tries = 0; tries < 50 && table.Rows() > 1; ++tries) {
        const int row = 1 + int(random.bounded(table.Rows() - 1));
        if (table.TextMatrix(row, 1).startsWith(u"IMP"_s))
            return row;
    }
    return 0;
}

int work(Kavento &app, QRandomGenerator &random)
{
    GridModel &table = app.frame().libro();
    EntryForm &entry = app.entry();
    const QStringList names{u"Ana"_s, u"Ñandú"_s, u"José María"_s, u"Zoë"_s, u"€uro"_s};
    for (int n = 0;; ++n) {
        switch (random.bounded(8)) {
        case 0: {
            say(u"BEGIN import"_s);
            app.frame().action(u"mImportar"_s)->trigger();
            FormWindow *w = app.logbook().importarWindow();
            w->lineEdit(u"Archivo"_s)->setText(u"importar.LBR"_s);
            w->button(u"Abrir"_s)->click();
            if (random.bounded(2) == 0)
                app.log().undo();
            break;
        }
        case 1:
            say(u"BEGIN sort"_s);
            table.setCol(1 + int(random.bounded(3)));
            table.setRow(1);
            app.frame().action(u"mOrdenar"_s)->trigger();
            break;
        case 2: {
            const int from = importedRow(table, random), to = importedRow(table, random);
            if (from < 2 || to < 2)
                break;
            say(u"BEGIN paste"_s);
            table.setCol(2);
            table.setRow(from);
            app.frame().action(u"mCopiar"_s)->trigger();
            table.setCol(16);
            table.setRow(to);
            app.frame().action(u"mPegar"_s)->trigger();
            break;
        }
        default: {
            say(u"BEGIN add"_s);
            entry.dato(0)->setText(u"CRASH%1"_s.arg(n));
            entry.dato(1)->setText(names.at(int(random.bounded(int(names.size())))));
            entry.dato(10)->setText(QString::number(random.bounded(30000)));
            entry.comment()->setPlainText(u"línea\nsegunda %1"_s.arg(random.generate()));
            entry.Guardar_Click();
            say(u"ADDED "_s + rowText(table, table.Rows() - 1));
            break;
        }
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    if (argc < 3)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    FakePlatform fakes;
    fakes.settings = std::make_unique<QSettings>(folder + u"/orvanel.ini"_s, QSettings::IniFormat);
    fakes.messages.choices = {0}; // "Sí" to the recovery question
    Kavento app(fakes.platform(), folder);
    app.Form_Load();
    if (mode == u"work"_s) {
        QRandomGenerator random(QString::fromLocal8Bit(argv[3]).toUInt());
        return work(app, random);
    }
    if (mode == u"digital"_s) {
        DigitalLogging &digital = app.digital();
        digital.apply({true, u"127.0.0.1"_s, 0});
        say(u"PORT "_s + QString::number(digital.listener().port()));
        int told = 0;
        // Told once the contact is in the journal, before the next datagram is read.
        QObject::connect(&digital, &DigitalLogging::stateChanged, [&] {
            for (; told < digital.logged(); ++told)
                say(u"ADDED "_s + rowText(app.frame().libro(), told + 1));
        });
        return qapp.exec();
    }
    app.recovery().offerRecovery();
    const GridModel &table = app.frame().libro();
    for (int r = 1; r < table.Rows(); ++r)
        say(u"ROW "_s + rowText(table, r));
    say(u"END"_s);
    return 0;
}
