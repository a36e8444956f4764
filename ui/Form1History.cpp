#include "ui/Form1.h"

#include "core/LatestDraw.h"
#include "storage/DrawHistory.h"
#include "ui/DlgHistory.h"

#include <QDir>
#include <QFileInfo>

QString Form1::HistoryFilePath() const
{
    return QFileInfo(SettingsFilePath).dir().filePath(DrawHistory::FileName());
}

DrawHistory &Form1::History()
{
    // Made on first use: the store opens its file only when it is read.
    if (!m_history)
        m_history = std::make_unique<DrawHistory>(HistoryFilePath());
    return *m_history;
}

std::optional<WinningNumbers> Form1::LatestDraw(int game, bool *fromHistory)
{
    return NewerDraw(ReadWinningNumbers(GameTable, game), History().newest(game), fromHistory);
}

void Form1::CmdHistory_Click()
{
    DlgHistory dialog(*this, this);
    dialog.exec();
}
