#pragma once
#include <QLabel>
#include <QTimer>

// The news at the left of the status bar. Painted at once, and told to a screen reader as a
// notification once it has stayed the same for a moment, so that typing a call sign is not
// interrupted at every letter; the same news is not told twice in a row.
class NewsLabel : public QLabel
{
    Q_OBJECT
public:
    static constexpr int kQuietMs = 600;
    explicit NewsLabel(QWidget *parent = nullptr);
    void showNews(const QString &text);
    // Told to a screen reader without being painted (what a search found).
    void announce(const QString &text);
    // What a screen reader was last told: the notification's name.
    QString announced() const { return m_announced; }

signals:
    void announcing(const QString &text);

private:
    void tell();
    QTimer m_quiet;
    QString m_pending, m_announced;
};
