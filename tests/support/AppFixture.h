#pragma once
// A started program in a temporary working folder, with the platform faked.
#include "Fakes.h"
#include "app/Kavento.h"
#include "common/GridModel.h"
#include "ui/MainFrame.h"
#include <QAction>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <memory>

// The system's time zone while it lives: TZ set, and put back after.
struct SystemZone
{
    const QByteArray before = qgetenv("TZ");
    explicit SystemZone(const char *zone) { qputenv("TZ", zone), tzset(); }
    ~SystemZone() { before.isNull() ? qunsetenv("TZ") : qputenv("TZ", before), tzset(); }
};

struct AppFixture
{
    QTemporaryDir dir;
    FakePlatform fakes;
    std::unique_ptr<Kavento> app;
    bool ended = false;

    explicit AppFixture(bool load = true)
    {
        if (load)
            start();
    }
    void start()
    {
        if (!fakes.settings)
            fakes.settings = std::make_unique<QSettings>(dir.filePath(QStringLiteral("orvanel.ini")), QSettings::IniFormat);
        app = std::make_unique<Kavento>(fakes.platform(), dir.path());
        app->frame().setShutdown([this] { ended = true; });
        app->Form_Load();
    }
    MainFrame &frame() { return app->frame(); }
    GridModel &libro() { return app->frame().libro(); }
    QAction *action(const char *name) { return frame().action(QString::fromLatin1(name)); }
    QString path(const QString &name) const { return dir.filePath(name); }
    // Every cell, heading row included: to check that a failed command changed nothing.
    QList<QStringList> cells()
    {
        QList<QStringList> rows;
        for (int r = 0; r < libro().Rows(); ++r) {
            QStringList row;
            for (int c = 0; c < libro().Cols(); ++c)
                row << libro().TextMatrix(r, c);
            rows << row;
        }
        return rows;
    }
    bool showAndActivate()
    {
        frame().show();
        frame().activateWindow();
        return QTest::qWaitForWindowActive(&frame());
    }
};
