#include "ui/Form1.h"

#include "ui/DlgJudge.h"
#include "ui/DlgOption.h"
#include "ui/UserDialogs.h"

#include <QPushButton>
#include <QUrl>

void Form1::LoadWebSettings()
{
    Links = ::LoadWebSettings(GameTable);
}

void Form1::ChangeWebButton(int value)
{
    if (value != 0 && value != 1)
        return;
    const bool enabled = value == 0;
    CmdReadPattern->setEnabled(enabled);
    CmdHP->setEnabled(enabled);
}

void Form1::OpenWebPage(const QUrl &url)
{
    // Without a browser the user still gets the address, to open elsewhere.
    if (!dialogs().openUrl(url))
        dialogs().warn(this,
                       QStringLiteral("ブラウザを起動できませんでした。次のアドレスをコピーして、"
                                      "ブラウザで開いてください。\n\n%1")
                           .arg(url.toString()),
                       QStringLiteral("Zanbo"));
}

void Form1::CmdHelp_Click()
{
    OpenWebPage(QUrl(HelpPageUrl()));
}

void Form1::CmdHP_Click()
{
    // The address comes from a downloaded file: hand only web pages to the
    // shell, never a local program or another scheme.
    const QUrl url(Links.HomePageUrl);
    if (!IsWebAddress(url))
        return;
    OpenWebPage(url);
}

void Form1::CmdOption_Click()
{
    DlgOption dialog(*this, this);
    dialog.exec();
}

void Form1::CmdJudge_Click()
{
    if (m_judge && m_judge->isVisible()) {
        m_judge->setWindowState(m_judge->windowState() & ~Qt::WindowMinimized);
        m_judge->raise();
        m_judge->activateWindow();
        return;
    }
    auto *dialog = new DlgJudge(*this, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    setJudgeDialog(dialog);
    dialog->show();
}

DlgJudge *Form1::judgeDialog() const
{
    return m_judge;
}
