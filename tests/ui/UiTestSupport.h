#pragma once

// Shared by the GUI tests: a UserDialogs that answers from a queue, and
// screenshots of the window states a test checks.

#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/UserDialogs.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QPainter>
#include <QPixmap>
#include <QStringEncoder>
#include <QString>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <deque>

class FakeDialogs : public UserDialogs
{
public:
    struct Question
    {
        QString text;
        QString title;
        QMessageBox::Icon icon;
    };
    struct Warning
    {
        QString text;
        QString title;
    };

    // Answers given in order; when the queue is empty the answer is Cancel / "".
    std::deque<bool> confirmAnswers;
    std::deque<QString> fileNames;

    QList<Question> questions;
    QList<Warning> warnings;
    QList<FileDialogOptions> fileDialogs;
    QList<bool> fileDialogWasSave;
    QList<QUrl> openedUrls;

    bool confirm(QWidget *, const QString &text, const QString &title,
                 QMessageBox::Icon icon) override
    {
        questions.append({text, title, icon});
        if (confirmAnswers.empty())
            return false;
        const bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    QString openFileName(QWidget *, const FileDialogOptions &options) override
    {
        return nextFile(options, false);
    }
    QString saveFileName(QWidget *, const FileDialogOptions &options) override
    {
        return nextFile(options, true);
    }
    void warn(QWidget *, const QString &text, const QString &title) override
    {
        warnings.append({text, title});
    }
    void openUrl(const QUrl &url) override { openedUrls.append(url); }

private:
    QString nextFile(const FileDialogOptions &options, bool save)
    {
        fileDialogs.append(options);
        fileDialogWasSave.append(save);
        if (fileNames.empty())
            return QString();
        const QString name = fileNames.front();
        fileNames.pop_front();
        return name;
    }
};

// Writes a PNG of widget to <build>/screenshots/<name>.png so a person can
// look at what the test saw.
inline void SaveScreenshot(QWidget *widget, const QString &name)
{
    QDir().mkpath(QStringLiteral(ZANBO_SCREENSHOT_DIR));
    // The grids tell their views about removed rows from the event loop;
    // the picture should show what a user sees once it has run.
    for (ResultGrid *grid : widget->findChildren<ResultGrid *>())
        grid->gridModel()->flushPending();
    widget->grab().save(QStringLiteral(ZANBO_SCREENSHOT_DIR "/") + name + QStringLiteral(".png"));
}

// Several windows in one picture, left to right, as they stand on a desk.
inline void SaveSideBySide(const QList<QWidget *> &widgets, const QString &name)
{
    QList<QPixmap> shots;
    QSize size;
    for (QWidget *widget : widgets) {
        for (ResultGrid *grid : widget->findChildren<ResultGrid *>())
            grid->gridModel()->flushPending();
        shots.append(widget->grab());
        size = QSize(size.width() + shots.last().width(),
                     std::max(size.height(), shots.last().height()));
    }
    QPixmap picture(size);
    picture.fill(Qt::darkGray);
    QPainter painter(&picture);
    int x = 0;
    for (const QPixmap &shot : shots) {
        painter.drawPixmap(x, 0, shot);
        x += shot.width();
    }
    painter.end();
    QDir().mkpath(QStringLiteral(ZANBO_SCREENSHOT_DIR));
    picture.save(QStringLiteral(ZANBO_SCREENSHOT_DIR "/") + name + QStringLiteral(".png"));
}

// Reads a file as bytes ("" when missing).
inline QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

// Writes bytes to path, replacing it.
inline void WriteFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

// Text in code page 932 with every "\n" turned into CR LF.
inline QByteArray Cp932Lines(QString text)
{
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    QStringEncoder encoder("windows-31j");
    return encoder.encode(text);
}
