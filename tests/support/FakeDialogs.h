#pragma once

// A UserDialogs that answers from queues and records every question, so GUI
// tests drive the windows without a real dialog.

#include "ui/UserDialogs.h"

#include <QList>
#include <QString>
#include <QUrl>

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
    std::deque<QMessageBox::StandardButton> yesNoCancelAnswers;
    std::deque<QString> fileNames;
    std::deque<int> chooseAnswers;

    QList<Question> questions;
    QList<Warning> warnings;
    QList<FileDialogOptions> fileDialogs;
    QList<bool> fileDialogWasSave;
    QList<QUrl> openedUrls;
    QList<QStringList> choiceLists;

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
    QMessageBox::StandardButton askYesNoCancel(QWidget *, const QString &text,
                                               const QString &title) override
    {
        questions.append({text, title, QMessageBox::Question});
        if (yesNoCancelAnswers.empty())
            return QMessageBox::Cancel;
        const QMessageBox::StandardButton answer = yesNoCancelAnswers.front();
        yesNoCancelAnswers.pop_front();
        return answer;
    }
    // With no answer queued for it, a choice is answered from the confirm
    // queue: OK takes the preselected one.
    int chooseOne(QWidget *parent, const QString &text, const QString &title,
                  const QStringList &choices, int preselected) override
    {
        choiceLists.append(choices);
        if (chooseAnswers.empty())
            return confirm(parent, text, title, QMessageBox::Question) ? preselected : -1;
        questions.append({text, title, QMessageBox::Question});
        const int answer = chooseAnswers.front();
        chooseAnswers.pop_front();
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
    bool browserStarts = true;
    bool openUrl(const QUrl &url) override
    {
        openedUrls.append(url);
        return browserStarts;
    }

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
